#pragma once

#include "PlatformExport.h"

#include <QDateTime>

// The one source of "now" for the model, so tests can pin time.
class PLATFORM_EXPORT Clock
{
public:
    // The current local date-time, whole seconds (milliseconds dropped).
    static QDateTime now();

    // Tests: freeze the clock at a local date-time, move it, or let it run again.
    static void setNow(const QDateTime& fixed);
    static void advance(qint64 seconds);
    static void reset();
};
