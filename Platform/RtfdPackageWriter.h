#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class StyledText;

// Writes styled text as an RTFD package: a folder holding "TXT.rtf" and every attached file
// under its own name. The package is built in a hidden sibling folder and then put in place
// with one rename, so the target is either the old package or the complete new one.
class RtfdPackageWriter
{
public:
    explicit RtfdPackageWriter(const StyledText& text);

    bool write(const QString& folderPath);
    QString errorString() const;

private:
    // One name per attachment in text order; the same file attached twice is stored once, and
    // different files of the same name are told apart as "name 2.ext", "name 3.ext", ...
    QStringList packageFileNames() const;
    bool fillFolder(const QString& folder);
    bool writeFile(const QString& path, const QByteArray& bytes);
    bool putInPlace(const QString& temporary, const QString& target);
    QString makeTemporarySibling(const QString& target);
    bool fail(const QString& message);

    const StyledText& _text;
    QString _errorString;
};
