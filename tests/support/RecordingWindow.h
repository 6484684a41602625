#pragma once

#include "ClientWindow.h"

#include <QStringList>

// A client window that only records which refreshes the model asked for.
class RecordingWindow : public ClientWindow
{
public:
    void updateTotalsAndReload() override { calls << QStringLiteral("updateTotalsAndReload"); }
    void reloadInfo() override { calls << QStringLiteral("reloadInfo"); }
    void updateFormatters() override { calls << QStringLiteral("updateFormatters"); }
    void endEditing() override { calls << QStringLiteral("endEditing"); }

    int count(const QString& call) const { return static_cast<int>(calls.count(call)); }

    QStringList calls;
};
