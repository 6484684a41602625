#pragma once

#include "PlugIns/ExportOptionsInterface.h"

#include <QCheckBox>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <array>

// The check boxes of the export dialog. Each box is remembered in the settings under its own key,
// inverted: "YES" means unticked, anything else (or nothing) ticked, so a new user starts with
// every box ticked.
class ExportOptions : public QObject, public ExportOptionsInterface
{
    Q_OBJECT
    Q_INTERFACES(ExportOptionsInterface)

public:
    // Builds the view and ticks the boxes from the settings. Needs a QApplication.
    explicit ExportOptions(QObject* parent = nullptr);
    // Deletes the view unless a dialog has taken it over.
    ~ExportOptions() override;

    QWidget* accessoryView() override;
    void restoreDefaults() override;
    void saveDefaults() override;

    bool saveAmount() const override;
    bool saveDate() const override;
    bool saveDescription() const override;
    bool saveEnd() const override;
    bool saveName() const override;
    bool savePaid() const override;
    bool saveProject() const override;
    bool saveRate() const override;
    bool saveStart() const override;
    bool saveTime() const override;
    bool saveHeaders() const override;
    bool openAfterSave() const override;
    bool exportAllOpen() const override;

    // In the order of their settings.
    enum Option {
        Amount, Date, Description, End, Headers, Name, OpenOnSave, Paid, Project, Rate, Start, Time, ExportAll,
        OptionCount
    };

private:
    void buildView();
    QCheckBox* makeBox(Option option);
    // False once the view (and its boxes) is gone.
    bool isTicked(Option option) const;

    QPointer<QWidget> _view;
    std::array<QPointer<QCheckBox>, OptionCount> _boxes;
};
