#include "SettingsStore.h"

#include "Clock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtDebug>

#include <cmath>
#include <cctype>
#include <cstdlib>
#include <limits>

namespace {

std::unique_ptr<SettingsStore>& sharedStore()
{
    static std::unique_ptr<SettingsStore> store;
    return store;
}

bool isNumberLike(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool isAsciiDigit(const QByteArray& bytes, qsizetype at)
{
    return at < bytes.size() && std::isdigit(static_cast<unsigned char>(bytes.at(at)));
}

// The leading decimal number of a text: blanks, sign, digits, optional fraction and exponent.
// Scanned here and converted in the C locale: strtod follows LC_NUMERIC, which QCoreApplication
// takes from the user's environment (so "5.875" read 5 under a comma-decimal locale), and it
// would also take hex, "inf" and "nan".
double leadingReal(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    qsizetype i = 0;
    while (i < bytes.size() && (bytes.at(i) == ' ' || bytes.at(i) == '\t' || bytes.at(i) == '\n'))
        ++i;
    const qsizetype begin = i;
    if (i < bytes.size() && (bytes.at(i) == '+' || bytes.at(i) == '-'))
        ++i;
    const qsizetype digitsBegin = i;
    while (isAsciiDigit(bytes, i))
        ++i;
    bool hasDigits = i > digitsBegin;
    if (i < bytes.size() && bytes.at(i) == '.') {
        const qsizetype fractionBegin = ++i;
        while (isAsciiDigit(bytes, i))
            ++i;
        hasDigits = hasDigits || i > fractionBegin;
    }
    if (!hasDigits)
        return 0;
    if (i < bytes.size() && (bytes.at(i) == 'e' || bytes.at(i) == 'E')) {
        qsizetype exponent = i + 1;
        if (exponent < bytes.size() && (bytes.at(exponent) == '+' || bytes.at(exponent) == '-'))
            ++exponent;
        if (isAsciiDigit(bytes, exponent)) {
            i = exponent;
            while (isAsciiDigit(bytes, i))
                ++i;
        }
    }
    const double value = QLocale::c().toDouble(QLatin1String(bytes.mid(begin, i - begin)));
    return std::isfinite(value) ? value : 0;
}

qint64 leadingInteger(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    for (; i < text.size() && text.at(i).isDigit(); ++i) {
        const int digit = text.at(i).digitValue();
        if (value > (std::numeric_limits<qint64>::max() - digit) / 10)
            return negative ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

} // namespace

SettingsStore::SettingsStore(const QString& filePath)
    : _filePath(filePath)
{
    load();
}

SettingsStore::~SettingsStore()
{
    flush();
}

SettingsStore& SettingsStore::shared()
{
    auto& store = sharedStore();
    if (!store) {
        const QString fromEnvironment = qEnvironmentVariable("TALLYWICK_SETTINGS");
        store = std::make_unique<SettingsStore>(fromEnvironment.isEmpty() ? defaultFilePath() : fromEnvironment);
    }
    return *store;
}

void SettingsStore::resetShared()
{
    sharedStore().reset();
}

QString SettingsStore::defaultFilePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return folder + QStringLiteral("/Tallywick/Tallywick.json");
}

QString SettingsStore::filePath() const
{
    return _filePath;
}

void SettingsStore::load()
{
    QFile file(_filePath);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        // Keep it aside like a damaged file, so a later flush cannot replace what we could not read.
        setAsideUnreadableFile(file.errorString());
        return;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    file.close();
    if (error.error != QJsonParseError::NoError)
        setAsideUnreadableFile(error.errorString());
    else if (!document.isObject())
        setAsideUnreadableFile(QStringLiteral("the top level is not an object"));
    else
        _user = document.object().toVariantMap();
}

void SettingsStore::setAsideUnreadableFile(const QString& reason)
{
    const QString stamp = Clock::now().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString aside = _filePath + QStringLiteral(".unreadable-") + stamp;
    for (int n = 1; QFileInfo::exists(aside); ++n)
        aside = _filePath + QStringLiteral(".unreadable-%1-%2").arg(stamp).arg(n);
    const bool moved = QFile::rename(_filePath, aside);
    qWarning("Settings file %s is not readable (%s); using the defaults, the file %s",
             qPrintable(_filePath), qPrintable(reason),
             moved ? qPrintable(QStringLiteral("was kept as ") + aside) : "could not be moved aside");
    if (!moved) {
        // Never overwrite what we could not keep: write elsewhere for this run.
        _filePath = aside;
    }
}

void SettingsStore::registerDefaults(const QVariantMap& defaults)
{
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        _registered.insert(it.key(), it.value());
}

QVariantMap SettingsStore::registeredDefaults() const
{
    return _registered;
}

QVariant SettingsStore::value(const QString& key) const
{
    if (auto it = _overrides.constFind(key); it != _overrides.cend())
        return it.value();
    if (auto it = _user.constFind(key); it != _user.cend())
        return it.value();
    return _registered.value(key);
}

bool SettingsStore::hasUserValue(const QString& key) const
{
    return _user.contains(key);
}

QVariantMap SettingsStore::userValues() const
{
    return _user;
}

bool SettingsStore::toBool(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (text == QLatin1String("YES"))
            return true;
        if (text == QLatin1String("NO"))
            return false;
        return leadingReal(text) != 0;
    }
    if (isNumberLike(value))
        return value.toDouble() != 0;
    return false;
}

qint64 SettingsStore::toInteger(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString)
        return leadingInteger(value.toString());
    if (isNumberLike(value)) {
        const double number = value.toDouble();
        if (!std::isfinite(number))
            return 0;
        if (number >= 9.2e18)
            return std::numeric_limits<qint64>::max();
        if (number <= -9.2e18)
            return std::numeric_limits<qint64>::min();
        return static_cast<qint64>(std::trunc(number));
    }
    return 0;
}

