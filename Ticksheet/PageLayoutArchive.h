#pragma once

#include "TicksheetExport.h"

#include <QByteArray>
#include <QPageLayout>

#include <optional>

// A document's page setup as the bytes stored under "PrintInfo": a small property-list dictionary
// of the page size, orientation, margins (in points) and units. Only this program reads it.
class TICKSHEET_EXPORT PageLayoutArchive
{
public:
    static QByteArray encode(const QPageLayout& layout);
    // Nothing when the bytes are not a page setup this program wrote or it makes no sense.
    static std::optional<QPageLayout> decode(const QByteArray& data);

    // Letter where the locale measures in US units, A4 elsewhere; portrait, one-inch margins.
    static QPageLayout defaultLayout();
};
