#include "Constants.h"
#include "NotificationCenter.h"
#include "Preferences.h"
#include "SettingsStore.h"
#include "TestSettings.h"
#include "VelmorConstants.h"
#include "VelmorPreferences.h"

#include <QFile>
#include <QFontDatabase>
#include <QtTest>

#include <optional>

using Label = QString (*)();
Q_DECLARE_METATYPE(Label)

namespace {

bool isInteger(const QVariant& value)
{
    return value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong;
}

} // namespace

class TestPreferences : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void freshUserDefaults();
    void registersKeysInOrder();
    void numberFromSettingsWindowHidesRegisteredText();
    void restoreToDefaultConditionKeepsCounterAndFrameworkKeys();
    void currencyResetWritesUserValues();
    void labels_data();
    void labels();
    void numericRateMovesToPayRate();
    void textRateIsAnOrdinaryLabel();
    void counterAdvancesAndNotifies();
    void nextNumberField_data();
    void nextNumberField();
    void reportFont_data();
    void reportFont();

private:
    SettingsStore& store() { return SettingsStore::shared(); }
    // Another run of the program on the same settings file.
    void restart();

    std::optional<TestSettings> _settings;
};

void TestPreferences::init()
{
    _settings.emplace();
    VelmorPreferences::initialize();
    Preferences::initialize();
}

void TestPreferences::cleanup()
{
    _settings.reset();
}

void TestPreferences::restart()
{
    _settings->reload();
    VelmorPreferences::initialize();
    Preferences::initialize();
}

void TestPreferences::freshUserDefaults()
{
    QCOMPARE(store().realForKey(TaxRate), 5.875);
    QCOMPARE(store().realForKey(Rate), 125.0);
    QCOMPARE(store().realForKey(ShareCost), 800.0);
    QCOMPARE(store().boolForKey(AutoCheckForUpdates), true);
    QCOMPARE(store().boolForKey(TaxGrossIncome), true);
    QCOMPARE(store().boolForKey(TaxableByDefault), false);
    QCOMPARE(store().boolForKey(TwentyFourHour), false);
    QCOMPARE(store().stringForKey(Mailer), QStringLiteral("Mail"));
    QCOMPARE(store().integerForKey(InvoiceNumber), qint64(1000));
    QCOMPARE(Preferences::currentInvoiceNumber(), QStringLiteral("1000"));
    QVERIFY(store().arrayForKey(JobDescriptions).isEmpty());

    const QString remit = store().stringForKey(RemitAddress);
    QVERIFY(remit.startsWith(QStringLiteral("\t\t")));
    QVERIFY(remit.endsWith(QLatin1Char('\n')));

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    QCOMPARE(store().stringForKey(ReportFont), fixed.family());
    QCOMPARE(store().stringForKey(ReportFontSize), QString::asprintf("%f", fixed.pointSizeF()));

    QCOMPARE(store().stringForKey(VelmorCCAddress), QStringLiteral(""));
    QVERIFY(!store().stringForKey(VelmorCCAddress).isNull());
    QVERIFY(store().userValues().isEmpty()); // registration writes nothing to the user's file
}

void TestPreferences::registersKeysInOrder()
{
    QStringList keys;
    QVariantList values;
    Preferences::loadDictionary([&](const QString& key, const QVariant& value) {
        keys << key;
        values << value;
    });

    const QStringList expectedSettings {
        TwentyFourHour, EuroDates, RemitAddress, CompanyLogoPath, KeepBackupFile, TaxRate,
        TaxableByDefault, Rate, EquityPercent, ShareCost, ResumeAction, Mailer, ExpenseDescriptions,
        JobDescriptions, AutoCheckForUpdates, OpenOnLaunch, ReportFontSize, ReportFont, IgnoreMoney,
        TaxGrossIncome, CurrencySymbol, DecimalSeparator, ThousandsSeparator, CurrencySymbolAfter,
    };
    const QStringList labels = Preferences::defaultStrings();
    QCOMPARE(labels.size(), 35);
    QCOMPARE(labels.first(), QStringLiteral("**** I N V O I C E ****"));
    QCOMPARE(labels.at(22), QStringLiteral("Unpaid"));
    QCOMPARE(labels.last(), QStringLiteral("Paid"));
    QCOMPARE(keys, expectedSettings + labels); // the counter is not among them

    // Every default is text (or an empty list); each label's value is its own key.
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QVariant& value = values.at(i);
        if (value.typeId() == QMetaType::QVariantList)
            QVERIFY2(value.toList().isEmpty(), qPrintable(keys.at(i)));
        else
            QVERIFY2(value.typeId() == QMetaType::QString, qPrintable(keys.at(i)));
    }
    for (qsizetype i = expectedSettings.size(); i < keys.size(); ++i)
        QCOMPARE(values.at(i).toString(), keys.at(i));

    QVariantMap dictionary;
    Preferences::loadDictionary(dictionary);
    QCOMPARE(dictionary.size(), keys.size());
    QCOMPARE(dictionary.value(CurrencySymbolAfter), QVariant(QStringLiteral("NO")));
}

