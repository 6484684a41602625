#include "Clock.h"

namespace {
QDateTime& fixedNow()
{
    static QDateTime value;
    return value;
}

QDateTime wholeSeconds(const QDateTime& dateTime)
{
    QDateTime result = dateTime;
    result.setTime(QTime(dateTime.time().hour(), dateTime.time().minute(), dateTime.time().second()));
    return result;
}
}

QDateTime Clock::now()
{
    if (fixedNow().isValid())
        return fixedNow();
    return QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch());
}

void Clock::setNow(const QDateTime& fixed)
{
    fixedNow() = wholeSeconds(fixed.toLocalTime());
}

void Clock::advance(qint64 seconds)
{
    fixedNow() = now().addSecs(seconds);
}

void Clock::reset()
{
    fixedNow() = QDateTime();
}
