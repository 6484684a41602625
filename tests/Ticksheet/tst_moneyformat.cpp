#include "MoneyFormat.h"
#include "MoneyFormatter.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {

// The money formats the tables refer to by name.
MoneyFormat styleNamed(const QString& name)
{
    if (name == u"before")
        return MoneyFormat(QStringLiteral("$"), QStringLiteral(","), QStringLiteral("."), false);
    if (name == u"after")
        return MoneyFormat(QStringLiteral("$"), QStringLiteral(","), QStringLiteral("."), true);
    if (name == u"euro")
        return MoneyFormat(QStringLiteral("€"), QStringLiteral("."), QStringLiteral(","), true);
    if (name == u"multi")
        return MoneyFormat(QStringLiteral("CHF"), QStringLiteral("''"), QStringLiteral("::"), false);
    if (name == u"ungrouped")
        return MoneyFormat(QStringLiteral("$"), QString(), QStringLiteral("."), false);
    if (name == u"kr")
        return MoneyFormat(QStringLiteral("kr"), QStringLiteral(","), QStringLiteral("."), false);
    if (name == u"placeholder-symbol")
        return MoneyFormat(QStringLiteral("%@"), QStringLiteral(","), QStringLiteral("."), false);
    qFatal("unknown style %s", qPrintable(name));
}

MoneyFormatter formatterFor(const QString& style, bool money)
{
    const MoneyFormat format = styleNamed(style);
    return money ? format.moneyFormatter() : format.numberFormatter();
}

} // namespace

class tst_MoneyFormat : public QObject
{
    Q_OBJECT

private slots:
    void patterns_data();
    void patterns();
    void format_data();
    void format();
    void formatOtherPatterns_data();
    void formatOtherPatterns();
    void formatHugeValues();
    void parseReadsBackFormattedText_data();
    void parseReadsBackFormattedText();
    void parseTypedText_data();
    void parseTypedText();
    void parseRejects_data();
    void parseRejects();
    void pad_data();
    void pad();
    void padShortFormsUseDefaults();
    void floatWithoutMoneyPadLength_data();
    void floatWithoutMoneyPadLength();
    void fix_data();
    void fix();
    void toComma_data();
    void toComma();
    void composedTexts_data();
    void composedTexts();
};

void tst_MoneyFormat::patterns_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("numberPattern");
    QTest::addColumn<QString>("moneyPattern");

    QTest::newRow("defaults, symbol before")
        << "before" << "#,##0.00;0.00;(#,##0.00)" << "$ #,##0.00;$ 0.00;[Red]($ #,##0.00)";
    QTest::newRow("defaults, symbol after")
        << "after" << "#,##0.00;0.00;(#,##0.00)" << "#,##0.00 $;0.00 $;[Red](#,##0.00 $)";
    QTest::newRow("european, symbol after")
        << "euro" << "#.##0,00;0,00;(#.##0,00)" << "#.##0,00 €;0,00 €;[Red](#.##0,00 €)";
    QTest::newRow("multi-character separators and symbol")
        << "multi" << "#''##0::00;0::00;(#''##0::00)"
        << "CHF #''##0::00;CHF 0::00;[Red](CHF #''##0::00)";
    QTest::newRow("symbol that looks like a template place is inserted verbatim")
        << "placeholder-symbol" << "#,##0.00;0.00;(#,##0.00)"
        << "%@ #,##0.00;%@ 0.00;[Red](%@ #,##0.00)";
}

void tst_MoneyFormat::patterns()
{
    QFETCH(QString, style);
    QFETCH(QString, numberPattern);
    QFETCH(QString, moneyPattern);

    const MoneyFormat format = styleNamed(style);
    QCOMPARE(format.numberPattern(), numberPattern);
    QCOMPARE(format.moneyPattern(), moneyPattern);
    QCOMPARE(format.numberFormatter().pattern(), numberPattern);
    QCOMPARE(format.moneyFormatter().pattern(), moneyPattern);
    QCOMPARE(format.moneyFormatter().decimalSeparator(), format.decimalSeparator());
    QCOMPARE(format.moneyFormatter().thousandsSeparator(), format.thousandsSeparator());
}

