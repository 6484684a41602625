#include "VelmorTableViewSupport.h"

#include <QMouseEvent>
#include <QStringList>

bool IncludesType(const QStringList* types, const QString& type)
{
    return types && types->contains(type);
}

std::unique_ptr<QMouseEvent> periodicEventWithLocationSetToPoint(const QMouseEvent& event, const QPointF& point)
{
    const QPointF shift = point - event.position();
    auto copy = std::make_unique<QMouseEvent>(event.type(), point, event.scenePosition() + shift,
                                              event.globalPosition() + shift, event.button(), event.buttons(),
                                              event.modifiers(), event.pointingDevice());
    copy->setTimestamp(event.timestamp());
    return copy;
}
