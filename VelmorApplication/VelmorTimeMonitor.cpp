#include "VelmorTimeMonitor.h"

#include "WindowFrameAutosave.h"
#include "ui_VelmorTimeMonitor.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>

#include <cstdio>

namespace {

const QString FrameName = QStringLiteral("Progress_Monitor");

} // namespace

VelmorTimeMonitor::VelmorTimeMonitor(QObject* parent)
    : QObject(parent)
{
    initStuff();
}

VelmorTimeMonitor::~VelmorTimeMonitor()
{
    if (_inUse) {
        std::fputs("Attempting to free a time monitor that's in use\n", stdout);
        std::fflush(stdout);
        endTiming();
    }
    _window->removeEventFilter(this);
}

void VelmorTimeMonitor::initStuff()
{
    _window = std::make_unique<QDialog>();
    _ui = std::make_unique<Ui::VelmorTimeMonitor>();
    _ui->setupUi(_window.get());
    _ui->appIconButton->setIcon(QApplication::windowIcon());
    connect(_ui->cancelButton, &QAbstractButton::clicked, this, &VelmorTimeMonitor::stop);
    // Closing the panel or pressing Escape means Stop; only endTiming() hides it.
    _window->installEventFilter(this);
    _inUse = false;
    WindowFrameAutosave::restore(_window.get(), FrameName);
}

void VelmorTimeMonitor::beginTiming()
{
    setGauge(0);
    setTitle(QString());
    _startedIt = false;
    _userCanceled = false;
    startIt();
    _window->setWindowModality(Qt::ApplicationModal);
    _window->show();
    _inUse = true;
}

void VelmorTimeMonitor::startIt()
{
    // An indeterminate gauge animates by itself; this only marks the run as started.
    if (!_startedIt)
        _startedIt = true;
}

bool VelmorTimeMonitor::percentageDone(double value)
{
    if (_userCanceled)
        return false;
    setGauge(value);
    handlePendingEvents();
    return true;
}

bool VelmorTimeMonitor::percentageDone(double value, int count)
{
    if (_userCanceled)
        return false;
    _ui->doneField->setText(QString::number(count));
    return percentageDone(value);
}

void VelmorTimeMonitor::nextStep(double value, const QString& title)
{
    setTitle(title);
    setGauge(value);
    handlePendingEvents();
}

void VelmorTimeMonitor::stop()
{
    _userCanceled = true;
}

void VelmorTimeMonitor::endTiming()
{
    _startedIt = false;
    if (_window->isVisible())
        WindowFrameAutosave::save(_window.get(), FrameName);
    _window->hide();
    _inUse = false;
    _userCanceled = false;
}

void VelmorTimeMonitor::cantCancel()
{
    _ui->cancelButton->hide();
}

void VelmorTimeMonitor::setTitle(const QString& text)
{
    _ui->titleTextField->setText(text);
    _ui->titleTextField->repaint();
}

void VelmorTimeMonitor::setWindowTitle(const QString& text)
{
    _window->setWindowTitle(text);
}

void VelmorTimeMonitor::toggleDeterminancy()
{
    QProgressBar* gauge = _ui->gaugeView;
    if (isIndeterminate()) {
        gauge->setRange(0, 100);
        _startedIt = false;
    } else {
        // A zero range is Qt's busy indicator, which animates by itself.
        gauge->setRange(0, 0);
    }
    gauge->update();
}

bool VelmorTimeMonitor::isIndeterminate() const
{
    return _ui->gaugeView->minimum() == 0 && _ui->gaugeView->maximum() == 0;
}

void VelmorTimeMonitor::setGauge(double value)
{
    if (!isIndeterminate())
        _ui->gaugeView->setValue(qBound(0, qRound(value), 100));
}

void VelmorTimeMonitor::handlePendingEvents()
{
    // The task runs on the main thread, so the panel redraws and hears Stop only here.
    QCoreApplication::processEvents();
}

bool VelmorTimeMonitor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != _window.get())
        return false;
    const bool closing = event->type() == QEvent::Close;
    const bool escape = event->type() == QEvent::KeyPress
                        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    if (!closing && !escape)
        return false;
    if (!_ui->cancelButton->isHidden())
        stop();
    event->ignore();
    return true;
}

bool VelmorTimeMonitor::inUse() const
{
    return _inUse;
}

bool VelmorTimeMonitor::userCanceled() const
{
    return _userCanceled;
}

QDialog* VelmorTimeMonitor::window() const
{
    return _window.get();
}

QLabel* VelmorTimeMonitor::titleTextField() const
{
    return _ui->titleTextField;
}

QProgressBar* VelmorTimeMonitor::gaugeView() const
{
    return _ui->gaugeView;
}

QLabel* VelmorTimeMonitor::doneField() const
{
    return _ui->doneField;
}

QAbstractButton* VelmorTimeMonitor::cancelButton() const
{
    return _ui->cancelButton;
}

QAbstractButton* VelmorTimeMonitor::appIconButton() const
{
    return _ui->appIconButton;
}
