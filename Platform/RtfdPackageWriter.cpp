#include "RtfdPackageWriter.h"

#include "RtfWriter.h"
#include "StyledText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

namespace {

const QString textFileName = QStringLiteral("TXT.rtf");

QString numberedName(const QString& name, int number)
{
    const QFileInfo info(name);
    const QString suffix = info.completeSuffix();
    const QString base = suffix.isEmpty() ? name : name.left(name.size() - suffix.size() - 1);
    return suffix.isEmpty() ? QStringLiteral("%1 %2").arg(base).arg(number)
                            : QStringLiteral("%1 %2.%3").arg(base).arg(number).arg(suffix);
}

void removePath(const QString& path)
{
    if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

RtfdPackageWriter::RtfdPackageWriter(const StyledText& text)
    : _text(text)
{
}

bool RtfdPackageWriter::write(const QString& folderPath)
{
    const QString target = QDir::cleanPath(QFileInfo(folderPath).absoluteFilePath());
    const QString temporary = makeTemporarySibling(target);
    if (temporary.isEmpty())
        return false;
    if (!fillFolder(temporary) || !putInPlace(temporary, target)) {
        removePath(temporary);
        return false;
    }
    return true;
}

QString RtfdPackageWriter::errorString() const
{
    return _errorString;
}

QStringList RtfdPackageWriter::packageFileNames() const
{
    QList<TextAttachment> named;
    QStringList names;
    QStringList result;
    for (const TextAttachment& attachment : _text.attachments()) {
        const qsizetype known = named.indexOf(attachment);
        if (known >= 0) {
            result.append(names.at(known));
            continue;
        }
        QString name = attachment.fileName();
        if (name.isEmpty())
            name = QStringLiteral("Attachment.") + QString::fromLatin1(attachment.imageFormat());
        const QString wanted = name;
        for (int number = 2; names.contains(name, Qt::CaseInsensitive)
             || name.compare(textFileName, Qt::CaseInsensitive) == 0; ++number)
            name = numberedName(wanted, number);
        named.append(attachment);
        names.append(name);
        result.append(name);
    }
    return result;
}

bool RtfdPackageWriter::fillFolder(const QString& folder)
{
    const QStringList names = packageFileNames();
    const QList<TextAttachment> attachments = _text.attachments();
    for (qsizetype i = 0; i < attachments.size(); ++i) {
        const QString path = folder + u'/' + names.at(i);
        if (!QFileInfo::exists(path) && !writeFile(path, attachments.at(i).fileData()))
            return false;
    }
    RtfWriter writer(_text);
    writer.setPackageFileNames(names);
    return writeFile(folder + u'/' + textFileName, writer.rtf());
}

bool RtfdPackageWriter::writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        return fail(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    return true;
}

bool RtfdPackageWriter::putInPlace(const QString& temporary, const QString& target)
{
    const QByteArray from = QFile::encodeName(temporary);
    const QByteArray to = QFile::encodeName(target);
    const bool targetExists = QFileInfo::exists(target) || QFileInfo(target).isSymLink();
    if (!targetExists) {
        if (std::rename(from.constData(), to.constData()) == 0)
            return true;
        return fail(QStringLiteral("Cannot write %1: %2").arg(target, systemError()));
    }
#ifdef RENAME_EXCHANGE
    // Swapping the two names is one atomic step; the old package ends up under the temporary name.
    if (renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) == 0) {
        removePath(temporary);
        return true;
    }
#endif
    // File systems without the swap: move the old package aside, and back if the new one fails.
    const QString aside = makeTemporarySibling(target);
    if (aside.isEmpty())
        return false;
    QDir().rmdir(aside);
    const QByteArray asideName = QFile::encodeName(aside);
    if (std::rename(to.constData(), asideName.constData()) != 0)
        return fail(QStringLiteral("Cannot replace %1: %2").arg(target, systemError()));
    if (std::rename(from.constData(), to.constData()) != 0) {
        const QString reason = systemError();
        std::rename(asideName.constData(), to.constData());
        return fail(QStringLiteral("Cannot replace %1: %2").arg(target, reason));
    }
    removePath(aside);
    return true;
}

QString RtfdPackageWriter::makeTemporarySibling(const QString& target)
{
    const QFileInfo info(target);
    QDir parent = info.absoluteDir();
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString name = QStringLiteral(".%1.%2.tmp")
                                 .arg(info.fileName())
                                 .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        if (parent.mkdir(name))
            return parent.filePath(name);
        if (!parent.exists())
            break;
    }
    fail(QStringLiteral("Cannot write %1: cannot make a folder beside it").arg(target));
    return {};
}

bool RtfdPackageWriter::fail(const QString& message)
{
    _errorString = message;
    return false;
}
