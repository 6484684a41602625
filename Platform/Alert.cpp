#include "Alert.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QtDebug>

namespace {

constexpr qsizetype maximumButtons = 3;

QStringList usableButtonTitles(const QStringList& titles)
{
    QStringList usable;
    for (const QString& title : titles) {
        if (!title.isEmpty() && usable.size() < maximumButtons)
            usable << title;
    }
    if (usable.isEmpty())
        usable << QStringLiteral("OK");
    return usable;
}

QMessageBox::ButtonRole roleOfButton(qsizetype index)
{
    switch (index) {
    case 0:
        return QMessageBox::AcceptRole;
    case 1:
        return QMessageBox::RejectRole;
    default:
        return QMessageBox::ActionRole;
    }
}

} // namespace

Alert::Alert(const QString& title, const QString& message, const QStringList& buttonTitles)
    : _title(title)
    , _message(message)
    , _buttonTitles(usableButtonTitles(buttonTitles))
{
}

int Alert::run(const QString& title, const QString& message, const QString& defaultButton,
               const QString& alternateButton, const QString& otherButton)
{
    return Alert(title, message, {defaultButton, alternateButton, otherButton}).run();
}

int Alert::run() const
{
    // Message boxes need a widget application; anything less must not crash.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return runHeadless();
    return runModal();
}

QString Alert::title() const
{
    return _title;
}

QString Alert::message() const
{
    return _message;
}

QStringList Alert::buttonTitles() const
{
    return _buttonTitles;
}

int Alert::runHeadless() const
{
    qWarning().noquote() << "Alert:" << _title + u':' << _message << "(answered" << _buttonTitles.first() + u')';
    return 0;
}

int Alert::runModal() const
{
    // As in an alert panel the title leads and the message follows; the window shows the title too.
    QMessageBox box(QMessageBox::Warning, _title, _title);
    box.setInformativeText(_message);
    QList<QPushButton*> buttons;
    for (qsizetype i = 0; i < _buttonTitles.size(); ++i)
        buttons << box.addButton(_buttonTitles.at(i), roleOfButton(i));
    box.setDefaultButton(buttons.first());
    // Escape and closing the window count as the second button, or as the only one.
    box.setEscapeButton(buttons.size() > 1 ? buttons.at(1) : buttons.first());
    box.exec();

    const qsizetype pressed = buttons.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    return pressed < 0 ? 0 : static_cast<int>(pressed);
}
