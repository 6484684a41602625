#pragma once

#include "PlatformExport.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <memory>

// Per-user settings: a persisted user layer over a registered-defaults layer.
// The user layer is a JSON file at the per-user config location, or the file named by the
// environment variable TALLYWICK_SETTINGS. Reads look at run-only overrides, then user values,
// then registered defaults.
class PLATFORM_EXPORT SettingsStore
{
public:
    explicit SettingsStore(const QString& filePath);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The store of this process; made on first use from TALLYWICK_SETTINGS or the default path.
    static SettingsStore& shared();
    // Tests: drop the shared store (flushing it) so the next shared() reads the environment anew.
    static void resetShared();
    static QString defaultFilePath();

    QString filePath() const;

    void registerDefaults(const QVariantMap& defaults);
    QVariantMap registeredDefaults() const;

    QVariant value(const QString& key) const;
    bool hasUserValue(const QString& key) const;
    QVariantMap userValues() const;

    bool boolForKey(const QString& key) const;
    qint64 integerForKey(const QString& key) const;
    double realForKey(const QString& key) const;
    QString stringForKey(const QString& key) const;    // null when nothing or not a string
    QVariantList arrayForKey(const QString& key) const; // empty when nothing or not a list

    void setValue(const QString& key, const QVariant& value);
    void removeValue(const QString& key);

    // A value seen by reads for this run only; never written to the file.
    void setOverride(const QString& key, const QVariant& value);

    // Writes the user layer atomically when it changed; false (and a log line) when it could not.
    bool flush();

    // The typed-read conversions, shared with callers that hold a raw value.
    static bool toBool(const QVariant& value);
    static qint64 toInteger(const QVariant& value);
    static double toReal(const QVariant& value);

private:
    void load();
    void setAsideUnreadableFile(const QString& reason);

    QString _filePath;
    QVariantMap _registered;
    QVariantMap _user;
    QVariantMap _overrides;
    bool _dirty = false;
};
