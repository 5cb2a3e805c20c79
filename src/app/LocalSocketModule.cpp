// The local socket of the single-instance guard, in the module kestrum_network: the guard takes
// its lock at start-up, but only listens once the event loop runs, and a later copy only sends
// when it finds the lock held; neither needs Qt Network loaded before the first window shows.
#include "app/LocalSocket.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <type_traits>

extern "C" Q_DECL_EXPORT QObject* kestrum_local_listen(const QString& name,
                                                       const LocalSocket::MessageHandler& onMessage)
{
    QLocalServer::removeServer(name);
    auto* server = new QLocalServer;
    server->setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(server, &QLocalServer::newConnection, server, [server, onMessage] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket,
                             [socket, onMessage] { onMessage(socket->readAll()); });
        }
    });
    if (!server->listen(name)) {
        delete server;
        return nullptr;
    }
    return server;
}

extern "C" Q_DECL_EXPORT bool kestrum_local_send(const QString& name, const QByteArray& message,
                                                 int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(name);
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20); // the running copy may not be listening yet
    }
    socket.write(message);
    const bool written = socket.waitForBytesWritten(int(std::max<qint64>(deadline.remainingTime(), 100)));
    socket.disconnectFromServer();
    return written;
}

// The loader calls these through the types it knows; a change on one side only must not build.
static_assert(std::is_same_v<decltype(&kestrum_local_listen), LocalSocket::Listen>);
static_assert(std::is_same_v<decltype(&kestrum_local_send), LocalSocket::Send>);
