#include "MainMenu.h"

#include "AppDelegate.h"
#include "AppKernel/MainApp.h"
#include "Document.h"
#include "DocumentController.h"
#include "DocumentWindowController.h"
#include "Localized.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

const QString Separator = QStringLiteral("-");

} // namespace

MainMenu::MainMenu(MainApp* application)
    : QObject(application)
    , _application(application)
{
    createActions();
    connect(&DocumentController::shared(), &DocumentController::documentAdded, this, &MainMenu::validate);
    connect(&DocumentController::shared(), &DocumentController::documentRemoved, this, &MainMenu::validate);
    validate();
}

QAction* MainMenu::addCommand(const QString& name, const QString& text, std::function<void()> handler,
                              const QList<QKeySequence>& shortcuts)
{
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    action->setShortcuts(shortcuts);
    connect(action, &QAction::triggered, this, [this, action, handler = std::move(handler)] {
        // A key equivalent reaches the command even when its menu was never opened.
        if (_delegate && _delegate->validateMenuItem(action))
            handler();
    });
    _actions.insert(name, action);
    return action;
}

void MainMenu::createActions()
{
    MainApp* app = _application;
    // The delegate is looked up when the command runs: the application may have changed it.
    const auto delegate = [this] { return _delegate.data(); };
    addCommand(QStringLiteral("newDocument"), localized("&New"), [app] { app->newDocument(); },
               QKeySequence::keyBindings(QKeySequence::New));
    addCommand(QStringLiteral("newFromAddressBookAction"), localized("New from Address &Book\u2026"),
               [delegate] { delegate()->newFromAddressBookAction(); }, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N)});
    addCommand(QStringLiteral("openDocument"), localized("&Open\u2026"), [app] { app->openDocument(); },
               QKeySequence::keyBindings(QKeySequence::Open));
    addCommand(QStringLiteral("terminate"), localized("&Quit"), [app] { app->terminate(); },
               QKeySequence::keyBindings(QKeySequence::Quit));
    addCommand(QStringLiteral("showPreferencesAction"), localized("Pre&ferences\u2026"),
               [delegate] { delegate()->showPreferencesAction(); }, {QKeySequence(Qt::CTRL | Qt::Key_Comma)});

    addCommand(QStringLiteral("allReportsMonthly"), localized("&This Month"), [delegate] { delegate()->allReportsMonthly(); });
    addCommand(QStringLiteral("allReportsFull"), localized("&All Dates"), [delegate] { delegate()->allReportsFull(); });
    addCommand(QStringLiteral("allReportsAny"), localized("&Dates\u2026"), [delegate] { delegate()->allReportsAny(); });
    addCommand(QStringLiteral("summarizeReportsMonthly"), localized("&This Month"),
               [delegate] { delegate()->summarizeReportsMonthly(); });
    addCommand(QStringLiteral("summarizeReportsFull"), localized("&All Dates"),
               [delegate] { delegate()->summarizeReportsFull(); });
    addCommand(QStringLiteral("summarizeReportsAny"), localized("&Dates\u2026"),
               [delegate] { delegate()->summarizeReportsAny(); });

    addCommand(QStringLiteral("showWebHelp"), localized("Tallywick &Help"), [delegate] { delegate()->showWebHelp(); },
               QKeySequence::keyBindings(QKeySequence::HelpContents));
    addCommand(QStringLiteral("showSampleAction"), localized("Open &Sample Client"),
               [delegate] { delegate()->showSampleAction(); });
    addCommand(QStringLiteral("goToVelmorWebSite"), localized("Tallywick &Web Site"),
               [delegate] { delegate()->goToVelmorWebSite(); });
    addCommand(QStringLiteral("showSuggestionAction"), localized("Send &Feedback\u2026"),
               [delegate] { delegate()->showSuggestionAction(); });
    addCommand(QStringLiteral("checkForNewVersion"), localized("Check for &Updates\u2026"),
               [delegate] { delegate()->checkForNewVersion(); });
    addCommand(QStringLiteral("orderFrontStandardAboutPanel"), localized("&About Tallywick"),
               [app] { app->orderFrontStandardAboutPanel(); });
}

void MainMenu::setDelegate(AppDelegate* delegate)
{
    _delegate = delegate;
    validate();
}

QAction* MainMenu::action(const QString& name) const
{
    return _actions.value(name);
}

void MainMenu::validate()
{
    for (QAction* action : std::as_const(_actions))
        action->setEnabled(_delegate && _delegate->validateMenuItem(action));
}

// Names of application commands and of the window's commands, in menu order; "-" separates.
void MainMenu::addItems(QMenu* menu, const QStringList& names, const DocumentWindowController& controller) const
{
    for (const QString& name : names) {
        if (name == Separator) {
            menu->addSeparator();
        } else if (QAction* item = action(name)) {
            menu->addAction(item);
        } else if (QAction* own = controller.action(name)) {
            menu->addAction(own);
        }
    }
}

void MainMenu::install(DocumentWindowController& controller)
{
    auto* bar = new QMenuBar;
    auto addMenu = [&](QMenu* parent, const char* title, const QStringList& names) {
        QMenu* menu = parent ? parent->addMenu(localized(title)) : bar->addMenu(localized(title));
        addItems(menu, names, controller);
        connect(menu, &QMenu::aboutToShow, this, &MainMenu::validate);
        connect(menu, &QMenu::aboutToShow, &controller, &DocumentWindowController::validateActions);
        return menu;
    };

    addMenu(nullptr, "&File",
            {"newDocument", "newFromAddressBookAction", "openDocument", Separator, "performClose", "saveDocument",
             "saveDocumentAs", "saveDocumentTo", "revertDocumentToSaved", Separator, "saveToTabReturnAction",
             "printDocument", Separator, "terminate"});
    addMenu(nullptr, "&Edit", {"undo", "redo", Separator, "showPreferencesAction"});
    addMenu(nullptr, "&Work", {"newPieceWorkAction", "addLineItemAction", "pauseOrResumeAction", "deletePieceWorkAction",
                               Separator, "clearLinkAction", "changeWorkIsTaxableAction", Separator,
                               "runStockPriceAction", Separator, "toggleToolbarShown"});
    addMenu(nullptr, "&Client", {"cloneDocumentAction", "changeMoneyFormatAction", Separator, "viewInvoiceAction",
                                 "viewRichInvoiceAction"});
    QMenu* reports = addMenu(nullptr, "&Reports", {"thisMonthReportAction", "allReportAction", "anyReportAction",
                                                   Separator});
    addMenu(reports, "Reports of All &Clients", {"allReportsMonthly", "allReportsFull", "allReportsAny"});
    addMenu(reports, "&Summary of All Clients", {"summarizeReportsMonthly", "summarizeReportsFull", "summarizeReportsAny"});
    addMenu(nullptr, "&Help", {"showWebHelp", "showSampleAction", Separator, "goToVelmorWebSite", "showSuggestionAction",
                               "checkForNewVersion", Separator, "orderFrontStandardAboutPanel"});
    controller.window()->setMenuBar(bar);
}
