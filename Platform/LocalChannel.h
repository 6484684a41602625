#pragma once

#include "PlatformExport.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

class QLocalServer;
class QLocalSocket;

// A named channel on this machine through which another thread (or process of the same user)
// calls one operation of a root object served by the thread that registered the channel. The call
// waits until the operation has run there.
class PLATFORM_EXPORT LocalChannel : public QObject
{
    Q_OBJECT

public:
    explicit LocalChannel(QObject* parent = nullptr);
    ~LocalChannel() override;

    // Serves the root object under the name. Only the operations named in the protocol can be
    // called; each must be an invokable method of the root object taking one QVariant. False when
    // the name cannot be taken (another live channel holds it).
    bool registerName(const QString& name, QObject* rootObject, const QStringList& protocol);
    bool isRegistered() const;
    QString name() const;

    // From any thread: calls the operation with the argument through the channel registered under
    // the name and returns once it has run. False when no channel answers, the operation is not in
    // its protocol, or no answer comes within the timeout.
    static bool call(const QString& name, const QString& operation, const QVariant& argument,
                     int timeoutMilliseconds = 10000);

    // Calls larger than this are refused unread.
    static constexpr qint64 maximumCallSize = 64 * 1024;

private:
    void serveNewConnections();
    void readCall(QLocalSocket* socket);
    bool perform(const QString& operation, const QVariant& argument);
    static bool isLive(const QString& name);

    QLocalServer* _server = nullptr;
    QPointer<QObject> _rootObject;
    QStringList _protocol;
};
