#include "Exporter.h"

#include "MyDocument.h"

#include <algorithm>

QString Exporter::exportText(QList<MyDocument*> documents, const ExportOptionsInterface& options)
{
    documents.removeAll(nullptr);
    std::stable_sort(documents.begin(), documents.end(),
                     [](const MyDocument* a, const MyDocument* b) { return a->compare(*b) < 0; });

    QString text;
    text.reserve(2000);
    bool first = true;
    for (const MyDocument* document : std::as_const(documents)) {
        document->exportToString(text, options, first);
        first = false;
    }
    return text;
}
