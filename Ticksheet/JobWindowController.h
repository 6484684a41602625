#pragma once

#include "ClientWindow.h"
#include "DocumentWindowController.h"
#include "TicksheetExport.h"

#include <memory>

class ExportPanel;
class MyDocument;
class QLabel;
class QTableView;
class WorkTableModel;

// The window of one client document: the client's name and project, the work list as a table
// and the totals below it, with the client document's own commands.
class TICKSHEET_EXPORT JobWindowController : public DocumentWindowController, public ClientWindow
{
    Q_OBJECT

public:
    explicit JobWindowController(MyDocument* document);
    ~JobWindowController() override;

    MyDocument* clientDocument() const;
    QTableView* tableView() const;

    // ClientWindow
    void updateTotalsAndReload() override;
    void reloadInfo() override;
    void updateFormatters() override;
    void endEditing() override;

    void updateTotals();

    // The totals as shown: "total", "tax", "grandTotal", "cashOwed".
    QString totalText(const QString& name) const;

public slots:
    void saveToTabReturnAction();

protected:
    void windowWillClose() override;
    void documentWillClose() override;
    QString proposedFileName() const override;

private:
    void buildWindow();
    QWidget* buildHeader();
    QWidget* buildTable();
    QWidget* buildTotals();
    void createClientActions();
    void sizeColumns();

    WorkTableModel* _model = nullptr;
    QTableView* _tableView = nullptr;
    QLabel* _clientLabel = nullptr;
    QLabel* _projectLabel = nullptr;
    QLabel* _contactLabel = nullptr;
    QLabel* _summaryLabel = nullptr;
    QHash<QString, QLabel*> _totalFields;
    std::unique_ptr<ExportPanel> _exportPanel;
};
