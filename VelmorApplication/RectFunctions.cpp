#include "RectFunctions.h"

#include <QtMath>

QRectF RectFromPoints(const QPointF& a, const QPointF& b)
{
    return QRectF(qMin(a.x(), b.x()), qMin(a.y(), b.y()), qAbs(b.x() - a.x()), qAbs(b.y() - a.y()));
}

QRectF RectAroundPoint(const QPointF& p, qreal r)
{
    return QRectF(p.x() - r, p.y() - r, 2 * r, 2 * r);
}
