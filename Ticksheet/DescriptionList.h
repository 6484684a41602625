#pragma once

#include "TicksheetExport.h"

#include <QString>
#include <QVariantList>

#include <optional>

// One of the saved description lists, as the settings hold it when it is made: "JobDescriptions"
// for work sessions, "ExpenseDescriptions" for line items. Each item is a dictionary with a
// "Description" and an optional "Rate".
class TICKSHEET_EXPORT DescriptionList
{
public:
    explicit DescriptionList(bool lineItem);

    static QString settingsKey(bool lineItem);

    QVariantList items() const;
    int count() const;
    // "" outside the list.
    QString descriptionAt(int index) const;
    // The first item whose description equals `description` exactly, case included; -1 when none.
    int indexOf(const QString& description) const;
    // That item's "Rate" ("" when it has none); nothing when no item has that description.
    std::optional<QString> rateFor(const QString& description) const;

private:
    QVariantList _items;
};
