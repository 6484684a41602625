#pragma once

#include "PlugIns/SettingsPanelInterface.h"

#include "ui_SettingsPanel.h"

#include <QButtonGroup>
#include <QPointer>
#include <QWidget>

class DescriptionListModel;
class PhraseTableModel;
class QFileDialog;
class QFontDialog;

// The preferences window: every user setting, written to the settings store the moment it
// changes. There is no OK or Cancel. Text fields commit when their editing ends (Return, Tab or
// leaving the field); buttons, boxes and menus at once.
class SettingsPanel : public QWidget, public SettingsPanelInterface
{
    Q_OBJECT
    Q_INTERFACES(SettingsPanelInterface)

public:
    // The window's saved frame goes under this name, like its layout.
    static const QString FrameName;
    // The mail clients offered; the chosen name is stored as it stands.
    static const QStringList MailerNames;
    // The tab with the update-check switch, and the inner tabs of the description lists.
    static constexpr int MiscTabIndex = 4;
    static constexpr int ExpenseListIndex = 0;
    static constexpr int JobListIndex = 1;

    explicit SettingsPanel(QWidget* parent = nullptr);
    ~SettingsPanel() override;

    // The one window of the process, made on first use; it lives until the process ends.
    static SettingsPanel* sharedInstance();

    void showWindow() override;
    void showCheckUpdatesPrefAction() override;
    void showExpenseDescriptionsTab() override;
    void showJobDescriptionTab() override;

    // Every control takes its setting's current value.
    void loadDefaultsIntoWindow();
    // Commits the field being edited, if any, by taking the keyboard focus to the window.
    void endEditing();

    bool finishedAwakening() const;

public slots:
    void changeTwentyFourAction();
    void changeEuroDateAction();
    void changeKeepBackupAction();
    void changeTaxableAction();
    void changeTaxGrossIncomeAction();
    void changeTaxRateAction();
    void changeRateAction();
    void changeInvoiceNumber();
    void changeMailerAction();
    void changeReportFont(const QFont& font);
    void showFontPanel();
    void changeLogoPathAction();
    void runLogoOpenAction();
    void changeLogoAction();
    void changeResumeAction();
    void changeEquityPercent();
    void changeShareCostField();
    void changeCCAddressAction();
    void changeAutoCheckForUpdatesAction();
    void changeIgnoreMoney();
    void changeCurrencyBeforeAction();
    void changeDecimalAction();
    void changeSymbolAction();
    void changeThousandsAction();
    void changeRemitAddressAction();
    void addDescriptionAction();
    void removeDescriptionAction();
    void changeDescription();
    void useDefaults();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void setUpWindow();
    void setUpButtonGroups();
    void setUpTables();
    void setUpDescriptionTable(VelmorTableView* table, DescriptionListModel* model);
    void connectControls();
    void connectTextFields();
    void selectStoredTab();
    void selectListTab(int listIndex);
    void tabDidChange(int index);
    void showReportFontPreview();
    void chooseLogo(const QString& path);
    void showInvoiceNumber(const QVariant& number);

    VelmorTableView* visibleDescriptionTable() const;
    DescriptionListModel* visibleDescriptionList() const;
    int selectedDescriptionRow() const;
    void selectDescriptionRow(int row);
    void updateRemoveButton();
    void moveSelectedDescription(int step);

    static void storeValue(const QString& key, const QVariant& value);
    static void storeNumber(const QString& key, const QString& text);
    static void checkButton(QButtonGroup& group, int tag);
    static QString numberText(double value);
    int compactRowHeight() const;

    Ui::SettingsPanel ui;
    QButtonGroup _twentyFourHourMatrix;
    QButtonGroup _dateStyleMatrix;
    QButtonGroup _taxGrossMatrix;
    QButtonGroup _beforeAfterMatrix;
    QButtonGroup _resumeActionMatrix;
    PhraseTableModel* _phrases = nullptr;
    DescriptionListModel* _expenseDescriptions = nullptr;
    DescriptionListModel* _jobDescriptions = nullptr;
    QPointer<QFontDialog> _fontPanel;
    QPointer<QFileDialog> _logoOpenPanel;
    bool _finishedAwakening = false;
};
