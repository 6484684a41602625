#pragma once

#include <QtCore/qglobal.h>

#if defined(VELMOR_APPLICATION_LIBRARY)
#define VELMOR_EXPORT Q_DECL_EXPORT
#else
#define VELMOR_EXPORT Q_DECL_IMPORT
#endif
