#include "MailScripts.h"

#include "Constants.h"
#include "SettingsStore.h"
#include "StyledText.h"
#include "VelmorConstants.h"

#include <QFileInfo>
#include <QStringList>

namespace {

const QString DefaultMailer = QStringLiteral("Mail");

// What the script places between its quotes, already quoted; cc is empty when no copy is set.
struct ScriptValues
{
    QString mailer;
    QString body;
    QString to;
    QString cc;
    QString subject;
    QString logo;

    bool hasCopy() const { return !cc.isEmpty(); }
};

void addRecipientBlock(QStringList& lines)
{
    lines << QStringLiteral("if addrVar = addrNameVar then") << QStringLiteral("set recip to addrVar")
          << QStringLiteral("else") << QStringLiteral(R"(set recip to addrNameVar & " <" & addrVar & ">")")
          << QStringLiteral("end if");
}

void addCopyBlock(QStringList& lines)
{
    lines << QStringLiteral("if ccVar = ccNameVar then") << QStringLiteral("set ccrecip to ccVar")
          << QStringLiteral("else") << QStringLiteral(R"(set ccrecip to ccNameVar & " <" & ccVar & ">")")
          << QStringLiteral("end if");
}

void addHead(QStringList& lines, const ScriptValues& values)
{
    lines << QStringLiteral("tell application %1").arg(values.mailer) << QStringLiteral("activate")
          << QStringLiteral("set bodyvar to %1").arg(values.body)
          << QStringLiteral("set addrNameVar to %1").arg(values.to)
          << QStringLiteral("set addrVar to %1").arg(values.to);
    if (values.hasCopy()) {
        lines << QStringLiteral("set ccNameVar to %1").arg(values.cc)
              << QStringLiteral("set ccVar to %1").arg(values.cc);
    }
    lines << QStringLiteral("set subjectvar to %1").arg(values.subject);
}

// Without a copy address the templates leave out every mention of the copy variables, which the
// head then does not set.
void addPowerMailTemplate(QStringList& lines, const ScriptValues& values)
{
    addRecipientBlock(lines);
    if (values.hasCopy()) {
        lines << QStringLiteral("set theMessage to make new message with properties {subject:subjectvar,recipient:"
                                "{{recipient type:cc recipient, address:{display name:ccNameVar,address:ccVar}}, "
                                "recip}, content:bodyvar}");
    } else {
        lines << QStringLiteral("set theMessage to make new message with properties {subject:subjectvar,recipient:"
                                "{recip}, content:bodyvar}");
    }
    lines << QStringLiteral("open theMessage");
}

void addEudoraTemplate(QStringList& lines, const ScriptValues& values)
{
    addRecipientBlock(lines);
    if (values.hasCopy())
        addCopyBlock(lines);
    lines << QStringLiteral(R"(make message at end of mailbox "out")")
          << QStringLiteral(R"(set field "to" of message 0 to recip)")
          << QStringLiteral(R"(set field "subject" of message 0 to subjectvar)");
    if (values.hasCopy())
        lines << QStringLiteral(R"(set field "cc" of message 0 to ccrecip)");
    lines << QStringLiteral(R"(set field "" of message 0 to bodyvar)");
}

// Splits a comma list of addresses (or quotes a display name) into the list variable `list`.
void addMailsmithAddressList(QStringList& lines, const QString& address, const QString& name, const QString& list)
{
    lines << QStringLiteral(R"(if (%1 = %2) or (%2 = "") then)").arg(address, name)
          << QStringLiteral("set aRecip to %1").arg(address) << QStringLiteral("set %1 to {}").arg(list)
          << QStringLiteral(R"(set loc to offset of "," in aRecip)") << QStringLiteral("repeat while loc > 0")
          << QStringLiteral("set newstr to text 1 thru (loc - 1) of aRecip")
          << QStringLiteral("set aRecip to text (loc + 1) thru length of aRecip")
          << QStringLiteral("set %1 to %1 & newstr").arg(list)
          << QStringLiteral(R"(set loc to offset of "," in aRecip)") << QStringLiteral("end repeat")
          << QStringLiteral("set %1 to %1 & aRecip").arg(list) << QStringLiteral("else")
          << QStringLiteral(R"(set aRecip to "\"" & %1 & "\" <" & %2 & ">")").arg(name, address)
          << QStringLiteral("set %1 to {aRecip}").arg(list) << QStringLiteral("end if");
}

void addMailsmithTemplate(QStringList& lines, const ScriptValues& values)
{
    addMailsmithAddressList(lines, QStringLiteral("addrVar"), QStringLiteral("addrNameVar"), QStringLiteral("recip"));
    if (values.hasCopy())
        addMailsmithAddressList(lines, QStringLiteral("ccVar"), QStringLiteral("ccNameVar"), QStringLiteral("ccrecip"));
    lines << QStringLiteral("make new message window") << QStringLiteral("tell message window 1")
          << QStringLiteral("set subject to subjectvar") << QStringLiteral("repeat with aRecip in recip")
          << QStringLiteral("make new to_recipient at end with properties {address:aRecip}")
          << QStringLiteral("end repeat");
    if (values.hasCopy()) {
        lines << QStringLiteral("repeat with aRecip in ccrecip")
              << QStringLiteral("make new cc_recipient at end with properties {address:aRecip}")
              << QStringLiteral("end repeat");
    }
    lines << QStringLiteral("set contents to bodyvar") << QStringLiteral("end tell");
}

void addEntourageTemplate(QStringList& lines, const ScriptValues& values)
{
    addRecipientBlock(lines);
    if (values.hasCopy()) {
        addCopyBlock(lines);
        lines << QStringLiteral("make new draft window with properties {to recipients:recip, subject:subjectvar, "
                                "content:bodyvar, CC recipients:ccrecip}");
    } else {
        lines << QStringLiteral(
            "make new draft window with properties {to recipients:recip, subject:subjectvar, content:bodyvar}");
    }
}

void addLogoAttachment(QStringList& lines, const ScriptValues& values, const QString& attachmentLine)
{
    if (values.logo.isEmpty())
        return;
    lines << QStringLiteral("set aFile to %1").arg(values.logo) << QStringLiteral("tell content") << attachmentLine
          << QStringLiteral("end tell");
}

void addLegacyMailTemplate(QStringList& lines, const ScriptValues& values)
{
    lines << QStringLiteral("set composeMessage to (a reference to (make new compose message at beginning of "
                            "compose messages))")
          << QStringLiteral("tell composeMessage")
          << QStringLiteral("make new to recipient at beginning of to recipients with properties "
                            "{address:addrVar, display name:addrNameVar}");
    if (values.hasCopy()) {
        lines << QStringLiteral("make new cc recipient at beginning of cc recipients with properties "
                                "{address:ccVar, display name:ccNameVar}");
    }
    lines << QStringLiteral("set the subject to subjectvar") << QStringLiteral("set the content to bodyvar");
    addLogoAttachment(lines, values,
                      QStringLiteral("make new text attachment with properties {file name:aFile} at before the "
                                     "first word of the first paragraph"));
    lines << QStringLiteral("end tell") << QStringLiteral("make new message editor at beginning of message editors")
          << QStringLiteral("set compose message of last message editor to composeMessage");
}

void addCurrentMailTemplate(QStringList& lines, const ScriptValues& values)
{
    lines << QStringLiteral("make new outgoing message") << QStringLiteral("tell last outgoing message")
          << QStringLiteral("set visible to yes")
          << QStringLiteral("make new to recipient at beginning of to recipients with properties "
                            "{address:addrVar, name:addrNameVar}");
    if (values.hasCopy()) {
        lines << QStringLiteral("make new cc recipient at beginning of cc recipients with properties "
                                "{address:ccVar, name:ccNameVar}");
    }
    lines << QStringLiteral("set the subject to subjectvar") << QStringLiteral("set the content to bodyvar");
    addLogoAttachment(lines, values,
                      QStringLiteral("make new attachment with properties {file name:aFile} at before the first "
                                     "word of the first paragraph"));
    lines << QStringLiteral("end tell");
}

void addTemplate(QStringList& lines, const QString& mailer, const ScriptValues& values, MailScripts::MailForm form)
{
    if (mailer == QLatin1String("PowerMail"))
        addPowerMailTemplate(lines, values);
    else if (mailer == QLatin1String("Eudora"))
        addEudoraTemplate(lines, values);
    else if (mailer == QLatin1String("Mailsmith 1.5"))
        addMailsmithTemplate(lines, values);
    else if (mailer == QLatin1String("Entourage") || mailer == QLatin1String("Outlook Express")
             || mailer == QLatin1String("Entourage X"))
        addEntourageTemplate(lines, values);
    else if (form == MailScripts::MailForm::Legacy)
        addLegacyMailTemplate(lines, values);
    else
        addCurrentMailTemplate(lines, values);
}

} // namespace

