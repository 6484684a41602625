#include "Bundle.h"
#include "Constants.h"
#include "MyDocument.h"
#include "PlugIns/DateRangeAskerInterface.h"
#include "PlugIns/DateTimeAskerInterface.h"
#include "PlugIns/MoneyFormatSheetInterface.h"
#include "PlugIns/SharePriceAskerInterface.h"
#include "PlugInLoader.h"
#include "Preferences.h"
#include "SettingsStore.h"
#include "TestSettings.h"
#include "UndoManager.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <optional>

namespace {

const QStringList PromptNames = {QStringLiteral("DateTimeAsker"), QStringLiteral("MoneyFormatSheet"),
                                 QStringLiteral("DateRangeAsker"), QStringLiteral("SharePriceAsker")};

template <typename Interface>
Interface* sharedPrompt(const char* name)
{
    return qobject_cast<Interface*>(PlugInLoader::sharedInstanceOfClassName(QLatin1String(name)));
}

QDialog* windowOf(const char* name)
{
    return qobject_cast<QDialog*>(PlugInLoader::sharedInstanceOfClassName(QLatin1String(name)));
}

template <typename Widget>
Widget* field(QDialog* prompt, const char* name)
{
    return prompt->findChild<Widget*>(QLatin1String(name));
}

// Answers the prompt's next modal run as the user would: once it is up, fill in its fields, then
// click the named button. A missing button cancels the run, so a broken layout fails instead of hanging.
void answerNextRun(QDialog* prompt, std::function<void(QDialog*)> fill, const QByteArray& button)
{
    QTimer::singleShot(0, prompt, [prompt, fill = std::move(fill), button] {
        fill(prompt);
        if (auto* pushButton = field<QPushButton>(prompt, button.constData()))
            pushButton->click();
        else
            prompt->reject();
    });
}

void setText(QDialog* prompt, const char* name, const QString& text)
{
    if (auto* combo = field<QComboBox>(prompt, name))
        combo->setEditText(text);
    else if (auto* line = field<QLineEdit>(prompt, name))
        line->setText(text);
}

QString textOf(QDialog* prompt, const char* name)
{
    if (auto* combo = field<QComboBox>(prompt, name))
        return combo->currentText();
    if (auto* line = field<QLineEdit>(prompt, name))
        return line->text();
    return QStringLiteral("<no field %1>").arg(QLatin1String(name));
}

// The four parts of a document's money format, comparable in one go.
struct Format {
    QString symbol;
    QString thousands;
    QString decimal;
    bool after = false;

    static Format of(const MyDocument& document)
    {
        return {document.moneySymbol(), document.thousandsSeparator(), document.decimalSeparator(),
                document.symbolAfterNumber()};
    }
    static Format onSheet(QDialog* sheet)
    {
        return {textOf(sheet, "symbolField"), textOf(sheet, "thousandsField"), textOf(sheet, "decimalField"),
                field<QRadioButton>(sheet, "symbolAfterButton")->isChecked()};
    }
    void fillSheet(QDialog* sheet) const
    {
        setText(sheet, "symbolField", symbol);
        setText(sheet, "thousandsField", thousands);
        setText(sheet, "decimalField", decimal);
        field<QRadioButton>(sheet, after ? "symbolAfterButton" : "symbolBeforeButton")->click();
    }
    void applyTo(MyDocument& document) const
    {
        document.setMoneySymbol(symbol);
        document.setThousandsSeparator(thousands);
        document.setDecimalSeparator(decimal);
        document.setSymbolAfterNumber(after);
        document.undoManager()->removeAllActions();
    }
    bool operator==(const Format&) const = default;
};

// The dates of the date-and-time prompt's table: a day in February, a month of 29 days.
QDateTime at(QTime time)
{
    return QDateTime(QDate(2024, 2, 14), time);
}

QDateTime at(int hour, int minute, int second = 0)
{
    return at(QTime(hour, minute, second));
}

const Format DollarFormat {QStringLiteral("$"), QStringLiteral(","), QStringLiteral("."), false};
const Format EuroFormat {QStringLiteral("€"), QStringLiteral("."), QStringLiteral(","), true};

char* toString(const Format& format)
{
    return QTest::toString(QStringLiteral("[%1|%2|%3|%4]")
                               .arg(format.symbol, format.thousands, format.decimal,
                                    format.after ? QStringLiteral("after") : QStringLiteral("before")));
}

} // namespace

