#include "ContactImporterFactory.h"

#include "ContactImporter.h"

QObject* ContactImporterFactory::sharedInstance()
{
    return ContactImporter::sharedInstance();
}

QObject* ContactImporterFactory::newInstance()
{
    return new ContactImporter;
}