void tst_MoneyFormat::format_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<bool>("money");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("red");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();

    QTest::newRow("number positive") << "before" << false << 1234.5 << "1,234.50" << false;
    QTest::newRow("number zero") << "before" << false << 0.0 << "0.00" << false;
    QTest::newRow("number negative") << "before" << false << -1234.5 << "(1,234.50)" << false;
    QTest::newRow("money before positive") << "before" << true << 1234.5 << "$ 1,234.50" << false;
    QTest::newRow("money before zero") << "before" << true << 0.0 << "$ 0.00" << false;
    QTest::newRow("money before negative") << "before" << true << -1234.5 << "($ 1,234.50)" << true;
    QTest::newRow("money after positive") << "after" << true << 1234.5 << "1,234.50 $" << false;
    QTest::newRow("money after zero") << "after" << true << 0.0 << "0.00 $" << false;
    QTest::newRow("money after negative") << "after" << true << -1234.5 << "(1,234.50 $)" << true;
    QTest::newRow("number after negative") << "after" << false << -1234.5 << "(1,234.50)" << false;

    QTest::newRow("european number") << "euro" << false << 1234.5 << "1.234,50" << false;
    QTest::newRow("european money negative") << "euro" << true << -1234.5 << "(1.234,50 €)" << true;
    QTest::newRow("european zero") << "euro" << true << 0.0 << "0,00 €" << false;
    QTest::newRow("multi-character money") << "multi" << true << 1234567.89 << "CHF 1''234''567::89" << false;
    QTest::newRow("multi-character zero") << "multi" << true << 0.0 << "CHF 0::00" << false;
    QTest::newRow("empty thousands separator") << "ungrouped" << false << 1234567.89 << "1234567.89" << false;

    QTest::newRow("millions") << "before" << false << 1234567.89 << "1,234,567.89" << false;
    QTest::newRow("exactly one thousand") << "before" << false << 1000.0 << "1,000.00" << false;
    QTest::newRow("six digits, one group") << "before" << false << 123456.0 << "123,456.00" << false;
    QTest::newRow("below one") << "before" << false << 0.5 << "0.50" << false;
    QTest::newRow("just below a thousand") << "before" << false << 999.99 << "999.99" << false;
    QTest::newRow("negative cents") << "before" << true << -0.05 << "($ 0.05)" << true;
    QTest::newRow("single-precision amount") << "before" << false << double(1234.57f) << "1,234.57" << false;

    QTest::newRow("exact half rounds to even, down") << "before" << false << 0.125 << "0.12" << false;
    QTest::newRow("exact half rounds to even, up") << "before" << false << 0.375 << "0.38" << false;
    QTest::newRow("tiny positive is zero") << "before" << true << 0.004 << "$ 0.00" << false;
    QTest::newRow("tiny negative is zero, not red") << "before" << true << -0.004 << "$ 0.00" << false;
    QTest::newRow("negative zero") << "after" << true << -0.0 << "0.00 $" << false;

    QTest::newRow("NaN as zero") << "before" << true << nan << "$ 0.00" << false;
    QTest::newRow("infinity as zero") << "before" << false << inf << "0.00" << false;
    QTest::newRow("minus infinity as zero, not red") << "after" << true << -inf << "0.00 $" << false;
}

void tst_MoneyFormat::format()
{
    QFETCH(QString, style);
    QFETCH(bool, money);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QFETCH(bool, red);

    const MoneyFormatter formatter = formatterFor(style, money);
    QCOMPARE(formatter.format(value), expected);
    QCOMPARE(formatter.isRed(value), red);
}

void tst_MoneyFormat::formatOtherPatterns_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("red");

    QTest::newRow("one section: negatives get a minus") << "#,##0.00" << -5.0 << "-5.00" << false;
    QTest::newRow("one section: zero uses it") << "#,##0.00 h" << 0.0 << "0.00 h" << false;
    QTest::newRow("two sections: second is negative") << "#,##0.00;[Red]-#,##0.00" << -5.0 << "-5.00" << true;
    QTest::newRow("two sections: zero uses the first") << "#,##0.00;[Red]-#,##0.00" << 0.0 << "0.00" << false;
    QTest::newRow("zero section without number") << "#,##0.00 CR;nil;#,##0.00 DR" << 0.0 << "nil" << false;
    QTest::newRow("negative without parentheses") << "#,##0.00 CR;nil;#,##0.00 DR" << -5.0 << "5.00 DR" << false;
    QTest::newRow("red positive section") << "[Red]#,##0.00;0.00;(#,##0.00)" << 5.0 << "5.00" << true;
    QTest::newRow("empty pattern is the bare number") << "" << -1234.5 << "-1,234.50" << false;
}

void tst_MoneyFormat::formatOtherPatterns()
{
    QFETCH(QString, pattern);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QFETCH(bool, red);

    const MoneyFormatter formatter(pattern, QStringLiteral("."), QStringLiteral(","));
    QCOMPARE(formatter.format(value), expected);
    QCOMPARE(formatter.isRed(value), red);
    QCOMPARE(formatter.parse(expected).value_or(-1), value);
}

