#pragma once

#include "VelmorExport.h"

#include <QVariantMap>

// The framework's own settings registry: "CCAdress" and "UserTemporaryDirectory".
class VELMOR_EXPORT VelmorPreferences
{
public:
    VelmorPreferences() = delete;

    static void loadDictionary(QVariantMap& target);
    static void initialize();
    static void restoreToDefaultCondition();
};
