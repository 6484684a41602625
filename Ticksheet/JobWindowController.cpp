#include "JobWindowController.h"

#include "ExportPanel.h"
#include "Localized.h"
#include "MyDocument.h"
#include "PlugIns/DateTimeAskerInterface.h"
#include "PlugIns/SettingsPanelInterface.h"
#include "SettingsStore.h"
#include "VelmorDragInWindow.h"
#include "VelmorTableView.h"
#include "WorkTableCells.h"
#include "WorkTableModel.h"
#include "Workspace.h"

#include "ui_Document.h"

#include <QAction>
#include <QHeaderView>
#include <QMainWindow>
#include <QTimer>
#include <QtDebug>

namespace {

const QString ColumnsKey = QStringLiteral("Table Columns WorkTable");
const QString ColumnsStateKey = QStringLiteral("State");
const QString ColumnsIdentifiersKey = QStringLiteral("Columns");

// Rows are 18 points high, whatever the screen's resolution.
int rowHeightInPixels(const QWidget* widget)
{
    return qRound(18.0 * widget->logicalDpiY() / 72.0);
}

} // namespace

JobWindowController::JobWindowController(MyDocument* document)
    : DocumentWindowController(document, new VelmorDragInWindow)
    , ui(std::make_unique<Ui::Document>())
{
    auto* content = new QWidget;
    ui->setupUi(content);
    window()->setCentralWidget(content);
    window()->resize(content->size());

    setUpTable();
    setUpFields();
    createClientActions();
    createWorkActions();
    setUpNotifications();
    document->addWindowController(this);
    static_cast<VelmorDragInWindow*>(window())->setDragInDelegate(this);

    if (document->toolsHidden())
        toggleToolbarShown();
    updateFormatters();
}

JobWindowController::~JobWindowController()
{
    // The window outlives this part of the controller: nothing in it may call back while it goes.
    for (QObject* child : window()->findChildren<QObject*>())
        child->disconnect(this);
    ui->addressText->removeEventFilter(this);
    static_cast<VelmorDragInWindow*>(window())->setDragInDelegate(nullptr);
    ui->tableView->setDelegate(nullptr);
    if (MyDocument* client = clientDocument())
        client->removeWindowController(this);
}

MyDocument* JobWindowController::clientDocument() const
{
    return qobject_cast<MyDocument*>(document());
}

VelmorTableView* JobWindowController::tableView() const
{
    return ui->tableView;
}

WorkTableModel* JobWindowController::tableModel() const
{
    return _model;
}

// Set-up ---------------------------------------------------------------------------------------

void JobWindowController::setUpTable()
{
    VelmorTableView* table = ui->tableView;
    _model = new WorkTableModel(clientDocument(), this, this);
    table->setModel(_model);
    table->setDelegate(this);
    table->setConstrainedMove(true);
    table->setNeedsControlKey(false);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setSortingEnabled(false);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setMinimumSectionSize(rowHeightInPixels(table));
    table->verticalHeader()->setDefaultSectionSize(rowHeightInPixels(table));
    WorkTableCells::install(table, _model, this);

    QHeaderView* header = table->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSectionsMovable(true);
    header->setSortIndicatorShown(true);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(false);
    sizeColumns();
    restoreColumnLayout();
    connect(header, &QHeaderView::sectionClicked, this, &JobWindowController::didClickTableColumn);
    connect(header, &QHeaderView::sectionResized, this, &JobWindowController::saveColumnLayout);
    connect(header, &QHeaderView::sectionMoved, this, &JobWindowController::saveColumnLayout);
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &JobWindowController::validatePauseButton);
    updateTableHeaderToMatchCurrentSort();
}

// Each column is as wide as its widest likely text or its title; the description takes the rest.
void JobWindowController::sizeColumns()
{
    static const QHash<QString, QString> samples = {
        {QStringLiteral("DATE"), QStringLiteral("12/30/2024")}, {QStringLiteral("STARTTIME"), QStringLiteral("12:45 PM")},
        {QStringLiteral("STOPTIME"), QStringLiteral("12:45 PM")}, {QStringLiteral("TIME"), QStringLiteral("000.00")},
        {QStringLiteral("RATE"), QStringLiteral("000.00")},       {QStringLiteral("AMOUNT"), QStringLiteral("00,000.00")}};
    VelmorTableView* table = ui->tableView;
    QHeaderView* header = table->horizontalHeader();
    const int padding = 28;
    for (int column = 0; column < _model->columnCount(); ++column) {
        const QString identifier = WorkTableModel::identifierAt(column);
        if (identifier == QStringLiteral("DESCRIPTION")) {
            header->setSectionResizeMode(column, QHeaderView::Stretch);
            continue;
        }
        const QString title = _model->headerData(column, Qt::Horizontal).toString();
        const int width = qMax(table->fontMetrics().horizontalAdvance(samples.value(identifier)),
                               header->fontMetrics().horizontalAdvance(title));
        header->resizeSection(column, width + padding);
    }
}

