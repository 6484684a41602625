#pragma once

#include <QString>

// One message for the user's mail client, as the composer receives it: no copy address and no
// attachment when those are empty.
struct MailMessage
{
    QString to;
    QString cc;
    QString subject;
    QString body;
    QString attachmentPath;
};
