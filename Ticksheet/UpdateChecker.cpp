#include "UpdateChecker.h"

#include "PropertyList.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>
#include <QTimer>

#include <memory>

namespace {

constexpr int interruptionPollMilliseconds = 100;

// Waits for the reply in a local event loop. A list that grows past the limit, or a request to
// interrupt the thread (the application is quitting), ends the transfer early.
void waitForReply(QNetworkReply* reply)
{
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > UpdateChecker::maximumListSize)
            reply->abort();
    });
    QTimer interruptionWatch;
    QObject::connect(&interruptionWatch, &QTimer::timeout, reply, [reply] {
        if (QThread::currentThread()->isInterruptionRequested())
            reply->abort();
    });
    interruptionWatch.start(interruptionPollMilliseconds);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

UpdateChecker::UpdateChecker(const QUrl& versionListUrl, const QString& applicationName,
                             const QString& installedVersion)
    : _versionListUrl(versionListUrl)
    , _applicationName(applicationName)
    , _installedVersion(installedVersion)
{
}

QString UpdateChecker::installedVersion()
{
    return QStringLiteral(TALLYWICK_VERSION);
}

UpdateChecker::Result UpdateChecker::check() const
{
    return compare(fetchVersionList());
}

std::optional<QVariantMap> UpdateChecker::fetchVersionList() const
{
    if (!_versionListUrl.isValid())
        return std::nullopt;
    QNetworkAccessManager network;
    QNetworkRequest request(_versionListUrl);
    request.setTransferTimeout(fetchTimeoutMilliseconds);
    const std::unique_ptr<QNetworkReply> reply(network.get(request));
    waitForReply(reply.get());
    if (reply->error() != QNetworkReply::NoError || reply->bytesAvailable() > maximumListSize)
        return std::nullopt;

    const QVariant list = PropertyList::read(reply->readAll());
    if (list.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return list.toMap();
}

// Only equality counts: any other listed version is announced, even an older one. An entry that
// is missing or not a version string tells us nothing, like a missing list.
UpdateChecker::Result UpdateChecker::compare(const std::optional<QVariantMap>& versionList) const
{
    if (!versionList)
        return {};
    const QVariant entry = versionList->value(_applicationName);
    if (entry.typeId() != QMetaType::QString || entry.toString().isEmpty())
        return {};
    const QString listed = entry.toString();
    return {listed == _installedVersion ? Outcome::SameVersion : Outcome::NewVersion, listed};
}
