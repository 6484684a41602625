#pragma once

#include <QVariant>

// What a QVariant becomes in a property list; shared by the XML and the ASCII writers.
enum class PropertyListKind { String, Dictionary, Array, Data, Boolean, Integer, Real, Date, Unsupported };

inline PropertyListKind propertyListKind(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return PropertyListKind::String;
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash:
        return PropertyListKind::Dictionary;
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return PropertyListKind::Array;
    case QMetaType::QByteArray:
        return PropertyListKind::Data;
    case QMetaType::Bool:
        return PropertyListKind::Boolean;
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return PropertyListKind::Integer;
    case QMetaType::Float:
    case QMetaType::Double:
        return PropertyListKind::Real;
    case QMetaType::QDateTime:
        return PropertyListKind::Date;
    default:
        // Anything else with a text form (QChar, QUrl, QDate, ...) is written as that text.
        return value.isValid() && value.canConvert<QString>() ? PropertyListKind::String
                                                              : PropertyListKind::Unsupported;
    }
}
