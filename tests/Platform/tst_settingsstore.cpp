#include "Clock.h"
#include "SettingsStore.h"
#include "TestSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QtTest>

#include <clocale>
#include <unistd.h>
#include <optional>

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typedReads_data();
    void typedReads();
    void userValueHidesRegisteredDefault();
    void overrideIsNeverWritten();
    void valuesPersistAcrossReload();
    void flushReplacesTheFileAtomically();
    void flushMakesMissingFolders();
    void unreadableFileIsKeptAside_data();
    void unreadableFileIsKeptAside();
    void realReadIgnoresTheUserLocale();

private:
    SettingsStore& store() { return SettingsStore::shared(); }
    QByteArray fileContent(const QString& path);
    QStringList keptFiles();

    std::optional<TestSettings> _settings;
};

void TestSettingsStore::init()
{
    _settings.emplace();
    // Every warning a test expects is announced with ignoreMessage; any other one is a fault.
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
}

void TestSettingsStore::cleanup()
{
    _settings.reset();
    Clock::reset();
}

QByteArray TestSettingsStore::fileContent(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QStringList TestSettingsStore::keptFiles()
{
    const QFileInfo settingsFile(_settings->filePath());
    return settingsFile.dir().entryList({settingsFile.fileName() + QStringLiteral(".*")}, QDir::Files, QDir::Name);
}

// The registered defaults are strings while the settings window stores numbers and booleans:
// both must read alike, from either layer.
void TestSettingsStore::typedReads_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("asBool");
    QTest::addColumn<qint64>("asInteger");
    QTest::addColumn<double>("asReal");
    QTest::addColumn<QString>("asString"); // null: no string
    QTest::addColumn<int>("arrayCount");

    const QString none;
    QTest::newRow("text YES") << QVariant("YES") << true << qint64(0) << 0.0 << "YES" << 0;
    QTest::newRow("text NO") << QVariant("NO") << false << qint64(0) << 0.0 << "NO" << 0;
    QTest::newRow("text 5.875") << QVariant("5.875") << true << qint64(5) << 5.875 << "5.875" << 0;
    QTest::newRow("text abc") << QVariant("abc") << false << qint64(0) << 0.0 << "abc" << 0;
    QTest::newRow("text 12abc") << QVariant("12abc") << true << qint64(12) << 12.0 << "12abc" << 0;
    QTest::newRow("text with blanks and sign") << QVariant("  -7.5kg") << true << qint64(-7) << -7.5 << "  -7.5kg" << 0;
    QTest::newRow("text zero") << QVariant("0") << false << qint64(0) << 0.0 << "0" << 0;
    QTest::newRow("text with exponent") << QVariant("1e3") << true << qint64(1) << 1000.0 << "1e3" << 0;
    QTest::newRow("text in hex is not a number") << QVariant("0x1A") << false << qint64(0) << 0.0 << "0x1A" << 0;
    QTest::newRow("text inf is not a number") << QVariant("inf") << false << qint64(0) << 0.0 << "inf" << 0;
    QTest::newRow("empty text") << QVariant("") << false << qint64(0) << 0.0 << "" << 0;
    QTest::newRow("integer 90") << QVariant(90) << true << qint64(90) << 90.0 << none << 0;
    QTest::newRow("real 5.875") << QVariant(5.875) << true << qint64(5) << 5.875 << none << 0;
    QTest::newRow("negative real truncates") << QVariant(-2.9) << true << qint64(-2) << -2.9 << none << 0;
    QTest::newRow("huge real saturates") << QVariant(1e30) << true << std::numeric_limits<qint64>::max() << 1e30 << none << 0;
    QTest::newRow("boolean true") << QVariant(true) << true << qint64(1) << 1.0 << none << 0;
    QTest::newRow("boolean false") << QVariant(false) << false << qint64(0) << 0.0 << none << 0;
    QTest::newRow("list") << QVariant(QVariantList {"a", "b"}) << false << qint64(0) << 0.0 << none << 2;
    QTest::newRow("nothing stored") << QVariant() << false << qint64(0) << 0.0 << none << 0;
}

