#include "AppDelegate.h"
#include "AppKernel/MainApp.h"
#include "Clock.h"
#include "Constants.h"
#include "DocumentController.h"
#include "ExportPanel.h"
#include "MyDocument.h"
#include "PieceWork.h"
#include "PlugIns/InvoicerInterface.h"
#include "PlugIns/ReporterInterface.h"
#include "Preferences.h"
#include "SettingsStore.h"
#include "StyledText.h"
#include "TestFiles.h"
#include "TestSettings.h"
#include "VDReporter.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPrintDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <optional>

using SaveFormat = VDReporter::SaveFormat;
Q_DECLARE_METATYPE(SaveFormat)

namespace {

const QChar Logo = QChar::ObjectReplacementCharacter;

// Types the name into the dialog's name field in its folder, as the user does; the dialog reads
// the field when it is accepted.
void typeFileName(QFileDialog* dialog, const QString& folder, const QString& name)
{
    if (dialog->directory().absolutePath() != QDir(folder).absolutePath())
        dialog->setDirectory(folder);
    if (auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        field->setText(name);
}

std::shared_ptr<PieceWork> session(int day, int hour, int hours, float rate, const QString& description)
{
    auto work = PieceWork::init();
    work->setStartTime(QDateTime(QDate(2024, 3, day), QTime(hour, 0)));
    work->setEndTime(QDateTime(QDate(2024, 3, day), QTime(hour + hours, 0)));
    work->setRate(rate);
    work->setWorkDescription(description);
    return work;
}

VDReporter* viewerOf(const char* plugIn)
{
    return qobject_cast<VDReporter*>(MyDocument::sharedInstanceOfClassName(QLatin1String(plugIn)));
}

InvoicerInterface* invoicer()
{
    return qobject_cast<InvoicerInterface*>(MyDocument::sharedInstanceOfClassName(QStringLiteral("Invoicer")));
}

ReporterInterface* reporter()
{
    return qobject_cast<ReporterInterface*>(MyDocument::sharedInstanceOfClassName(QStringLiteral("Reporter")));
}

AppDelegate* delegate()
{
    return MainApp::instance()->delegate();
}

} // namespace

// The invoice and report viewers (saving, the clipboard, Limner, mail), the reports across open
// documents and the export dialog, through the real plug-ins and stand-in programs on PATH.
class TestReporter : public QObject
{
    Q_OBJECT

    std::optional<TestSettings> _settings;
    std::optional<QTemporaryDir> _folder;
    QByteArray _path;

    QString path(const QString& name) const { return _folder->filePath(name); }

    // An open client document, as the application keeps it.
    MyDocument* open(const QString& client, const QString& project, const QString& email = {})
    {
        auto* document = new MyDocument;
        document->setClientName(client);
        document->setProjectName(project);
        document->setEmail(email);
        document->setAddress(client + QStringLiteral("\n1 Main Street"));
        document->setWorkList({session(4, 9, 2, 100, project + QStringLiteral(" design")),
                               session(12, 13, 1, 80, project + QStringLiteral(" review"))});
        DocumentController::shared().addDocument(document);
        return document;
    }

    // Runs answer on the next modal dialog of type W once it is up, and again until the dialog
    // finishes: a file dialog still loading its folder may let the first answer pass.
    template <typename W>
    void answerNextModal(std::function<void(W*)> answer)
    {
        auto* poll = new QTimer(this);
        poll->setInterval(10);
        auto answered = std::make_shared<QPointer<W>>();
        connect(poll, &QTimer::timeout, this, [poll, answer, answered] {
            if (!*answered) {
                *answered = qobject_cast<W*>(QApplication::activeModalWidget());
                if (!*answered)
                    return;
                connect(answered->data(), &QDialog::finished, poll, &QObject::deleteLater);
            }
            answer(*answered);
        });
        poll->start();
    }

    // Answers the next alert with its default button; the title and message are written to seen.
    void recordNextAlert(QStringList& seen)
    {
        answerNextModal<QMessageBox>([&seen](QMessageBox* alert) {
            seen = {alert->text(), alert->informativeText()};
            alert->defaultButton()->click();
        });
    }

    // A program in bin/ that records its arguments (one per NUL) in <program>.arguments, then runs tail.
    void writeStandIn(const QString& program, const QByteArray& tail = "exit 0\n")
    {
        TestFiles::write(path("bin/" + program),
                  "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > \""
                      + path(program + ".arguments").toUtf8() + "\"\n" + tail,
                  true);
    }

