#include "Clock.h"
#include "Constants.h"
#include "ExportColumns.h"
#include "Exporter.h"
#include "MyDocument.h"
#include "PieceWork.h"
#include "SettingsStore.h"
#include "TestSettings.h"

#include <QtTest>

#include <functional>
#include <memory>
#include <optional>

using Entry = std::shared_ptr<PieceWork>;
using MakeEntry = std::function<Entry()>;
Q_DECLARE_METATYPE(MakeEntry)

namespace {

QDateTime at(int hour, int minute)
{
    return QDateTime(QDate(2004, 3, 5), QTime(hour, minute));
}

Entry session(const QDateTime& start, const QDateTime& end, float rate, const QString& description, bool paid = false)
{
    Entry work = PieceWork::init();
    work->setStartTime(start);
    if (end.isValid())
        work->setEndTime(end);
    work->setRate(rate);
    work->setWorkDescription(description);
    work->setPaid(paid);
    return work;
}

Entry lineItem(float price, const QString& description, const QDateTime& end = {})
{
    Entry item = PieceWork::initLineItem();
    item->setStartTime(at(9, 0));
    if (end.isValid())
        item->setEndTime(end);
    item->setRate(price);
    item->setWorkDescription(description);
    return item;
}

std::unique_ptr<MyDocument> document(const QString& client, const QString& project, const WorkList& work)
{
    auto result = std::make_unique<MyDocument>();
    result->setClientName(client);
    result->setProjectName(project);
    result->setWorkList(work);
    return result;
}

ExportColumns columns(std::initializer_list<ExportColumns::Column> ticked, bool headers)
{
    ExportColumns result;
    for (ExportColumns::Column column : ticked)
        result.setTicked(column, true);
    result.setSaveHeaders(headers);
    return result;
}

ExportColumns everyColumn()
{
    ExportColumns result = ExportColumns::all();
    result.setSaveHeaders(false);
    return result;
}

QString exportOf(const MyDocument& document, const ExportOptionsInterface& options, bool first = true)
{
    QString text;
    document.exportToString(text, options, first);
    return text;
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void headingLineUsesTheUsersLabels();
    void lineOfEveryColumn_data();
    void lineOfEveryColumn();
    void decimalCommaTouchesOnlyNumbers();
    void severalDocumentsInClientThenProjectOrder();
    void everyBoxUntickedGivesEmptyLines();
    void columnsFromList_data();
    void columnsFromList();

private:
    std::optional<TestSettings> _settings;
};

void TestExport::init()
{
    _settings.emplace();
    Clock::setNow(at(12, 0));
}

void TestExport::cleanup()
{
    Clock::reset();
    _settings.reset();
}

void TestExport::headingLineUsesTheUsersLabels()
{
    const auto acme = document("Acme", "Web", {session(at(9, 0), at(10, 0), 50, "Design")});
    const ExportColumns datePaid = columns({ExportColumns::Paid, ExportColumns::Date}, true);

    QCOMPARE(exportOf(*acme, datePaid), QStringLiteral("Date\tPaid\n03/05/2004\tNo\n"));
    QCOMPARE(exportOf(*acme, datePaid, false), QStringLiteral("03/05/2004\tNo\n"));

    SettingsStore::shared().setValue("Paid", "Bezahlt");
    SettingsStore::shared().setValue("No", "Nein");
    SettingsStore::shared().setValue("Date", "Datum");
    QCOMPARE(exportOf(*acme, datePaid), QStringLiteral("Datum\tBezahlt\n03/05/2004\tNein\n"));
}

void TestExport::lineOfEveryColumn_data()
{
    QTest::addColumn<MakeEntry>("make");
    QTest::addColumn<QString>("expected");

    QTest::newRow("finished session, paid")
        << MakeEntry([] { return session(at(9, 0), at(10, 30), 50, "Design", true); })
        << "Acme\tWeb\t03/05/2004\t09:00:00\t10:30:00\t1.50\t50.00\t75.00\tDesign\tYes";
    QTest::newRow("running session: no end, no amount")
        << MakeEntry([] { return session(at(9, 0), {}, 50, "Design"); })
        << "Acme\tWeb\t03/05/2004\t09:00:00\t\t0.00\t50.00\t\tDesign\tNo";
    QTest::newRow("paused session: the pause is not its end")
        << MakeEntry([] {
               Entry work = session(at(9, 0), {}, 50, "Design");
               Clock::setNow(at(9, 45));
               work->pause();
               return work;
           })
        << "Acme\tWeb\t03/05/2004\t09:00:00\t\t0.75\t50.00\t\tDesign\tNo";
    QTest::newRow("line item without end: no end, no rate, price as amount")
        << MakeEntry([] { return lineItem(12.5f, "Stamps"); })
        << "Acme\tWeb\t03/05/2004\t09:00:00\t\tExp.\t\t12.50\tStamps\tNo";
    QTest::newRow("line item with an end")
        << MakeEntry([] { return lineItem(12.5f, "Stamps", at(9, 30)); })
        << "Acme\tWeb\t03/05/2004\t09:00:00\t09:30:00\tExp.\t\t12.50\tStamps\tNo";
    QTest::newRow("line item without start: no date, no start")
        << MakeEntry([] {
               Entry item = lineItem(3, "Fee");
               item->setStartTime(QDateTime());
               return item;
           })
        << "Acme\tWeb\t\t\t\tExp.\t\t3.00\tFee\tNo";
    QTest::newRow("day first with EuroDates")
        << MakeEntry([] {
               SettingsStore::shared().setValue(EuroDates, "YES");
               return session(at(9, 0), at(10, 0), 20, "Calls");
           })
        << "Acme\tWeb\t05.03.2004\t09:00:00\t10:00:00\t1.00\t20.00\t20.00\tCalls\tNo";
    QTest::newRow("tab and line break in the description written unchanged")
        << MakeEntry([] { return session(at(9, 0), at(10, 0), 20, "a\tb\nc"); })
        << "Acme\tWeb\t03/05/2004\t09:00:00\t10:00:00\t1.00\t20.00\t20.00\ta\tb\nc\tNo";
}

void TestExport::lineOfEveryColumn()
{
    QFETCH(MakeEntry, make);
    QFETCH(QString, expected);

    const auto acme = document("Acme", "Web", {make()});

    QCOMPARE(exportOf(*acme, everyColumn()), expected + QLatin1Char('\n'));
}

void TestExport::decimalCommaTouchesOnlyNumbers()
{
    SettingsStore::shared().setValue(EuroDates, "YES");
    const auto acme = document("Acme", "v1.2", {session(at(9, 0), at(10, 30), 50.5f, "Phase 1.2"), lineItem(1234.5f, "Server")});
    acme->setDecimalSeparator(",");

    const ExportColumns exported = columns({ExportColumns::Project, ExportColumns::Date, ExportColumns::Start,
                                            ExportColumns::Time, ExportColumns::Rate, ExportColumns::Amount,
                                            ExportColumns::Description},
                                           false);

    QCOMPARE(exportOf(*acme, exported), QStringLiteral("v1.2\t05.03.2004\t09:00:00\t1,50\t50,50\t75,75\tPhase 1.2\n"
                                                       "v1.2\t05.03.2004\t09:00:00\tExp.\t\t1234,50\tServer\n"));
}

void TestExport::severalDocumentsInClientThenProjectOrder()
{
    const auto zeta = document("Zeta", "A", {session(at(9, 0), at(10, 0), 10, "z")});
    const auto acmeWeb = document("Acme", "Web", {session(at(9, 0), at(10, 0), 10, "w1"), lineItem(5, "w2")});
    const auto acmeApp = document("Acme", "App", {session(at(11, 0), at(12, 0), 10, "a")});
    const auto empty = document("Beta", "", {});
    const ExportColumns exported =
        columns({ExportColumns::Client, ExportColumns::Project, ExportColumns::Description}, true);

    const QString text = Exporter::exportText({zeta.get(), acmeWeb.get(), nullptr, empty.get(), acmeApp.get()}, exported);

    QCOMPARE(text, QStringLiteral("Client\tProject\tDescription\n"
                                  "Acme\tApp\ta\n"
                                  "Acme\tWeb\tw1\n"
                                  "Acme\tWeb\tw2\n"
                                  "Zeta\tA\tz\n"));
    QCOMPARE(Exporter::exportText({}, exported), QString());
}

void TestExport::everyBoxUntickedGivesEmptyLines()
{
    const auto acme = document("Acme", "Web", {session(at(9, 0), at(10, 0), 10, "x"), lineItem(5, "y")});

    QCOMPARE(exportOf(*acme, ExportColumns()), QStringLiteral("\n\n"));
}

void TestExport::columnsFromList_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("ticked"); // in column order
    QTest::addColumn<QString>("error");      // a part of the error; empty when the list is good