Q_DECLARE_METATYPE(Format)

class TestPrompts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void eachPromptIsOneSharedWindow();

    void dateTimeAsker_data();
    void dateTimeAsker();

    void moneyFormatSheetOk_data();
    void moneyFormatSheetOk();
    void moneyFormatSheetCancelChangesNothing();
    void moneyFormatSheetMakesTheFieldsTheDefaults();
    void moneyFormatSheetResetsTheDefaults();

    void sharePriceAsker_data();
    void sharePriceAsker();

    void dateRangeAsker_data();
    void dateRangeAsker();

private:
    std::optional<TestSettings> _settings;
};

void TestPrompts::initTestCase()
{
    for (const QString& name : PromptNames)
        QVERIFY2(!Bundle::pathForResource(name, QStringLiteral("bundle")).isEmpty(),
                 qPrintable(name + QStringLiteral(".bundle must be in TALLYWICK_RESOURCES (run through ctest)")));
}

void TestPrompts::init()
{
    _settings.emplace();
    Preferences::initialize();
}

void TestPrompts::cleanup()
{
    _settings.reset();
}

void TestPrompts::eachPromptIsOneSharedWindow()
{
    for (const QString& name : PromptNames) {
        QObject* first = PlugInLoader::sharedInstanceOfClassName(name);
        QVERIFY2(qobject_cast<QDialog*>(first), qPrintable(name));
        QCOMPARE(PlugInLoader::sharedInstanceOfClassName(name), first);
        QCOMPARE(first->objectName(), name); // the layout named after the class
    }
    QVERIFY(sharedPrompt<DateTimeAskerInterface>("DateTimeAsker"));
    QVERIFY(sharedPrompt<MoneyFormatSheetInterface>("MoneyFormatSheet"));
    QVERIFY(sharedPrompt<DateRangeAskerInterface>("DateRangeAsker"));
    QVERIFY(sharedPrompt<SharePriceAskerInterface>("SharePriceAsker"));
}

void TestPrompts::dateTimeAsker_data()
{
    QTest::addColumn<bool>("twentyFourHour");
    QTest::addColumn<QTime>("opened");
    QTest::addColumn<QString>("typedHour"); // null: leave the field as shown
    QTest::addColumn<QString>("typedDay");
    QTest::addColumn<QString>("typedAmPm");
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QStringList>("shown"); // hour, minute, AM/PM
    QTest::addColumn<bool>("amPmEnabled");
    QTest::addColumn<QDateTime>("answered"); // invalid: no date
    const QString unchanged;
    const QByteArray ok("okButton");

    QTest::newRow("12-hour afternoon shows 3 PM, unchanged OK drops the seconds")
        << false << QTime(15, 5, 42) << unchanged << unchanged << unchanged << ok
        << QStringList {"3", "05", "PM"} << true << at(15, 5);
    QTest::newRow("12-hour half past noon shows 12 PM")
        << false << QTime(12, 30) << unchanged << unchanged << unchanged << ok
        << QStringList {"12", "30", "PM"} << true << at(12, 30);
    QTest::newRow("12-hour after midnight shows hour 0 AM and reads it back as 0")
        << false << QTime(0, 10) << unchanged << unchanged << unchanged << ok
        << QStringList {"0", "10", "AM"} << true << at(0, 10);
    QTest::newRow("12-hour typed leap day at 7 AM")
        << false << QTime(15, 5) << "7" << "29" << "AM" << ok
        << QStringList {"3", "05", "PM"} << true << QDateTime(QDate(2024, 2, 29), QTime(7, 5));
    QTest::newRow("12-hour typed 12 AM is midnight")
        << false << QTime(15, 5) << "12" << unchanged << "AM" << ok
        << QStringList {"3", "05", "PM"} << true << at(0, 5);
    QTest::newRow("24-hour afternoon shows 15 with AM/PM off")
        << true << QTime(15, 5) << unchanged << unchanged << unchanged << ok
        << QStringList {"15", "05", "AM"} << false << at(15, 5);
    QTest::newRow("24-hour after midnight shows hour 0")
        << true << QTime(0, 10) << unchanged << unchanged << unchanged << ok
        << QStringList {"0", "10", "AM"} << false << at(0, 10);
    QTest::newRow("24-hour typed 23")
        << true << QTime(0, 10) << "23" << unchanged << unchanged << ok
        << QStringList {"0", "10", "AM"} << false << at(23, 10);
    QTest::newRow("Cancel after edits answers the date opened with")
        << false << QTime(15, 5, 42) << "9" << "2" << "AM" << QByteArray("cancelButton")
        << QStringList {"3", "05", "PM"} << true << at(15, 5, 42);
    QTest::newRow("a day the month lacks answers no date")
        << false << QTime(15, 5) << unchanged << "30" << unchanged << ok
        << QStringList {"3", "05", "PM"} << true << QDateTime();
}

