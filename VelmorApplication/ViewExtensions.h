#pragma once

#include "VelmorExport.h"

class QWidget;

class VELMOR_EXPORT ViewExtensions
{
public:
    ViewExtensions() = delete;

    // Closes every open colour chooser among the view's descendants (and the view itself).
    static void deactivateAllColorWells(QWidget* view);
};
