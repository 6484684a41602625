#pragma once

#include "PlugIns/ExportOptionsInterface.h"
#include "TicksheetExport.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// Export options held as plain values, for callers that run the export without the options panel
// (the command-line tool, tests). It has no view and remembers nothing in the settings.
class TICKSHEET_EXPORT ExportColumns : public ExportOptionsInterface
{
public:
    // In the order the columns are written.
    enum Column { Client, Project, Date, Start, End, Time, Rate, Amount, Description, Paid, ColumnCount };

    // Nothing ticked.
    ExportColumns() = default;

    // Every column and the heading line.
    static ExportColumns all();
    // The columns named in a comma-separated list, nothing else ticked. Names are those of
    // columnNames(), in any case, blanks around them ignored. None when a name is unknown or
    // missing, with the reason in *error.
    static std::optional<ExportColumns> fromList(const QString& commaList, QString* error = nullptr);
    // "client", "project", "date", "start", "end", "time", "rate", "amount", "description", "paid".
    static QStringList columnNames();

    bool isTicked(Column column) const;
    void setTicked(Column column, bool ticked);
    void setSaveHeaders(bool ticked);
    void setOpenAfterSave(bool ticked);
    void setExportAllOpen(bool ticked);

    QWidget* accessoryView() override;
    void restoreDefaults() override;
    void saveDefaults() override;

    bool saveAmount() const override;
    bool saveDate() const override;
    bool saveDescription() const override;
    bool saveEnd() const override;
    bool saveName() const override;
    bool savePaid() const override;
    bool saveProject() const override;
    bool saveRate() const override;
    bool saveStart() const override;
    bool saveTime() const override;
    bool saveHeaders() const override;
    bool openAfterSave() const override;
    bool exportAllOpen() const override;

private:
    std::array<bool, ColumnCount> _columns {};
    bool _saveHeaders = false;
    bool _openAfterSave = false;
    bool _exportAllOpen = false;
};