// The column order and widths live in the settings, for as long as the columns are the same.
void JobWindowController::restoreColumnLayout()
{
    const QVariantMap saved = SettingsStore::shared().value(ColumnsKey).toMap();
    if (saved.value(ColumnsIdentifiersKey).toStringList() != WorkTableModel::columnIdentifiers())
        return;
    const QByteArray state = QByteArray::fromBase64(saved.value(ColumnsStateKey).toString().toLatin1());
    ui->tableView->horizontalHeader()->restoreState(state);
}

void JobWindowController::saveColumnLayout() const
{
    const QByteArray state = ui->tableView->horizontalHeader()->saveState();
    SettingsStore::shared().setValue(ColumnsKey, QVariantMap {{ColumnsIdentifiersKey, WorkTableModel::columnIdentifiers()},
                                                              {ColumnsStateKey, QString::fromLatin1(state.toBase64())}});
}

void JobWindowController::createClientActions()
{
    MyDocument* client = clientDocument();
    addAction(QStringLiteral("cloneDocumentAction"), localized("C&lone Client"), [client] { client->cloneDocumentAction(); },
              {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D)});
    addAction(QStringLiteral("changeMoneyFormatAction"), localized("&Money Format\u2026"),
              [client] { client->changeMoneyFormatAction(); });
    addAction(QStringLiteral("viewInvoiceAction"), localized("View &Invoice"), [client] { client->viewInvoiceAction(); },
              {QKeySequence(Qt::CTRL | Qt::Key_I)});
    addAction(QStringLiteral("viewRichInvoiceAction"), localized("View &Rich Invoice"),
              [client] { client->viewRichInvoiceAction(); }, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I)});
    addAction(QStringLiteral("printDocument"), localized("&Print Invoice\u2026"), [client] { client->printDocument(); },
              QKeySequence::keyBindings(QKeySequence::Print));
    addAction(QStringLiteral("thisMonthReportAction"), localized("&This Month's Report"),
              [client] { client->thisMonthReportAction(); }, {QKeySequence(Qt::CTRL | Qt::Key_R)});
    addAction(QStringLiteral("allReportAction"), localized("&All Dates Report"), [client] { client->allReportAction(); });
    addAction(QStringLiteral("anyReportAction"), localized("Report for &Dates\u2026"),
              [client] { client->anyReportAction(); });
    addAction(QStringLiteral("saveToTabReturnAction"), localized("&Export\u2026"), [this] { saveToTabReturnAction(); },
              {QKeySequence(Qt::CTRL | Qt::Key_E)});
}

QString JobWindowController::proposedFileName() const
{
    const MyDocument* client = clientDocument();
    QString name = client ? client->clientName().trimmed() : QString();
    name.replace(u'/', u'-');
    return name.isEmpty() ? DocumentWindowController::proposedFileName() : name;
}

// The work table ----------------------------------------------------------------------------

WorkList JobWindowController::workList() const
{
    const MyDocument* client = clientDocument();
    return client ? client->workList() : WorkList();
}

