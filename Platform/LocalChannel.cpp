#include "LocalChannel.h"

#include <QDataStream>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMetaObject>
#include <QtDebug>

namespace {

// A call is a 32-bit length and then that many bytes: the operation name and the argument in
// QDataStream form. The answer is one byte.
constexpr QDataStream::Version wireVersion = QDataStream::Qt_6_4;
constexpr char performed = '1';
constexpr char refused = '0';
constexpr int liveCheckMilliseconds = 500;

QByteArray encodeCall(const QString& operation, const QVariant& argument)
{
    QByteArray payload;
    QDataStream payloadStream(&payload, QIODevice::WriteOnly);
    payloadStream.setVersion(wireVersion);
    payloadStream << operation << argument;

    QByteArray frame;
    QDataStream frameStream(&frame, QIODevice::WriteOnly);
    frameStream.setVersion(wireVersion);
    frameStream << static_cast<quint32>(payload.size());
    frame.append(payload);
    return frame;
}

} // namespace

LocalChannel::LocalChannel(QObject* parent)
    : QObject(parent)
{
}

LocalChannel::~LocalChannel() = default;

bool LocalChannel::isLive(const QString& name)
{
    QLocalSocket probe;
    probe.connectToServer(name);
    return probe.waitForConnected(liveCheckMilliseconds);
}

bool LocalChannel::registerName(const QString& name, QObject* rootObject, const QStringList& protocol)
{
    delete _server;
    _server = new QLocalServer(this);
    // Only this user may call in: the socket is not open to other accounts on the machine.
    _server->setSocketOptions(QLocalServer::UserAccessOption);
    _rootObject = rootObject;
    _protocol = protocol;

    if (!_server->listen(name)) {
        // A socket left behind by a process that ended without cleaning up blocks the name; a
        // live channel keeps it.
        if (_server->serverError() != QAbstractSocket::AddressInUseError || isLive(name)
            || !QLocalServer::removeServer(name) || !_server->listen(name)) {
            qWarning().noquote() << "The local channel" << name << "could not be registered:" << _server->errorString();
            delete _server;
            _server = nullptr;
            return false;
        }
    }
    connect(_server, &QLocalServer::newConnection, this, &LocalChannel::serveNewConnections);
    return true;
}

bool LocalChannel::isRegistered() const
{
    return _server && _server->isListening();
}

QString LocalChannel::name() const
{
    return _server ? _server->serverName() : QString();
}

void LocalChannel::serveNewConnections()
{
    while (QLocalSocket* socket = _server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readCall(socket); });
        readCall(socket);
    }
}

void LocalChannel::readCall(QLocalSocket* socket)
{
    QDataStream stream(socket);
    stream.setVersion(wireVersion);
    stream.startTransaction();
    quint32 size = 0;
    stream >> size;
    if (stream.status() != QDataStream::Ok) {
        stream.rollbackTransaction();
        return;
    }
    if (size > maximumCallSize) {
        stream.abortTransaction();
        socket->disconnectFromServer();
        return;
    }
    if (socket->bytesAvailable() < static_cast<qint64>(size)) {
        stream.rollbackTransaction();
        return;
    }
    const QByteArray payload = socket->read(size);
    stream.commitTransaction();

    QDataStream call(payload);
    call.setVersion(wireVersion);
    QString operation;
    QVariant argument;
    call >> operation >> argument;
    const bool done = call.status() == QDataStream::Ok && perform(operation, argument);
    socket->write(QByteArray(1, done ? performed : refused));
    socket->flush();
    socket->disconnectFromServer();
}

bool LocalChannel::perform(const QString& operation, const QVariant& argument)
{
    if (!_rootObject || !_protocol.contains(operation))
        return false;
    return QMetaObject::invokeMethod(_rootObject, operation.toLatin1().constData(), Qt::DirectConnection,
                                     Q_ARG(QVariant, argument));
}

bool LocalChannel::call(const QString& name, const QString& operation, const QVariant& argument,
                        int timeoutMilliseconds)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMilliseconds))
        return false;
    socket.write(encodeCall(operation, argument));
    if (socket.bytesToWrite() > 0 && !socket.waitForBytesWritten(timeoutMilliseconds))
        return false;
    if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(timeoutMilliseconds))
        return false;
    char answer = refused;
    return socket.getChar(&answer) && answer == performed;
}
