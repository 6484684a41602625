#pragma once

#include <QObject>

// The preferences window: every setting of the program in one window, written at once.
class SettingsPanelInterface
{
public:
    virtual ~SettingsPanelInterface() = default;

    // Brings the window to the front with every control reloaded from the settings.
    virtual void showWindow() = 0;
    // Shows the window at the tab holding the automatic update check switch.
    virtual void showCheckUpdatesPrefAction() = 0;
    // Shows the window at the list of expense descriptions.
    virtual void showExpenseDescriptionsTab() = 0;
    // Shows the window at the list of job descriptions.
    virtual void showJobDescriptionTab() = 0;
};

#define SettingsPanelInterface_iid "com.velmor.Tallywick.SettingsPanel/1.0"
Q_DECLARE_INTERFACE(SettingsPanelInterface, SettingsPanelInterface_iid)
