// The client window's session commands: new sessions and line items, delete, pause and resume,
// the supporting file, taxable entries, the tax switch and the share price.

#include "JobWindowController.h"

#include "Constants.h"
#include "DocumentController.h"
#include "Localized.h"
#include "MyDocument.h"
#include "PlugIns/SharePriceAskerInterface.h"
#include "SettingsStore.h"
#include "VelmorDragInWindow.h"

#include "ui_Document.h"

#include <QAction>
#include <QMainWindow>

namespace {

const QString NewSession = QStringLiteral("newPieceWorkAction");
const QString NewLineItem = QStringLiteral("addLineItemAction");
const QString PauseOrResume = QStringLiteral("pauseOrResumeAction");
const QString DeleteWork = QStringLiteral("deletePieceWorkAction");
const QString ClearLink = QStringLiteral("clearLinkAction");
const QString WorkIsTaxable = QStringLiteral("changeWorkIsTaxableAction");
const QString SharePrice = QStringLiteral("runStockPriceAction");
const QString ToggleTools = QStringLiteral("toggleToolbarShown");

bool hasSupportingFile(const std::shared_ptr<PieceWork>& work)
{
    return work && !work->supportingFile().isEmpty();
}

} // namespace

void JobWindowController::createWorkActions()
{
    QList<QAction*> added;
    added << addAction(NewSession, localized("New &Session"), [this] { newPieceWorkAction(); },
                       {QKeySequence(Qt::CTRL | Qt::Key_T)});
    added << addAction(NewLineItem, localized("New &Line Item"), [this] { addLineItemAction(); },
                       {QKeySequence(Qt::CTRL | Qt::Key_L)});
    added << addAction(PauseOrResume, localized("Pause"), [this] { pauseOrResumeAction(); },
                       {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)});
    added << addAction(DeleteWork, localized("&Delete Entry"), [this] { deletePieceWorkAction(); },
                       QKeySequence::keyBindings(QKeySequence::Delete));
    added << addAction(ClearLink, localized("&Clear Supporting File"), [this] { clearLinkAction(); });
    QAction* taxable = addAction(WorkIsTaxable, localized("&Taxable Line Item"), [this] { changeWorkIsTaxableAction(); },
                                 {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T)});
    taxable->setCheckable(true);
    added << taxable;
    added << addAction(SharePrice, localized("Share &Price\u2026"), [this] { runStockPriceAction(); });
    added << addAction(ToggleTools, localized("Hide Client &Details"),
                       [this] { static_cast<VelmorDragInWindow*>(window())->toggleToolbarShown(); },
                       {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_T)});
    // The keys work in the window whether or not a menu bar carries the commands.
    window()->addActions(added);

    connect(ui->newSessionButton, &QPushButton::clicked, this, &JobWindowController::newPieceWorkAction);
    connect(ui->newLineItemButton, &QPushButton::clicked, this, &JobWindowController::addLineItemAction);
    connect(ui->pauseButton, &QPushButton::clicked, this, &JobWindowController::pauseOrResumeAction);
    connect(ui->deleteButton, &QPushButton::clicked, this, &JobWindowController::deletePieceWorkAction);
    connect(ui->sharePriceButton, &QPushButton::clicked, this, &JobWindowController::runStockPriceAction);
    connect(ui->toolsButton, &QToolButton::clicked, action(ToggleTools), &QAction::trigger);
    connect(ui->taxableSwitch, &QCheckBox::clicked, this, &JobWindowController::changeTaxableAction);
}

void JobWindowController::newPieceWorkAction()
{
    MyDocument* client = clientDocument();
    if (!client)
        return;
    endEditing();
    const std::shared_ptr<PieceWork> work = client->addWork();
    selectWork(work);
    pauseOthersAsNeeded(work);
    editCell(work, QStringLiteral("DESCRIPTION"));
}

void JobWindowController::addLineItemAction()
{
    MyDocument* client = clientDocument();
    if (!client)
        return;
    endEditing();
    const std::shared_ptr<PieceWork> item = client->addLineItem();
    selectWork(item);
    editCell(item, QStringLiteral("AMOUNT"));
}

void JobWindowController::deletePieceWorkAction()
{
    MyDocument* client = clientDocument();
    const int row = selectedRow();
    if (client && row >= 0)
        client->removeWork(row);
}

void JobWindowController::pauseOrResumeAction()
{
    const std::shared_ptr<PieceWork> work = selectedWork();
    if (work && work->isPaused()) {
        work->resume();
        pauseOthersAsNeeded(work);
        updateTotalsAndReload();
    } else if (work && work->canBePaused()) {
        work->pause();
    }
    validatePauseButton();
}

void JobWindowController::pauseOthersAsNeeded(const std::shared_ptr<PieceWork>& work)
{
    const qint64 resumeAction = SettingsStore::shared().integerForKey(ResumeAction);
    if (resumeAction == 0) {
        if (MyDocument* client = clientDocument())
            client->pauseAllOpenBut(work);
    } else if (resumeAction == 1) {
        for (Document* open : DocumentController::shared().documents()) {
            if (auto* client = qobject_cast<MyDocument*>(open))
                client->pauseAllOpenBut(work);
        }
    }
}

void JobWindowController::validatePauseButton()
{
    const std::shared_ptr<PieceWork> work = selectedWork();
    const bool paused = work && work->isPaused();
    const QString title = paused ? localized("Resume") : localized("Pause");
    ui->pauseButton->setText(title);
    ui->pauseButton->setEnabled(paused || (work && work->canBePaused()));
    ui->deleteButton->setEnabled(work != nullptr);
    action(PauseOrResume)->setText(title);
    validateWorkActions();
}

void JobWindowController::clearLinkAction()
{
    const std::shared_ptr<PieceWork> work = selectedWork();
    if (hasSupportingFile(work))
        work->setSupportingFile(QString());
}

void JobWindowController::changeWorkIsTaxableAction()
{
    const std::shared_ptr<PieceWork> work = selectedWork();
    if (!work)
        return;
    work->setTaxable(!work->taxable());
    updateTotals();
}

void JobWindowController::changeTaxableAction(bool taxable)
{
    if (MyDocument* client = clientDocument())
        client->setTaxable(taxable);
    updateTotals();
}

void JobWindowController::changeTaxRateAction(float rate)
{
    if (MyDocument* client = clientDocument())
        client->setTaxRate(rate);
    updateTotals();
}

void JobWindowController::runStockPriceAction()
{
    MyDocument* client = clientDocument();
    auto* asker = qobject_cast<SharePriceAskerInterface*>(MyDocument::sharedInstanceOfClassName(QStringLiteral("SharePriceAsker")));
    if (!client || !asker)
        return;
    const float old = client->shareCost();
    const float price = asker->getPrice(old, client);
    if (price != old)
        client->setShareCost(price);
}

bool JobWindowController::validateMenuItem(QAction* item) const
{
    const std::shared_ptr<PieceWork> work = selectedWork();
    if (item->objectName() == WorkIsTaxable) {
        const MyDocument* client = clientDocument();
        item->setChecked(work && work->taxable());
        return work && work->isLineItem() && client && client->taxable();
    }
    if (item->objectName() == ClearLink)
        return hasSupportingFile(work);
    return true;
}

void JobWindowController::validateWorkActions()
{
    for (const QString& name : {ClearLink, WorkIsTaxable}) {
        QAction* item = action(name);
        item->setEnabled(validateMenuItem(item));
    }
}