    QStringList recordedArguments(const QString& program) const
    {
        QStringList arguments = QString::fromUtf8(TestFiles::read(path(program + ".arguments"))).split(QChar(0));
        arguments.removeLast(); // after the last NUL
        return arguments;
    }

private slots:
    void init()
    {
        _settings.emplace();
        Preferences::initialize();
        _folder.emplace();
        QVERIFY(_folder->isValid());
        QVERIFY(QDir().mkpath(path("bin")));
        _path = qgetenv("PATH");
        qputenv("PATH", path("bin").toUtf8() + ":/usr/bin:/bin");
        // Every desktop hand-off reaches a stand-in, never the real opener.
        writeStandIn(QStringLiteral("xdg-open"));
        SettingsStore::shared().setValue(InvoiceNumber, QStringLiteral(""));
        Clock::setNow(QDateTime(QDate(2024, 3, 20), QTime(10, 0)));
    }

    void cleanup()
    {
        for (QTimer* poll : findChildren<QTimer*>())
            delete poll;
        for (QWidget* window : QApplication::topLevelWidgets())
            window->hide();
        DocumentController::shared().closeAllDocuments();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Clock::reset();
        qputenv("PATH", _path);
        _folder.reset();
        _settings.reset();
    }

    void plugInsAnswerOneSharedViewerEach()
    {
        QVERIFY(invoicer());
        QVERIFY(reporter());
        QCOMPARE(viewerOf("Invoicer"), viewerOf("Invoicer"));
        QVERIFY(viewerOf("Invoicer") != viewerOf("Reporter"));
    }

    void saveOffersTheFormatsOfTheText_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("written");
        QTest::addColumn<SaveFormat>("format");

        QTest::newRow("rich invoice with its logo: RTFD package") << "rich invoice" << 0 << "invoice.rtfd" << SaveFormat::Rtfd;
        QTest::newRow("rich invoice as PDF") << "rich invoice" << 1 << "invoice.pdf" << SaveFormat::Pdf;
        QTest::newRow("report without logo: RTF file") << "report" << 0 << "invoice.rtf" << SaveFormat::Rtf;
        QTest::newRow("plain invoice: plain text, no extension forced") << "plain invoice" << 0 << "invoice"
                                                                        << SaveFormat::PlainText;
        QTest::newRow("plain invoice as PDF") << "plain invoice" << 1 << "invoice.pdf" << SaveFormat::Pdf;
    }

    // Through the save dialog: the name typed without extension gets the chosen format's.
    void saveOffersTheFormatsOfTheText()
    {
        QFETCH(QString, shown);
        QFETCH(int, filter);
        QFETCH(QString, written);
        QFETCH(SaveFormat, format);

        MyDocument* client = open(QStringLiteral("Acme"), QStringLiteral("Site"));
        VDReporter* viewer = viewerOf(shown == QLatin1String("report") ? "Reporter" : "Invoicer");
        if (shown == QLatin1String("report"))
            reporter()->loadThisMonthsReportForDocument(client);
        else if (shown == QLatin1String("rich invoice"))
            invoicer()->loadRichInvoiceForDocument(client);
        else
            invoicer()->loadInvoiceForDocument(client);
        QCOMPARE(viewer->saveFormats().value(filter), format);

        const QString folder = _folder->path();
        answerNextModal<QFileDialog>([folder, filter](QFileDialog* dialog) {
            dialog->selectNameFilter(dialog->nameFilters().value(filter));
            typeFileName(dialog, folder, QStringLiteral("invoice"));
            static_cast<QDialog*>(dialog)->accept(); // as the Save button does
        });
        viewer->saveInvoiceAction();

        const QString target = path(written);
        switch (format) {
        case SaveFormat::Rtfd: {
            QVERIFY(TestFiles::read(target + "/TXT.rtf").startsWith("{\\rtf"));
            QVERIFY(TestFiles::read(target + "/TXT.rtf").contains("Acme"));
            QCOMPARE(QDir(target).entryList({"*.gif"}, QDir::Files), QStringList("velmorlogo_huge.gif"));
            break;
        }
        case SaveFormat::Rtf:
            QVERIFY(TestFiles::read(target).startsWith("{\\rtf"));
            QVERIFY(TestFiles::read(target).contains("Acme - Site"));
            break;
        case SaveFormat::PlainText:
            QCOMPARE(QString::fromUtf8(TestFiles::read(target)), viewer->textView()->toPlainText());
            QVERIFY(TestFiles::read(target).contains("Site review"));
            break;
        case SaveFormat::Pdf:
            QVERIFY(TestFiles::read(target).startsWith("%PDF"));
            break;
        }
    }

