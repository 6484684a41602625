#include "DocumentWindowController.h"

#include "Alert.h"
#include "Constants.h"
#include "Document.h"
#include "DocumentController.h"
#include "Localized.h"
#include "UndoManager.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QStandardPaths>

namespace {

QList<DocumentWindowController*>& registry()
{
    static QList<DocumentWindowController*> controllers;
    return controllers;
}

QString startingFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

// Every dialog is Qt's own, never the desktop's, so it looks the same everywhere and tests can
// fill it in.
void prepareFileDialog(QFileDialog& dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(DocumentWindowController::fileFilter());
}

// The desktop's key for a command, or ours where the desktop has none.
QList<QKeySequence> standardKey(QKeySequence::StandardKey key, const QKeySequence& fallback)
{
    const QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    return keys.isEmpty() ? QList<QKeySequence> {fallback} : keys;
}

QString quoted(const QString& name)
{
    return QStringLiteral("\u201c%1\u201d").arg(name);
}

} // namespace

DocumentWindowController::DocumentWindowController(Document* document, QMainWindow* window)
    : _document(document)
    , _window(window)
{
    registry().append(this);
    _window->installEventFilter(this);
    createActions();

    connect(document, &Document::editedChanged, this, [this] {
        updateTitle();
        validateActions();
    });
    connect(document, &Document::fileNameChanged, this, [this] {
        updateTitle();
        validateActions();
    });
    connect(document->undoManager(), &UndoManager::changed, this, &DocumentWindowController::validateActions);
    connect(&DocumentController::shared(), &DocumentController::documentRemoved, this,
            &DocumentWindowController::documentWasClosed);
    updateTitle();
    validateActions();
}

DocumentWindowController::~DocumentWindowController()
{
    registry().removeAll(this);
    delete _window;
}

Document* DocumentWindowController::document() const
{
    return _document;
}

QMainWindow* DocumentWindowController::window() const
{
    return _window;
}

DocumentWindowController* DocumentWindowController::controllerFor(const Document* document)
{
    for (DocumentWindowController* controller : std::as_const(registry())) {
        if (controller->_document == document && !controller->_closing)
            return controller;
    }
    return nullptr;
}

QList<DocumentWindowController*> DocumentWindowController::controllers()
{
    return registry();
}

QString DocumentWindowController::fileFilter()
{
    return localized("Tallywick Documents (*.%1)").arg(TWKFileType);
}

QAction* DocumentWindowController::action(const QString& name) const
{
    return _actions.value(name);
}

QAction* DocumentWindowController::addAction(const QString& name, const QString& text, std::function<void()> handler,
                                             const QList<QKeySequence>& shortcuts)
{
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    action->setShortcuts(shortcuts);
    connect(action, &QAction::triggered, this, std::move(handler));
    _actions.insert(name, action);
    return action;
}

