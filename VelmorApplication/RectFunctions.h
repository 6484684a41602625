#pragma once

#include "VelmorExport.h"

#include <QPointF>
#include <QRectF>

// The rectangle spanned by two corners, whichever way round they are given.
VELMOR_EXPORT QRectF RectFromPoints(const QPointF& a, const QPointF& b);
// The square of half-side r centred on p.
VELMOR_EXPORT QRectF RectAroundPoint(const QPointF& p, qreal r);
