#include "DocumentController.h"

#include "Document.h"

#include <QFileInfo>

DocumentController& DocumentController::shared()
{
    static DocumentController controller;
    return controller;
}

void DocumentController::setDocumentFactory(const QString& type, Factory factory)
{
    for (auto& entry : _factories) {
        if (entry.first == type) {
            entry.second = std::move(factory);
            return;
        }
    }
    _factories.append({type, std::move(factory)});
}

void DocumentController::setShowHook(ShowHook hook)
{
    _showHook = std::move(hook);
}

QString DocumentController::defaultType() const
{
    return _factories.isEmpty() ? QString() : _factories.first().first;
}

QList<Document*> DocumentController::documents() const
{
    return _documents;
}

Document* DocumentController::documentForFileName(const QString& path) const
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (Document* document : _documents) {
        if (!document->fileName().isEmpty() && document->fileName() == absolute)
            return document;
    }
    return nullptr;
}

Document* DocumentController::makeDocument(const QString& type)
{
    for (const auto& entry : _factories) {
        if (entry.first == type && entry.second) {
            Document* document = entry.second();
            if (document)
                document->setFileType(type);
            return document;
        }
    }
    _lastError = tr("Documents of the type \"%1\" cannot be made.").arg(type);
    return nullptr;
}

void DocumentController::show(Document* document)
{
    if (_showHook)
        _showHook(document);
}

Document* DocumentController::openDocumentWithContentsOfFile(const QString& path, bool display)
{
    if (Document* open = documentForFileName(path)) {
        if (display)
            show(open);
        return open;
    }
    Document* document = makeDocument(defaultType());
    if (!document)
        return nullptr;
    if (!document->readFromFile(path, defaultType())) {
        _lastError = document->errorString();
        delete document;
        return nullptr;
    }
    addDocument(document);
    if (display)
        show(document);
    return document;
}

Document* DocumentController::openUntitledDocumentOfType(const QString& type, bool display)
{
    Document* document = makeDocument(type);
    if (!document)
        return nullptr;
    document->setUntitledNumber(++_untitledCount);
    addDocument(document);
    if (display)
        show(document);
    return document;
}

void DocumentController::addDocument(Document* document)
{
    if (!document || _documents.contains(document))
        return;
    _documents.append(document);
    emit documentAdded(document);
}

void DocumentController::closeDocument(Document* document)
{
    if (!_documents.removeOne(document))
        return;
    emit documentRemoved(document);
    document->deleteLater();
}

void DocumentController::closeAllDocuments()
{
    const QList<Document*> open = _documents;
    for (Document* document : open)
        closeDocument(document);
}

QString DocumentController::lastError() const
{
    return _lastError;
}