void TestPrompts::dateTimeAsker()
{
    QFETCH(bool, twentyFourHour);
    QFETCH(QTime, opened);
    QFETCH(QString, typedHour);
    QFETCH(QString, typedDay);
    QFETCH(QString, typedAmPm);
    QFETCH(QByteArray, button);
    QFETCH(QStringList, shown);
    QFETCH(bool, amPmEnabled);
    QFETCH(QDateTime, answered);

    SettingsStore::shared().setValue(TwentyFourHour, twentyFourHour ? QStringLiteral("YES") : QStringLiteral("NO"));
    auto* asker = sharedPrompt<DateTimeAskerInterface>("DateTimeAsker");
    QVERIFY(asker);

    QStringList seen;
    bool seenAmPmEnabled = !amPmEnabled;
    answerNextRun(windowOf("DateTimeAsker"), [&](QDialog* prompt) {
        seen = {textOf(prompt, "monthField"), textOf(prompt, "dayField"), textOf(prompt, "yearField"),
                textOf(prompt, "hourField"), textOf(prompt, "minuteField"), textOf(prompt, "amPmField")};
        seenAmPmEnabled = field<QComboBox>(prompt, "amPmField")->isEnabled();
        if (!typedHour.isNull())
            setText(prompt, "hourField", typedHour);
        if (!typedDay.isNull())
            setText(prompt, "dayField", typedDay);
        if (!typedAmPm.isNull())
            field<QComboBox>(prompt, "amPmField")->setCurrentText(typedAmPm);
    }, button);
    const std::optional<QDateTime> answer = asker->calendarDateFromModal(at(opened));

    QCOMPARE(seen, QStringList({"2", "14", "2024"}) + shown);
    QCOMPARE(seenAmPmEnabled, amPmEnabled);
    if (!answered.isValid()) {
        QVERIFY(!answer);
        return;
    }
    QVERIFY(answer);
    QCOMPARE(*answer, answered);
}

void TestPrompts::moneyFormatSheetOk_data()
{
    QTest::addColumn<Format>("typed");
    QTest::addColumn<Format>("result");
    QTest::addColumn<int>("undoSteps");
    QTest::addColumn<QString>("amount"); // 1234.5 in the document's money format

    QTest::newRow("all four changed") << EuroFormat << EuroFormat << 1 << "1.234,50 €";
    QTest::newRow("an empty symbol keeps the document's")
        << Format {"", "'", ",", false} << Format {"$", "'", ",", false} << 1 << "$ 1'234,50";
    QTest::newRow("nothing changed makes no undo step") << DollarFormat << DollarFormat << 0 << "$ 1,234.50";
}

