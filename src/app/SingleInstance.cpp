#include "app/SingleInstance.h"

#include "app/LocalSocket.h"
#include "app/Modules.h"

#include <QTimer>

namespace {
const QByteArray kActivate = "activate\n";
const QByteArray kReload = "reload\n";
} // namespace

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

bool CSingleInstance::IsListening() const { return m_pServer != nullptr; }

void CSingleInstance::StartListening()
{
    if (!m_bHeld || m_pServer)
        return;
    // Without the socket (or its module) the guard still works; only the raising of the first
    // copy is lost. A missing module is logged where it is looked for.
    const auto listen = Modules::Resolve<LocalSocket::Listen>(LocalSocket::kModule, LocalSocket::kListen);
    if (!listen)
        return;
    // A socket file left by a crashed copy may still be there; we hold the lock, so it is stale.
    m_pServer.reset(listen(m_strSocketName, [this](const QByteArray& message) {
        if (message.contains("activate"))
            emit ActivationRequested();
        if (message.contains("reload"))
            emit ReloadRequested();
    }));
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
    const auto send = Modules::Resolve<LocalSocket::Send>(LocalSocket::kModule, LocalSocket::kSend);
    return send && send(m_strSocketName, message, timeoutMs);
}

void CSingleInstance::Release()
{
    if (!m_bHeld)
        return;
    m_pServer.reset(); // stops listening
    m_lock.Unlock();
    m_bHeld = false;
}
