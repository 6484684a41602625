#pragma once

#include "PlatformExport.h"

#include <QString>

// User texts are looked up by their English text in a named table; the English text is the fallback.
PLATFORM_EXPORT QString localized(const char* englishText, const char* table = "Ticksheet");
