#pragma once

#include "TicksheetExport.h"

#include <QList>
#include <QString>

class ExportOptionsInterface;
class MyDocument;

// The tab-delimited export of several client documents in one text, as "export all open" writes it.
class TICKSHEET_EXPORT Exporter
{
public:
    Exporter() = delete;

    // The documents ordered by client, then project, each entry on its own line; the heading line
    // (when ticked) comes once, before the first document. Null documents are skipped.
    static QString exportText(QList<MyDocument*> documents, const ExportOptionsInterface& options);
};
