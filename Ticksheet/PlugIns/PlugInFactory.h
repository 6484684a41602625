#pragma once

#include <QObject>

// What the root object of every plug-in module answers, so the program can load any plug-in
// without knowing its own interface. Callers qobject_cast the instance to the plug-in's interface.
class PlugInFactory
{
public:
    virtual ~PlugInFactory() = default;

    // The plug-in's single instance, made on first request; the plug-in owns it and keeps it until
    // the process ends.
    virtual QObject* sharedInstance() = 0;
    // A fresh instance on every request; the caller owns it.
    virtual QObject* newInstance() = 0;
};

#define PlugInFactory_iid "com.velmor.Tallywick.PlugInFactory/1.0"
Q_DECLARE_INTERFACE(PlugInFactory, PlugInFactory_iid)
