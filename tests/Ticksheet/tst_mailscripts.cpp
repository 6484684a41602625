#include "Constants.h"
#include "MailScripts.h"
#include "SettingsStore.h"
#include "StyledText.h"
#include "TestFiles.h"
#include "TestSettings.h"
#include "VelmorConstants.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

namespace {

const QString Body = QStringLiteral("Invoice 1007 for 12.5 hours");
const QString To = QStringLiteral("client@example.com");
const QString Copy = QStringLiteral("copy@example.com");
const QString Subject = QStringLiteral("**** I N V O I C E **** # 1007");
const QChar Logo = QChar::ObjectReplacementCharacter;

} // namespace

// The mail scripts for each mail client, and their hand-off to the scripting host or the desktop
// mail composer, with stand-in programs first on PATH.
class TestMailScripts : public QObject
{
    Q_OBJECT

    std::optional<TestSettings> _settings;
    std::optional<QTemporaryDir> _folder;
    QByteArray _path;

    QString path(const QString& name) const { return _folder->filePath(name); }

    static SettingsStore& settings() { return SettingsStore::shared(); }

    // A logo file the rule can find.
    QString writeLogo(const QString& name = QStringLiteral("logo.gif"))
    {
        TestFiles::write(path(name), "GIF89a");
        return path(name);
    }

    // A program in bin/ that records its arguments (one per NUL) and its input, then runs tail.
    void writeStandIn(const QString& program, const QByteArray& tail)
    {
        QDir().mkpath(path("bin"));
        TestFiles::write(path("bin/" + program),
                  "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"" + path("arguments").toUtf8()
                      + "\"\ncat > \""
                      + path("input").toUtf8() + "\"\n" + tail,
                  true);
    }

    QStringList recordedArguments() const
    {
        QStringList arguments = QString::fromUtf8(TestFiles::read(path("arguments"))).split(QChar(0));
        arguments.removeLast(); // after the last NUL
        return arguments;
    }

    void putStandInsFirstOnPath() { qputenv("PATH", path("bin").toUtf8() + ":/usr/bin:/bin"); }

private slots:
    void init()
    {
        _settings.emplace();
        _folder.emplace();
        QVERIFY(_folder->isValid());
        _path = qgetenv("PATH");
    }

    void cleanup()
    {
        qputenv("PATH", _path);
        _folder.reset();
        _settings.reset();
    }

    void scriptForEveryMailer_data()
    {
        QTest::addColumn<QString>("mailer");
        QTest::addColumn<bool>("legacy");
        QTest::addColumn<bool>("copy");
        QTest::addColumn<bool>("rich");
        QTest::addColumn<bool>("logoSet");
        QTest::addColumn<QString>("golden");

        const QList<std::pair<QString, QString>> mailers {
            {"Mail", "mail"},           {"PowerMail", "powermail"}, {"Eudora", "eudora"},
            {"Mailsmith 1.5", "mailsmith-1.5"}, {"Entourage", "entourage"},
            {"Outlook Express", "outlook-express"}, {"Entourage X", "entourage-x"},
        };
        for (const auto& [mailer, slug] : mailers) {
            for (const bool legacy : {false, true}) {
                if (legacy && mailer != QLatin1String("Mail"))
                    continue;
                for (const bool copy : {false, true}) {
                    for (const bool rich : {false, true}) {
                        for (const bool logoSet : {false, true}) {
                            QString golden = (legacy ? QStringLiteral("mail-legacy") : slug)
                                           + (copy ? QStringLiteral("-cc") : QStringLiteral("-nocc"));
                            // Only the two Mail forms attach the logo, and only to a rich invoice.
                            if (mailer == QLatin1String("Mail") && rich && logoSet)
                                golden += QStringLiteral("-logo");
                            const QString row = QStringLiteral("%1%2, %3, %4%5")
                                                    .arg(mailer, legacy ? QStringLiteral(" (legacy)") : QString(),
                                                         copy ? QStringLiteral("copy") : QStringLiteral("no copy"),
                                                         rich ? QStringLiteral("rich") : QStringLiteral("plain"),
                                                         logoSet ? QStringLiteral(", logo set") : QString());
                            QTest::newRow(qPrintable(row)) << mailer << legacy << copy << rich << logoSet << golden;
                        }
                    }
                }
            }
        }
    }

