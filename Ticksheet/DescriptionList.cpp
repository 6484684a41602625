#include "DescriptionList.h"

#include "Constants.h"
#include "SettingsStore.h"

#include <QVariantMap>

DescriptionList::DescriptionList(bool lineItem)
    : _items(SettingsStore::shared().arrayForKey(settingsKey(lineItem)))
{
}

QString DescriptionList::settingsKey(bool lineItem)
{
    return lineItem ? ExpenseDescriptions : JobDescriptions;
}

QVariantList DescriptionList::items() const
{
    return _items;
}

int DescriptionList::count() const
{
    return static_cast<int>(_items.size());
}

QString DescriptionList::descriptionAt(int index) const
{
    if (index < 0 || index >= _items.size())
        return {};
    return _items.at(index).toMap().value(DESCRIPTION_KEY).toString();
}

int DescriptionList::indexOf(const QString& description) const
{
    for (int index = 0; index < count(); ++index) {
        if (descriptionAt(index) == description)
            return index;
    }
    return -1;
}

std::optional<QString> DescriptionList::rateFor(const QString& description) const
{
    const int index = indexOf(description);
    if (index < 0)
        return std::nullopt;
    return _items.at(index).toMap().value(RATE_KEY).toString();
}