void tst_MoneyFormat::formatHugeValues()
{
    const MoneyFormatter formatter = formatterFor(QStringLiteral("before"), true);
    for (const double value : {1e20, 1e307, -std::numeric_limits<double>::max()}) {
        const QString text = formatter.format(value);
        const QString ending = value > 0 ? QStringLiteral(".00") : QStringLiteral(".00)");
        QVERIFY2(text.endsWith(ending), qPrintable(text));
        QCOMPARE(formatter.parse(text).value_or(0), value);
    }
    QCOMPARE(formatter.format(1e20), QStringLiteral("$ 100,000,000,000,000,000,000.00"));
}

void tst_MoneyFormat::parseReadsBackFormattedText_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<bool>("money");
    QTest::addColumn<double>("value");

    const QStringList styles{"before", "after", "euro", "multi", "ungrouped"};
    const QList<double> values{1234.5, 0.0, -1234.5, 1234567.89, -0.5, 999.99, 0.07};
    for (const QString& style : styles) {
        for (const bool money : {false, true}) {
            for (const double value : values) {
                QTest::addRow("%s %s %g", qPrintable(style), money ? "money" : "number", value)
                    << style << money << value;
            }
        }
    }
}

void tst_MoneyFormat::parseReadsBackFormattedText()
{
    QFETCH(QString, style);
    QFETCH(bool, money);
    QFETCH(double, value);

    const MoneyFormatter formatter = formatterFor(style, money);
    const QString text = formatter.format(value);
    const std::optional<double> parsed = formatter.parse(text);
    QVERIFY2(parsed.has_value(), qPrintable(text));
    QCOMPARE(*parsed, value);
    QCOMPARE(formatter.format(*parsed), text);
}

void tst_MoneyFormat::parseTypedText_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::addColumn<bool>("hasSymbol"); // only the money formatter knows the symbol

    QTest::newRow("plain number") << "before" << "1234.5" << 1234.5 << false;
    QTest::newRow("plain negative") << "before" << "-1234.5" << -1234.5 << false;
    QTest::newRow("grouped") << "before" << "1,234.5" << 1234.5 << false;
    QTest::newRow("grouped millions") << "before" << "1,234,567" << 1234567.0 << false;
    QTest::newRow("integer") << "before" << "12" << 12.0 << false;
    QTest::newRow("fraction only") << "before" << ".5" << 0.5 << false;
    QTest::newRow("trailing separator") << "before" << "12." << 12.0 << false;
    QTest::newRow("more than two decimals kept") << "before" << "1.2345" << 1.2345 << false;
    QTest::newRow("white space around") << "before" << " \t12.00  " << 12.0 << false;
    QTest::newRow("spaced minus") << "before" << "- 12" << -12.0 << false;
    QTest::newRow("parentheses") << "before" << "(12)" << -12.0 << false;
    QTest::newRow("minus zero is zero") << "before" << "-0" << 0.0 << false;
    QTest::newRow("symbol without space") << "before" << "$12" << 12.0 << true;
    QTest::newRow("minus before symbol") << "before" << "-$ 12" << -12.0 << true;
    QTest::newRow("minus after symbol") << "before" << "$ -12" << -12.0 << true;
    QTest::newRow("spaced parentheses") << "before" << "( $ 12.00 )" << -12.0 << true;
    QTest::newRow("trailing symbol without space") << "after" << "12$" << 12.0 << true;
    QTest::newRow("trailing symbol negative") << "after" << "-12 $" << -12.0 << true;
    QTest::newRow("european plain") << "euro" << "1234,5" << 1234.5 << false;
    QTest::newRow("european grouped negative") << "euro" << "-1.234,5" << -1234.5 << false;
    QTest::newRow("multi-character plain") << "multi" << "1234::5" << 1234.5 << false;
    QTest::newRow("multi-character symbol glued") << "multi" << "CHF1''234" << 1234.0 << true;
    QTest::newRow("no grouping separator") << "ungrouped" << "1234567.5" << 1234567.5 << false;
}

void tst_MoneyFormat::parseTypedText()
{
    QFETCH(QString, style);
    QFETCH(QString, text);
    QFETCH(double, expected);
    QFETCH(bool, hasSymbol);

    for (const bool money : {false, true}) {
        if (hasSymbol && !money)
            continue;
        const std::optional<double> parsed = formatterFor(style, money).parse(text);
        QVERIFY2(parsed.has_value(), money ? "money formatter" : "number formatter");
        QCOMPARE(*parsed, expected);
        QVERIFY(!std::signbit(*parsed) || expected < 0);
    }
}

