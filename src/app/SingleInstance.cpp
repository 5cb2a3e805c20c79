#include "app/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace {
const QByteArray kActivate = "activate\n";
}

CSingleInstance::CSingleInstance(const QString& folder, const QString& key, QObject* parent)
    : QObject(parent), m_strSocketName(folder + u'/' + key + QStringLiteral(".socket")),
      m_lock(folder + u'/' + key + QStringLiteral(".lock"))
{
    // Only a dead owner makes a lock stale, never its age: the program runs for days.
    m_lock.setStaleLockTime(0);
}

CSingleInstance::~CSingleInstance() { Release(); }

bool CSingleInstance::Acquire()
{
    if (m_bHeld)
        return true;
    if (!m_lock.tryLock(0))
        return false;
    m_bHeld = true;

    // The socket file of a crashed copy may still be there; we hold the lock, so it is stale.
    QLocalServer::removeServer(m_strSocketName);
    m_pServer = std::make_unique<QLocalServer>();
    m_pServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_pServer.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_pServer->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains("activate"))
                    emit ActivationRequested();
            });
        }
    });
    // Without the socket the guard still works; only the raising of the first copy is lost.
    m_pServer->listen(m_strSocketName);
    return true;
}

bool CSingleInstance::SignalRunningInstance(int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(m_strSocketName);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kActivate);
    const bool written = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return written;
}

void CSingleInstance::Release()
{
    if (!m_bHeld)
        return;
    if (m_pServer) {
        m_pServer->close();
        m_pServer.reset();
    }
    m_lock.unlock();
    m_bHeld = false;
}