int JobWindowController::selectedRow() const
{
    const QModelIndexList rows = ui->tableView->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

std::shared_ptr<PieceWork> JobWindowController::selectedWork() const
{
    const int row = selectedRow();
    const WorkList list = workList();
    return row >= 0 && row < list.size() ? list.at(row) : nullptr;
}

void JobWindowController::selectRow(int row)
{
    VelmorTableView* table = ui->tableView;
    if (row < 0 || row >= _model->rowCount())
        return;
    const QModelIndex index = _model->index(row, qMax(0, table->currentIndex().column()));
    table->scrollTo(index);
    table->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void JobWindowController::selectWork(const std::shared_ptr<PieceWork>& work)
{
    const int row = static_cast<int>(workList().indexOf(work));
    if (work && row >= 0)
        selectRow(row);
}

void JobWindowController::updateTableHeaderToMatchCurrentSort()
{
    const MyDocument* client = clientDocument();
    QHeaderView* header = ui->tableView->horizontalHeader();
    const QString sortColumn = client ? client->sortColumn() : QString();
    const int column = sortColumn.isEmpty() ? -1 : WorkTableModel::columnOf(sortColumn);
    // The document's flag set means increasing order.
    const Qt::SortOrder order = client && client->sortIsDescending() ? Qt::AscendingOrder : Qt::DescendingOrder;
    header->setSortIndicator(column, order);
}

void JobWindowController::didClickTableColumn(int column)
{
    MyDocument* client = clientDocument();
    const QString identifier = WorkTableModel::identifierAt(column);
    if (!client || identifier.isEmpty())
        return;
    endTableEditing();
    const std::shared_ptr<PieceWork> selected = selectedWork();
    // The header's own indicator has already moved with the click; the document's column is the
    // one that carried it.
    if (identifier == client->sortColumn())
        client->setSortIsDescending(!client->sortIsDescending());
    else
        client->setSortColumn(identifier);
    updateTableHeaderToMatchCurrentSort();
    client->sort();
    if (selected)
        selectWork(selected);
}

void JobWindowController::sortIfSortedOn(const QString& identifier, const std::shared_ptr<PieceWork>& work)
{
    MyDocument* client = clientDocument();
    if (!client)
        return;
    if (client->sortColumn().isEmpty() || client->sortColumn() != identifier) {
        updateTotalsAndReload();
        return;
    }
    // The cell being edited is the one committing this change, and its delegate closes it; only a
    // field being typed in is ended here.
    endFieldEditing();
    client->sort();
    // The edit that led here is still unwinding in the cell; select once it is over.
    const std::weak_ptr<PieceWork> edited = work;
    QTimer::singleShot(0, this, [this, edited] {
        if (const std::shared_ptr<PieceWork> entry = edited.lock())
            afterSort(entry);
    });
}

void JobWindowController::afterSort(const std::shared_ptr<PieceWork>& work)
{
    endEditing();
    selectWork(work);
}

void JobWindowController::editCell(const std::shared_ptr<PieceWork>& work, const QString& identifier)
{
    const int row = static_cast<int>(workList().indexOf(work));
    const int column = WorkTableModel::columnOf(identifier);
    if (row < 0 || column < 0)
        return;
    VelmorTableView* table = ui->tableView;
    const QModelIndex index = _model->index(row, column);
    table->scrollTo(index);
    table->setCurrentIndex(index);
    table->edit(index);
    // The whole text is selected, so typing replaces it.
    if (QWidget* editor = table->indexWidget(index)) {
        if (auto* line = editor->findChild<QLineEdit*>())
            line->selectAll();
        else if (auto* field = qobject_cast<QLineEdit*>(editor))
            field->selectAll();
    }
}

void JobWindowController::endTableEditing()
{
    ui->tableView->endEditing();
}

std::optional<QDateTime> JobWindowController::askForDate(const QDateTime& base)
{
    auto* asker = qobject_cast<DateTimeAskerInterface*>(MyDocument::sharedInstanceOfClassName(QStringLiteral("DateTimeAsker")));
    if (!asker)
        return base;
    return asker->calendarDateFromModal(base);
}

void JobWindowController::showDescriptionListSettings(bool lineItem)
{
    auto* panel = qobject_cast<SettingsPanelInterface*>(MyDocument::sharedInstanceOfClassName(QStringLiteral("SettingsPanel")));
    if (!panel)
        return;
    if (lineItem)
        panel->showExpenseDescriptionsTab();
    else
        panel->showJobDescriptionTab();
}

void JobWindowController::openFileAction()
{
    const std::shared_ptr<PieceWork> work = selectedWork();
    if (!work || work->supportingFile().isEmpty())
        return;
    const QString path = work->supportingFile();
    if (Workspace::openFile(path))
        return;
    qWarning().noquote() << QStringLiteral("Couldn't open:%1").arg(path);
    Workspace::openFile(path, QStringLiteral("TextEdit"));
}

// Closing ------------------------------------------------------------------------------------

void JobWindowController::windowWillClose()
{
    endEditing();
}

void JobWindowController::documentWillClose()
{
    if (MyDocument* client = clientDocument())
        client->removeWindowController(this);
}

void JobWindowController::saveToTabReturnAction()
{
    if (!_exportPanel)
        _exportPanel = std::make_unique<ExportPanel>(clientDocument(), window());
    _exportPanel->saveToTabReturnAction();
}
