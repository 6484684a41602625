#include "MoneyFormatter.h"

#include <algorithm>
#include <cmath>

namespace {

const QString redMarker = QStringLiteral("[Red]");

bool isAsciiDigits(QStringView text)
{
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// Adds text to the list unless it is empty or already there.
void addCandidate(QStringList& list, const QString& text)
{
    if (!text.isEmpty() && !list.contains(text))
        list.append(text);
}

void sortLongestFirst(QStringList& list)
{
    std::stable_sort(list.begin(), list.end(),
                     [](const QString& a, const QString& b) { return a.size() > b.size(); });
}

} // namespace

MoneyFormatter::MoneyFormatter(const QString& pattern, const QString& decimalSeparator,
                               const QString& thousandsSeparator)
    : _pattern(pattern)
    , _decimalSeparator(decimalSeparator)
    , _thousandsSeparator(thousandsSeparator)
{
    const QStringList texts = pattern.split(u';');
    const Section positive = parseSection(texts.value(0));
    _sections[Positive] = positive;
    _sections[Zero] = texts.size() >= 3 ? parseSection(texts.at(1)) : positive;
    if (texts.size() >= 2) {
        _sections[Negative] = parseSection(texts.size() >= 3 ? texts.at(2) : texts.at(1));
    } else {
        _sections[Negative] = positive;
        _sections[Negative].minusInFront = true;
    }

    // The symbol is whatever surrounds the number once signs and space are gone.
    for (const Section& section : _sections) {
        if (!section.hasPlaceholder)
            continue;
        QString prefix = section.prefix.trimmed();
        if (prefix.startsWith(u'(') || prefix.startsWith(u'-'))
            prefix = prefix.mid(1).trimmed();
        QString suffix = section.suffix.trimmed();
        if (suffix.endsWith(u')'))
            suffix = suffix.chopped(1).trimmed();
        addCandidate(_symbolPrefixes, prefix);
        addCandidate(_symbolSuffixes, suffix);
    }
    sortLongestFirst(_symbolPrefixes);
    sortLongestFirst(_symbolSuffixes);
}

MoneyFormatter::Section MoneyFormatter::parseSection(const QString& text)
{
    Section section;
    QString rest = text;
    if (rest.startsWith(redMarker)) {
        section.red = true;
        rest = rest.mid(redMarker.size());
    }
    // An empty section means the bare number.
    if (rest.isEmpty()) {
        section.hasPlaceholder = true;
        return section;
    }

    qsizetype first = -1;
    for (qsizetype i = 0; i < rest.size() && first < 0; ++i) {
        if (rest.at(i) == u'#' || rest.at(i) == u'0')
            first = i;
    }
    if (first < 0) {
        section.prefix = rest; // no number at all: written as it stands
        return section;
    }
    qsizetype last = rest.lastIndexOf(u'0');
    if (last < first)
        last = rest.lastIndexOf(u'#');

    section.hasPlaceholder = true;
    section.prefix = rest.left(first);
    section.suffix = rest.mid(last + 1);
    return section;
}

double MoneyFormatter::centsOf(double value)
{
    return std::rint(value * 100.0);
}

MoneyFormatter::SectionIndex MoneyFormatter::sectionIndexFor(double value)
{
    if (std::isnan(value) || std::isinf(value))
        return Zero;
    const double cents = centsOf(value);
    if (cents > 0)
        return Positive;
    if (cents < 0)
        return Negative;
    return Zero;
}

QString MoneyFormatter::format(double value) const
{
    const SectionIndex index = sectionIndexFor(value);
    const Section& section = _sections[index];
    if (!section.hasPlaceholder)
        return section.prefix;
    const QString sign = section.minusInFront ? QStringLiteral("-") : QString();
    return sign + section.prefix + digitsFor(value, index) + section.suffix;
}

bool MoneyFormatter::isRed(double value) const
{
    return _sections[sectionIndexFor(value)].red;
}

QString MoneyFormatter::digitsFor(double value, SectionIndex index) const
{
    if (index == Zero)
        return QStringLiteral("0") + _decimalSeparator + QStringLiteral("00");

    const double magnitude = std::abs(value);
    const double cents = centsOf(magnitude);
    QString integerDigits;
    QString fraction = QStringLiteral("00");
    if (std::isinf(cents)) {
        // Beyond the range where cents can be counted; the fraction is zero anyway.
        integerDigits = QString::number(magnitude, 'f', 0);
    } else {
        const QString digits = QString::number(cents, 'f', 0).rightJustified(3, u'0');
        integerDigits = digits.chopped(2);
        fraction = digits.right(2);
    }
    return grouped(integerDigits) + _decimalSeparator + fraction;
}

QString MoneyFormatter::grouped(const QString& integerDigits) const
{
    QString result;
    const qsizetype count = integerDigits.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0)
            result += _thousandsSeparator;
        result += integerDigits.at(i);
    }
    return result;
}

