#pragma once

#include "PlatformExport.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class Document;

// The shared list of open documents: opens files (once each), makes untitled documents and
// forgets documents as they close. Windows are the application's business: it sets a show hook.
class PLATFORM_EXPORT DocumentController : public QObject
{
    Q_OBJECT

public:
    using Factory = std::function<Document*()>;
    using ShowHook = std::function<void(Document*)>;

    static DocumentController& shared();

    void setDocumentFactory(const QString& type, Factory factory);
    void setShowHook(ShowHook hook);
    QString defaultType() const;

    QList<Document*> documents() const;
    Document* documentForFileName(const QString& path) const;

    // The open document of that file, or a new one read from it (shown when display is true);
    // nullptr when it cannot be read, with the reason in lastError().
    Document* openDocumentWithContentsOfFile(const QString& path, bool display);
    Document* openUntitledDocumentOfType(const QString& type, bool display);

    void addDocument(Document* document);
    // Forgets the document and deletes it later.
    void closeDocument(Document* document);
    // Tests: close every document.
    void closeAllDocuments();

    QString lastError() const;

signals:
    void documentAdded(Document* document);
    void documentRemoved(Document* document);

private:
    Document* makeDocument(const QString& type);
    void show(Document* document);

    QList<Document*> _documents;
    QList<std::pair<QString, Factory>> _factories;
    ShowHook _showHook;
    QString _lastError;
    int _untitledCount = 0;
};
