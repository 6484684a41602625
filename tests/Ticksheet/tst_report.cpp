#include "Alert.h"
#include "Clock.h"
#include "Constants.h"
#include "MyDocument.h"
#include "PieceWork.h"
#include "Preferences.h"
#include "SettingsStore.h"
#include "TestSettings.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>

using Entry = std::shared_ptr<PieceWork>;
using EntriesMaker = std::function<WorkList()>;
Q_DECLARE_METATYPE(EntriesMaker)
using AlertPress = std::function<void(QMessageBox&)>;
Q_DECLARE_METATYPE(AlertPress)

namespace {

const QDate marchFirst(2024, 3, 1);
const QDate marchLast(2024, 3, 31);

QDateTime march(int day, int hour, int minute = 0)
{
    return QDateTime(QDate(2024, 3, day), QTime(hour, minute));
}

Entry session(const QDateTime& start, const QDateTime& end, float rate, const QString& description,
              bool paid = false)
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

Entry lineItem(const QDateTime& date, float price, const QString& description)
{
    Entry item = PieceWork::initLineItem();
    item->setStartTime(date);
    item->setRate(price);
    item->setWorkDescription(description);
    return item;
}

// Acme: not taxable, no equity. Two sessions (one paid), an expense, and a session in April.
void fillAcme(MyDocument& document)
{
    document.setClientName("Acme");
    document.setProjectName("Site");
    document.setTaxable(false);
    document.setEquityPercent(0);
    document.setWorkList({session(march(4, 9), march(4, 11), 100, "Design"),
                          session(march(5, 13), march(5, 14, 30), 100, "Review", true),
                          lineItem(march(6, 12), 30, "Parts"),
                          session(QDateTime(QDate(2024, 4, 2), QTime(9, 0)), QDateTime(QDate(2024, 4, 2), QTime(10, 0)),
                                  100, "April")});
}

// Beta: taxed at 10 % of gross earnings, 20 % equity at 16 a share; one unpaid session of 200.
void fillBeta(MyDocument& document)
{
    document.setClientName("Beta");
    document.setProjectName("Web");
    document.setTaxable(true);
    document.setTaxRate(10);
    document.setEquityPercent(20);
    document.setShareCost(16);
    document.setWorkList({session(march(7, 8), march(7, 12), 50, "Build")});
}

// Answers the next modal message box: records what it showed and presses a button (by index) or
// a key. Gives up after a few seconds so a missing box cannot hang the test.
class AlertAnswerer : public QObject
{
public:
    explicit AlertAnswerer(AlertPress answer)
        : _answer(std::move(answer))
    {
        connect(&_timer, &QTimer::timeout, this, &AlertAnswerer::poll);
        _timer.start(10);
    }

    bool answered = false;
    QString windowTitle;
    QString text;
    QString informativeText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;

private:
    void poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (++_polls > 500)
                _timer.stop();
            return;
        }
        _timer.stop();
        answered = true;
        windowTitle = box->windowTitle();
        text = box->text();
        informativeText = box->informativeText();
        icon = box->icon();
        for (QAbstractButton* button : box->buttons())
            buttons << button->text();
        _answer(*box);
    }

    AlertPress _answer;
    QTimer _timer;
    int _polls = 0;
};

void clickButtonTitled(QMessageBox& box, const QString& title)
{
    for (QAbstractButton* button : box.buttons()) {
        if (button->text() == title) {
            button->click();
            return;
        }
    }
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void reportOfASpan();
    void reportOfASpanWithoutEntries();
    void richReportLogo();
    void clientAndProject_data();
    void clientAndProject();
    void firstAndLastDate_data();
    void firstAndLastDate();
    void groupSummary_data();
    void groupSummary();
    void oneDocumentSummary_data();
    void oneDocumentSummary();
    void alertAnswersThePressedButton_data();
    void alertAnswersThePressedButton();
    void anyReportOfAnEmptyDocumentAlerts();
    void reportCommandsWithoutReporterDoNothing();

private:
    std::optional<TestSettings> _settings;
};

void TestReport::init()
{
    _settings.emplace();
    Preferences::initialize();
    Clock::setNow(QDateTime(QDate(2024, 3, 20), QTime(15, 0, 30)));
}

