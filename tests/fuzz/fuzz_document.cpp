// Any bytes as a client document file: loading must answer true or false with a reason, never
// crash or hang, and a loaded document must save and load again.
#include "Constants.h"
#include "MyDocument.h"

#include <QDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Documents read their defaults from the settings: point them at a file that never exists.
    qputenv("TALLYWICK_SETTINGS", QDir::temp().filePath("tallywick-fuzz-missing/settings.json").toUtf8());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    MyDocument document;
    QString reason;
    if (!document.loadDataRepresentation(bytes, DocumentType, &reason)) {
        if (reason.isEmpty())
            std::abort();
        return 0;
    }
    const QByteArray saved = document.dataRepresentationOfType(DocumentType);
    MyDocument again;
    if (saved.isEmpty() || !again.loadDataRepresentation(saved, DocumentType, &reason))
        std::abort();
    return 0;
}
