#pragma once

#include "PlatformExport.h"

#include <QString>
#include <QStringList>

// A warning alert with a title, a message and one to three buttons, run modally. Without a
// widget application (the command-line tool, headless tests) nothing is shown: the alert goes to
// the log and the first button is taken as pressed.
class PLATFORM_EXPORT Alert
{
public:
    // Empty titles add no button; with none left a single "OK" is shown. Buttons past the third
    // are dropped.
    Alert(const QString& title, const QString& message, const QStringList& buttonTitles);

    // The index of the pressed button in buttonTitles() order: 0 for the first (the default
    // button, taken by Return), 1 for the second (also taken by Escape), 2 for the third.
    int run() const;

    QString title() const;
    QString message() const;
    QStringList buttonTitles() const;

    // One call for the usual case.
    static int run(const QString& title, const QString& message, const QString& defaultButton,
                   const QString& alternateButton = {}, const QString& otherButton = {});

private:
    int runHeadless() const;
    int runModal() const;

    QString _title;
    QString _message;
    QStringList _buttonTitles;
};
