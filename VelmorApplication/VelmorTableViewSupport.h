#pragma once

#include "VelmorExport.h"

#include <QString>
#include <QStringList>

#include <memory>

class QMouseEvent;
class QPointF;

// The drag type that carries a row of a VelmorTableView, as the row number in decimal text.
inline const QString VelmorPrivateRowDragType = QStringLiteral("VDTableViewPrivatePBoardType");

// True when the list is present and holds the type.
VELMOR_EXPORT bool IncludesType(const QStringList* types, const QString& type);

// A copy of the event (type, buttons, modifiers, time stamp, device) located at point instead; the
// table feeds such copies to itself to keep scrolling while the pointer rests past its edge.
VELMOR_EXPORT std::unique_ptr<QMouseEvent> periodicEventWithLocationSetToPoint(const QMouseEvent& event,
                                                                               const QPointF& point);