void tst_MoneyFormat::parseRejects_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << "before" << "";
    QTest::newRow("only white space") << "before" << "   ";
    QTest::newRow("words") << "before" << "abc";
    QTest::newRow("number then letters") << "before" << "12abc";
    QTest::newRow("short group") << "before" << "1,23";
    QTest::newRow("long group") << "before" << "1,2345";
    QTest::newRow("two decimal separators") << "before" << "1.2.3";
    QTest::newRow("double minus") << "before" << "--12";
    QTest::newRow("minus inside parentheses") << "before" << "(-12)";
    QTest::newRow("symbol alone") << "before" << "$";
    QTest::newRow("empty parentheses") << "before" << "()";
    QTest::newRow("unbalanced parenthesis") << "before" << "(12";
    QTest::newRow("trailing minus") << "before" << "12-";
    QTest::newRow("space inside number") << "before" << "1 234";
    QTest::newRow("exponent") << "before" << "1e5";
    QTest::newRow("hexadecimal") << "before" << "0x10";
    QTest::newRow("not a number") << "before" << "nan";
    QTest::newRow("infinity") << "before" << "inf";
    QTest::newRow("overflowing digits") << "before" << QString(400, u'9');
    QTest::newRow("another currency") << "before" << "€ 12";
    QTest::newRow("point as european decimal") << "euro" << "1,234.50";
    QTest::newRow("grouping without a separator") << "ungrouped" << "1,234";
}

void tst_MoneyFormat::parseRejects()
{
    QFETCH(QString, style);
    QFETCH(QString, text);

    for (const bool money : {false, true}) {
        const std::optional<double> parsed = formatterFor(style, money).parse(text);
        QVERIFY2(!parsed.has_value(), qPrintable(QString::number(parsed.value_or(0))));
    }
}

void tst_MoneyFormat::pad_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("money");
    QTest::addColumn<bool>("checkParen");
    QTest::addColumn<QString>("expected");

    QTest::newRow("symbol before stands in front of the field")
        << "before" << "1,234.50" << 12 << true << false << "$    1,234.50";
    QTest::newRow("symbol after takes the last column")
        << "after" << "1,234.50" << 12 << true << false << "   1,234.50 $";
    QTest::newRow("multi-character symbol before")
        << "multi" << "1,234.50" << 12 << true << false << "CHF    1,234.50";
    QTest::newRow("one-character euro after")
        << "euro" << "1.234,50" << 12 << true << false << "   1.234,50 €";
    QTest::newRow("negative keeps full width")
        << "before" << "(12.00)" << 10 << false << true << "   (12.00)";
    QTest::newRow("positive ends a column early")
        << "before" << "12.00" << 10 << false << true << "    12.00";
    QTest::newRow("positive money ends a column early")
        << "before" << "12.00" << 12 << true << true << "$      12.00";
    QTest::newRow("longer than width, symbol before")
        << "before" << "123,456,789.00" << 8 << true << false << "$123,456,789.00";
    QTest::newRow("longer than width, symbol after")
        << "after" << "123,456,789.00" << 8 << true << false << "123,456,789.00 $";
    QTest::newRow("longer than width, no money")
        << "after" << "123,456,789.00" << 8 << false << true << "123,456,789.00";
    QTest::newRow("one short of width with trailing symbol")
        << "after" << "99,999.00" << 10 << true << false << "99,999.00 $";
    QTest::newRow("empty text is not shortened")
        << "before" << "" << 7 << false << true << "       ";
    QTest::newRow("empty text with trailing symbol")
        << "after" << "" << 7 << true << true << "       $";
    QTest::newRow("empty text with leading symbol")
        << "before" << "" << 7 << true << true << "$       ";
}

void tst_MoneyFormat::pad()
{
    QFETCH(QString, style);
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(bool, money);
    QFETCH(bool, checkParen);
    QFETCH(QString, expected);

    QCOMPARE(styleNamed(style).pad(text, width, money, checkParen), expected);
}

void tst_MoneyFormat::padShortFormsUseDefaults()
{
    const MoneyFormat format = styleNamed(QStringLiteral("after"));
    const QString text = QStringLiteral("12.00");
    QCOMPARE(format.pad(text), QStringLiteral("      12.00 $"));
    QCOMPARE(format.pad(text, 8), QStringLiteral("  12.00 $"));
    QCOMPARE(format.pad(text, 8, false), QStringLiteral("   12.00"));
}

void tst_MoneyFormat::floatWithoutMoneyPadLength_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<int>("expected");

    QTest::newRow("symbol after") << "after" << 12;
    QTest::newRow("one-character symbol before") << "before" << 13;
    QTest::newRow("two-character symbol before") << "kr" << 14;
    QTest::newRow("euro after") << "euro" << 12;
}

