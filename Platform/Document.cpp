#include "Document.h"

#include "UndoManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

Document::Document(QObject* parent)
    : QObject(parent)
    , _undoManager(new UndoManager(this))
{
    connect(_undoManager, &UndoManager::cleanChanged, this, [this](bool clean) { emit editedChanged(!clean); });
}

Document::~Document() = default;

UndoManager* Document::undoManager() const
{
    return _undoManager;
}

QString Document::fileName() const
{
    return _fileName;
}

void Document::setFileName(const QString& path)
{
    const QString absolute = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    if (absolute == _fileName)
        return;
    _fileName = absolute;
    emit fileNameChanged(_fileName);
}

QString Document::fileType() const
{
    return _fileType;
}

void Document::setFileType(const QString& type)
{
    _fileType = type;
}

QString Document::displayName() const
{
    if (!_fileName.isEmpty())
        return QFileInfo(_fileName).fileName();
    return _untitledNumber <= 1 ? tr("Untitled") : tr("Untitled %1").arg(_untitledNumber);
}

void Document::setUntitledNumber(int number)
{
    _untitledNumber = number;
}

bool Document::isDocumentEdited() const
{
    return !_undoManager->isClean();
}

bool Document::keepBackupFile() const
{
    return false;
}

QString Document::errorString() const
{
    return _errorString;
}

void Document::setErrorString(const QString& message)
{
    _errorString = message;
}

bool Document::readBytes(const QString& path, QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setErrorString(tr("The document \"%1\" could not be opened: %2.")
                           .arg(QFileInfo(path).fileName(), file.errorString()));
        return false;
    }
    if (file.size() > maximumFileSize) {
        setErrorString(tr("The document \"%1\" could not be opened: it is too large (%2 MB; at most %3 MB).")
                           .arg(QFileInfo(path).fileName())
                           .arg(file.size() / (1024 * 1024))
                           .arg(maximumFileSize / (1024 * 1024)));
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setErrorString(tr("The document \"%1\" could not be read: %2.")
                           .arg(QFileInfo(path).fileName(), file.errorString()));
        return false;
    }
    return true;
}

bool Document::readFromFile(const QString& path, const QString& type)
{
    QByteArray bytes;
    if (!readBytes(path, bytes))
        return false;
    QString reason;
    if (!loadDataRepresentation(bytes, type, &reason)) {
        setErrorString(tr("The document \"%1\" could not be opened: %2.")
                           .arg(QFileInfo(path).fileName(), reason));
        return false;
    }
    setFileName(path);
    setFileType(type);
    _undoManager->removeAllActions();
    _undoManager->setClean();
    return true;
}

QString Document::backupPathFor(const QString& path)
{
    const QFileInfo info(path);
    const QString suffix = info.completeSuffix();
    const QString base = suffix.isEmpty() ? info.fileName() : info.fileName().chopped(suffix.size() + 1);
    return info.dir().filePath(suffix.isEmpty() ? base + QLatin1Char('~') : base + QStringLiteral("~.") + suffix);
}

bool Document::keepBackupOf(const QString& path)
{
    if (!QFileInfo::exists(path))
        return true;
    const QString backup = backupPathFor(path);
    QFile::remove(backup);
    if (!QFile::copy(path, backup)) {
        setErrorString(tr("The backup file \"%1\" could not be written.").arg(QFileInfo(backup).fileName()));
        return false;
    }
    return true;
}

bool Document::writeToFile(const QString& path, const QString& type, SaveOperation operation)
{
    const QByteArray bytes = dataRepresentationOfType(type);
    if (bytes.isEmpty()) {
        setErrorString(tr("The document \"%1\" could not be saved: it cannot be written as \"%2\".")
                           .arg(QFileInfo(path).fileName(), type));
        return false;
    }
    if (keepBackupFile() && !keepBackupOf(path))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        setErrorString(tr("The document \"%1\" could not be saved: %2.")
                           .arg(QFileInfo(path).fileName(), file.errorString()));
        return false;
    }
    if (operation != SaveOperation::SaveTo) {
        setFileName(path);
        setFileType(type);
        _undoManager->setClean();
    }
    return true;
}

bool Document::saveDocument()
{
    if (_fileName.isEmpty()) {
        setErrorString(tr("The document \"%1\" has no file yet.").arg(displayName()));
        return false;
    }
    return writeToFile(_fileName, _fileType, SaveOperation::Save);
}

bool Document::saveDocumentAs(const QString& path)
{
    return writeToFile(path, _fileType, SaveOperation::SaveAs);
}

bool Document::saveDocumentTo(const QString& path)
{
    return writeToFile(path, _fileType, SaveOperation::SaveTo);
}

bool Document::revertToSavedFromFile(const QString& path, const QString& type)
{
    QByteArray bytes;
    if (!readBytes(path, bytes))
        return false;
    QString reason;
    if (!loadDataRepresentation(bytes, type, &reason)) {
        setErrorString(tr("The document \"%1\" could not be reverted: %2.")
                           .arg(QFileInfo(path).fileName(), reason));
        return false;
    }
    _undoManager->removeAllActions();
    _undoManager->setClean();
    return true;
}

bool Document::revertDocumentToSaved()
{
    if (_fileName.isEmpty()) {
        setErrorString(tr("The document \"%1\" has no saved file to revert to.").arg(displayName()));
        return false;
    }
    return revertToSavedFromFile(_fileName, _fileType);
}