ScriptRunner::Result MailScripts::sendRichMail(const StyledText& text, const QString& to, const QString& subject,
                                               bool isMIME, const QString& /*name*/, const ScriptRunner& runner)
{
    const QString script = mailScriptBody(cleanedText(text), to, subject, isMIME);
    const ScriptRunner::Result result = runner.run(mailMessage(text, to, subject, isMIME), script);
    if (!result.succeeded)
        qWarning("Cannot mail because: %s", qUtf8Printable(result.failureReason()));
    return result;
}

StyledText MailScripts::cleanedText(const StyledText& text)
{
    StyledText cleaned = text;
    cleaned.replaceCharacter(QChar(u'\n'), QChar(u'\r'));
    return cleaned;
}

QString MailScripts::mailScriptBody(const StyledText& cleaned, const QString& to, const QString& subject,
                                    bool isMIME)
{
    // This platform has no older generation of the "Mail" client.
    return mailScriptBody(cleaned, to, subject, isMIME, MailForm::Current);
}

QString MailScripts::mailScriptBody(const StyledText& cleaned, const QString& to, const QString& subject,
                                    bool isMIME, MailForm form)
{
    const QString mailer = mailerName();
    const QString copy = copyAddress();
    const QString logo = logoAttachmentPath(isMIME);
    const ScriptValues values {quoted(mailer),
                               quoted(bodyText(cleaned, isMIME)),
                               quoted(to),
                               copy.isEmpty() ? QString() : quoted(copy),
                               quoted(subject),
                               logo.isEmpty() ? QString() : quoted(logo)};
    QStringList lines;
    addHead(lines, values);
    addTemplate(lines, mailer, values, form);
    lines << QStringLiteral("end tell");
    const QString script = lines.join(u'\n') + u'\n';
    if (SettingsStore::shared().boolForKey(LogMailApplescript))
        qInfo("%s", qUtf8Printable(script));
    return script;
}