void TestPreferences::numberFromSettingsWindowHidesRegisteredText()
{
    store().setValue(Rate, 90);
    store().setValue(AutoCheckForUpdates, false);
    store().setValue(TaxRate, 7.25);

    QCOMPARE(store().realForKey(Rate), 90.0);
    QCOMPARE(store().boolForKey(AutoCheckForUpdates), false);
    QCOMPARE(store().realForKey(TaxRate), 7.25);
    QCOMPARE(store().registeredDefaults().value(Rate), QVariant(QStringLiteral("125")));
}

void TestPreferences::restoreToDefaultConditionKeepsCounterAndFrameworkKeys()
{
    const QVariantMap entry {{DESCRIPTION_KEY, QStringLiteral("Design")}, {RATE_KEY, QStringLiteral("90")}};
    Preferences::setNextInvoiceNumber(2500);
    store().setValue(JobDescriptions, QVariantList {entry});
    store().setValue(ExpenseDescriptions, QVariantList {entry});
    store().setValue(OpenOnLaunch, QVariantList {QStringLiteral("/tmp/Client.tickSheet")});
    store().setValue(QStringLiteral("Total"), QStringLiteral("Sum"));
    store().setValue(CurrencySymbol, QStringLiteral("€"));
    store().setValue(Rate, 90);
    store().setValue(PreferencesTabView, 2);
    store().setValue(VelmorCCAddress, QStringLiteral("books@example.com"));

    Preferences::restoreToDefaultCondition();
    restart(); // the reset reached the file

    QCOMPARE(Preferences::currentInvoiceNumber(), QStringLiteral("2500"));
    QVERIFY(store().arrayForKey(JobDescriptions).isEmpty());
    QVERIFY(store().arrayForKey(ExpenseDescriptions).isEmpty());
    QVERIFY(store().arrayForKey(OpenOnLaunch).isEmpty());
    QCOMPARE(Preferences::totalString(), QStringLiteral("Total"));
    QCOMPARE(store().stringForKey(CurrencySymbol), QStringLiteral("$"));
    QCOMPARE(store().value(Rate), QVariant(QStringLiteral("125")));
    QCOMPARE(store().integerForKey(PreferencesTabView), qint64(2));
    QCOMPARE(store().stringForKey(VelmorCCAddress), QStringLiteral("books@example.com"));
}

void TestPreferences::currencyResetWritesUserValues()
{
    store().setValue(CurrencySymbol, QStringLiteral("kr"));
    store().setValue(DecimalSeparator, QStringLiteral(","));
    store().setValue(ThousandsSeparator, QStringLiteral("."));
    store().setValue(CurrencySymbolAfter, true);

    Preferences::resetCurrencyDefaults(store());

    const QVariantMap user = store().userValues();
    QCOMPARE(user.value(CurrencySymbol), QVariant(QStringLiteral("$")));
    QCOMPARE(user.value(DecimalSeparator), QVariant(QStringLiteral(".")));
    QCOMPARE(user.value(ThousandsSeparator), QVariant(QStringLiteral(",")));
    QCOMPARE(user.value(CurrencySymbolAfter), QVariant(QStringLiteral("NO")));
}

void TestPreferences::labels_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored"); // invalid: nothing stored
    QTest::addColumn<Label>("label");
    QTest::addColumn<QString>("expected");

    const QVariant nothing;
    QTest::newRow("total, nothing stored") << "Total" << nothing << Label(&Preferences::totalString) << "Total";
    QTest::newRow("paid mark, nothing stored") << "(pd)" << nothing << Label(&Preferences::pdString) << "(pd)";
    QTest::newRow("money heading, nothing stored") << "" << nothing << Label(&Preferences::header2String)
                                                   << "Date:\tHours:\tRate:\tAmount:\tDescription:\n";
    QTest::newRow("dash, nothing stored") << "-" << nothing << Label(&Preferences::dashString) << "-";
    QTest::newRow("total, user text") << "Total" << QVariant("Sum") << Label(&Preferences::totalString) << "Sum";
    QTest::newRow("total, empty text") << "Total" << QVariant("") << Label(&Preferences::totalString) << "Total";
    QTest::newRow("dash, cleared") << "-" << QVariant(" ") << Label(&Preferences::dashString) << " ";
    QTest::newRow("Unpaid key, summary label") << "Unpaid" << QVariant("Open") << Label(&Preferences::stillUnpaidString) << "Open";
    QTest::newRow("Unpaid key, unpaid label") << "Unpaid" << QVariant("Open") << Label(&Preferences::unpaidString) << "Open";
    QTest::newRow("paid, user text") << "Paid" << QVariant("Settled") << Label(&Preferences::paidString) << "Settled";
}

