#pragma once

#include "PlatformExport.h"

#include <QObject>
#include <QString>

class UndoManager;

// A document of the document framework: a file path, an undo stack that drives the edited state,
// and the file operations (read, save, save as, save a copy, revert) around the bytes that the
// concrete document supplies. Writes are atomic: a crash leaves the old file or the new one.
class PLATFORM_EXPORT Document : public QObject
{
    Q_OBJECT

public:
    enum class SaveOperation { Save, SaveAs, SaveTo };

    explicit Document(QObject* parent = nullptr);
    ~Document() override;

    UndoManager* undoManager() const;

    QString fileName() const;
    void setFileName(const QString& path);
    QString fileType() const;
    void setFileType(const QString& type);
    // The file's name without folder, or "Untitled", "Untitled 2", ... for a new document.
    QString displayName() const;
    void setUntitledNumber(int number);

    bool isDocumentEdited() const;

    // The bytes of the document in a type; empty when the type is not this document's.
    virtual QByteArray dataRepresentationOfType(const QString& type) = 0;
    // Fills the document from bytes; false, with a reason in errorMessage, when they do not load.
    virtual bool loadDataRepresentation(const QByteArray& data, const QString& type, QString* errorMessage) = 0;
    virtual bool keepBackupFile() const;

    // Reads a file into this document and makes it the document's file; the document counts as
    // unchanged afterwards. On failure the document is left as it was.
    bool readFromFile(const QString& path, const QString& type);

    // Writes the document to a path. Save and SaveAs make the path the document's file and mark it
    // clean; SaveTo writes a copy and leaves the document as it was.
    virtual bool writeToFile(const QString& path, const QString& type, SaveOperation operation);
    bool saveDocument();
    bool saveDocumentAs(const QString& path);
    bool saveDocumentTo(const QString& path);

    // Reads the file again into this open document.
    virtual bool revertToSavedFromFile(const QString& path, const QString& type);
    virtual bool revertDocumentToSaved();

    // Why the last file operation failed, naming the file.
    QString errorString() const;

    // Where the backup of a file is kept when keepBackupFile() is on.
    static QString backupPathFor(const QString& path);
    // Files larger than this are refused before reading, so a huge file cannot exhaust memory.
    static constexpr qint64 maximumFileSize = 512LL * 1024 * 1024;

signals:
    void editedChanged(bool edited);
    void fileNameChanged(const QString& path);

protected:
    void setErrorString(const QString& message);

private:
    bool readBytes(const QString& path, QByteArray& bytes);
    bool keepBackupOf(const QString& path);

    UndoManager* _undoManager;
    QString _fileName;
    QString _fileType;
    QString _errorString;
    int _untitledNumber = 1;
};