void TestSettingsStore::typedReads()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, asBool);
    QFETCH(qint64, asInteger);
    QFETCH(double, asReal);
    QFETCH(QString, asString);
    QFETCH(int, arrayCount);

    const QString key = QStringLiteral("Key");
    for (const bool registered : {true, false}) {
        SettingsStore layer(QDir(QFileInfo(_settings->filePath()).absolutePath()).filePath(QStringLiteral("layer.json")));
        if (stored.isValid()) {
            if (registered)
                layer.registerDefaults({{key, stored}});
            else
                layer.setValue(key, stored);
        }
        const char* which = registered ? "registered default" : "user value";
        QVERIFY2(layer.boolForKey(key) == asBool, which);
        QVERIFY2(layer.integerForKey(key) == asInteger, which);
        QVERIFY2(layer.realForKey(key) == asReal, which);
        QVERIFY2(layer.stringForKey(key) == asString, which);
        QVERIFY2(layer.stringForKey(key).isNull() == asString.isNull(), which);
        QVERIFY2(layer.arrayForKey(key).size() == arrayCount, which);
    }
}

void TestSettingsStore::userValueHidesRegisteredDefault()
{
    store().registerDefaults({{QStringLiteral("PayRate"), QStringLiteral("125")}});
    store().setValue(QStringLiteral("PayRate"), 90);

    QCOMPARE(store().realForKey(QStringLiteral("PayRate")), 90.0);
    QCOMPARE(store().registeredDefaults().value(QStringLiteral("PayRate")), QVariant("125"));

    // Registering again replaces the default but still does not reach past the user value.
    store().registerDefaults({{QStringLiteral("PayRate"), QStringLiteral("130")}});
    QCOMPARE(store().realForKey(QStringLiteral("PayRate")), 90.0);

    store().removeValue(QStringLiteral("PayRate"));
    QCOMPARE(store().realForKey(QStringLiteral("PayRate")), 130.0);
}

void TestSettingsStore::overrideIsNeverWritten()
{
    store().setValue(QStringLiteral("Mailer"), QStringLiteral("Mail"));
    store().setOverride(QStringLiteral("Mailer"), QStringLiteral("Eudora"));
    QCOMPARE(store().stringForKey(QStringLiteral("Mailer")), QStringLiteral("Eudora"));
    QVERIFY(store().flush());

    _settings->reload();
    QCOMPARE(store().stringForKey(QStringLiteral("Mailer")), QStringLiteral("Mail"));
}

void TestSettingsStore::valuesPersistAcrossReload()
{
    const QVariantList descriptions {
        QVariantMap {{QStringLiteral("Description"), QStringLiteral("Design")}, {QStringLiteral("Rate"), QStringLiteral("90")}},
        QVariantMap {{QStringLiteral("Description"), QStringLiteral("Travel")}, {QStringLiteral("Rate"), QStringLiteral("")}},
    };
    store().registerDefaults({{QStringLiteral("TaxRate"), QStringLiteral("5.875")}});
    store().setValue(QStringLiteral("RemitAddress"), QStringLiteral("\t\tÅsa Öberg\n\t\tGötgatan 1\n"));
    store().setValue(QStringLiteral("NextInvoiceNumber"), qint64(1001));
    store().setValue(QStringLiteral("PayRate"), 87.5f);
    store().setValue(QStringLiteral("EuroDates"), true);
    store().setValue(QStringLiteral("JobDescriptions"), descriptions);
    QVERIFY(store().flush());
    store().setValue(QStringLiteral("TwentyFourHour"), QStringLiteral("YES")); // flushed when the store goes

    _settings->reload();

    QCOMPARE(store().stringForKey(QStringLiteral("RemitAddress")), QStringLiteral("\t\tÅsa Öberg\n\t\tGötgatan 1\n"));
    QCOMPARE(store().integerForKey(QStringLiteral("NextInvoiceNumber")), qint64(1001));
    QCOMPARE(store().realForKey(QStringLiteral("PayRate")), 87.5);
    QCOMPARE(store().boolForKey(QStringLiteral("EuroDates")), true);
    QCOMPARE(store().arrayForKey(QStringLiteral("JobDescriptions")), descriptions);
    QCOMPARE(store().boolForKey(QStringLiteral("TwentyFourHour")), true);
    // Registered defaults belong to the run that registered them.
    QVERIFY(!store().value(QStringLiteral("TaxRate")).isValid());
    QVERIFY(!fileContent(_settings->filePath()).contains("TaxRate"));
}

