#pragma once

#include "app/Platform.h"

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

/// Keeps the program to one running copy per user. The first copy holds a system lock and
/// listens on a local socket; a later copy finds the lock held, asks the first one through
/// the socket to come to the front, and gives up. The system drops the lock of a copy that
/// crashed, so the next start is never blocked by it.
class CSingleInstance : public QObject
{
    Q_OBJECT
public:
    /// \a folder holds the lock and the socket; \a key names them.
    explicit CSingleInstance(const QString& folder, const QString& key = QStringLiteral("Kestrum"),
                             QObject* parent = nullptr);
    ~CSingleInstance() override;

    /// Takes the guard. False when another copy holds it; true without holding it when no
    /// guard can be made here at all (the program then runs unguarded rather than not at all). The socket starts listening once the
    /// event loop runs, so that answering other copies costs the start-up nothing.
    bool Acquire();
    bool IsHeld() const { return m_bHeld; }
    bool IsListening() const;
    /// Asks the copy holding the guard to show its main window; tries for up to \a timeoutMs
    /// while that copy may still be starting. False when none answered.
    bool SignalRunningInstance(int timeoutMs = 1000) const;
    /// Gives the guard up (also done by the destructor).
    void Release();

signals:
    /// Another copy was started and asks this one to come to the front.
    void ActivationRequested();

private:
    void StartListening();

    QString m_strSocketName;
    Platform::CInstanceLock m_lock;
    std::unique_ptr<QLocalServer> m_pServer;
    bool m_bHeld = false;
};
