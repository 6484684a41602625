#pragma once

#include "PlatformExport.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>

// Named notifications with an optional object, posted and observed within the process.
class PLATFORM_EXPORT NotificationCenter : public QObject
{
    Q_OBJECT

public:
    static NotificationCenter& shared();

    void post(const QString& name, const QVariant& object = QVariant());

    // Calls the observer for every notification of that name until the context object is gone
    // or the returned connection is disconnected.
    QMetaObject::Connection addObserver(const QString& name, QObject* context,
                                        std::function<void(const QVariant& object)> observer);

signals:
    void posted(const QString& name, const QVariant& object);
};
