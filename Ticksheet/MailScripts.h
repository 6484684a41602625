#pragma once

#include "ScriptRunner.h"
#include "TicksheetExport.h"

#include <QString>

class StyledText;

// Mailing an invoice through the user's mail client: the script for the client named in the
// "Mailer" setting, and the same message for the desktop composer where no scripting host exists.
// Every value placed in the script is escaped, so no address, subject or text can break the
// script or add commands to it.
class TICKSHEET_EXPORT MailScripts
{
public:
    MailScripts() = delete;

    // The two generations of the "Mail" client's scripting terms.
    enum class MailForm { Current, Legacy };

    // Builds the script, logs it when "LogMailApplescript" is on, and hands script and message to
    // the runner. A failure is written to the log and answered, so the caller can tell the user.
    static ScriptRunner::Result sendRichMail(const StyledText& text, const QString& to, const QString& subject,
                                             bool isMIME, const QString& name,
                                             const ScriptRunner& runner = ScriptRunner());

    // Every line feed becomes a carriage return, the line break of script strings; the length and
    // the attributes stay.
    static StyledText cleanedText(const StyledText& text);
    static QString mailScriptBody(const StyledText& cleaned, const QString& to, const QString& subject, bool isMIME);
    static QString mailScriptBody(const StyledText& cleaned, const QString& to, const QString& subject, bool isMIME,
                                  MailForm form);
    // The message as the desktop composer receives it: the body keeps its line feeds.
    static MailMessage mailMessage(const StyledText& text, const QString& to, const QString& subject, bool isMIME);

    // The logo file to attach: due for a rich invoice when "LogoPath" names an existing file;
    // empty otherwise.
    static QString logoAttachmentPath(bool isMIME);
    // The "Mailer" setting; "Mail" when it is missing or empty.
    static QString mailerName();
    // The copy address of the "CCAdress" setting; empty when none.
    static QString copyAddress();
    // The plain characters to send. A rich invoice begins with its logo picture, which is left out.
    static QString bodyText(const StyledText& text, bool isMIME);
    // value inside double quotes, with backslashes and double quotes escaped.
    static QString quoted(const QString& value);
};
