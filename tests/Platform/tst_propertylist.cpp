#include "PropertyList.h"

#include <QDateTime>
#include <QScopeGuard>
#include <QTest>

#include <algorithm>
#include <clocale>
#include <limits>

namespace {

QVariantMap sampleDocument()
{
    QVariantList work;
    for (int index = 0; index < 3; ++index) {
        work.append(QVariantMap{{"Description", QString("Design <review> & \"notes\" %1").arg(index)},
                                {"StartTime", "Monday, 05 January 2015, 09:00 AM"},
                                {"Paid", index % 2 ? "YES" : "NO"}});
    }
    return {{"ClientName", QString::fromUtf8("Café Noir 😀")},
            {"Address", "1 Main St\nTown\twest"},
            {"Rate", "80.000000"},
            {"Empty", ""},
            {"Work", work},
            {"NoWork", QVariantList()},
            {"NoSettings", QVariantMap()},
            {"PrintInfo", QByteArray("\x00\x01\xfe\xff page setup", 15)}};
}

QByteArray nestedArrays(int depth, const QByteArray& open, const QByteArray& close, const QByteArray& inner = {})
{
    return open.repeated(depth) + inner + close.repeated(depth);
}

QByteArray xmlPlist(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n" + body + "\n</plist>\n";
}

QVariant nestedValue(int depth)
{
    QVariant value = QString("bottom");
    for (int level = 0; level < depth; ++level)
        value = QVariantList{value};
    return value;
}

} // namespace

class tst_PropertyList : public QObject
{
    Q_OBJECT

private slots:
    void xmlRoundTripKeepsEveryType();
    void asciiRoundTripIsSevenBitAndLossless();
    void asciiWriterLayout();
    void readsAscii_data();
    void readsAscii();
    void readsXmlWrittenElsewhere();
    void longRunsOfCharacterReferences();
    void realsIgnoreADecimalCommaLocale();
    void detectsFormat_data();
    void detectsFormat();
    void nestingLimitIsInclusive();
    void refusesBadInput_data();
    void refusesBadInput();
    void refusesUnwritableValues();
};

