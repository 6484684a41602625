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

class AppDelegate;
class DocumentWindowController;
class MainApp;
class QAction;
class QMenu;
class QMenuBar;

// The menu bar of every document window: the application's commands (one action each, shared by
// all windows) around the commands of the window's own document. The application commands are
// enabled as the delegate's menu validation says, whenever the list of documents changes and
// whenever a menu opens.
class TICKSHEET_EXPORT MainMenu : public QObject
{
    Q_OBJECT

public:
    explicit MainMenu(MainApp* application);

    // The delegate validates the application commands and answers most of them.
    void setDelegate(AppDelegate* delegate);

    // An application command by its name ("newDocument", "allReportsMonthly", ...); null when none.
    QAction* action(const QString& name) const;
    // Gives the window its menu bar.
    void install(DocumentWindowController& controller);

public slots:
    void validate();

private:
    QAction* addCommand(const QString& name, const QString& text, std::function<void()> handler,
                        const QList<QKeySequence>& shortcuts = {});
    void createActions();
    void addItems(QMenu* menu, const QStringList& names, const DocumentWindowController& controller) const;

    MainApp* _application;
    QPointer<AppDelegate> _delegate;
    QHash<QString, QAction*> _actions;
};