double SettingsStore::toReal(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString)
        return leadingReal(value.toString());
    if (isNumberLike(value))
        return value.toDouble();
    return 0;
}

bool SettingsStore::boolForKey(const QString& key) const
{
    return toBool(value(key));
}

qint64 SettingsStore::integerForKey(const QString& key) const
{
    return toInteger(value(key));
}

double SettingsStore::realForKey(const QString& key) const
{
    return toReal(value(key));
}

QString SettingsStore::stringForKey(const QString& key) const
{
    const QVariant stored = value(key);
    return stored.typeId() == QMetaType::QString ? stored.toString() : QString();
}

QVariantList SettingsStore::arrayForKey(const QString& key) const
{
    const QVariant stored = value(key);
    return stored.typeId() == QMetaType::QVariantList ? stored.toList() : QVariantList();
}

void SettingsStore::setValue(const QString& key, const QVariant& value)
{
    _user.insert(key, value);
    _dirty = true;
}

void SettingsStore::removeValue(const QString& key)
{
    if (_user.remove(key) > 0)
        _dirty = true;
}

void SettingsStore::setOverride(const QString& key, const QVariant& value)
{
    _overrides.insert(key, value);
}

bool SettingsStore::flush()
{
    if (!_dirty)
        return true;
    const QFileInfo info(_filePath);
    if (!QDir().mkpath(info.absolutePath())) {
        qWarning("Settings folder %s cannot be made", qPrintable(info.absolutePath()));
        return false;
    }
    QSaveFile file(_filePath);
    if (!file.open(QIODevice::WriteOnly)) {
        qWarning("Settings file %s cannot be written: %s", qPrintable(_filePath), qPrintable(file.errorString()));
        return false;
    }
    file.write(QJsonDocument(QJsonObject::fromVariantMap(_user)).toJson(QJsonDocument::Indented));
    if (!file.commit()) {
        qWarning("Settings file %s cannot be written: %s", qPrintable(_filePath), qPrintable(file.errorString()));
        return false;
    }
    _dirty = false;
    return true;
}