void tst_PropertyList::xmlRoundTripKeepsEveryType()
{
    QVariantMap document = sampleDocument();
    document.insert("Flags", QVariantList{true, false});
    document.insert("Numbers", QVariantList{qint64(-42), qint64(9007199254740993), 0.1, -2.5e-300});
    document.insert("When", QDateTime(QDate(2020, 2, 29), QTime(23, 59, 58), Qt::UTC));

    const QByteArray xml = PropertyList::writeXml(document);
    QVERIFY(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n"));

    QString error;
    const QVariant read = PropertyList::read(xml, &error);
    QVERIFY2(read.isValid(), qPrintable(error));
    QCOMPARE(read, QVariant(document));
    QCOMPARE(read.toMap().value("Numbers").toList().at(1).typeId(), QMetaType::LongLong);
}

void tst_PropertyList::asciiRoundTripIsSevenBitAndLossless()
{
    QVariantMap document = sampleDocument();
    document.insert("Tricky", QVariantList{"//not a comment", "/*nor this*/", "a//b", "$x+y/z:1.5-_", "x y",
                                           QString(QChar(0)) + "\a\x7f", "back\\slash \"quoted\"\r"});

    const QByteArray ascii = PropertyList::writeAscii(document);
    QVERIFY(std::all_of(ascii.cbegin(), ascii.cend(), [](char c) { return uchar(c) < 0x80; }));
    QVERIFY(ascii.contains("ClientName = \"Caf\\U00e9 Noir \\Ud83d\\Ude00\";"));

    QString error;
    const QVariant read = PropertyList::read(ascii, &error);
    QVERIFY2(read.isValid(), qPrintable(error));
    QCOMPARE(read, QVariant(document));
}

void tst_PropertyList::asciiWriterLayout()
{
    const QVariantMap document{{"Rate", "80.000000"},
                               {"Taxable", true},
                               {"Name", QString::fromUtf8("Café")},
                               {"Work", QVariantList{QVariantMap{{"Paid", "YES"}}, "x y"}},
                               {"Logo", QByteArray("\x0f\xbd\x7a")}};
    QCOMPARE(PropertyList::writeAscii(document), QByteArray("{\n"
                                                            "    Logo = <0fbd7a>;\n"
                                                            "    Name = \"Caf\\U00e9\";\n"
                                                            "    Rate = 80.000000;\n"
                                                            "    Taxable = YES;\n"
                                                            "    Work = (\n"
                                                            "        {\n"
                                                            "            Paid = YES;\n"
                                                            "        },\n"
                                                            "        \"x y\"\n"
                                                            "    );\n"
                                                            "}\n"));
}

void tst_PropertyList::readsAscii_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("\\U escape") << QByteArray("{ Name = \"Caf\\U00e9\"; }")
                                << QVariant(QVariantMap{{"Name", QString::fromUtf8("Café")}});
    QTest::newRow("surrogate pair") << QByteArray("( \"\\Ud83d\\uDE00!\" )")
                                    << QVariant(QVariantList{QString::fromUtf8("😀!")});
    QTest::newRow("octal escapes") << QByteArray("( \"\\101\\1012\\0\\351\" )")
                                   << QVariant(QVariantList{QString("AA2") + QChar(0) + QChar(0xE9)});
    QTest::newRow("simple escapes") << QByteArray("( \"q\\\"b\\\\s\\n\\t\\r\\b\\f\\a\\v\\q\" )")
                                    << QVariant(QVariantList{"q\"b\\s\n\t\r\b\f\a\vq"});
    QTest::newRow("raw UTF-8") << QByteArray("( \"Café\", \"über\" )")
                               << QVariant(QVariantList{QString::fromUtf8("Café"), "über"});
    QTest::newRow("hex data with spaces") << QByteArray("( <0f bd\n7A 00>, <> )")
                                          << QVariant(QVariantList{QByteArray("\x0f\xbd\x7a\x00", 4), QByteArray()});
    QTest::newRow("comments") << QByteArray("// head\n{ /* a } */ a = b; // c = d;\n e /*x*/=/**/f; }// tail")
                              << QVariant(QVariantMap{{"a", "b"}, {"e", "f"}});
    QTest::newRow("trailing comma") << QByteArray("( a, (b,), )") << QVariant(QVariantList{"a", QVariantList{"b"}});
    QTest::newRow("unquoted characters") << QByteArray("( $x+y/z:1.5-_, a//b )")
                                         << QVariant(QVariantList{"$x+y/z:1.5-_", "a//b"});
    QTest::newRow("empty containers") << QByteArray("\xEF\xBB\xBF{ a = {}; b = (); \"\" = \"\"; }")
                                      << QVariant(QVariantMap{{"a", QVariantMap()}, {"b", QVariantList()}, {"", ""}});
    QTest::newRow("last duplicate key wins") << QByteArray("{ a = 1; a = 2; }") << QVariant(QVariantMap{{"a", "2"}});
}

void tst_PropertyList::readsAscii()
{
    QFETCH(QByteArray, text);
    QFETCH(QVariant, expected);
    QString error;
    const QVariant read = PropertyList::read(text, &error);
    QVERIFY2(read.isValid(), qPrintable(error));
    QCOMPARE(read, expected);
}