    void scriptForEveryMailer()
    {
        QFETCH(QString, mailer);
        QFETCH(bool, legacy);
        QFETCH(bool, copy);
        QFETCH(bool, rich);
        QFETCH(bool, logoSet);
        QFETCH(QString, golden);

        settings().setValue(Mailer, mailer);
        if (copy)
            settings().setValue(VelmorCCAddress, Copy);
        const QString logo = logoSet ? writeLogo() : QString();
        if (logoSet)
            settings().setValue(CompanyLogoPath, logo);
        const StyledText text(rich ? Logo + Body : Body);
        const auto form = legacy ? MailScripts::MailForm::Legacy : MailScripts::MailForm::Current;

        const QString goldenPath = QFINDTESTDATA("data/mail/" + golden + ".script");
        QVERIFY2(!goldenPath.isEmpty(), qPrintable(golden));
        const QString expected = QString::fromUtf8(TestFiles::read(goldenPath)).replace(QStringLiteral("@LOGO@"), logo);
        QCOMPARE(MailScripts::mailScriptBody(MailScripts::cleanedText(text), To, Subject, rich, form), expected);
    }

    void mailerNameFallsBackToMail_data()
    {
        QTest::addColumn<QString>("setting"); // null: not set
        QTest::addColumn<QString>("application");
        QTest::newRow("missing") << QString() << "Mail";
        QTest::newRow("empty") << "" << "Mail";
        QTest::newRow("unknown client") << "Lettermint" << "Lettermint";
        QTest::newRow("case differs") << "powermail" << "powermail";
    }

    // Any name but the six others takes the Mail template and is named in the first line.
    void mailerNameFallsBackToMail()
    {
        QFETCH(QString, setting);
        QFETCH(QString, application);
        if (!setting.isNull())
            settings().setValue(Mailer, setting);
        QStringList expected = QString::fromUtf8(TestFiles::read(QFINDTESTDATA("data/mail/mail-nocc.script"))).split('\n');
        expected.first() = "tell application \"" + application + '"';
        QCOMPARE(MailScripts::mailScriptBody(StyledText(Body), To, Subject, false), expected.join('\n'));
    }

    // Nothing a client, a subject or an invoice holds can end a script string early.
    void valuesAreEscapedInsideTheirStrings()
    {
        settings().setValue(Mailer, "Mail\" to do shell script \"rm -rf ~");
        settings().setValue(VelmorCCAddress, "\"Boss\" <boss@example.com>");
        const QString logo = writeLogo("logo \"big\" \\ 1.gif");
        settings().setValue(CompanyLogoPath, logo);
        const StyledText text(Logo + QStringLiteral("Line one\nSay \"hi\"\n\\\\server\\share 100% %1\n"));
        const QStringList lines =
            MailScripts::mailScriptBody(MailScripts::cleanedText(text), "a\"b@example.com", "Invoice \\ # 7", true)
                .split('\n');

        QCOMPARE(lines.at(0), "tell application \"Mail\\\" to do shell script \\\"rm -rf ~\"");
        QCOMPARE(lines.at(2), "set bodyvar to \"Line one\rSay \\\"hi\\\"\r\\\\\\\\server\\\\share 100% %1\r\"");
        QCOMPARE(lines.at(3), "set addrNameVar to \"a\\\"b@example.com\"");
        QCOMPARE(lines.at(5), "set ccNameVar to \"\\\"Boss\\\" <boss@example.com>\"");
        QCOMPARE(lines.at(7), "set subjectvar to \"Invoice \\\\ # 7\"");
        QVERIFY(lines.contains("set aFile to \"" + _folder->path() + "/logo \\\"big\\\" \\\\ 1.gif\""));
    }

