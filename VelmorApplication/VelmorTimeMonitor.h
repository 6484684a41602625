#pragma once

#include "VelmorExport.h"

#include <QObject>
#include <QString>

#include <memory>

class QAbstractButton;
class QDialog;
class QLabel;
class QProgressBar;
namespace Ui {
class VelmorTimeMonitor;
}

// A modal progress panel for a long task that runs on the main thread:
//     monitor.beginTiming();
//     for (each step) if (!monitor.percentageDone(percent)) break;   // false: the user pressed Stop
//     monitor.endTiming();
// Each report lets the panel redraw and react to Stop; other windows take no input meanwhile.
// The panel's frame is kept under "Progress_Monitor".
class VELMOR_EXPORT VelmorTimeMonitor : public QObject
{
    Q_OBJECT

public:
    explicit VelmorTimeMonitor(QObject* parent = nullptr);
    // A monitor still in use warns on standard output and ends its run first.
    ~VelmorTimeMonitor() override;

    void beginTiming();
    // Sets the gauge (0 to 100) and handles pending events; false, without touching the gauge,
    // once the user has stopped.
    bool percentageDone(double value);
    // The same, also showing the count of items done.
    bool percentageDone(double value, int count);
    void nextStep(double value, const QString& title);
    void endTiming();

    // Removes the Stop button.
    void cantCancel();
    void setTitle(const QString& text);
    void setWindowTitle(const QString& text);
    void toggleDeterminancy();

    bool inUse() const;
    bool userCanceled() const;

    QDialog* window() const;
    QLabel* titleTextField() const;
    QProgressBar* gaugeView() const;
    QLabel* doneField() const;
    QAbstractButton* cancelButton() const;
    QAbstractButton* appIconButton() const;

public slots:
    void stop();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void initStuff();
    void startIt();
    void setGauge(double value);
    void handlePendingEvents();
    bool isIndeterminate() const;

    std::unique_ptr<QDialog> _window;
    std::unique_ptr<Ui::VelmorTimeMonitor> _ui;
    bool _startedIt = false;
    bool _inUse = false;
    bool _userCanceled = false;
};
