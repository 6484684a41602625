#include "JobWindowController.h"

#include "ExportPanel.h"
#include "Localized.h"
#include "MyDocument.h"
#include "VelmorDragInWindow.h"
#include "WorkTableModel.h"

#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString Total = QStringLiteral("total");
const QString Tax = QStringLiteral("tax");
const QString GrandTotal = QStringLiteral("grandTotal");
const QString CashOwed = QStringLiteral("cashOwed");

QFont scaledFont(const QFont& base, double factor, bool bold)
{
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() * factor);
    font.setBold(bold);
    return font;
}

// Secondary text: the palette's placeholder colour, so it follows the desktop theme.
void makeSecondary(QLabel* label)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
    label->setPalette(palette);
}

} // namespace

JobWindowController::JobWindowController(MyDocument* document)
    : DocumentWindowController(document, new VelmorDragInWindow)
{
    buildWindow();
    createClientActions();
    document->addWindowController(this);
    updateFormatters();
}

JobWindowController::~JobWindowController()
{
    if (MyDocument* client = clientDocument())
        client->removeWindowController(this);
}

MyDocument* JobWindowController::clientDocument() const
{
    return qobject_cast<MyDocument*>(document());
}

QTableView* JobWindowController::tableView() const
{
    return _tableView;
}

// The window ------------------------------------------------------------------------------------

void JobWindowController::buildWindow()
{
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->setSpacing(10);
    layout->addWidget(buildHeader());
    layout->addWidget(buildTable(), 1);
    layout->addWidget(buildTotals());
    window()->setCentralWidget(content);
    window()->resize(900, 560);
}

QWidget* JobWindowController::buildHeader()
{
    auto* header = new QWidget;
    auto* layout = new QGridLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setHorizontalSpacing(16);
    layout->setVerticalSpacing(2);

    _clientLabel = new QLabel;
    _clientLabel->setFont(scaledFont(_clientLabel->font(), 1.6, true));
    _clientLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    _projectLabel = new QLabel;
    _projectLabel->setFont(scaledFont(_projectLabel->font(), 1.1, false));
    _contactLabel = new QLabel;
    _contactLabel->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    _contactLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    makeSecondary(_contactLabel);

    layout->addWidget(_clientLabel, 0, 0);
    layout->addWidget(_projectLabel, 1, 0);
    layout->addWidget(_contactLabel, 0, 1, 2, 1);
    layout->setColumnStretch(0, 1);
    return header;
}

QWidget* JobWindowController::buildTable()
{
    _model = new WorkTableModel(clientDocument(), this);
    _tableView = new QTableView;
    _tableView->setModel(_model);
    _tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    _tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    _tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    _tableView->setAlternatingRowColors(true);
    _tableView->setShowGrid(false);
    // Read-only for now: rows are picked with the mouse, no cell takes the keyboard focus.
    _tableView->setFocusPolicy(Qt::NoFocus);
    _tableView->setWordWrap(false);
    _tableView->verticalHeader()->hide();
    _tableView->verticalHeader()->setDefaultSectionSize(_tableView->fontMetrics().height() + 8);
    _tableView->horizontalHeader()->setHighlightSections(false);
    _tableView->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    sizeColumns();
    return _tableView;
}

// Each column is as wide as its widest likely text or its title; the description takes the rest.
void JobWindowController::sizeColumns()
{
    const QFontMetrics metrics = _tableView->fontMetrics();
    const int padding = 18;
    const QStringList samples = {QStringLiteral("12/30/2024"), QStringLiteral("12:45 PM"), QStringLiteral("12:45 PM"),
                                 QStringLiteral("000.00"), QString(), QStringLiteral("000.00"),
                                 QStringLiteral("00,000.00"), QString()};
    QHeaderView* header = _tableView->horizontalHeader();
    const QFontMetrics headerMetrics = header->fontMetrics();
    const int description = static_cast<int>(WorkTableModel::columnIdentifiers().indexOf(QStringLiteral("DESCRIPTION")));
    for (int column = 0; column < samples.size(); ++column) {
        if (column == description) {
            header->setSectionResizeMode(column, QHeaderView::Stretch);
            continue;
        }
        const QString title = _model->headerData(column, Qt::Horizontal).toString();
        const int width = std::max(metrics.horizontalAdvance(samples.at(column)), headerMetrics.horizontalAdvance(title));
        header->resizeSection(column, width + padding);
    }
}