    void cleanedTextTurnsLineFeedsIntoReturns()
    {
        StyledText text(QStringLiteral("a\nb\r\n\nc"));
        text.setFont(QFont("Courier", 9), {2, 3});
        const StyledText cleaned = MailScripts::cleanedText(text);
        QCOMPARE(cleaned.string(), QStringLiteral("a\rb\r\r\rc"));
        QCOMPARE(cleaned.length(), text.length());
        QCOMPARE(cleaned.runs(), text.runs());
        QCOMPARE(text.string(), QStringLiteral("a\nb\r\n\nc")); // the shown invoice keeps its breaks
    }

    void logoAttachmentRule_data()
    {
        QTest::addColumn<bool>("rich");
        QTest::addColumn<QString>("setting"); // "@" stands for an existing logo file
        QTest::addColumn<bool>("attached");
        QTest::newRow("rich, existing file") << true << "@" << true;
        QTest::newRow("plain, existing file") << false << "@" << false;
        QTest::newRow("rich, empty setting") << true << "" << false;
        QTest::newRow("rich, missing file") << true << "/nowhere/logo.gif" << false;
        QTest::newRow("rich, folder") << true << "/" << false;
    }

    void logoAttachmentRule()
    {
        QFETCH(bool, rich);
        QFETCH(QString, setting);
        QFETCH(bool, attached);
        const QString logo = setting == QLatin1String("@") ? writeLogo() : setting;
        settings().setValue(CompanyLogoPath, logo);
        QCOMPARE(MailScripts::logoAttachmentPath(rich), attached ? logo : QString());
        const QString script = MailScripts::mailScriptBody(StyledText(Logo + Body), To, Subject, rich);
        QCOMPARE(script.contains("set aFile to"), attached);
        QCOMPARE(MailScripts::mailMessage(StyledText(Logo + Body), To, Subject, rich).attachmentPath,
                 attached ? logo : QString());
    }

