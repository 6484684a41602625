#include "MyDocument.h"

// Placeholder bodies, to be replaced.

QVariantMap MyDocument::workDocumentDictionary() const
{
    return {};
}

QByteArray MyDocument::workDocumentData() const
{
    return {};
}

std::optional<QVariantMap> MyDocument::workDocumentDictionaryFromData(const QByteArray& data, QString* errorMessage)
{
    return {};
}

QByteArray MyDocument::dataRepresentationOfType(const QString& type)
{
    return {};
}

bool MyDocument::loadDataRepresentation(const QByteArray& data, const QString& type, QString* errorMessage)
{
    return false;
}

bool MyDocument::writeToFile(const QString& path, const QString& type, SaveOperation operation)
{
    return false;
}

bool MyDocument::revertToSavedFromFile(const QString& path, const QString& type)
{
    return false;
}

bool MyDocument::revertDocumentToSaved()
{
    return false;
}

MyDocument* MyDocument::cloneDocumentAction()
{
    return {};
}

int MyDocument::importRecordsInFiles(const QStringList& paths)
{
    return 0;
}

QPageLayout MyDocument::pageLayout() const
{
    return {};
}

void MyDocument::setPageLayout(const QPageLayout& layout)
{
}