void tst_PropertyList::readsXmlWrittenElsewhere()
{
    const QByteArray xml = "\xEF\xBB\xBF\n<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"x\">\n"
                           "<!-- comment --><plist version=\"1.0\"><dict>\n"
                           "<key>Text</key><string>a &amp; &lt;b&gt; &#233;&#x1F600;<![CDATA[<c>]]><!-- x -->d</string>\n"
                           "<key>Numbers</key><array><integer> -0x10 </integer><integer>0</integer><real>1e999</real>"
                           "<real>+.5</real><real>-infinity</real><integer>-9223372036854775808</integer></array>\n"
                           "<key>Data</key><data>\n aGVs\n bG8=\n</data>\n"
                           "<key>Date</key><date>1933-01-01T00:00:00Z</date>\n"
                           "<key>Empty</key><string/>\n"
                           "</dict></plist>";
    QString error;
    const QVariantMap read = PropertyList::read(xml, &error).toMap();
    QVERIFY2(!read.isEmpty(), qPrintable(error));
    QCOMPARE(read.value("Text").toString(), QString::fromUtf8("a & <b> é😀<c>d"));
    const QVariantList numbers = read.value("Numbers").toList();
    QCOMPARE(numbers, (QVariantList{qint64(-16), qint64(0), qInf(), 0.5, -qInf(), std::numeric_limits<qint64>::min()}));
    QCOMPARE(read.value("Data").toByteArray(), QByteArray("hello"));
    QCOMPARE(read.value("Date").toDateTime(), QDateTime(QDate(1933, 1, 1), QTime(0, 0), Qt::UTC));
    QCOMPARE(read.value("Empty"), QVariant(QString()));
}

// libplist decodes references in quadratic time; the reader splits long runs, which must not change
// the text.
void tst_PropertyList::longRunsOfCharacterReferences()
{
    const QByteArray body = "&amp;x&#233;" + QByteArray("&lt;").repeated(1000) + "<![CDATA[&amp;]]>" + "&gt;";
    const QByteArray xml = xmlPlist("<dict><key>&quot;" + QByteArray("&amp;").repeated(100) + "</key><string>"
                                    + body + "</string></dict>");
    QString error;
    const QVariantMap read = PropertyList::read(xml, &error).toMap();
    QVERIFY2(!read.isEmpty(), qPrintable(error));
    const QString key = "\"" + QString("&").repeated(100);
    QCOMPARE(read.keys(), QStringList{key});
    QCOMPARE(read.value(key).toString(), QString::fromUtf8("&xé") + QString("<").repeated(1000) + "&amp;>");
}

// Qt takes the C library's locale from the environment, and libplist reads and writes reals with it.
void tst_PropertyList::realsIgnoreADecimalCommaLocale()
{
    const QByteArray previous = std::setlocale(LC_NUMERIC, nullptr);
    const auto restore = qScopeGuard([&] { std::setlocale(LC_NUMERIC, previous.constData()); });
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        QSKIP("no locale with a decimal comma is installed");

    QCOMPARE(PropertyList::read(xmlPlist("<array><real>0.5</real></array>")), QVariant(QVariantList{0.5}));
    QVERIFY(PropertyList::writeXml(QVariantList{0.25}).contains("<real>0.25</real>"));
}

void tst_PropertyList::detectsFormat_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<PropertyList::Format>("format");

    QTest::newRow("xml declaration") << QByteArray("<?xml version=\"1.0\"?><plist/>") << PropertyList::Format::Xml;
    QTest::newRow("doctype") << QByteArray("<!DOCTYPE plist PUBLIC>") << PropertyList::Format::Xml;
    QTest::newRow("plist element after BOM and space") << QByteArray("\xEF\xBB\xBF \r\n\t<plist>")
                                                       << PropertyList::Format::Xml;
    QTest::newRow("binary") << QByteArray("bplist00\xd1\x01\x02") << PropertyList::Format::Binary;
    QTest::newRow("dictionary") << QByteArray("{ a = b; }") << PropertyList::Format::Ascii;
    QTest::newRow("data is not xml") << QByteArray("<0fbd>") << PropertyList::Format::Ascii;
    QTest::newRow("other doctype") << QByteArray("<!DOCTYPE html>") << PropertyList::Format::Ascii;
}

void tst_PropertyList::detectsFormat()
{
    QFETCH(QByteArray, bytes);
    QFETCH(PropertyList::Format, format);
    QCOMPARE(PropertyList::detectFormat(bytes), format);
}

