#include "JsonNumber.h"

#include <charconv>
#include <cmath>

QString jsonNumber(float value)
{
    if (!std::isfinite(value))
        return QStringLiteral("null");
    if (value == 0)
        return QStringLiteral("0"); // also for -0, which JSON readers may not keep
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, static_cast<int>(result.ptr - buffer));
}