void DocumentWindowController::createActions()
{
    addAction(QStringLiteral("performClose"), localized("&Close"), [this] { performClose(); },
              QKeySequence::keyBindings(QKeySequence::Close));
    addAction(QStringLiteral("saveDocument"), localized("&Save"), [this] { saveDocument(); },
              QKeySequence::keyBindings(QKeySequence::Save));
    addAction(QStringLiteral("saveDocumentAs"), localized("Save &As\u2026"), [this] { saveDocumentAs(); },
              standardKey(QKeySequence::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)));
    addAction(QStringLiteral("saveDocumentTo"), localized("Save a Cop&y\u2026"), [this] { saveDocumentTo(); },
              {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S)});
    addAction(QStringLiteral("revertDocumentToSaved"), localized("&Revert to Saved"), [this] { revertDocumentToSaved(); });
    addAction(QStringLiteral("undo"), localized("&Undo"), [this] { undo(); },
              QKeySequence::keyBindings(QKeySequence::Undo));
    addAction(QStringLiteral("redo"), localized("&Redo"), [this] { redo(); },
              standardKey(QKeySequence::Redo, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
}

void DocumentWindowController::validateActions()
{
    if (!_document)
        return;
    const UndoManager* undoManager = _document->undoManager();
    const QString undoName = undoManager->undoActionName();
    const QString redoName = undoManager->redoActionName();
    QAction* undoItem = action(QStringLiteral("undo"));
    undoItem->setEnabled(undoManager->canUndo());
    undoItem->setText(undoName.isEmpty() || !undoManager->canUndo() ? localized("&Undo")
                                                                    : localized("&Undo %1").arg(undoName));
    QAction* redoItem = action(QStringLiteral("redo"));
    redoItem->setEnabled(undoManager->canRedo());
    redoItem->setText(redoName.isEmpty() || !undoManager->canRedo() ? localized("&Redo")
                                                                    : localized("&Redo %1").arg(redoName));
    action(QStringLiteral("revertDocumentToSaved"))
        ->setEnabled(!_document->fileName().isEmpty() && _document->isDocumentEdited());
}

void DocumentWindowController::updateTitle()
{
    if (!_document)
        return;
    _window->setWindowTitle(_document->displayName() + QStringLiteral("[*]"));
    _window->setWindowModified(_document->isDocumentEdited());
}

void DocumentWindowController::showWindow()
{
    if (_window->isMinimized())
        _window->showNormal();
    _window->show();
    _window->raise();
    _window->activateWindow();
}

// Saving -------------------------------------------------------------------------------------

bool DocumentWindowController::reportFailure(bool succeeded, const char* title) const
{
    if (!succeeded && _document)
        Alert::run(localized(title), _document->errorString(), localized("OK", "VelmorStrings"));
    return succeeded;
}

bool DocumentWindowController::saveDocument()
{
    if (!_document)
        return false;
    if (_document->fileName().isEmpty())
        return saveDocumentAs();
    return reportFailure(_document->saveDocument(), "The document could not be saved.");
}

bool DocumentWindowController::saveDocumentAs()
{
    const QString path = runSavePanel(localized("Save As"));
    if (path.isEmpty() || !_document)
        return false;
    return reportFailure(_document->saveDocumentAs(path), "The document could not be saved.");
}

bool DocumentWindowController::saveDocumentTo()
{
    const QString path = runSavePanel(localized("Save a Copy"));
    if (path.isEmpty() || !_document)
        return false;
    return reportFailure(_document->saveDocumentTo(path), "A copy of the document could not be saved.");
}

QString DocumentWindowController::runSavePanel(const QString& title)
{
    QFileDialog dialog(_window, title);
    prepareFileDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(TWKFileType);
    const QString current = _document ? _document->fileName() : QString();
    if (current.isEmpty()) {
        dialog.setDirectory(startingFolder());
        dialog.selectFile(proposedFileName() + u'.' + TWKFileType);
    } else {
        dialog.setDirectory(QFileInfo(current).absolutePath());
        dialog.selectFile(QFileInfo(current).fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return withDocumentExtension(dialog.selectedFiles().constFirst());
}

// The dialog only adds the extension to a name without one; "Acme.v2" becomes "Acme.v2.tickSheet"
// here, and since the dialog did not ask about that file, the question is asked now.
QString DocumentWindowController::withDocumentExtension(const QString& path)
{
    if (QFileInfo(path).suffix().compare(TWKFileType, Qt::CaseInsensitive) == 0)
        return path;
    const QString extended = path + u'.' + TWKFileType;
    if (!QFileInfo::exists(extended))
        return extended;
    const int answer = Alert::run(localized("%1 already exists. Do you want to replace it?")
                                      .arg(quoted(QFileInfo(extended).fileName())),
                                  localized("Replacing it will overwrite its current contents."),
                                  localized("Replace"), localized("Cancel", "VelmorStrings"));
    return answer == 0 ? extended : QString();
}

QStringList DocumentWindowController::runOpenPanel(QWidget* parent)
{
    QFileDialog dialog(parent, localized("Open"));
    prepareFileDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setDirectory(startingFolder());
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

void DocumentWindowController::revertDocumentToSaved()
{
    if (!_document || _document->fileName().isEmpty())
        return;
    const int answer = Alert::run(
        localized("Do you want to revert to the most recently saved version of the document %1?")
            .arg(quoted(_document->displayName())),
        localized("Your current changes will be lost."), localized("Revert"), localized("Cancel", "VelmorStrings"));
    if (answer != 0)
        return;
    windowWillClose();
    reportFailure(_document->revertDocumentToSaved(), "The document could not be reverted.");
}

void DocumentWindowController::undo()
{
    if (_document && _document->undoManager()->canUndo())
        _document->undoManager()->undo();
}

void DocumentWindowController::redo()
{
    if (_document && _document->undoManager()->canRedo())
        _document->undoManager()->redo();
}

// Closing ------------------------------------------------------------------------------------

void DocumentWindowController::windowWillClose()
{
}

QString DocumentWindowController::proposedFileName() const
{
    return _document ? _document->displayName() : QString();
}

void DocumentWindowController::documentWillClose()
{
}

bool DocumentWindowController::shouldClose()
{
    windowWillClose();
    if (!_document || !_document->isDocumentEdited())
        return true;
    showWindow();
    const int answer = Alert::run(localized("Do you want to save the changes you made in the document %1?")
                                      .arg(quoted(_document->displayName())),
                                  localized("Your changes will be lost if you don't save them."),
                                  localized("Save"), localized("Cancel", "VelmorStrings"), localized("Don't Save"));
    switch (answer) {
    case 0:
        return saveDocument();
    case 2:
        return true;
    default:
        return false;
    }
}

bool DocumentWindowController::close()
{
    if (_closing)
        return true;
    if (!shouldClose())
        return false;
    _closing = true;
    _window->close();
    finishClosing();
    return true;
}

void DocumentWindowController::performClose()
{
    close();
}

void DocumentWindowController::finishClosing()
{
    documentWillClose();
    if (_document)
        DocumentController::shared().closeDocument(_document);
    deleteLater();
}

// Closed from elsewhere (the document list): the window goes with its document.
void DocumentWindowController::documentWasClosed(Document* document)
{
    if (document != _document || _closing)
        return;
    _closing = true;
    documentWillClose();
    _window->close();
    deleteLater();
}

bool DocumentWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != _window || event->type() != QEvent::Close || _closing)
        return QObject::eventFilter(watched, event);
    if (!shouldClose()) {
        event->ignore();
        return true;
    }
    _closing = true;
    finishClosing();
    return false;
}

bool DocumentWindowController::closeAllDocuments()
{
    const QList<Document*> open = DocumentController::shared().documents();
    for (Document* document : open) {
        if (DocumentWindowController* controller = controllerFor(document)) {
            if (!controller->close())
                return false;
        } else {
            DocumentController::shared().closeDocument(document);
        }
    }
    return true;
}
