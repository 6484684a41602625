#include "Constants.h"
#include "MyDocument.h"
#include "PieceWork.h"
#include "TestSettings.h"

#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The command-line tool, run as a separate process on document files.
class TestCommandLineTool : public QObject
{
    Q_OBJECT

    struct Result {
        int status = -1;
        QString out;
        QString err;
    };

    QTemporaryDir _folder;
    QString _settingsPath;

    Result tallywick(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TALLYWICK_SETTINGS"), _settingsPath);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TALLYWICK_CLI), arguments);
        if (!process.waitForFinished(60000))
            return {};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QString path(const QString& name) const { return _folder.filePath(name); }

    static std::shared_ptr<PieceWork> session(MyDocument& document, QDateTime start, double hours, bool paid)
    {
        auto work = document.addWork();
        work->setStartTime(start);
        work->setEndTime(start.addSecs(qRound64(hours * 3600)));
        work->setPaid(paid);
        return work;
    }

    // The worked example of the totals: taxable at 5%, 20% equity, shares at 10, rate 100.
    void writeExample(const QString& file, const QString& client, const QString& project)
    {
        MyDocument document;
        document.setClientName(client);
        document.setProjectName(project);
        document.setTaxable(true);
        document.setTaxRate(5);
        document.setEquityPercent(20);
        document.setShareCost(10);
        document.setRate(100);
        session(document, QDateTime(QDate(2004, 3, 1), QTime(9, 0)), 2.0, false)->setWorkDescription("Design");
        session(document, QDateTime(QDate(2004, 3, 2), QTime(9, 0)), 1.5, true)->setWorkDescription("Build");
        auto taxable = document.addLineItem();
        taxable->setStartTime(QDateTime(QDate(2004, 3, 3), QTime(12, 0)));
        taxable->setRate(30);
        taxable->setTaxable(true);
        taxable->setWorkDescription("Parts");
        auto paidExpense = document.addLineItem();
        paidExpense->setStartTime(QDateTime(QDate(2004, 4, 3), QTime(12, 0)));
        paidExpense->setRate(20);
        paidExpense->setPaid(true);
        paidExpense->setWorkDescription("Travel");
        QVERIFY2(document.saveDocumentAs(file), qPrintable(document.errorString()));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(_folder.isValid());
        _settingsPath = path("settings.json");
        TestSettings settings; // fixtures are made with the defaults, not the developer's settings
        writeExample(path("acme.tickSheet"), "Acme", "Site");
        writeExample(path("bolt.tickSheet"), "Bolt", "");
    }

    void init() { QFile::remove(_settingsPath); }

    void totalsAreOneJsonObjectInOrder()
    {
        const Result result = tallywick({"totals", path("acme.tickSheet")});
        QCOMPARE(result.status, 0);
        QVERIFY(result.out.startsWith("{\"hoursInWorkList\": 3.5, \"totalEarnedInWorkList\": 350,"));
        const QJsonObject totals = QJsonDocument::fromJson(result.out.toUtf8()).object();
        QCOMPARE(totals.size(), 20);
        QCOMPARE(totals["totalTaxedInWorkList"].toDouble(), 19.0); // tax on gross income by default
        QCOMPARE(totals["totalGrandTotalInWorkList"].toDouble(), 345.5);
        QCOMPARE(totals["grandTotal"].toDouble(), 419.0);
        QCOMPARE(totals["cashOwed"].toDouble(), 201.5);
        QCOMPARE(totals["amountPaid"].toDouble(), 147.5);
        QCOMPARE(totals["sharesEarned"].toDouble(), 7.0);
    }

    void setOverridesForOneRunOnly()
    {
        const Result net = tallywick({"--set", "TaxGrossIncome=NO", "totals", path("acme.tickSheet")});
        QCOMPARE(net.status, 0);
        QCOMPARE(QJsonDocument::fromJson(net.out.toUtf8()).object()["taxableAmount"].toDouble(), 15.5);
        QFile settings(_settingsPath);
        if (settings.open(QIODevice::ReadOnly))
            QVERIFY(!settings.readAll().contains("TaxGrossIncome"));

        const Result gross = tallywick({"totals", path("acme.tickSheet")});
        QCOMPARE(QJsonDocument::fromJson(gross.out.toUtf8()).object()["taxableAmount"].toDouble(), 19.0);
    }

    void invoicesTakeConsecutiveNumbers()
    {
        const Result first = tallywick({"invoice", path("acme.tickSheet")});
        const Result second = tallywick({"invoice", path("acme.tickSheet")});
        QCOMPARE(first.status, 0);
        QVERIFY2(first.out.contains("**** I N V O I C E ****\t\t# 1000\n"), qPrintable(first.out));
        QVERIFY(second.out.contains("# 1001\n"));
        QVERIFY(first.out.startsWith("\t\tCompany Name\n"));
        QVERIFY(first.out.contains("RE: Site"));
        QVERIFY(!first.out.contains("Build")); // paid entries are not invoiced

        const Result rich = tallywick({"invoice", "--rich", path("acme.tickSheet")});
        QCOMPARE(rich.status, 0);
        QVERIFY(rich.out.startsWith(QChar(0xFFFC)));
    }

    void invoiceFilesByExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("rtf") << "invoice.rtf" << QByteArray("{\\rtf1");
        QTest::newRow("pdf") << "invoice.pdf" << QByteArray("%PDF");
        QTest::newRow("txt") << "invoice.txt" << QByteArray("\xEF\xBF\xBC\n"); // the logo character first
        QTest::newRow("rtfd") << "invoice.rtfd/TXT.rtf" << QByteArray("{\\rtf1");
    }

