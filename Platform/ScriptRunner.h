#pragma once

#include "MailMessage.h"
#include "PlatformExport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Hands a mail message to the user's mail client. Where the scripting host (osascript) is
// installed the script text is run; elsewhere the structured message goes to the desktop mail
// composer (xdg-email). Both run synchronously, as separate programs without a shell, and a
// program that does not finish in time is stopped and counts as a failure.
class PLATFORM_EXPORT ScriptRunner
{
public:
    struct Result
    {
        bool succeeded = false;
        // The script's result as text (empty when it answers none).
        QString text;
        // The script error number, or the program's exit status; 0 when the program did not run.
        int errorNumber = 0;
        QString errorMessage;

        // "Error, number=N, message=M", or the message alone when no program ran to an end.
        QString failureReason() const;
    };

    static constexpr int DefaultTimeoutMilliseconds = 30000;

    explicit ScriptRunner(int timeoutMilliseconds = DefaultTimeoutMilliseconds);

    // Runs the script where it can, else composes the message.
    Result run(const MailMessage& message, const QString& scriptText) const;
    Result runScript(const QString& scriptText) const;
    Result composeMail(const MailMessage& message) const;

    static QStringList composerArguments(const MailMessage& message);

    static const QString ScriptProgram;
    static const QString ComposerProgram;

private:
    Result runProgram(const QString& program, const QStringList& arguments, const QByteArray& input) const;

    int _timeoutMilliseconds;
};
