#pragma once

#include <QtCore/qglobal.h>

#if defined(TALLYWICK_PLATFORM_LIBRARY)
#define PLATFORM_EXPORT Q_DECL_EXPORT
#else
#define PLATFORM_EXPORT Q_DECL_IMPORT
#endif