void tst_MoneyFormat::floatWithoutMoneyPadLength()
{
    QFETCH(QString, style);
    QFETCH(int, expected);

    QCOMPARE(styleNamed(style).floatWithoutMoneyPadLength(), expected);
}

void tst_MoneyFormat::fix_data()
{
    QTest::addColumn<QString>("decimalSeparator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("extra digits dropped, no rounding") << "," << "1.234,5678" << "1.234,56";
    QTest::newRow("parenthesised amount unchanged") << "," << "(1.234,56)" << "(1.234,56)";
    QTest::newRow("closing parenthesis kept") << "," << "(12,3456)" << "(12,34)";
    QTest::newRow("trailing symbol kept") << "," << "12,999 €" << "12,99 €";
    QTest::newRow("digits before the comma untouched") << "," << "123456" << "123456";
    QTest::newRow("point separator leaves text alone") << "." << "1.234,5678" << "1.234,5678";
    QTest::newRow("multi-character separator leaves text alone") << ",," << "1,2345" << "1,2345";
}

void tst_MoneyFormat::fix()
{
    QFETCH(QString, decimalSeparator);
    QFETCH(QString, text);
    QFETCH(QString, expected);

    const MoneyFormat format(QStringLiteral("$"), QStringLiteral("."), decimalSeparator, false);
    QCOMPARE(format.fix(text), expected);
}

void tst_MoneyFormat::toComma_data()
{
    QTest::addColumn<QString>("decimalSeparator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("comma separator") << "," << "12.50" << "12,50";
    QTest::newRow("every point") << "," << "1.2.3" << "1,2,3";
    QTest::newRow("point separator") << "." << "12.50" << "12.50";
}

void tst_MoneyFormat::toComma()
{
    QFETCH(QString, decimalSeparator);
    QFETCH(QString, text);
    QFETCH(QString, expected);

    const MoneyFormat format(QStringLiteral("$"), QStringLiteral(" "), decimalSeparator, false);
    QCOMPARE(format.toComma(text), expected);
}

void tst_MoneyFormat::composedTexts_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<float>("value");
    QTest::addColumn<bool>("money");
    QTest::addColumn<bool>("checkParen");
    QTest::addColumn<QString>("expected");

    // Money totals and plain totals end in the same column (13 with "$" before).
    QTest::newRow("money total, symbol before")
        << "before" << "formatTotal" << 1234.5f << true << false << "$    1,234.50";
    QTest::newRow("plain total, symbol before")
        << "before" << "formatTotal" << 1234.5f << false << false << "     1,234.50";
    QTest::newRow("plain total, negative with checkParen")
        << "before" << "formatTotal" << -12.0f << false << true << "      (12.00)";
    QTest::newRow("plain total, positive with checkParen")
        << "before" << "formatTotal" << 12.0f << false << true << "       12.00";
    QTest::newRow("money total, symbol after")
        << "after" << "formatTotal" << 12.0f << true << false << "      12.00 $";
    QTest::newRow("plain total, european")
        << "euro" << "formatTotal" << 1234.5f << false << false << "    1.234,50";
    QTest::newRow("formatMoney pads with symbol")
        << "before" << "formatMoney" << 1234.5f << true << false << "$    1,234.50";
    QTest::newRow("formatFloat has no symbol, no alignment")
        << "euro" << "formatFloat" << -1234.5f << false << false << "(1.234,50)";
    QTest::newRow("formattedValue with money")
        << "euro" << "formattedValue" << -1234.5f << true << false << "(1.234,50 €)";
    QTest::newRow("formattedValue without money")
        << "before" << "formattedValue" << 0.0f << false << false << "0.00";
}

void tst_MoneyFormat::composedTexts()
{
    QFETCH(QString, style);
    QFETCH(QString, operation);
    QFETCH(float, value);
    QFETCH(bool, money);
    QFETCH(bool, checkParen);
    QFETCH(QString, expected);

    const MoneyFormat format = styleNamed(style);
    QString actual;
    if (operation == u"formatTotal")
        actual = format.formatTotal(value, format.numberFormatter(), money, checkParen);
    else if (operation == u"formatMoney")
        actual = format.formatMoney(value);
    else if (operation == u"formatFloat")
        actual = format.formatFloat(value);
    else
        actual = format.formattedValue(value, money);
    QCOMPARE(actual, expected);
}

QTEST_APPLESS_MAIN(tst_MoneyFormat)
#include "tst_moneyformat.moc"