void TestPrompts::moneyFormatSheetOk()
{
    QFETCH(Format, typed);
    QFETCH(Format, result);
    QFETCH(int, undoSteps);
    QFETCH(QString, amount);

    MyDocument document;
    DollarFormat.applyTo(document);
    UndoManager* undo = document.undoManager();

    Format shown;
    answerNextRun(windowOf("MoneyFormatSheet"), [&](QDialog* sheet) {
        shown = Format::onSheet(sheet);
        typed.fillSheet(sheet);
    }, "okButton");
    sharedPrompt<MoneyFormatSheetInterface>("MoneyFormatSheet")->runModalForOwner(&document);

    QCOMPARE(shown, DollarFormat);
    QCOMPARE(Format::of(document), result);
    QCOMPARE(document.moneyFormatter().format(1234.5), amount);
    QCOMPARE(undo->undoCount(), undoSteps);
    if (undoSteps == 0)
        return;
    QCOMPARE(undo->undoActionName(), QStringLiteral("Currency Format"));
    undo->undo();
    QCOMPARE(Format::of(document), DollarFormat);
    QCOMPARE(undo->undoCount(), 0);
}

void TestPrompts::moneyFormatSheetCancelChangesNothing()
{
    MyDocument document;
    EuroFormat.applyTo(document);
    const bool wasEdited = document.isDocumentEdited();

    Format shown;
    answerNextRun(windowOf("MoneyFormatSheet"), [&](QDialog* sheet) {
        shown = Format::onSheet(sheet);
        DollarFormat.fillSheet(sheet);
    }, "cancelButton");
    sharedPrompt<MoneyFormatSheetInterface>("MoneyFormatSheet")->runModalForOwner(&document);

    QCOMPARE(shown, EuroFormat);
    QCOMPARE(Format::of(document), EuroFormat);
    QCOMPARE(document.undoManager()->undoCount(), 0);
    QCOMPARE(document.isDocumentEdited(), wasEdited);
}

void TestPrompts::moneyFormatSheetMakesTheFieldsTheDefaults()
{
    MyDocument document;
    answerNextRun(windowOf("MoneyFormatSheet"), [](QDialog* sheet) {
        EuroFormat.fillSheet(sheet);
        field<QPushButton>(sheet, "setTheseAsDefaultsButton")->click();
    }, "cancelButton");
    sharedPrompt<MoneyFormatSheetInterface>("MoneyFormatSheet")->runModalForOwner(&document);

    QCOMPARE(Format::of(document), DollarFormat);
    _settings->reload(); // what reached the file
    QCOMPARE(SettingsStore::shared().value(CurrencySymbolAfter), QVariant(QStringLiteral("YES")));
    QCOMPARE(Format::of(MyDocument()), EuroFormat);
}

void TestPrompts::moneyFormatSheetResetsTheDefaults()
{
    SettingsStore::shared().setValue(CurrencySymbol, QStringLiteral("€"));
    SettingsStore::shared().setValue(CurrencySymbolAfter, QStringLiteral("YES"));
    MyDocument document;
    EuroFormat.applyTo(document);

    Format afterReset;
    answerNextRun(windowOf("MoneyFormatSheet"), [&](QDialog* sheet) {
        field<QPushButton>(sheet, "resetDefaultsButton")->click();
        afterReset = Format::onSheet(sheet);
    }, "cancelButton");
    sharedPrompt<MoneyFormatSheetInterface>("MoneyFormatSheet")->runModalForOwner(&document);

    QCOMPARE(afterReset, EuroFormat);
    QCOMPARE(Format::of(document), EuroFormat);
    _settings->reload();
    const SettingsStore& settings = SettingsStore::shared();
    for (const QString& key : {CurrencySymbol, DecimalSeparator, ThousandsSeparator, CurrencySymbolAfter})
        QVERIFY2(settings.hasUserValue(key), qPrintable(key));
    QCOMPARE(settings.value(CurrencySymbolAfter), QVariant(QStringLiteral("NO")));
    QCOMPARE(Format::of(MyDocument()), DollarFormat);
}