    void invoiceFilesByExtension()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, start);
        const QString out = path(name.section('/', 0, 0));
        const Result result = tallywick({"invoice", "--rich", path("acme.tickSheet"), "--out", out});
        QCOMPARE(result.status, 0);
        QVERIFY(result.out.isEmpty());
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(start.size()) == start);
    }

    void reportAndSummaries()
    {
        const Result report = tallywick({"report", path("acme.tickSheet"), "--from", "2004-03-01", "--to", "2004-03-31"});
        QCOMPARE(report.status, 0);
        QVERIFY2(report.out.contains("\nAcme - Site: 03/01/2004 through 03/31/2004\n"), qPrintable(report.out));
        QVERIFY(report.out.contains("Build (pd)"));
        QVERIFY(!report.out.contains("Travel")); // April

        const QStringList files {path("bolt.tickSheet"), path("acme.tickSheet")};
        const Result grand = tallywick(QStringList {"summary"} + files + QStringList {"--from", "2004-03-01", "--to", "2004-04-30"});
        QCOMPARE(grand.status, 0);
        QVERIFY(grand.out.startsWith("\n\nGrand Total\t03/01/2004 through 04/30/2004\n\n"));

        const Result each = tallywick(QStringList {"summary", "--each"} + files + QStringList {"--from", "2004-03-01", "--to", "2004-04-30"});
        QCOMPARE(each.status, 0);
        QVERIFY(each.out.startsWith("\nAcme\tSite\t\t03/01/2004 through 04/30/2004\n"));
        QVERIFY(each.out.indexOf("\nBolt\t") > each.out.indexOf("\nAcme\t"));
    }

    void exportColumnsAndHeaders()
    {
        const Result all = tallywick({"export", path("bolt.tickSheet"), path("acme.tickSheet")});
        QCOMPARE(all.status, 0);
        const QStringList lines = all.out.split('\n');
        QCOMPARE(lines.first(), "Client\tProject\tDate\tStart Time\tEnd Time\tTime\tRate\tAmount\tDescription\tPaid");
        QCOMPARE(lines.size(), 1 + 8 + 1); // heading, four entries each, the final line break
        QVERIFY(lines.at(1).startsWith("Acme\tSite\t03/01/2004\t"));
        QVERIFY(lines.at(5).startsWith("Bolt\t\t"));

        const QString out = path("export.txt");
        const Result some = tallywick({"export", path("acme.tickSheet"), "--columns", "date,paid", "--no-headers", "--out", out});
        QCOMPARE(some.status, 0);
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("03/01/2004\tNo\n03/02/2004\tYes\n03/03/2004\tNo\n04/03/2004\tYes\n"));
    }

    void errorsGoToStandardErrorAndFilesStayUntouched_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("no command") << QStringList {} << 2 << "no command";
        QTest::newRow("unknown command") << QStringList {"bill"} << 2 << "unknown command";
        QTest::newRow("unknown option") << QStringList {"totals", "--fast", "x"} << 2 << "unknown option --fast";
        QTest::newRow("bad --set") << QStringList {"--set", "novalue", "totals"} << 2 << "KEY=VALUE";
        QTest::newRow("missing file") << QStringList {"totals", "nowhere.tickSheet"} << 1 << "nowhere.tickSheet";
        QTest::newRow("not a document") << QStringList {"invoice", "@broken"} << 1 << "broken.tickSheet";
        QTest::newRow("bad date") << QStringList {"report", "@acme", "--from", "3/1/2004", "--to", "2004-03-31"} << 2 << "YYYY-MM-DD";
        QTest::newRow("missing --to") << QStringList {"report", "@acme", "--from", "2004-03-01"} << 2 << "--from and --to";
        QTest::newRow("bad column") << QStringList {"export", "@acme", "--columns", "date,colour"} << 2 << "colour";
        QTest::newRow("bad extension") << QStringList {"invoice", "@acme", "--out", "x.doc"} << 2 << ".pdf";
    }

    void errorsGoToStandardErrorAndFilesStayUntouched()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFile broken(path("broken.tickSheet"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("{ Work = (\"not a dictionary\"); }");
        broken.close();
        for (QString& argument : arguments) {
            if (argument.startsWith('@'))
                argument = path(argument.mid(1) + ".tickSheet");
        }
        const Result result = tallywick(arguments);
        QCOMPARE(result.status, status);
        QVERIFY(result.out.isEmpty());
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QFile after(path("broken.tickSheet"));
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), QByteArray("{ Work = (\"not a dictionary\"); }"));
    }

    void helpForEveryCommand()
    {
        for (const QString& command : {"totals", "invoice", "report", "summary", "export"}) {
            const Result result = tallywick({command, "--help"});
            QCOMPARE(result.status, 0);
            QVERIFY2(result.out.startsWith("Usage: tallywick " + command), qPrintable(command));
        }
        const Result general = tallywick({"--help"});
        QCOMPARE(general.status, 0);
        QVERIFY(general.out.contains("export FILE..."));
    }

    // The script that mailing the invoice would run: the client's address, the invoice's name as
    // subject, the escaped invoice text as body.
    void mailScriptOfTheInvoice()
    {
        const QString file = path("mail.tickSheet");
        const QString logo = path("logo.png");
        {
            TestSettings settings;
            MyDocument document;
            document.setClientName("Acme");
            document.setEmail("billing@acme.example");
            auto work = session(document, QDateTime(QDate(2004, 3, 1), QTime(9, 0)), 2.0, false);
            work->setWorkDescription("Design \"A\"");
            QVERIFY2(document.saveDocumentAs(file), qPrintable(document.errorString()));
            QImage image(4, 4, QImage::Format_RGB32);
            image.fill(Qt::blue);
            QVERIFY(image.save(logo));
        }

        const Result noAddress = tallywick({"mail-script", path("acme.tickSheet")});
        QCOMPARE(noAddress.status, 1);
        QVERIFY(noAddress.out.isEmpty());
        QVERIFY2(noAddress.err.contains("no client e-mail"), qPrintable(noAddress.err));

        const Result plain = tallywick({"--set", "CCAdress=boss@example.com", "mail-script", file});
        QCOMPARE(plain.status, 0);
        QStringList lines = plain.out.split('\n');
        QCOMPARE(lines.at(0), "tell application \"Mail\"");
        QVERIFY2(lines.at(2).startsWith("set bodyvar to \"\t\tCompany Name\r"), qPrintable(lines.at(2)));
        QVERIFY(lines.at(2).contains("\t\t**** I N V O I C E ****\t\t# 1000\r")); // no number spent above
        QVERIFY(lines.at(2).contains("Design \\\"A\\\""));
        QCOMPARE(lines.at(4), "set addrVar to \"billing@acme.example\"");
        QCOMPARE(lines.at(6), "set ccVar to \"boss@example.com\"");
        QCOMPARE(lines.at(7), "set subjectvar to \"**** I N V O I C E **** # 1000\"");
        QVERIFY(!plain.out.contains("aFile"));
        QVERIFY(plain.out.endsWith("set the content to bodyvar\nend tell\nend tell\n"));

        const Result rich = tallywick({"--set", "NextInvoiceNumber=0", "--set", "LogoPath=" + logo, "--set",
                                       "Mailer=Mail", "mail-script", "--rich", file});
        QCOMPARE(rich.status, 0);
        lines = rich.out.split('\n');
        QVERIFY2(lines.at(2).startsWith("set bodyvar to \"\r"), qPrintable(lines.at(2))); // the logo is left out
        QCOMPARE(lines.at(5), "set subjectvar to \"**** I N V O I C E ****\"");
        QVERIFY(rich.out.contains("set the content to bodyvar\nset aFile to \"" + logo + "\"\ntell content\n"));

        const Result help = tallywick({"mail-script", "--help"});
        QVERIFY(help.out.startsWith("Usage: tallywick mail-script FILE [--rich]"));
        QVERIFY(tallywick({"--help"}).out.contains("mail-script FILE [--rich]"));
    }
};

QTEST_GUILESS_MAIN(TestCommandLineTool)
#include "tst_cli.moc"