MailMessage MailScripts::mailMessage(const StyledText& text, const QString& to, const QString& subject, bool isMIME)
{
    return {to, copyAddress(), subject, bodyText(text, isMIME), logoAttachmentPath(isMIME)};
}

QString MailScripts::logoAttachmentPath(bool isMIME)
{
    const QString path = SettingsStore::shared().stringForKey(CompanyLogoPath);
    if (!isMIME || path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    return path;
}

QString MailScripts::mailerName()
{
    const QString mailer = SettingsStore::shared().stringForKey(Mailer);
    return mailer.isEmpty() ? DefaultMailer : mailer;
}

QString MailScripts::copyAddress()
{
    const QString copy = SettingsStore::shared().stringForKey(VelmorCCAddress);
    return copy.isNull() ? QString() : copy;
}

QString MailScripts::bodyText(const StyledText& text, bool isMIME)
{
    const QString& characters = text.string();
    // Only an actual picture is left out; a rich invoice made without a logo keeps its first letter.
    if (isMIME && characters.startsWith(QChar::ObjectReplacementCharacter))
        return characters.mid(1);
    return characters;
}

QString MailScripts::quoted(const QString& value)
{
    QString escaped = value;
    escaped.replace(u'\\', QStringLiteral("\\\\"));
    escaped.replace(u'"', QStringLiteral("\\\""));
    return u'"' + escaped + u'"';
}
