#include "MoneyFormat.h"

#include <QStringList>

namespace {

constexpr int defaultWidth = 12;

// Replaces each "%@" of the template, in order, by the next argument, inserted
// verbatim (an argument that contains "%@" is not expanded again).
QString fillTemplate(const QString& templateText, const QStringList& arguments)
{
    const QString place = QStringLiteral("%@");
    QString result;
    qsizetype from = 0;
    qsizetype next = 0;
    for (qsizetype at = templateText.indexOf(place); at >= 0;
         at = templateText.indexOf(place, from)) {
        result += templateText.mid(from, at - from);
        result += arguments.value(next++);
        from = at + place.size();
    }
    return result + templateText.mid(from);
}

} // namespace

MoneyFormat::MoneyFormat(const QString& moneySymbol, const QString& thousandsSeparator,
                         const QString& decimalSeparator, bool symbolAfterNumber)
    : _moneySymbol(moneySymbol)
    , _thousandsSeparator(thousandsSeparator)
    , _decimalSeparator(decimalSeparator)
    , _symbolAfterNumber(symbolAfterNumber)
{
}

QString MoneyFormat::numberPattern() const
{
    const QString& t = _thousandsSeparator;
    const QString& d = _decimalSeparator;
    return fillTemplate(QStringLiteral("#%@##0%@00;0%@00;(#%@##0%@00)"), {t, d, d, t, d});
}

QString MoneyFormat::moneyPattern() const
{
    const QString& s = _moneySymbol;
    const QString& t = _thousandsSeparator;
    const QString& d = _decimalSeparator;
    if (_symbolAfterNumber)
        return fillTemplate(QStringLiteral("#%@##0%@00 %@;0%@00 %@;[Red](#%@##0%@00 %@)"),
                            {t, d, s, d, s, t, d, s});
    return fillTemplate(QStringLiteral("%@ #%@##0%@00;%@ 0%@00;[Red](%@ #%@##0%@00)"),
                        {s, t, d, s, d, s, t, d});
}

MoneyFormatter MoneyFormat::numberFormatter() const
{
    return MoneyFormatter(numberPattern(), _decimalSeparator, _thousandsSeparator);
}

MoneyFormatter MoneyFormat::moneyFormatter() const
{
    return MoneyFormatter(moneyPattern(), _decimalSeparator, _thousandsSeparator);
}

QString MoneyFormat::formatMoney(float value) const
{
    return pad(numberFormatter().format(value));
}

QString MoneyFormat::formatFloat(float value) const
{
    return fix(numberFormatter().format(value));
}

QString MoneyFormat::formattedValue(float value, bool money) const
{
    const MoneyFormatter formatter = money ? moneyFormatter() : numberFormatter();
    return fix(formatter.format(value));
}

QString MoneyFormat::formatTotal(float value, const MoneyFormatter& formatter, bool money,
                                 bool checkParen) const
{
    const int width = money ? defaultWidth : floatWithoutMoneyPadLength();
    return pad(fix(formatter.format(value)), width, money, checkParen);
}

int MoneyFormat::floatWithoutMoneyPadLength() const
{
    if (_symbolAfterNumber)
        return defaultWidth;
    return defaultWidth + int(_moneySymbol.size());
}

QString MoneyFormat::pad(const QString& text, int width, bool money, bool checkParen) const
{
    if (checkParen && !text.isEmpty() && !text.endsWith(u')'))
        --width;
    const bool symbolBefore = money && !_symbolAfterNumber;
    const bool symbolAfter = money && _symbolAfterNumber;

    QString result;
    if (symbolBefore)
        result += _moneySymbol;
    const qsizetype spaces = width - text.size() - (symbolAfter ? 1 : 0);
    if (text.size() < width && spaces > 0)
        result += QString(spaces, u' ');
    result += text;
    if (symbolAfter)
        result += u' ' + _moneySymbol;
    return result;
}

QString MoneyFormat::pad(const QString& text, int width, bool money) const
{
    return pad(text, width, money, false);
}

QString MoneyFormat::pad(const QString& text, int width) const
{
    return pad(text, width, true);
}

QString MoneyFormat::pad(const QString& text) const
{
    return pad(text, defaultWidth);
}

QString MoneyFormat::fix(const QString& text) const
{
    if (!decimalSeparatorIsComma())
        return text;
    QString result;
    result.reserve(text.size());
    bool afterComma = false;
    int fractionDigits = 0;
    for (const QChar c : text) {
        const bool isDigit = c >= u'0' && c <= u'9';
        if (afterComma && isDigit && ++fractionDigits > 2)
            continue;
        if (c == u',')
            afterComma = true;
        result += c;
    }
    return result;
}

QString MoneyFormat::toComma(const QString& text) const
{
    if (!decimalSeparatorIsComma())
        return text;
    QString result = text;
    return result.replace(u'.', u',');
}

bool MoneyFormat::decimalSeparatorIsComma() const
{
    return _decimalSeparator == QStringLiteral(",");
}
