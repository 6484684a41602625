#pragma once

#include <QString>

// Settings keys of the framework.
inline const QString VelmorCCAddress = QStringLiteral("CCAdress");
inline const QString VelmorUserTempDirectory = QStringLiteral("UserTemporaryDirectory");
