#pragma once

#include "TicksheetExport.h"

#include <QPointer>

class ExportOptionsInterface;
class MyDocument;
class QFileDialog;
class QObject;
class QWidget;

// The tab-delimited export dialog of one client document: a save dialog with the export options
// inside. Made on first use and kept as long as the document's window.
class TICKSHEET_EXPORT ExportPanel
{
public:
    ExportPanel(MyDocument* document, QWidget* window);
    ~ExportPanel();
    ExportPanel(const ExportPanel&) = delete;
    ExportPanel& operator=(const ExportPanel&) = delete;

    // Runs the dialog and, when confirmed, writes the export. Does nothing when the options
    // plug-in is missing.
    void saveToTabReturnAction();
    // The dialog while it exists (tests fill it in).
    QFileDialog* dialog() const;

private:
    bool prepare();
    void exportPanelDidEnd(const QString& path);

    QPointer<MyDocument> _document;
    QPointer<QWidget> _window;
    QFileDialog* _exportPanel = nullptr;
    QObject* _acc = nullptr;
    ExportOptionsInterface* _options = nullptr;
};