QWidget* JobWindowController::buildTotals()
{
    auto* totals = new QWidget;
    auto* layout = new QGridLayout(totals);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->setHorizontalSpacing(14);
    layout->setVerticalSpacing(3);

    _summaryLabel = new QLabel;
    makeSecondary(_summaryLabel);
    layout->addWidget(_summaryLabel, 0, 0, 4, 1, Qt::AlignLeft | Qt::AlignTop);
    layout->setColumnStretch(0, 1);

    const QList<std::pair<QString, QString>> rows = {
        {Total, localized("Total")},
        {Tax, localized("Tax")},
        {GrandTotal, localized("Grand Total")},
        {CashOwed, localized("Cash Owed")},
    };
    for (int row = 0; row < rows.size(); ++row) {
        auto* label = new QLabel(rows.at(row).second);
        auto* field = new QLabel;
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("$000,000.00")));
        field->setTextInteractionFlags(Qt::TextSelectableByMouse);
        if (rows.at(row).first == GrandTotal) {
            label->setFont(scaledFont(label->font(), 1.0, true));
            field->setFont(scaledFont(field->font(), 1.0, true));
        } else {
            makeSecondary(label);
        }
        layout->addWidget(label, row, 1);
        layout->addWidget(field, row, 2);
        _totalFields.insert(rows.at(row).first, field);
    }
    return totals;
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

// Refreshing -------------------------------------------------------------------------------------

void JobWindowController::reloadInfo()
{
    const MyDocument* client = clientDocument();
    if (!client)
        return;
    const QString name = client->clientName();
    _clientLabel->setText(name.isEmpty() ? localized("New Client") : name);
    _clientLabel->setEnabled(!name.isEmpty());
    _projectLabel->setText(client->projectName());
    _projectLabel->setVisible(!client->projectName().isEmpty());
    QStringList contact;
    for (const QString& part : {client->email(), client->phone()}) {
        if (!part.trimmed().isEmpty())
            contact << part.trimmed();
    }
    _contactLabel->setText(contact.join(QStringLiteral("\n")));
    updateTotalsAndReload();
}

void JobWindowController::updateTotals()
{
    const MyDocument* client = clientDocument();
    if (!client)
        return;
    _totalFields.value(Total)->setText(totalText(Total));
    _totalFields.value(Tax)->setText(totalText(Tax));
    _totalFields.value(GrandTotal)->setText(totalText(GrandTotal));
    _totalFields.value(CashOwed)->setText(totalText(CashOwed));
    const auto entries = client->workList().size();
    const QString count = entries == 1 ? localized("1 entry") : localized("%1 entries").arg(entries);
    _summaryLabel->setText(localized("%1 \u00b7 %2 hours").arg(count, client->formatFloat(client->totalHours(true))));
}

QString JobWindowController::totalText(const QString& name) const
{
    const MyDocument* client = clientDocument();
    if (!client)
        return QString();
    float value = 0;
    if (name == Total)
        value = client->total(true);
    else if (name == Tax)
        value = client->taxableAmount(true);
    else if (name == GrandTotal)
        value = client->grandTotal(true);
    else if (name == CashOwed)
        value = client->cashOwed(true);
    return client->formattedValue(value, true);
}

void JobWindowController::updateTotalsAndReload()
{
    updateTotals();
    _model->reload();
}

void JobWindowController::updateFormatters()
{
    reloadInfo();
}

// Nothing in this window is edited in place.
void JobWindowController::endEditing()
{
}

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
