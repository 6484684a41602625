#include "ScriptRunner.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

const QString ScriptRunner::ScriptProgram = QStringLiteral("osascript");
const QString ScriptRunner::ComposerProgram = QStringLiteral("xdg-email");

namespace {

ScriptRunner::Result failed(int number, const QString& message)
{
    ScriptRunner::Result result;
    result.errorNumber = number;
    result.errorMessage = message;
    return result;
}

// The scripting host ends its error output with the error number in parentheses.
const QRegularExpression& trailingErrorNumber()
{
    static const QRegularExpression pattern(QStringLiteral("\\((-?\\d+)\\)\\s*$"));
    return pattern;
}

} // namespace

QString ScriptRunner::Result::failureReason() const
{
    if (errorNumber == 0)
        return errorMessage;
    return QStringLiteral("Error, number=%1, message=%2").arg(errorNumber).arg(errorMessage);
}

ScriptRunner::ScriptRunner(int timeoutMilliseconds)
    : _timeoutMilliseconds(timeoutMilliseconds)
{
}

ScriptRunner::Result ScriptRunner::run(const MailMessage& message, const QString& scriptText) const
{
    if (!QStandardPaths::findExecutable(ScriptProgram).isEmpty())
        return runScript(scriptText);
    return composeMail(message);
}

ScriptRunner::Result ScriptRunner::runScript(const QString& scriptText) const
{
    // Without a script file the host reads the script from its standard input.
    Result result = runProgram(ScriptProgram, {}, scriptText.toLocal8Bit());
    if (result.succeeded || result.errorNumber == 0)
        return result;
    const QRegularExpressionMatch number = trailingErrorNumber().match(result.errorMessage);
    if (number.hasMatch()) {
        result.errorNumber = number.captured(1).toInt();
        result.errorMessage = result.errorMessage.left(number.capturedStart()).trimmed();
    }
    return result;
}

ScriptRunner::Result ScriptRunner::composeMail(const MailMessage& message) const
{
    return runProgram(ComposerProgram, composerArguments(message), {});
}

QStringList ScriptRunner::composerArguments(const MailMessage& message)
{
    QStringList arguments;
    if (!message.cc.isEmpty())
        arguments << QStringLiteral("--cc") << message.cc;
    arguments << QStringLiteral("--subject") << message.subject << QStringLiteral("--body") << message.body;
    if (!message.attachmentPath.isEmpty())
        arguments << QStringLiteral("--attach") << message.attachmentPath;
    arguments << message.to;
    return arguments;
}

ScriptRunner::Result ScriptRunner::runProgram(const QString& program, const QStringList& arguments,
                                              const QByteArray& input) const
{
    const QString executable = QStandardPaths::findExecutable(program);
    if (executable.isEmpty())
        return failed(0, QStringLiteral("%1 is not installed").arg(program));

    QProcess process;
    process.start(executable, arguments);
    if (!process.waitForStarted())
        return failed(0, QStringLiteral("%1 could not be started: %2").arg(program, process.errorString()));
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(_timeoutMilliseconds)) {
        process.kill();
        process.waitForFinished();
        return failed(0, QStringLiteral("%1 did not finish within %2 seconds")
                             .arg(program)
                             .arg(_timeoutMilliseconds / 1000.0));
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return failed(0, QStringLiteral("%1 stopped unexpectedly").arg(program));

    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    const QString errorOutput = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    if (process.exitCode() != 0) {
        const QString message = errorOutput.isEmpty()
                                  ? QStringLiteral("%1 exited with status %2").arg(program).arg(process.exitCode())
                                  : errorOutput;
        return failed(process.exitCode(), message);
    }
    Result result;
    result.succeeded = true;
    result.text = output;
    return result;
}
