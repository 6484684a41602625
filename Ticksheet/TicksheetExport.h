#pragma once

#include <QtCore/qglobal.h>

#if defined(TICKSHEET_LIBRARY)
#define TICKSHEET_EXPORT Q_DECL_EXPORT
#else
#define TICKSHEET_EXPORT Q_DECL_IMPORT
#endif
