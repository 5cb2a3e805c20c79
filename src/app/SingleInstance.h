#pragma once

#include "app/Platform.h"

#include <QObject>
#include <QString>
#include <memory>

/// Keeps the program to one running copy per user. The first copy holds a system lock and
/// listens on a local socket; a later copy finds the lock held, asks the first one through
/// the socket to come to the front, and gives up. Through the same socket a command-line run
/// tells the running copy to read its data again. The system drops the lock of a copy that
/// crashed, so the next start is never blocked by it.
class CSingleInstance : public QObject
{
    Q_OBJECT
public:
    /// \a folder holds the lock and the socket (Platform::InstanceGuardFolder gives it); \a key
    /// names them. Without a folder no guard can be made.
    explicit CSingleInstance(const QString& folder, const QString& key = QStringLiteral("Kestrum"),
                             QObject* parent = nullptr);
    ~CSingleInstance() override;

    enum class Outcome
    {
        Held,          ///< this copy holds the guard now
        OtherCopyRuns, ///< another copy holds it
        Unavailable    ///< no guard can be made in the folder at all; nothing is known of other copies
    };
    Q_ENUM(Outcome)
    /// Takes the guard. The socket starts listening once the event loop runs, so that
    /// answering other copies costs the start-up nothing.
    Outcome TryAcquire();
    /// TryAcquire, with "unavailable" taken as leave to run unguarded (with a warning in the
    /// log): false only when another copy runs. Start-up should ask TryAcquire instead, so
    /// that it can tell the user.
    bool Acquire();
    bool IsHeld() const { return m_bHeld; }
    bool IsListening() const;
    /// Asks the copy holding the guard to show its main window; tries for up to \a timeoutMs
    /// while that copy may still be starting. False when none answered.
    bool SignalRunningInstance(int timeoutMs = 1000) const;
    /// Tells the copy holding the guard that another program has changed the database, so that
    /// it reads the shown day and today's reminders again. Needs no guard of its own; tries for
    /// up to \a timeoutMs (at least once). False when no copy answered.
    bool AskRunningInstanceToReload(int timeoutMs = 0) const;
    /// Gives the guard up (also done by the destructor).
    void Release();

signals:
    /// Another copy was started and asks this one to come to the front.
    void ActivationRequested();
    /// Another program changed the data (an import from the command line).
    void ReloadRequested();

private:
    void StartListening();
    bool SendToRunningInstance(const QByteArray& message, int timeoutMs) const;

    QString m_strSocketName;
    Platform::CInstanceLock m_lock;
    std::unique_ptr<QObject> m_pServer; ///< listening on the socket (LocalSocket::Listen)
    bool m_bHeld = false;
};
