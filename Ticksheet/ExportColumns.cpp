#include "ExportColumns.h"

ExportColumns ExportColumns::all()
{
    ExportColumns columns;
    columns._columns.fill(true);
    columns._saveHeaders = true;
    return columns;
}

std::optional<ExportColumns> ExportColumns::fromList(const QString& commaList, QString* error)
{
    const auto fail = [error](const QString& reason) -> std::optional<ExportColumns> {
        if (error)
            *error = reason + QStringLiteral("; the columns are ") + columnNames().join(QStringLiteral(", "));
        return std::nullopt;
    };

    ExportColumns columns;
    for (const QString& item : commaList.split(QLatin1Char(','))) {
        const QString name = item.trimmed();
        if (name.isEmpty())
            return fail(QStringLiteral("missing column name in \"%1\"").arg(commaList));
        const auto index = columnNames().indexOf(name.toLower());
        if (index < 0)
            return fail(QStringLiteral("unknown column \"%1\"").arg(name));
        columns.setTicked(static_cast<Column>(index), true);
    }
    if (error)
        error->clear();
    return columns;
}

QStringList ExportColumns::columnNames()
{
    return {QStringLiteral("client"), QStringLiteral("project"), QStringLiteral("date"),
            QStringLiteral("start"),  QStringLiteral("end"),     QStringLiteral("time"),
            QStringLiteral("rate"),   QStringLiteral("amount"),  QStringLiteral("description"),
            QStringLiteral("paid")};
}

bool ExportColumns::isTicked(Column column) const
{
    return column >= 0 && column < ColumnCount && _columns[column];
}

void ExportColumns::setTicked(Column column, bool ticked)
{
    if (column >= 0 && column < ColumnCount)
        _columns[column] = ticked;
}

void ExportColumns::setSaveHeaders(bool ticked) { _saveHeaders = ticked; }
void ExportColumns::setOpenAfterSave(bool ticked) { _openAfterSave = ticked; }
void ExportColumns::setExportAllOpen(bool ticked) { _exportAllOpen = ticked; }

QWidget* ExportColumns::accessoryView() { return nullptr; }
void ExportColumns::restoreDefaults() {}
void ExportColumns::saveDefaults() {}

bool ExportColumns::saveAmount() const { return isTicked(Amount); }
bool ExportColumns::saveDate() const { return isTicked(Date); }
bool ExportColumns::saveDescription() const { return isTicked(Description); }
bool ExportColumns::saveEnd() const { return isTicked(End); }
bool ExportColumns::saveName() const { return isTicked(Client); }
bool ExportColumns::savePaid() const { return isTicked(Paid); }
bool ExportColumns::saveProject() const { return isTicked(Project); }
bool ExportColumns::saveRate() const { return isTicked(Rate); }
bool ExportColumns::saveStart() const { return isTicked(Start); }
bool ExportColumns::saveTime() const { return isTicked(Time); }
bool ExportColumns::saveHeaders() const { return _saveHeaders; }
bool ExportColumns::openAfterSave() const { return _openAfterSave; }
bool ExportColumns::exportAllOpen() const { return _exportAllOpen; }