void TestPrompts::sharePriceAsker_data()
{
    QTest::addColumn<Format>("format");
    QTest::addColumn<float>("price");
    QTest::addColumn<QString>("typed"); // null: leave the field as shown
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<float>("answered");
    const QString unchanged;
    const QByteArray ok("okButton");
    const Format dollarAfter {"$", ",", ".", true};

    QTest::newRow("unchanged OK answers the same price")
        << DollarFormat << 12.5f << unchanged << ok << "$ 12.50" << 12.5f;
    QTest::newRow("unchanged OK keeps a price finer than cents")
        << DollarFormat << 12.345f << unchanged << ok << "$ 12.35" << 12.345f;
    QTest::newRow("symbol after the number") << dollarAfter << 12.5f << unchanged << ok << "12.50 $" << 12.5f;
    QTest::newRow("typed in the money format") << DollarFormat << 12.5f << "$ 1,234.56" << ok << "$ 12.50" << 1234.56f;
    QTest::newRow("typed with the symbol after") << dollarAfter << 12.5f << "3.75 $" << ok << "12.50 $" << 3.75f;
    QTest::newRow("typed plain number") << DollarFormat << 12.5f << "7.25" << ok << "$ 12.50" << 7.25f;
    QTest::newRow("only the pattern follows the document, the separators are the field's")
        << EuroFormat << 1234.5f << unchanged << ok << "1,234.50 €" << 1234.5f;
    QTest::newRow("unreadable text keeps the price") << DollarFormat << 12.5f << "twelve" << ok << "$ 12.50" << 12.5f;
    QTest::newRow("Cancel keeps the price")
        << DollarFormat << 12.5f << "99" << QByteArray("cancelButton") << "$ 12.50" << 12.5f;
}

void TestPrompts::sharePriceAsker()
{
    QFETCH(Format, format);
    QFETCH(float, price);
    QFETCH(QString, typed);
    QFETCH(QByteArray, button);
    QFETCH(QString, shown);
    QFETCH(float, answered);

    MyDocument document;
    format.applyTo(document);

    QString seen;
    answerNextRun(windowOf("SharePriceAsker"), [&](QDialog* prompt) {
        seen = textOf(prompt, "priceField");
        if (!typed.isNull())
            setText(prompt, "priceField", typed);
    }, button);
    const float answer = sharedPrompt<SharePriceAskerInterface>("SharePriceAsker")->getPrice(price, &document);

    QCOMPARE(seen, shown);
    QCOMPARE(answer, answered);
}

void TestPrompts::dateRangeAsker_data()
{
    QTest::addColumn<QString>("typedStart"); // null: leave the field as shown
    QTest::addColumn<QString>("typedEnd");
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<QList<QDate>>("dates");
    const QString unchanged;
    const QByteArray ok("okButton");

    QTest::newRow("unchanged OK answers the proposal")
        << unchanged << unchanged << ok << true << QList<QDate> {QDate(2026, 3, 7), QDate(2026, 12, 31)};
    QTest::newRow("typed dates, start first")
        << "1/5/2025" << "02/28/2025" << ok << true << QList<QDate> {QDate(2025, 1, 5), QDate(2025, 2, 28)};
    QTest::newRow("unreadable end answers the start alone")
        << "1/5/2025" << "someday" << ok << true << QList<QDate> {QDate(2025, 1, 5)};
    QTest::newRow("unreadable start answers no date even with a good end")
        << "2/30/2025" << "1/5/2025" << ok << true << QList<QDate> {};
    QTest::newRow("Cancel answers nothing") << "1/5/2025" << unchanged << QByteArray("cancelButton") << false
                                            << QList<QDate> {};
}

void TestPrompts::dateRangeAsker()
{
    QFETCH(QString, typedStart);
    QFETCH(QString, typedEnd);
    QFETCH(QByteArray, button);
    QFETCH(bool, answered);
    QFETCH(QList<QDate>, dates);

    QStringList seen;
    answerNextRun(windowOf("DateRangeAsker"), [&](QDialog* prompt) {
        seen = {textOf(prompt, "startDateField"), textOf(prompt, "endDateField")};
        if (!typedStart.isNull())
            setText(prompt, "startDateField", typedStart);
        if (!typedEnd.isNull())
            setText(prompt, "endDateField", typedEnd);
    }, button);
    const auto answer = sharedPrompt<DateRangeAskerInterface>("DateRangeAsker")
                            ->datesForDates({QDate(2026, 3, 7), QDate(2026, 12, 31)});

    QCOMPARE(seen, QStringList({"03/7/2026", "12/31/2026"}));
    QCOMPARE(answer.has_value(), answered);
    if (answer)
        QCOMPARE(*answer, dates);
}

QTEST_MAIN(TestPrompts)
#include "tst_prompts.moc"
