#include "NotificationCenter.h"

#include <utility>

NotificationCenter& NotificationCenter::shared()
{
    static NotificationCenter center;
    return center;
}

void NotificationCenter::post(const QString& name, const QVariant& object)
{
    emit posted(name, object);
}

QMetaObject::Connection NotificationCenter::addObserver(const QString& name, QObject* context,
                                                        std::function<void(const QVariant&)> observer)
{
    return connect(this, &NotificationCenter::posted, context,
                   [name, observer = std::move(observer)](const QString& posted, const QVariant& object) {
                       if (posted == name)
                           observer(object);
                   });
}
