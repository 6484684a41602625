#pragma once

#include "TicksheetExport.h"

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class Document;
class QAction;
class QMainWindow;
class QWidget;

// The window of one document: its title with the file name and the edited marker, and the
// document commands around the file (save, save as, save a copy, revert, close, undo, redo) with
// their dialogs, questions and error alerts. Closing the window closes the document; a document
// closed elsewhere closes its window. Every dialog is a Qt dialog, so tests can answer it.
class TICKSHEET_EXPORT DocumentWindowController : public QObject
{
    Q_OBJECT

public:
    // Takes ownership of the window.
    DocumentWindowController(Document* document, QMainWindow* window);
    ~DocumentWindowController() override;

    Document* document() const;
    QMainWindow* window() const;

    // The controller of a document's window; null when it has none.
    static DocumentWindowController* controllerFor(const Document* document);
    // Every open document window, oldest first.
    static QList<DocumentWindowController*> controllers();

    // "Tallywick Documents (*.tickSheet)".
    static QString fileFilter();
    // The paths chosen in the open dialog; none when cancelled.
    static QStringList runOpenPanel(QWidget* parent);

    // The document commands by name ("saveDocument", "undo", ...); null for an unknown name.
    QAction* action(const QString& name) const;

    void showWindow();
    // Closes the window and its document, first asking to save unsaved changes. False when the
    // user cancels or the save fails; the window then stays.
    bool close();
    // Closes every open document in turn; false, with the rest left open, when one stays open.
    static bool closeAllDocuments();

public slots:
    // An untitled document asks where to save it.
    bool saveDocument();
    bool saveDocumentAs();
    bool saveDocumentTo();
    // Asks before throwing the changes away.
    void revertDocumentToSaved();
    void performClose();
    void undo();
    void redo();
    // Enables the commands and names the undo and redo steps.
    void validateActions();

protected:
    // A subclass ends the edit in progress, so it reaches the document before a save or close.
    virtual void windowWillClose();
    // The name, without extension, that the save dialog proposes for an untitled document.
    virtual QString proposedFileName() const;
    // A subclass lets go of the document before it goes away.
    virtual void documentWillClose();
    // Adds a command under its name, with an optional key equivalent.
    QAction* addAction(const QString& name, const QString& text, std::function<void()> handler,
                       const QList<QKeySequence>& shortcuts = {});

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void updateTitle();
    // Ends editing and, when the document has unsaved changes, asks whether to save them.
    bool shouldClose();
    void finishClosing();
    void documentWasClosed(Document* document);
    // The path chosen in a save dialog, ending in the document extension; empty when cancelled.
    QString runSavePanel(const QString& title);
    static QString withDocumentExtension(const QString& path);
    bool reportFailure(bool succeeded, const char* title) const;

    QPointer<Document> _document;
    QMainWindow* _window;
    QHash<QString, QAction*> _actions;
    bool _closing = false;
};
