#include "Localized.h"

#include <QCoreApplication>

QString localized(const char* englishText, const char* table)
{
    return QCoreApplication::translate(table, englishText);
}