void TestReport::cleanup()
{
    Clock::reset();
    _settings.reset();
}

void TestReport::reportOfASpan()
{
    MyDocument document;
    fillAcme(document);

    const StyledText report = document.reportStringForDates(marchFirst, marchLast);

    const QString dateLine = "\n" + MyDocument::dateString() + "\n";
    const QString body = "\nAcme - Site: 03/01/2024 through 03/31/2024\n"
                         "\n\n"
                         "Date:\tHours:\tRate:\tAmount:\tDescription:\n"
                         "--------\t--------\t--------\t--------\t----------------------\n"
                         "03/4/2024 \t   2.00    100.00\t  200.00\tDesign\n"
                         "03/5/2024 \t   1.50    100.00\t  150.00\tReview (pd)\n"
                         "\n\n"
                         "Date:\t\tExpense:\t\tDescription:\n"
                         "--------\t\t--------\t\t----------------------\n"
                         "03/6/2024 \t\t     30.00\t\tParts\n"
                         "\n"
                         "\t\t\tHours:\t         3.50\n"
                         "\t\t\tEarned:\t$      350.00\n"
                         "\t\t\tExpenses:\t$       30.00\n\n"
                         "\t\t\tSubtotal:\t$      380.00\n\n"
                         "\t\t\tTotal:\t$      230.00\n\n";
    QCOMPARE(report.string(), dateLine + body + "\n\n");

    const TextAttributes right(Preferences::reportFont(), MyDocument::alignedStyle(ParagraphStyle::Right));
    const TextAttributes left(Preferences::reportFont(), MyDocument::alignedStyle(ParagraphStyle::Left));
    QCOMPARE(report.attributesAt(1), right);
    QCOMPARE(report.attributesAt(dateLine.size()), left);
    QCOMPARE(report.attributesAt(dateLine.size() + body.size() - 1), left);
    QCOMPARE(report.attributesAt(report.length() - 1), TextAttributes());
    QVERIFY(!report.containsAttachment());
}

void TestReport::reportOfASpanWithoutEntries()
{
    SettingsStore::shared().setValue(EuroDates, "YES");
    MyDocument document;
    fillAcme(document);

    const StyledText report = document.reportStringForDates(QDate(2024, 2, 1), QDate(2024, 2, 29));

    QCOMPARE(report.string(), "\n" + MyDocument::dateString() + "\n"
                                  "\nAcme - Site: 01.02.2024 through 29.02.2024\n"
                                  "\n\n\n"
                                  "\t\t\tHours:\t         0.00\n"
                                  "\t\t\tEarned:\t$        0.00\n\n"
                                  "\n\n"
                                  "\n\n");
}

void TestReport::richReportLogo()
{
    QTemporaryDir folder;
    const QString logoPath = folder.filePath("logo.png");
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(logoPath));
    MyDocument document;
    fillAcme(document);
    const QString plain = document.reportStringForDates(marchFirst, marchLast).string();

    QCOMPARE(document.richReportOfMonthsInDates(marchFirst, marchLast).string(), plain);

    SettingsStore::shared().setValue(CompanyLogoPath, logoPath);
    const StyledText withLogo = document.richReportOfMonthsInDates(marchFirst, marchLast);
    QCOMPARE(withLogo.string(), QString(QChar::ObjectReplacementCharacter) + plain);
    QCOMPARE(withLogo.attachments().size(), 1);
    QCOMPARE(withLogo.attachments().first().filePath(), logoPath);
    QCOMPARE(withLogo.paragraphStyleAt(0).alignment, ParagraphStyle::Centered);

    // A logo that is gone adds nothing rather than an empty picture.
    SettingsStore::shared().setValue(CompanyLogoPath, folder.filePath("missing.png"));
    QCOMPARE(document.richReportOfMonthsInDates(marchFirst, marchLast).string(), plain);
    QVERIFY(MyDocument::attStringForImagePath(folder.filePath("missing.png")).isEmpty());
}

void TestReport::clientAndProject_data()
{
    QTest::addColumn<QString>("client");
    QTest::addColumn<QString>("project");
    QTest::addColumn<QString>("expected");
    QTest::newRow("neither") << "" << "" << "??";
    QTest::newRow("client only") << "Acme" << "" << "Acme";
    QTest::newRow("project only") << "" << "Site" << "Site";
    QTest::newRow("both") << "Acme" << "Site" << "Acme - Site";
}