std::optional<double> MoneyFormatter::parse(const QString& text) const
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    if (const auto value = parseSectionMatch(trimmed))
        return value;
    return parseLoosely(trimmed);
}

// Text that carries a section's own decoration, e.g. "($ 1,234.50)".
std::optional<double> MoneyFormatter::parseSectionMatch(const QString& text) const
{
    for (const SectionIndex index : {Negative, Positive, Zero}) {
        const Section& section = _sections[index];
        if (!section.hasPlaceholder) {
            // Only a zero section written without a number can be read back.
            if (index == Zero && !section.prefix.trimmed().isEmpty()
                && text == section.prefix.trimmed())
                return 0.0;
            continue;
        }
        const QString prefix =
            ((section.minusInFront ? QStringLiteral("-") : QString()) + section.prefix).trimmed();
        const QString suffix = section.suffix.trimmed();
        if (prefix.isEmpty() && suffix.isEmpty())
            continue;
        if (text.size() < prefix.size() + suffix.size() || !text.startsWith(prefix)
            || !text.endsWith(suffix))
            continue;
        const QString middle = text.mid(prefix.size(), text.size() - prefix.size() - suffix.size());
        if (const auto value = parseUnsignedNumber(middle.trimmed()))
            return index == Negative && *value != 0 ? -*value : *value;
    }
    return std::nullopt;
}

// What a user types: "-12", "(12)", "$12", "-$ 12", "$ -12", "1,234.5".
std::optional<double> MoneyFormatter::parseLoosely(QString text) const
{
    bool negative = false;
    if (text.size() >= 2 && text.startsWith(u'(') && text.endsWith(u')')) {
        negative = true;
        text = text.mid(1, text.size() - 2).trimmed();
    } else if (text.startsWith(u'-')) {
        negative = true;
        text = text.mid(1).trimmed();
    }
    text = stripSymbol(text);
    if (text.startsWith(u'-')) {
        if (negative)
            return std::nullopt;
        negative = true;
        text = text.mid(1).trimmed();
    }
    const auto value = parseUnsignedNumber(text);
    if (!value)
        return std::nullopt;
    return negative && *value != 0 ? -*value : *value;
}

QString MoneyFormatter::stripSymbol(const QString& text) const
{
    QString rest = text;
    for (const QString& prefix : _symbolPrefixes) {
        if (rest.startsWith(prefix)) {
            rest = rest.mid(prefix.size()).trimmed();
            break;
        }
    }
    for (const QString& suffix : _symbolSuffixes) {
        if (rest.endsWith(suffix)) {
            rest = rest.chopped(suffix.size()).trimmed();
            break;
        }
    }
    return rest;
}

std::optional<double> MoneyFormatter::parseUnsignedNumber(const QString& text) const
{
    QString integerPart = text;
    QString fraction;
    if (!_decimalSeparator.isEmpty()) {
        const qsizetype at = text.indexOf(_decimalSeparator);
        if (at >= 0) {
            integerPart = text.left(at);
            fraction = text.mid(at + _decimalSeparator.size());
        }
    }
    if (integerPart.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    if (!isAsciiDigits(fraction) || !isGroupedInteger(integerPart))
        return std::nullopt;

    QString digits = integerPart;
    if (!_thousandsSeparator.isEmpty())
        digits.remove(_thousandsSeparator);
    const QString plain = (digits.isEmpty() ? QStringLiteral("0") : digits) + u'.'
        + (fraction.isEmpty() ? QStringLiteral("0") : fraction);
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Digits, either ungrouped or grouped in threes with the thousands separator.
bool MoneyFormatter::isGroupedInteger(const QString& text) const
{
    if (isAsciiDigits(text))
        return true;
    if (_thousandsSeparator.isEmpty())
        return false;
    const QStringList groups = text.split(_thousandsSeparator);
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const QString& group = groups.at(i);
        const bool sizeFits = i == 0 ? group.size() >= 1 && group.size() <= 3 : group.size() == 3;
        if (!sizeFits || !isAsciiDigits(group))
            return false;
    }
    return true;
}