    void cancelledSaveWritesNothing()
    {
        invoicer()->loadInvoiceForDocument(open(QStringLiteral("Acme"), QStringLiteral("Site")));
        const QString folder = _folder->path();
        answerNextModal<QFileDialog>([folder](QFileDialog* dialog) {
            typeFileName(dialog, folder, QStringLiteral("invoice"));
            dialog->reject();
        });
        viewerOf("Invoicer")->saveInvoiceAction();
        QCOMPARE(QDir(_folder->path()).entryList(QDir::Files), QStringList());
    }

    // The user's own margins give way to the viewer's, on the document's page settings, even when
    // the print is cancelled.
    void printSetsTheMarginsOnTheDocument()
    {
        MyDocument* client = open(QStringLiteral("Acme"), QStringLiteral("Site"));
        invoicer()->loadRichInvoiceForDocument(client);
        answerNextModal<QPrintDialog>([](QPrintDialog* dialog) { dialog->reject(); });
        invoicer()->printInvoiceAction(client);
        QCOMPARE(client->pageLayout().margins(QPageLayout::Point), QMarginsF(36, 36, 0, 18));
    }

    void clipboardHoldsRtfThenPlainText_data()
    {
        QTest::addColumn<bool>("rich");
        QTest::addColumn<QString>("rtfStartsAfter");

        // The rich invoice begins with the logo and a line break; the report has no logo, and its
        // first characters are its own.
        QTest::newRow("rich invoice: the RTF leaves out the logo line") << true << QString(Logo) + u'\n';
        QTest::newRow("report without logo: nothing left out") << false << QString();
    }

    void clipboardHoldsRtfThenPlainText()
    {
        QFETCH(bool, rich);
        QFETCH(QString, rtfStartsAfter);

        MyDocument* client = open(QStringLiteral("Acme"), QStringLiteral("Site"));
        VDReporter* viewer = viewerOf(rich ? "Invoicer" : "Reporter");
        if (rich)
            invoicer()->loadRichInvoiceForDocument(client);
        else
            reporter()->loadThisMonthsReportForDocument(client);

        const std::unique_ptr<QMimeData> board = viewer->getPboard();
        QCOMPARE(board->formats(), QStringList({"text/rtf", "text/plain"}));
        const StyledText shown = viewer->shownText();
        QCOMPARE(board->text(), shown.string());
        QVERIFY(shown.string().startsWith(rtfStartsAfter));
        QCOMPARE(board->data("text/rtf"), shown.mid(rtfStartsAfter.size()).toRtf());
    }

    // Limner gets the clipboard's RTF as a file to open.
    void limnerReceivesTheRtf()
    {
        writeStandIn(QStringLiteral("Limner"),
                     "cp \"$1\" \"" + path("handed.tmp").toUtf8() + "\" && mv \"" + path("handed.tmp").toUtf8()
                         + "\" \"" + path("handed.rtf").toUtf8() + "\"\n");
        invoicer()->loadRichInvoiceForDocument(open(QStringLiteral("Acme"), QStringLiteral("Site")));
        VDReporter* viewer = viewerOf("Invoicer");
        viewer->toCreateInvoiceAction();
        QTRY_VERIFY(QFile::exists(path("handed.rtf")));
        QCOMPARE(TestFiles::read(path("handed.rtf")), viewer->getPboard()->data("text/rtf"));
    }

    void missingLimnerIsReported()
    {
        invoicer()->loadRichInvoiceForDocument(open(QStringLiteral("Acme"), QStringLiteral("Site")));
        QStringList seen;
        recordNextAlert(seen);
        viewerOf("Invoicer")->toCreateInvoiceAction();
        QCOMPARE(seen.value(0), QStringLiteral("No Limner?"));
        QVERIFY2(seen.value(1).startsWith("You must have Limner installed for this function to work. Please visit "),
                 qPrintable(seen.value(1)));
    }

    void mailGoesToTheFirstClientUnderTheInvoiceName_data()
    {
        QTest::addColumn<bool>("several");
        QTest::addColumn<QString>("nextNumber"); // empty: numbering off
        QTest::addColumn<QString>("number"); // in the subject; empty: the label alone

        QTest::newRow("invoice, numbering off: the label alone") << false << "" << "";
        QTest::newRow("invoice, numbering on at 1007: the label and its number") << false << "1007" << "1007";
        // A report takes no number, so there is none to name.
        QTest::newRow("report over several documents: the first client, the label alone") << true << "1007" << "";
    }