void TestReport::clientAndProject()
{
    QFETCH(QString, client);
    QFETCH(QString, project);
    QFETCH(QString, expected);
    MyDocument document;
    document.setClientName(client);
    document.setProjectName(project);
    QCOMPARE(document.clientAndProject(), expected);
}

void TestReport::firstAndLastDate_data()
{
    QTest::addColumn<EntriesMaker>("entries");
    QTest::addColumn<QDateTime>("first");
    QTest::addColumn<QDateTime>("last");
    QTest::newRow("finished sessions: earliest start, latest end")
        << EntriesMaker([] { return WorkList {session(march(5, 9), march(5, 17), 10, "b"),
                                              session(march(4, 9), march(4, 10), 10, "a")}; })
        << march(4, 9) << march(5, 17);
    QTest::newRow("a running session started last counts with its start")
        << EntriesMaker([] { return WorkList {session(march(4, 9), march(4, 10), 10, "a"),
                                              session(march(6, 8), {}, 10, "running")}; })
        << march(4, 9) << march(6, 8);
    QTest::newRow("a line item counts with its date")
        << EntriesMaker([] { return WorkList {session(march(4, 9), march(4, 10), 10, "a"),
                                              lineItem(march(9, 12), 5, "item")}; })
        << march(4, 9) << march(9, 12);
    QTest::newRow("no readable time: last is now rounded up to the minute")
        << EntriesMaker([] { return WorkList {session({}, {}, 10, "unreadable")}; })
        << QDateTime() << QDateTime(QDate(2024, 3, 20), QTime(15, 1));
    QTest::newRow("empty work list: no dates at all")
        << EntriesMaker([] { return WorkList {}; }) << QDateTime() << QDateTime();
}

void TestReport::firstAndLastDate()
{
    QFETCH(EntriesMaker, entries);
    QFETCH(QDateTime, first);
    QFETCH(QDateTime, last);
    MyDocument document;
    document.setWorkList(entries());
    QCOMPARE(document.firstDate(), first);
    QCOMPARE(document.lastDate(), last);
}

void TestReport::groupSummary_data()
{
    QTest::addColumn<bool>("withBeta");
    QTest::addColumn<bool>("grandTotal");
    QTest::addColumn<bool>("ignoreMoney");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one document with equity brings the equity columns")
        << true << false << false
        << "\n\nAcme\t03/01/2024 through 03/31/2024\n\n"
           "Expenses\tHours\tEarnings\tTax\tTotal\tUnpaid\tShares\tCash\n"
           "------\t------\t------\t------\t------\t------\t------\t------\n"
           "30.00\t7.50\t550.00\t20.00\t556.00\t410.00\t2.50\t510.00\n\n";
    QTest::newRow("no equity, grand total")
        << false << true << false
        << "\n\nGrand Total\t03/01/2024 through 03/31/2024\n\n"
           "Expenses\tHours\tEarnings\tTax\tTotal\tUnpaid\n"
           "------\t------\t------\t------\t------\t------\n"
           "30.00\t3.50\t350.00\t0.00\t380.00\t230.00\n\n";
    QTest::newRow("money ignored keeps the tabs of the third column")
        << false << false << true
        << "\n\nAcme\t03/01/2024 through 03/31/2024\n\n"
           "Expenses\tHours\t\tTax\tTotal\tUnpaid\n"
           "------\t------\t\t------\t------\t------\n"
           "30.00\t3.50\t\t0.00\t380.00\t230.00\n\n";
}

void TestReport::groupSummary()
{
    QFETCH(bool, withBeta);
    QFETCH(bool, grandTotal);
    QFETCH(bool, ignoreMoney);
    QFETCH(QString, expected);
    SettingsStore::shared().setValue(IgnoreMoney, ignoreMoney);
    MyDocument acme;
    fillAcme(acme);
    MyDocument beta;
    fillBeta(beta);
    QList<MyDocument*> documents {&acme};
    if (withBeta)
        documents << &beta;
    StyledText target("Before");

    acme.summarize(documents, marchFirst, marchLast, target, grandTotal);

    QCOMPARE(target.string(), "Before" + expected);
    const TextAttributes left(Preferences::reportFont(), MyDocument::alignedStyle(ParagraphStyle::Left));
    QCOMPARE(target.attributesAt(target.length() - 1), left);
}