    // A rich invoice loses its logo picture, never a letter of its text.
    void richBodyDropsOnlyTheLogoPicture_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("rich");
        QTest::addColumn<QString>("body");
        QTest::newRow("rich with logo") << Logo + Body << true << Body;
        QTest::newRow("rich made without logo") << Body << true << Body;
        QTest::newRow("rich, empty") << QString() << true << QString();
        QTest::newRow("plain") << Body << false << Body;
    }

    void richBodyDropsOnlyTheLogoPicture()
    {
        QFETCH(QString, text);
        QFETCH(bool, rich);
        QFETCH(QString, body);
        QCOMPARE(MailScripts::bodyText(StyledText(text), rich), body);
        const QStringList lines = MailScripts::mailScriptBody(StyledText(text), To, Subject, rich).split('\n');
        QCOMPARE(lines.at(2), "set bodyvar to \"" + body + '"');
    }

    void scriptIsLoggedWhenAsked()
    {
        const StyledText text(QStringLiteral("100% of %@ and %1"));
        const QString script = MailScripts::mailScriptBody(text, To, Subject, false); // not logged by default
        settings().setValue(LogMailApplescript, "YES");
        QTest::ignoreMessage(QtInfoMsg, qPrintable(script));
        QCOMPARE(MailScripts::mailScriptBody(text, To, Subject, false), script);
        QVERIFY(script.contains("set bodyvar to \"100% of %@ and %1\"\n"));
    }

    void composerReceivesTheMessage_data()
    {
        QTest::addColumn<bool>("copy");
        QTest::addColumn<bool>("rich");
        QTest::addColumn<QStringList>("arguments"); // "@LOGO@" stands for the logo file
        const QString body = QStringLiteral("Hours:\n12.5 \"billed\"");
        QTest::newRow("plain, no copy") << false << false
                                        << QStringList {"--subject", Subject, "--body", body, To};
        QTest::newRow("rich with copy") << true << true
                                        << QStringList {"--cc", Copy, "--subject", Subject, "--body", body,
                                                        "--attach", "@LOGO@", To};
    }

    // Without a scripting host the message goes to the desktop composer, line feeds and all.
    void composerReceivesTheMessage()
    {
        QFETCH(bool, copy);
        QFETCH(bool, rich);
        QFETCH(QStringList, arguments);
        writeStandIn("xdg-email", "exit 0\n");
        putStandInsFirstOnPath();
        if (copy)
            settings().setValue(VelmorCCAddress, Copy);
        const QString logo = writeLogo();
        settings().setValue(CompanyLogoPath, logo);
        arguments.replaceInStrings("@LOGO@", logo);
        const QString body = QStringLiteral("Hours:\n12.5 \"billed\"");

        const ScriptRunner::Result result =
            MailScripts::sendRichMail(StyledText(rich ? Logo + body : body), To, Subject, rich, "Acme");
        QVERIFY2(result.succeeded, qPrintable(result.failureReason()));
        QCOMPARE(recordedArguments(), arguments);
    }

    void scriptHostRunsTheScript()
    {
        writeStandIn("osascript", "echo 'message created'\n");
        writeStandIn("xdg-email", "exit 1\n"); // never reached while a scripting host exists
        putStandInsFirstOnPath();
        const StyledText text(QStringLiteral("line\nbreak"));

        const ScriptRunner::Result result = MailScripts::sendRichMail(text, To, Subject, false, "Acme");
        QVERIFY2(result.succeeded, qPrintable(result.failureReason()));
        QCOMPARE(result.text, QStringLiteral("message created"));
        QCOMPARE(recordedArguments(), QStringList());
        const QString script = MailScripts::mailScriptBody(MailScripts::cleanedText(text), To, Subject, false);
        QCOMPARE(QString::fromUtf8(TestFiles::read(path("input"))), script);
    }

    void failuresAreLoggedAndAnswered_data()
    {
        QTest::addColumn<QString>("program"); // empty: none installed
        QTest::addColumn<QByteArray>("behaviour");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("timeout");
        const int usual = ScriptRunner::DefaultTimeoutMilliseconds;
        QTest::newRow("composer fails") << "xdg-email" << QByteArray("echo 'no mail client' >&2\nexit 1\n") << 1
                                        << "Error, number=1, message=no mail client" << usual;
        QTest::newRow("composer fails silently") << "xdg-email" << QByteArray("exit 4\n") << 4
                                                 << "Error, number=4, message=xdg-email exited with status 4" << usual;
        QTest::newRow("script error") << "osascript"
                                      << QByteArray("echo '0:12: execution error: Mail got an error: No account. "
                                                    "(-1728)' >&2\nexit 1\n")
                                      << -1728
                                      << "Error, number=-1728, message=0:12: execution error: Mail got an error: No "
                                         "account."
                                      << usual;
        QTest::newRow("composer hangs") << "xdg-email" << QByteArray("exec sleep 30\n") << 0
                                        << "xdg-email did not finish within 0.2 seconds" << 200;
        QTest::newRow("nothing installed") << "" << QByteArray() << 0 << "xdg-email is not installed" << usual;
    }

    void failuresAreLoggedAndAnswered()
    {
        QFETCH(QString, program);
        QFETCH(QByteArray, behaviour);
        QFETCH(int, number);
        QFETCH(QString, reason);
        QFETCH(int, timeout);
        QDir().mkpath(path("bin"));
        if (!program.isEmpty())
            writeStandIn(program, behaviour);
        qputenv("PATH", path("bin").toUtf8() + (program.isEmpty() ? "" : ":/usr/bin:/bin"));

        QTest::ignoreMessage(QtWarningMsg, qPrintable("Cannot mail because: " + reason));
        const ScriptRunner::Result result =
            MailScripts::sendRichMail(StyledText(Body), To, Subject, false, "Acme", ScriptRunner(timeout));
        QVERIFY(!result.succeeded);
        QCOMPARE(result.errorNumber, number);
        QCOMPARE(result.failureReason(), reason);
    }
};

QTEST_GUILESS_MAIN(TestMailScripts)
#include "tst_mailscripts.moc"