    void mailGoesToTheFirstClientUnderTheInvoiceName()
    {
        QFETCH(bool, several);
        QFETCH(QString, nextNumber);
        QFETCH(QString, number);

        SettingsStore::shared().setValue(InvoiceNumber, nextNumber);
        writeStandIn(QStringLiteral("xdg-email"));
        MyDocument* zed = open(QStringLiteral("Zed"), QStringLiteral("Mill"), QStringLiteral("zed@example.com"));
        MyDocument* acme = open(QStringLiteral("Acme"), QStringLiteral("Site"), QStringLiteral("acme@example.com"));
        VDReporter* viewer = viewerOf(several ? "Reporter" : "Invoicer");
        if (several)
            delegate()->allReportsMonthly();
        else
            invoicer()->loadInvoiceForDocument(acme);
        QCOMPARE(viewer->firstDocument(), acme);
        QVERIFY(zed);

        viewer->emailInvoiceAction();
        const QStringList arguments = recordedArguments(QStringLiteral("xdg-email"));
        const QString subject = number.isEmpty() ? Preferences::invoiceString()
                                                 : Preferences::invoiceString() + QStringLiteral(" # ") + number;
        QCOMPARE(arguments.value(arguments.indexOf("--subject") + 1), subject);
        QCOMPARE(arguments.value(arguments.indexOf("--body") + 1), viewer->textView()->toPlainText());
        QCOMPARE(arguments.value(arguments.size() - 1), QStringLiteral("acme@example.com"));
    }

    void mailAlerts_data()
    {
        QTest::addColumn<QString>("email");
        QTest::addColumn<QByteArray>("composer"); // the stand-in's script
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("composed");

        QTest::newRow("no address: nothing sent")
            << "" << QByteArray("exit 0\n") << "No Client Email"
            << "Please specify your client's email in the Ticksheet before emailing invoice. Alternatively, you "
               "can select the invoice, and choose Services->Mail Viewer/Mail Selection."
            << false;
        QTest::newRow("the mail client fails: its reason is shown")
            << "acme@example.com" << QByteArray("echo 'no mail account' >&2\nexit 3\n") << "Cannot Send Mail"
            << "Cannot mail because: Error, number=3, message=no mail account" << true;
    }

    void mailAlerts()
    {
        QFETCH(QString, email);
        QFETCH(QByteArray, composer);
        QFETCH(QString, title);
        QFETCH(QString, message);
        QFETCH(bool, composed);

        writeStandIn(QStringLiteral("xdg-email"), composer);
        invoicer()->loadInvoiceForDocument(open(QStringLiteral("Acme"), QStringLiteral("Site"), email));
        QStringList seen;
        recordNextAlert(seen);
        viewerOf("Invoicer")->emailInvoiceAction();
        QCOMPARE(seen, QStringList({title, message}));
        QCOMPARE(QFile::exists(path("xdg-email.arguments")), composed);
    }

    // The user's font changes give way to the report font every time the window is shown.
    void showingAgainResetsTheReportFont()
    {
        MyDocument* client = open(QStringLiteral("Acme"), QStringLiteral("Site"));
        reporter()->loadAllReport(client);
        QTextEdit* view = viewerOf("Reporter")->textView();
        view->selectAll();
        view->setCurrentFont(QFont(QStringLiteral("DejaVu Serif"), 30));
        reporter()->loadAllReport(client);
        QTextCursor cursor(view->document());
        cursor.movePosition(QTextCursor::End);
        QCOMPARE(cursor.charFormat().font().pointSizeF(), Preferences::reportFont().pointSizeF());
        QCOMPARE(cursor.charFormat().font().family(), Preferences::reportFont().family());
    }

    void crossDocumentCommandsShowTheSortedList_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("asks");

