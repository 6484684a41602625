#pragma once

#include "TicksheetExport.h"

#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <optional>

// Compares this build's version with the version list published on our web site: a property list
// dictionary of application name to newest version. Blocking; runs on any thread and touches no
// window and no setting.
class TICKSHEET_EXPORT UpdateChecker
{
public:
    enum class Outcome {
        NoList,      // no list could be fetched or read, or it has no entry for us
        SameVersion, // the listed version is ours
        NewVersion,  // any other listed version, older ones included
    };

    struct Result {
        Outcome outcome = Outcome::NoList;
        QString listedVersion;
    };

    // applicationName is the key looked up in the list.
    UpdateChecker(const QUrl& versionListUrl, const QString& applicationName, const QString& installedVersion);

    Result check() const;

    // The version list's entries; none when the fetch fails or the text is not a dictionary.
    std::optional<QVariantMap> fetchVersionList() const;
    Result compare(const std::optional<QVariantMap>& versionList) const;

    // This build's version.
    static QString installedVersion();

    // Lists larger than this are not read.
    static constexpr qint64 maximumListSize = 1024 * 1024;
    static constexpr int fetchTimeoutMilliseconds = 30000;

private:
    QUrl _versionListUrl;
    QString _applicationName;
    QString _installedVersion;
};
