#pragma once

#include "VelmorExport.h"

#include <QObject>

// The base of an application's delegate: the application calls these at the two launch steps.
// A subclass calls the base first and then does its own work.
class VELMOR_EXPORT VelmorAppDelegate : public QObject
{
    Q_OBJECT

public:
    explicit VelmorAppDelegate(QObject* parent = nullptr);
    ~VelmorAppDelegate() override;

    // Registers the framework's settings defaults.
    virtual void applicationWillFinishLaunching();
    // Hands the event to the application object (which brings its main window to the front).
    virtual void applicationDidFinishLaunching();

public slots:
    // A subclass opens its feedback page.
    virtual void showSuggestionAction();

signals:
    // The application object connects here to bring its main window to the front.
    void didFinishLaunching();
};
