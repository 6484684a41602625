#pragma once

#include "PlugIns/PlugInFactory.h"

#include <QCoreApplication>
#include <QtDebug>

// The root object's answers for a plug-in whose instances are windows. Without a QApplication (a
// command-line run) there are no widgets, so both answer nullptr and callers do nothing.
template <typename Instance>
class WidgetPlugInFactory : public PlugInFactory
{
public:
    QObject* sharedInstance() override
    {
        return widgetsAvailable() ? Instance::sharedInstance() : nullptr;
    }

    QObject* newInstance() override
    {
        return widgetsAvailable() ? new Instance : nullptr;
    }

private:
    static bool widgetsAvailable()
    {
        const QCoreApplication* application = QCoreApplication::instance();
        if (application && application->inherits("QApplication"))
            return true;
        qWarning("%s needs a QApplication to show its window", Instance::staticMetaObject.className());
        return false;
    }
};