    const QStringList all = ExportColumns::columnNames();
    QTest::newRow("every column, out of order")
        << "paid,description,amount,rate,time,end,start,date,project,client" << all << "";
    QTest::newRow("blanks and capitals") << " Date , PAID" << QStringList {"date", "paid"} << "";
    QTest::newRow("a name twice") << "date,date" << QStringList {"date"} << "";
    QTest::newRow("unknown name") << "date,hours" << QStringList() << "unknown column \"hours\"";
    QTest::newRow("empty name between commas") << "date,,paid" << QStringList() << "missing column name";
    QTest::newRow("empty list") << "" << QStringList() << "missing column name";
}

void TestExport::columnsFromList()
{
    QFETCH(QString, list);
    QFETCH(QStringList, ticked);
    QFETCH(QString, error);

    QString reason = QStringLiteral("stale");
    const std::optional<ExportColumns> parsed = ExportColumns::fromList(list, &reason);

    if (!error.isEmpty()) {
        QVERIFY(!parsed);
        QVERIFY2(reason.contains(error), qPrintable(reason));
        QVERIFY2(reason.contains(QStringLiteral("client, project, date")), qPrintable(reason));
        return;
    }
    QVERIFY2(parsed, qPrintable(reason));
    QVERIFY(reason.isEmpty());
    QStringList found;
    for (int column = 0; column < ExportColumns::ColumnCount; ++column) {
        if (parsed->isTicked(static_cast<ExportColumns::Column>(column)))
            found << ExportColumns::columnNames().at(column);
    }
    QCOMPARE(found, ticked);
    QVERIFY(!parsed->saveHeaders() && !parsed->openAfterSave() && !parsed->exportAllOpen());
}

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
