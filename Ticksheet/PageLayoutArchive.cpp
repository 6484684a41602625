#include "PageLayoutArchive.h"

#include "PropertyList.h"

#include <QLocale>
#include <QMarginsF>
#include <QPageSize>
#include <QVariantMap>

#include <cmath>

namespace {

const QString PageSizeKey = QStringLiteral("PageSize");
const QString WidthKey = QStringLiteral("Width");
const QString HeightKey = QStringLiteral("Height");
const QString OrientationKey = QStringLiteral("Orientation");
const QString UnitsKey = QStringLiteral("Units");
const QString LeftKey = QStringLiteral("LeftMargin");
const QString TopKey = QStringLiteral("TopMargin");
const QString RightKey = QStringLiteral("RightMargin");
const QString BottomKey = QStringLiteral("BottomMargin");

const QString Portrait = QStringLiteral("Portrait");
const QString Landscape = QStringLiteral("Landscape");

// A page larger than this (about 35 m) is not a page setup anyone made.
constexpr double MaximumPoints = 100000;
constexpr double OneInch = 72;

struct UnitName
{
    QPageLayout::Unit unit;
    const char* name;
    double points; // points per unit, as the page layout converts them
};

constexpr UnitName Units[] = {
    {QPageLayout::Millimeter, "Millimeter", 2.83464566929},
    {QPageLayout::Point, "Point", 1.0},
    {QPageLayout::Inch, "Inch", 72.0},
    {QPageLayout::Pica, "Pica", 12.0},
    {QPageLayout::Didot, "Didot", 1.065826771},
    {QPageLayout::Cicero, "Cicero", 12.789921252},
};

const UnitName* unitNamed(const QString& name)
{
    for (const UnitName& unit : Units) {
        if (name == QLatin1String(unit.name))
            return &unit;
    }
    return nullptr;
}

const UnitName& unitOf(QPageLayout::Unit unit)
{
    for (const UnitName& known : Units) {
        if (known.unit == unit)
            return known;
    }
    return Units[1];
}

std::optional<QPageSize::PageSizeId> pageSizeWithKey(const QString& key)
{
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
        const auto pageSizeId = static_cast<QPageSize::PageSizeId>(id);
        if (pageSizeId != QPageSize::Custom && QPageSize::key(pageSizeId) == key)
            return pageSizeId;
    }
    return std::nullopt;
}

// Full precision, "." as decimal point whatever the locale.
QString number(double value)
{
    return QString::number(value, 'g', 17);
}

std::optional<double> pointsValue(const QVariantMap& dictionary, const QString& key)
{
    const QVariant value = dictionary.value(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    bool ok = false;
    const double points = QLocale::c().toDouble(value.toString(), &ok);
    if (!ok || !std::isfinite(points) || points < 0 || points > MaximumPoints)
        return std::nullopt;
    return points;
}

std::optional<QPageSize> pageSizeFrom(const QVariantMap& dictionary)
{
    if (const auto id = pageSizeWithKey(dictionary.value(PageSizeKey).toString()))
        return QPageSize(*id);
    const auto width = pointsValue(dictionary, WidthKey);
    const auto height = pointsValue(dictionary, HeightKey);
    if (!width || !height || *width <= 0 || *height <= 0)
        return std::nullopt;
    const QPageSize size(QSizeF(*width, *height), QPageSize::Point, QString(), QPageSize::ExactMatch);
    return size.isValid() ? std::optional<QPageSize>(size) : std::nullopt;
}

std::optional<QMarginsF> marginsFrom(const QVariantMap& dictionary, const UnitName& unit)
{
    const auto left = pointsValue(dictionary, LeftKey);
    const auto top = pointsValue(dictionary, TopKey);
    const auto right = pointsValue(dictionary, RightKey);
    const auto bottom = pointsValue(dictionary, BottomKey);
    if (!left || !top || !right || !bottom)
        return std::nullopt;
    return QMarginsF(*left / unit.points, *top / unit.points, *right / unit.points, *bottom / unit.points);
}

std::optional<QPageLayout::Orientation> orientationFrom(const QVariantMap& dictionary)
{
    const QVariant value = dictionary.value(OrientationKey);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    if (value.toString() == Portrait)
        return QPageLayout::Portrait;
    if (value.toString() == Landscape)
        return QPageLayout::Landscape;
    return std::nullopt;
}

} // namespace

QByteArray PageLayoutArchive::encode(const QPageLayout& layout)
{
    const UnitName& unit = unitOf(layout.units());
    const QPageSize pageSize = layout.pageSize();
    const QSizeF points = pageSize.size(QPageSize::Point);
    const QMarginsF margins = layout.margins();
    QVariantMap dictionary;
    if (pageSize.id() != QPageSize::Custom)
        dictionary.insert(PageSizeKey, QPageSize::key(pageSize.id()));
    dictionary.insert(WidthKey, number(points.width()));
    dictionary.insert(HeightKey, number(points.height()));
    dictionary.insert(OrientationKey, layout.orientation() == QPageLayout::Landscape ? Landscape : Portrait);
    dictionary.insert(UnitsKey, QLatin1String(unit.name));
    dictionary.insert(LeftKey, number(margins.left() * unit.points));
    dictionary.insert(TopKey, number(margins.top() * unit.points));
    dictionary.insert(RightKey, number(margins.right() * unit.points));
    dictionary.insert(BottomKey, number(margins.bottom() * unit.points));
    return PropertyList::writeAscii(dictionary);
}

std::optional<QPageLayout> PageLayoutArchive::decode(const QByteArray& data)
{
    const QVariant value = PropertyList::read(data);
    if (value.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariantMap dictionary = value.toMap();
    const UnitName* unit = unitNamed(dictionary.value(UnitsKey).toString());
    if (!unit)
        return std::nullopt;
    const auto pageSize = pageSizeFrom(dictionary);
    const auto orientation = orientationFrom(dictionary);
    const auto margins = marginsFrom(dictionary, *unit);
    if (!pageSize || !orientation || !margins)
        return std::nullopt;
    const QPageLayout layout(*pageSize, *orientation, *margins, unit->unit);
    // Margins that leave no room to print were not written by us.
    const QRectF page = layout.fullRect();
    if (!layout.isValid() || layout.margins() != *margins || margins->left() + margins->right() >= page.width()
        || margins->top() + margins->bottom() >= page.height())
        return std::nullopt;
    return layout;
}

QPageLayout PageLayoutArchive::defaultLayout()
{
    const QLocale locale = QLocale::system();
    const bool letter = locale.measurementSystem() == QLocale::ImperialUSSystem
        || locale.territory() == QLocale::Canada;
    return QPageLayout(QPageSize(letter ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(OneInch, OneInch, OneInch, OneInch), QPageLayout::Point);
}
