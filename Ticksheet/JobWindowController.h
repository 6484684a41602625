#pragma once

#include "ClientWindow.h"
#include "DocumentWindowController.h"
#include "MoneyFormatter.h"
#include "PieceWork.h"
#include "TicksheetExport.h"
#include "VelmorDragInDelegate.h"
#include "VelmorMovingRowsProtocol.h"
#include "WorkTableController.h"

#include <map>
#include <memory>

class ExportPanel;
class MyDocument;
class QAction;
class QLineEdit;
class QMimeData;
class VelmorDragInWindow;
class VelmorTableView;
class WorkTableModel;

namespace Ui {
class Document;
}

// The window of one client document: the client's details and settings in a collapsible tools
// area, the work table with the timing commands, and the totals below it. The window keeps no copy
// of document values; every refresh reads the document again.
//
// The class is split over several files: JobWindowController.cpp (window and table),
// JobWindowControllerTiming.cpp (session commands), JobWindowControllerFields.cpp (fields, totals,
// formatters, tools area) and JobWindowControllerDrops.cpp (drops and row moves).
class TICKSHEET_EXPORT JobWindowController : public DocumentWindowController,
                                             public ClientWindow,
                                             public WorkTableController,
                                             public VelmorMovingRowsProtocol,
                                             public VelmorDragInDelegate
{
    Q_OBJECT

public:
    explicit JobWindowController(MyDocument* document);
    ~JobWindowController() override;

    MyDocument* clientDocument() const;
    VelmorTableView* tableView() const;
    WorkTableModel* tableModel() const;

    // The work table --------------------------------------------------------------------------
    WorkList workList() const;
    std::shared_ptr<PieceWork> selectedWork() const override;
    // Scrolls the row into view and selects it alone.
    void selectRow(int row);
    // Selects the entry when it is in the list (compared by identity).
    void selectWork(const std::shared_ptr<PieceWork>& work);
    void updateTableHeaderToMatchCurrentSort();
    // A click on a column header: flips the sort on the sorted column, else sorts on the column.
    void didClickTableColumn(int column);
    void sortIfSortedOn(const QString& identifier, const std::shared_ptr<PieceWork>& work) override;
    std::optional<QDateTime> askForDate(const QDateTime& base) override;
    void showDescriptionListSettings(bool lineItem) override;
    void openFileAction() override;

    // Session commands ------------------------------------------------------------------------
    void newPieceWorkAction();
    void addLineItemAction();
    void deletePieceWorkAction();
    void pauseOrResumeAction();
    // Pauses the other running sessions as "ResumeAction" says.
    void pauseOthersAsNeeded(const std::shared_ptr<PieceWork>& work);
    void validatePauseButton();
    void clearLinkAction();
    void changeWorkIsTaxableAction();
    void changeTaxableAction(bool taxable);
    void changeTaxRateAction(float rate);
    void runStockPriceAction();
    // Enabling and check marks of the window's commands.
    bool validateMenuItem(QAction* item) const;

    // Fields and totals -----------------------------------------------------------------------
    void updateTotalsAndReload() override;
    void reloadInfo() override;
    void updateFormatters() override;
    void endEditing() override;
    void updateTotals() override;
    void hideAndShowFields();
    // Takes a field or label out of the window and puts it back; both are harmless when repeated.
    void removeView(QWidget* view);
    void restoreView(QWidget* view);
    bool isInWindow(const QWidget* view) const;
    void setValue(float value, QLineEdit* field, bool money);
    void addOrRemoveFormatters(const QString& decimalSeparator);
    void addFormatterIfNecessary(QLineEdit* field, bool money);
    void updateFormatter(QLineEdit* field, const QString& pattern, const QString& thousands, const QString& decimal);
    bool hasFormatter(const QLineEdit* field) const;
    // An ended edit of one of the client fields writes it to the document.
    void controlTextDidEndEditing(QLineEdit* field);
    void textDidEndEditing(QObject* textView);
    // Shows or hides the tools area, growing or shrinking the window by its height.
    void toggleToolbarShown() override;
    bool toolsHidden() const;

    // Drops and row moves ---------------------------------------------------------------------
    QStringList acceptableDraggedTypes() const;
    void registerTypesForWindow(VelmorDragInWindow* window) override;
    Qt::DropAction draggingEntered(QDragMoveEvent* event) override;
    Qt::DropAction draggingUpdated(QDragMoveEvent* event) override;
    bool prepareForDragOperation(QDropEvent* event) override;
    bool performDragOperation(QDropEvent* event) override;
    void concludeDragOperation(QDropEvent* event) override;
    unsigned dragReorderingMask(int column) override;
    bool draggingRow(VelmorTableView* table, int draggedRow, int row) override;
    bool didDepositRow(VelmorTableView* table, int from, int to) override;

public slots:
    void saveToTabReturnAction();

protected:
    void windowWillClose() override;
    void documentWillClose() override;
    QString proposedFileName() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpTable();
    void setUpFields();
    void setUpNotifications();
    void createClientActions();
    void createWorkActions();
    void validateWorkActions();
    void sizeColumns();
    void restoreColumnLayout();
    void saveColumnLayout() const;
    void afterSort(const std::shared_ptr<PieceWork>& work);
    // Commits and closes the table's open cell editor.
    void endTableEditing();
    // Writes the client field being typed in to the document, leaving the cursor in it.
    void endFieldEditing();
    void editCell(const std::shared_ptr<PieceWork>& work, const QString& identifier);
    int selectedRow() const;

    QList<QLineEdit*> editableFields() const;
    QList<std::pair<QLineEdit*, bool>> formattedFields() const;
    float numberInField(QLineEdit* field, bool money, float current) const;
    void writeField(QLineEdit* field, const QString& text);
    int toolsHeight() const;
    void updateToolsButton();

    QString dropType(const QMimeData* data) const;
    void dropFiles(const QStringList& paths);

    std::unique_ptr<Ui::Document> ui;
    WorkTableModel* _model = nullptr;
    std::map<const QLineEdit*, MoneyFormatter> _formatters;
    std::unique_ptr<ExportPanel> _exportPanel;
    bool _contactImporterLoaded = false;
};