        QTest::newRow("reports of this month") << "allReportsMonthly" << false;
        QTest::newRow("reports of all dates") << "allReportsFull" << false;
        QTest::newRow("reports of dates asked") << "allReportsAny" << true;
        QTest::newRow("summary of this month") << "summarizeReportsMonthly" << false;
        QTest::newRow("summary of all dates") << "summarizeReportsFull" << false;
        QTest::newRow("summary of dates asked") << "summarizeReportsAny" << true;
    }

    // Upper case before lower case, then by project; an untitled document is one of them.
    void crossDocumentCommandsShowTheSortedList()
    {
        QFETCH(QString, command);
        QFETCH(bool, asks);

        MyDocument* lower = open(QStringLiteral("acme"), QStringLiteral("Charlie"));
        MyDocument* second = open(QStringLiteral("Acme"), QStringLiteral("Bravo"));
        MyDocument* first = open(QStringLiteral("Acme"), QStringLiteral("Alpha"));
        if (asks) {
            answerNextModal<QDialog>([](QDialog* prompt) {
                prompt->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
            });
        }
        QVERIFY(QMetaObject::invokeMethod(delegate(), command.toLatin1().constData()));

        VDReporter* viewer = viewerOf("Reporter");
        QVERIFY(viewer->isVisible());
        QCOMPARE(viewer->shownDocuments(), QList<MyDocument*>({first, second, lower}));
        const QString shown = viewer->textView()->toPlainText();
        const qsizetype alpha = shown.indexOf("Alpha");
        QVERIFY(alpha >= 0);
        QVERIFY(alpha < shown.indexOf("Bravo"));
        QVERIFY(shown.indexOf("Bravo") < shown.indexOf("Charlie"));
    }

    void cancelledDatesShowNothing()
    {
        open(QStringLiteral("Acme"), QStringLiteral("Alpha"));
        open(QStringLiteral("Beta"), QStringLiteral("Bravo"));
        for (const char* command : {"allReportsAny", "summarizeReportsAny"}) {
            answerNextModal<QDialog>([](QDialog* prompt) {
                prompt->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
            });
            QVERIFY(QMetaObject::invokeMethod(delegate(), command));
            QVERIFY2(!viewerOf("Reporter")->isVisible(), command);
        }
    }

    void summaryEndsWithTheGrandTotal()
    {
        open(QStringLiteral("Beta"), QStringLiteral("Bravo"));
        open(QStringLiteral("Acme"), QStringLiteral("Alpha"));
        delegate()->summarizeReportsMonthly();
        const QString shown = viewerOf("Reporter")->textView()->toPlainText();
        const qsizetype grand = shown.indexOf(Preferences::grandTotalString());
        QVERIFY(grand > shown.indexOf("Bravo"));
        // Each document earns 2 hours at 100 and 1 at 80 in March: 280, together 560.
        QVERIFY2(shown.mid(grand).contains("560.00"), qPrintable(shown.mid(grand)));
    }

    // Confirmed: every open document in client order, the file opened, the boxes remembered.
    // Cancelled: the boxes as they were.
    void exportDialogWritesAndRemembersOnlyWhenConfirmed()
    {
        MyDocument* zed = open(QStringLiteral("Zed"), QStringLiteral("Mill"));
        open(QStringLiteral("Acme"), QStringLiteral("Site"));
        ExportPanel panel(zed, nullptr);
        const QString target = path(QStringLiteral("export.txt"));

        const QString folder = _folder->path();
        answerNextModal<QFileDialog>([folder](QFileDialog* dialog) {
            dialog->findChild<QCheckBox*>(QStringLiteral("savePaid"))->setChecked(false);
            typeFileName(dialog, folder, QStringLiteral("export.txt"));
            static_cast<QDialog*>(dialog)->accept(); // as the Save button does
        });
        panel.saveToTabReturnAction();
        const QStringList lines = QString::fromUtf8(TestFiles::read(target)).split(u'\n');
        QCOMPARE(lines.value(0).section(u'\t', 0, 1), QStringLiteral("Client\tProject"));
        QVERIFY(lines.value(1).startsWith("Acme\tSite\t"));
        QVERIFY(lines.value(3).startsWith("Zed\tMill\t"));
        QTRY_COMPARE(recordedArguments(QStringLiteral("xdg-open")), QStringList(target));
        QCOMPARE(SettingsStore::shared().stringForKey(QStringLiteral("EA_paid")), QStringLiteral("YES"));

        answerNextModal<QFileDialog>([](QFileDialog* dialog) {
            dialog->findChild<QCheckBox*>(QStringLiteral("saveDate"))->setChecked(false);
            dialog->reject();
        });
        panel.saveToTabReturnAction();
        QCOMPARE(SettingsStore::shared().stringForKey(QStringLiteral("EA_date")), QStringLiteral("NO"));
    }
};

int main(int argc, char* argv[])
{
    // Files handed to other programs go to a folder of this run only.
    QTemporaryDir temporary;
    qputenv("TMPDIR", temporary.path().toLocal8Bit());
    MainApp application(argc, argv);
    TestReporter test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_reporter.moc"
