#include "ExportPanel.h"

#include "AppDelegate.h"
#include "Exporter.h"
#include "FileWriter.h"
#include "Localized.h"
#include "MyDocument.h"
#include "PlugIns/ExportOptionsInterface.h"
#include "Workspace.h"

#include <QFileDialog>
#include <QGridLayout>

ExportPanel::ExportPanel(MyDocument* document, QWidget* window)
    : _document(document)
    , _window(window)
{
}

// The dialog owns the options view once it sits inside it; the options instance knows that.
ExportPanel::~ExportPanel()
{
    delete _exportPanel;
    delete _acc;
}

QFileDialog* ExportPanel::dialog() const
{
    return _exportPanel;
}

bool ExportPanel::prepare()
{
    if (_exportPanel)
        return true;
    _acc = MyDocument::instanceOfClassName(QStringLiteral("ExportOptions"));
    _options = qobject_cast<ExportOptionsInterface*>(_acc);
    if (!_options) {
        delete _acc;
        _acc = nullptr;
        return false;
    }
    _exportPanel = new QFileDialog(_window, localized("Export"));
    _exportPanel->setOption(QFileDialog::DontUseNativeDialog);
    _exportPanel->setAcceptMode(QFileDialog::AcceptSave);
    _exportPanel->setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog lays itself out in a grid: the options go in a row of their own below it.
    if (auto* grid = qobject_cast<QGridLayout*>(_exportPanel->layout()))
        grid->addWidget(_options->accessoryView(), grid->rowCount(), 0, 1, grid->columnCount());
    _options->restoreDefaults();
    // Room for the file list above the options.
    _exportPanel->resize(_exportPanel->sizeHint().expandedTo(QSize(760, 620)));
    return true;
}

void ExportPanel::saveToTabReturnAction()
{
    if (!_document || !prepare())
        return;
    if (_exportPanel->exec() != QDialog::Accepted || _exportPanel->selectedFiles().isEmpty())
        return;
    exportPanelDidEnd(_exportPanel->selectedFiles().constFirst());
}

void ExportPanel::exportPanelDidEnd(const QString& path)
{
    const QList<MyDocument*> documents =
        _options->exportAllOpen() ? AppDelegate::sortedSavedDocuments() : QList<MyDocument*>{_document.data()};
    FileWriter::writeToFile(Exporter::exportText(documents, *_options), path);
    if (_options->openAfterSave())
        Workspace::openFile(path);
    _options->saveDefaults();
}