void tst_PropertyList::nestingLimitIsInclusive()
{
    const QVariant deepest = nestedValue(PropertyList::MaximumDepth);
    QCOMPARE(PropertyList::read(PropertyList::writeAscii(deepest)), deepest);
    QCOMPARE(PropertyList::read(PropertyList::writeXml(deepest)), deepest);
    QVERIFY(PropertyList::writeAscii(nestedValue(PropertyList::MaximumDepth + 1)).isEmpty());
    QVERIFY(PropertyList::writeXml(nestedValue(PropertyList::MaximumDepth + 1)).isEmpty());
}

void tst_PropertyList::refusesBadInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");

    const QByteArray document = PropertyList::writeXml(sampleDocument());
    const QByteArray manyKeys = QByteArray("<key>k</key><true/>").repeated(65537);

    QTest::newRow("empty") << QByteArray() << "empty file";
    QTest::newRow("only a comment") << QByteArray(" // nothing\n") << "empty file";
    QTest::newRow("plain text") << QByteArray("Dear client,\n") << "not a property list";
    QTest::newRow("top level only a string, ascii") << QByteArray("\"just text\"") << "not a property list";
    QTest::newRow("top level only a string, xml") << xmlPlist("<string>x</string>")
                                                  << "not a dictionary or an array at the top level";
    QTest::newRow("other xml") << QByteArray("<?xml version=\"1.0\"?>\n<html></html>") << "malformed XML at line 2";
    QTest::newRow("binary") << QByteArray("bplist00\xa0\x08\0\0\0\0\0\0\x01\x01", 16)
                            << "binary property lists are not supported";
    QTest::newRow("truncated xml") << document.left(document.size() / 2)
                                   << QString("unexpected end of file at line %1").arg(document.left(document.size() / 2).count('\n') + 1);
    QTest::newRow("truncated ascii") << QByteArray("{\n a = (b,\n \"c") << "unexpected end of file at line 3";
    QTest::newRow("truncated escape") << QByteArray("( \"\\") << "unexpected end of file at line 1";
    QTest::newRow("unterminated comment") << QByteArray("{ a = b; /* }") << "unexpected end of file at line 1";
    QTest::newRow("extra closing brace") << QByteArray("{ a = b; }\n}") << "unexpected text after the end at line 2";
    QTest::newRow("array closed by brace") << QByteArray("{ a = (b; }") << "expected ',' or ')' at line 1";
    QTest::newRow("missing semicolon") << QByteArray("{ a = b }") << "expected ';' at line 1";
    QTest::newRow("missing equals") << QByteArray("{\n a b; }") << "expected '=' at line 2";
    QTest::newRow("missing value") << QByteArray("{\n a = b;\n c = ;\n}") << "unexpected character at line 3";
    QTest::newRow("key not a string") << QByteArray("{ (a) = b; }") << "dictionary key is not a string at line 1";
    QTest::newRow("unbalanced xml") << xmlPlist("<dict>\n</array>") << "malformed XML at line 4";
    QTest::newRow("odd hex digits") << QByteArray("( <0fb> )") << "invalid data at line 1";
    QTest::newRow("not hex") << QByteArray("( <0g> )") << "invalid data at line 1";
    QTest::newRow("invalid UTF-8, ascii") << QByteArray("( \"caf\xe9\" )") << "invalid UTF-8";
    QTest::newRow("invalid UTF-8, xml") << xmlPlist("<array><string>caf\xe9</string></array>") << "invalid UTF-8";
    QTest::newRow("UTF-8 surrogate") << QByteArray("( \"\xed\xa0\xbd\" )") << "invalid UTF-8";
    QTest::newRow("reference to a surrogate") << xmlPlist("<array><string>&#xD800;</string></array>")
                                              << "invalid UTF-8";
    QTest::newRow("lone high surrogate") << QByteArray("( \"\\Ud83d\" )") << "invalid \\U escape at line 1";
    QTest::newRow("lone low surrogate") << QByteArray("( \"\\Ude00\" )") << "invalid \\U escape at line 1";
    QTest::newRow("short \\U escape") << QByteArray("( \"\\U0e\" )") << "invalid \\U escape at line 1";
    QTest::newRow("NUL in xml") << xmlPlist(QByteArray("<array><string>a") + '\0' + "b</string></array>")
                                << "invalid character at line 3";
    QTest::newRow("very deep ascii") << nestedArrays(513, "(", ")") << "nesting deeper than 512 levels at line 1";
    QTest::newRow("very deep xml") << xmlPlist(nestedArrays(513, "<array>", "</array>"))
                                   << "nesting deeper than 512 levels at line 3";
    QTest::newRow("absurdly deep xml") << xmlPlist(nestedArrays(200000, "<dict><key>k</key>", "</dict>"))
                                       << "nesting deeper than 512 levels at line 3";
    QTest::newRow("too many keys") << xmlPlist("<dict>" + manyKeys + "</dict>")
                                   << "dictionary with more than 65536 keys at line 3";
    QTest::newRow("too many keys behind a nested plist") << xmlPlist("<dict><plist>" + manyKeys + "</plist></dict>")
                                                         << "dictionary with more than 65536 keys at line 3";
    QTest::newRow("absurd integer") << xmlPlist("<array><integer>99999999999999999999999</integer></array>")
                                    << "integer out of range at line 3";
    QTest::newRow("integer one past the limit") << xmlPlist("<array><integer>9223372036854775808</integer></array>")
                                                << "integer out of range at line 3";
    QTest::newRow("integer with junk") << xmlPlist("<array><integer>12abc</integer></array>")
                                       << "invalid integer at line 3";
    QTest::newRow("octal-looking integer") << xmlPlist("<array><integer>010</integer></array>")
                                           << "invalid integer at line 3";
    QTest::newRow("empty integer") << xmlPlist("<array><integer/></array>") << "invalid integer at line 3";
    QTest::newRow("absurd real") << xmlPlist("<array><real>1.2.3e--5</real></array>") << "invalid real at line 3";
    QTest::newRow("hexadecimal real") << xmlPlist("<array><real>0x1p3</real></array>") << "invalid real at line 3";
    QTest::newRow("date beyond 32-bit seconds") << xmlPlist("<array><date>9999-12-31T23:59:59Z</date></array>")
                                                << "date out of range at line 3";
    QTest::newRow("impossible date") << xmlPlist("<array><date>2021-02-29T00:00:00Z</date></array>")
                                     << "invalid date at line 3";
    QTest::newRow("undefined entity") << xmlPlist("<array><string>&bogus;</string></array>")
                                      << "malformed XML property list";
}