void TestPreferences::labels()
{
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QFETCH(Label, label);
    QFETCH(QString, expected);
    if (stored.isValid())
        store().setValue(key, stored);
    QCOMPARE(label(), expected);
}

// Settings of earlier versions as they lie on disk: the pay rate under "Rate".
void TestPreferences::numericRateMovesToPayRate()
{
    QFile file(_settings->filePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"Rate": 85, "Mailer": "Eudora"})");
    file.close();
    restart();

    QCOMPARE(Preferences::rateString(), QStringLiteral("Rate"));
    QCOMPARE(store().value(Rate).typeId(), QMetaType::Float);
    QCOMPARE(store().realForKey(Rate), 85.0);
    QCOMPARE(store().value(QStringLiteral("Rate")), QVariant(QStringLiteral("Rate")));

    _settings->reload(); // written at once, not only when the program ends
    QCOMPARE(store().realForKey(Rate), 85.0);
    QCOMPARE(store().stringForKey(QStringLiteral("Rate")), QStringLiteral("Rate"));
    QCOMPARE(store().stringForKey(Mailer), QStringLiteral("Eudora"));
}

void TestPreferences::textRateIsAnOrdinaryLabel()
{
    store().setValue(Rate, 90);
    store().setValue(QStringLiteral("Rate"), QStringLiteral("Hourly"));
    QCOMPARE(Preferences::rateString(), QStringLiteral("Hourly"));
    QCOMPARE(store().realForKey(Rate), 90.0);
}

void TestPreferences::counterAdvancesAndNotifies()
{
    QVariantList posted;
    {
        QObject observer;
        NotificationCenter::shared().addObserver(InvoiceNumberUpdatedNotification, &observer,
                                                 [&posted](const QVariant& object) { posted << object; });
        QVERIFY(Preferences::wantsInvoiceNumber());
        QCOMPARE(Preferences::nextInvoiceNumber(), QStringLiteral("1000"));
        QCOMPARE(Preferences::nextInvoiceNumber(), QStringLiteral("1001"));
        NotificationCenter::shared().post(MoneyFormatChangedNotification); // another name
    }
    QCOMPARE(posted, (QVariantList {qint64(1001), qint64(1002)}));
    QVERIFY(isInteger(posted.first()));

    Preferences::nextInvoiceNumber(); // the observer is gone
    QCOMPARE(posted.size(), 2);

    restart();
    QCOMPARE(Preferences::currentInvoiceNumber(), QStringLiteral("1003"));
}

// What the settings window's next-number field does with what the user typed.
void TestPreferences::nextNumberField_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("numbering");

    QTest::newRow("42") << "42" << "42" << true;
    QTest::newRow("leading zeros") << "007" << "7" << true;
    QTest::newRow("number then words") << " 17 apples" << "17" << true;
    QTest::newRow("zero") << "0" << "" << false;
    QTest::newRow("empty") << "" << "" << false;
    QTest::newRow("one space") << " " << "" << false;
    QTest::newRow("words") << "abc" << "" << false;
    QTest::newRow("negative stays but numbering is off") << "-5" << "-5" << false;
}

void TestPreferences::nextNumberField()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, numbering);

    Preferences::setNextInvoiceNumberString(typed);
    restart(); // an empty value must survive: it hides the registered 1000

    QCOMPARE(Preferences::currentInvoiceNumber(), shown);
    QCOMPARE(Preferences::wantsInvoiceNumber(), numbering);
    if (numbering)
        QCOMPARE(Preferences::nextInvoiceNumber(), shown);
}

void TestPreferences::reportFont_data()
{
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    QString otherFamily;
    for (const QString& family : QFontDatabase::families()) {
        if (family.compare(fixed.family(), Qt::CaseInsensitive) != 0) {
            otherFamily = family;
            break;
        }
    }

    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("pointSize");

    QTest::newRow("registered default") << QString() << QString() << fixed.family() << fixed.pointSizeF();
    if (!otherFamily.isEmpty())
        QTest::newRow("installed family") << otherFamily << "13.5" << otherFamily << 13.5;
    QTest::newRow("unknown family") << "No Such Face 4711" << "13.5" << fixed.family() << fixed.pointSizeF();
    QTest::newRow("no size") << otherFamily << "abc" << fixed.family() << fixed.pointSizeF();
}

void TestPreferences::reportFont()
{
    QFETCH(QString, name);
    QFETCH(QString, size);
    QFETCH(QString, family);
    QFETCH(double, pointSize);

    if (!name.isNull())
        store().setValue(ReportFont, name);
    if (!size.isNull())
        store().setValue(ReportFontSize, size);
    const QFont font = Preferences::reportFont();
    QCOMPARE(font.family(), family);
    QCOMPARE(font.pointSizeF(), pointSize);
}

QTEST_MAIN(TestPreferences)
#include "tst_preferences.moc"
