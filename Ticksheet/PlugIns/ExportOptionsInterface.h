#pragma once

#include <QObject>

class QWidget;

// The check boxes shown in the export dialog, choosing the columns and what happens around the
// export. A fresh instance per client document; the boxes are remembered in the settings.
class ExportOptionsInterface
{
public:
    virtual ~ExportOptionsInterface() = default;

    // The view holding the check boxes, for the caller to place in its export dialog.
    virtual QWidget* accessoryView() = 0;
    // Ticks the boxes as the settings remember them.
    virtual void restoreDefaults() = 0;
    // Remembers the boxes as they are now in the settings (without writing the settings to disk).
    virtual void saveDefaults() = 0;

    // Whether each column is exported.
    virtual bool saveAmount() const = 0;
    virtual bool saveDate() const = 0;
    virtual bool saveDescription() const = 0;
    virtual bool saveEnd() const = 0;
    virtual bool saveName() const = 0;
    virtual bool savePaid() const = 0;
    virtual bool saveProject() const = 0;
    virtual bool saveRate() const = 0;
    virtual bool saveStart() const = 0;
    virtual bool saveTime() const = 0;
    // Whether the export starts with a heading line.
    virtual bool saveHeaders() const = 0;
    // Whether the written file is opened with its default application.
    virtual bool openAfterSave() const = 0;
    // Whether every open client document is exported, not only this one.
    virtual bool exportAllOpen() const = 0;
};

#define ExportOptionsInterface_iid "com.velmor.Tallywick.ExportOptions/1.0"
Q_DECLARE_INTERFACE(ExportOptionsInterface, ExportOptionsInterface_iid)