void tst_PropertyList::refusesBadInput()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    QString message = "untouched";
    QCOMPARE(PropertyList::read(bytes, &message), QVariant());
    QCOMPARE(message, error);
}

void tst_PropertyList::refusesUnwritableValues()
{
    QCOMPARE(PropertyList::writeXml(QVariant()), QByteArray());
    QCOMPARE(PropertyList::writeAscii(QVariant()), QByteArray());
    QCOMPARE(PropertyList::writeXml(QVariantMap{{"a", QVariant()}}), QByteArray());
    QCOMPARE(PropertyList::writeAscii(QVariantList{QVariant()}), QByteArray());
    // XML cannot hold a NUL, and libplist would cut the text there.
    QCOMPARE(PropertyList::writeXml(QVariantMap{{"a", QString("x") + QChar(0) + "y"}}), QByteArray());
    QCOMPARE(PropertyList::writeXml(QVariantMap{{QString("k") + QChar(0), "v"}}), QByteArray());
    QCOMPARE(PropertyList::writeXml(QVariantList{QDateTime(QDate(2100, 1, 1), QTime(0, 0), Qt::UTC)}), QByteArray());
    QCOMPARE(PropertyList::writeXml(QVariantList{std::numeric_limits<quint64>::max()}), QByteArray());
}

QTEST_GUILESS_MAIN(tst_PropertyList)
#include "tst_propertylist.moc"