void TestReport::oneDocumentSummary_data()
{
    QTest::addColumn<bool>("ignoreMoney");
    QTest::addColumn<QString>("expected");
    QTest::newRow("decimal comma everywhere but the shares")
        << false
        << "\nBeta\tWeb\t\t03/01/2024 through 03/31/2024\n"
           "Expenses\tHours\tEarnings\tTax\tTotal\tUnpaid\tShares\tCash\n"
           "------\t------\t------\t------\t------\t------\t------\t------\n"
           "0,00\t4,00\t200,00\t20,00\t176,00\t180,00\t2.50\t160,00\n\n";
    QTest::newRow("money ignored keeps the tabs of the third column")
        << true
        << "\nBeta\tWeb\t\t03/01/2024 through 03/31/2024\n"
           "Expenses\tHours\t\tTax\tTotal\tUnpaid\tShares\tCash\n"
           "------\t------\t\t------\t------\t------\t------\t------\n"
           "0,00\t4,00\t\t20,00\t176,00\t180,00\t2.50\t160,00\n\n";
}

void TestReport::oneDocumentSummary()
{
    QFETCH(bool, ignoreMoney);
    QFETCH(QString, expected);
    SettingsStore::shared().setValue(IgnoreMoney, ignoreMoney);
    MyDocument beta;
    fillBeta(beta);
    beta.setThousandsSeparator(".");
    beta.setDecimalSeparator(",");
    StyledText target;

    beta.summarizeDates(marchFirst, marchLast, target);

    QCOMPARE(target.string(), expected);
}

void TestReport::alertAnswersThePressedButton_data()
{
    QTest::addColumn<AlertPress>("press");
    QTest::addColumn<int>("answer");
    QTest::newRow("Return takes the first")
        << AlertPress([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }) << 0;
    QTest::newRow("Escape takes the second")
        << AlertPress([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }) << 1;
    QTest::newRow("the third clicked")
        << AlertPress([](QMessageBox& box) { clickButtonTitled(box, "Later"); }) << 2;
}

void TestReport::alertAnswersThePressedButton()
{
    QFETCH(AlertPress, press);
    QFETCH(int, answer);
    AlertAnswerer answerer(press);

    const int pressed = Alert::run("Update", "A new version is out.", "Download", "Cancel", "Later");

    QVERIFY(answerer.answered);
    QCOMPARE(pressed, answer);
    QCOMPARE(answerer.buttons.size(), 3);
}

void TestReport::anyReportOfAnEmptyDocumentAlerts()
{
    MyDocument document;
    AlertAnswerer answerer([](QMessageBox& box) { clickButtonTitled(box, "OK"); });

    document.anyReportAction();

    QVERIFY(answerer.answered);
    QCOMPARE(answerer.windowTitle, "No Work Sessions!");
    QCOMPARE(answerer.text, "No Work Sessions!");
    QCOMPARE(answerer.informativeText, "You have not recorded any works sessions with this client. Click 'New' to "
                                       "make a new session, then create a report.");
    QCOMPARE(answerer.icon, QMessageBox::Warning);
    QCOMPARE(answerer.buttons, QStringList {"OK"});
}

void TestReport::reportCommandsWithoutReporterDoNothing()
{
    QTemporaryDir emptyResources;
    const QByteArray previous = qgetenv("TALLYWICK_RESOURCES");
    qputenv("TALLYWICK_RESOURCES", emptyResources.path().toUtf8());
    MyDocument document;
    fillAcme(document);
    const QByteArray before = document.workDocumentData();
    // Any alert would be answered and noted here instead of blocking.
    AlertAnswerer answerer([](QMessageBox& box) { box.reject(); });

    for (int i = 0; i < 3; ++i)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("No plug-in module Reporter\\.bundle"));
    document.thisMonthReportAction();
    document.allReportAction();
    document.anyReportAction();
    qputenv("TALLYWICK_RESOURCES", previous);

    QVERIFY(!answerer.answered);
    QCOMPARE(document.workDocumentData(), before);
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
