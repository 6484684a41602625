#pragma once

#include "VelmorExport.h"

class QGroupBox;

// Greys a group box's title without disabling the controls inside it.
class VELMOR_EXPORT BoxExtensions
{
public:
    BoxExtensions() = delete;

    static void setEnabled(QGroupBox* box, bool enabled);
    static bool isEnabled(const QGroupBox* box);
};