// A crash or a full disk during a flush must leave either the old file or the new one: the new
// content goes to another file that replaces the old, so a second name for the old file still
// shows the old content.
void TestSettingsStore::flushReplacesTheFileAtomically()
{
    store().setValue(QStringLiteral("Mailer"), QStringLiteral("Mail"));
    QVERIFY(store().flush());
    const QString secondName = _settings->filePath() + QStringLiteral("-link");
    QCOMPARE(::link(qPrintable(_settings->filePath()), qPrintable(secondName)), 0);
    const QByteArray before = fileContent(secondName);

    store().setValue(QStringLiteral("Mailer"), QStringLiteral("PowerMail"));
    QVERIFY(store().flush());

    QCOMPARE(fileContent(secondName), before);
    QVERIFY(fileContent(_settings->filePath()).contains("PowerMail"));
    QCOMPARE(QFileInfo(_settings->filePath()).dir().entryList(QDir::Files).size(), 2); // no temporary left
}

void TestSettingsStore::flushMakesMissingFolders()
{
    const QString path = QFileInfo(_settings->filePath()).absolutePath() + QStringLiteral("/config/Tallywick/settings.json");
    {
        SettingsStore nested(path);
        nested.setValue(QStringLiteral("Mailer"), QStringLiteral("Mail"));
        QVERIFY(nested.flush());
    }
    SettingsStore again(path);
    QCOMPARE(again.stringForKey(QStringLiteral("Mailer")), QStringLiteral("Mail"));
}

void TestSettingsStore::unreadableFileIsKeptAside_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("not JSON") << QByteArray("PayRate = 90\n");
    QTest::newRow("cut-off object") << QByteArray("{\"PayRate\": 90, \"Mailer\": \"Ma");
    QTest::newRow("top level is a list") << QByteArray("[\"PayRate\", 90]");
}

void TestSettingsStore::unreadableFileIsKeptAside()
{
    QFETCH(QByteArray, content);
    Clock::setNow(QDateTime(QDate(2004, 3, 5), QTime(14, 7)));
    const QRegularExpression warning(QStringLiteral("^Settings file .* is not readable"));

    // Twice in the same second: the second kept file must not replace the first.
    for (int round = 1; round <= 2; ++round) {
        const QByteArray roundContent = content + QByteArray(round, ' ');
        QFile file(_settings->filePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(roundContent);
        file.close();

        _settings->reload();
        QTest::ignoreMessage(QtWarningMsg, warning);
        store().registerDefaults({{QStringLiteral("PayRate"), QStringLiteral("125")}});
        QCOMPARE(store().realForKey(QStringLiteral("PayRate")), 125.0);

        const QStringList kept = keptFiles();
        QCOMPARE(kept.size(), round);
        QStringList contents;
        for (const QString& name : kept)
            contents << QString::fromUtf8(fileContent(QFileInfo(_settings->filePath()).dir().filePath(name)));
        QVERIFY2(contents.contains(QString::fromUtf8(roundContent)), qPrintable(kept.join(QLatin1Char(' '))));

        // The next flush writes a fresh file and leaves the kept ones alone.
        store().setValue(QStringLiteral("Mailer"), QStringLiteral("Mail"));
        QVERIFY(store().flush());
        QCOMPARE(keptFiles(), kept);
        QVERIFY(QJsonDocument::fromJson(fileContent(_settings->filePath())).isObject());
    }
}

// QCoreApplication takes LC_NUMERIC from the user's environment; stored texts always use ".".
void TestSettingsStore::realReadIgnoresTheUserLocale()
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const char* commaLocale = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, name)) {
            commaLocale = name;
            break;
        }
    }
    if (!commaLocale)
        QSKIP("no locale with a decimal comma is installed");
    auto restore = qScopeGuard([&previous] { std::setlocale(LC_NUMERIC, previous.c_str()); });

    store().setValue(QStringLiteral("TaxRate"), QStringLiteral("5.875"));
    QCOMPARE(store().realForKey(QStringLiteral("TaxRate")), 5.875);
    QVERIFY(store().boolForKey(QStringLiteral("TaxRate")));
    store().setValue(QStringLiteral("TaxRate"), QStringLiteral("0.5"));
    QVERIFY(store().boolForKey(QStringLiteral("TaxRate")));
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
