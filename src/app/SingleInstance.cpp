#include "app/SingleInstance.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

namespace {
const QByteArray kActivate = "activate\n";
const QByteArray kReload = "reload\n";
}

CSingleInstance::CSingleInstance(const QString& folder, const QString& key, QObject* parent)
    : QObject(parent), m_strSocketName(folder + u'/' + key + QStringLiteral(".socket")), m_lock(folder, key)
{
}

CSingleInstance::~CSingleInstance() { Release(); }

CSingleInstance::Outcome CSingleInstance::TryAcquire()
{
    if (m_bHeld)
        return Outcome::Held;
    switch (m_lock.TryLock()) {
    case Platform::CInstanceLock::Result::HeldElsewhere:
        return Outcome::OtherCopyRuns;
    case Platform::CInstanceLock::Result::Unavailable:
        return Outcome::Unavailable;
    case Platform::CInstanceLock::Result::Taken:
        break;
    }
    m_bHeld = true;
    QTimer::singleShot(0, this, &CSingleInstance::StartListening);
    return Outcome::Held;
}

bool CSingleInstance::Acquire()
{
    const Outcome outcome = TryAcquire();
    if (outcome == Outcome::Unavailable)
        qWarning("Kestrum: the single-instance lock cannot be made; running without it");
    return outcome != Outcome::OtherCopyRuns;
}

bool CSingleInstance::IsListening() const { return m_pServer && m_pServer->isListening(); }

void CSingleInstance::StartListening()
{
    if (!m_bHeld || m_pServer)
        return;
    // A socket file left by a crashed copy may still be there; we hold the lock, so it is stale.
    QLocalServer::removeServer(m_strSocketName);
    m_pServer = std::make_unique<QLocalServer>();
    m_pServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_pServer.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_pServer->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                const QByteArray message = socket->readAll();
                if (message.contains("activate"))
                    emit ActivationRequested();
                if (message.contains("reload"))
                    emit ReloadRequested();
            });
        }
    });
    // Without the socket the guard still works; only the raising of the first copy is lost.
    m_pServer->listen(m_strSocketName);
}

bool CSingleInstance::SignalRunningInstance(int timeoutMs) const
{
    return SendToRunningInstance(kActivate, timeoutMs);
}

bool CSingleInstance::AskRunningInstanceToReload(int timeoutMs) const
{
    return SendToRunningInstance(kReload, timeoutMs);
}

bool CSingleInstance::SendToRunningInstance(const QByteArray& message, int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(m_strSocketName);
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

void CSingleInstance::Release()
{
    if (!m_bHeld)
        return;
    if (m_pServer) {
        m_pServer->close();
        m_pServer.reset();
    }
    m_lock.Unlock();
    m_bHeld = false;
}
