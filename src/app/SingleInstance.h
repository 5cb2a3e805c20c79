#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

/// Keeps the program to one running copy per user. The first copy holds a lock file and
/// listens on a local socket; a later copy finds the lock held, asks the first one through
/// the socket to come to the front, and gives up. A lock left by a copy that crashed is
/// recognised as stale (its process is gone) and taken over.
class CSingleInstance : public QObject
{
    Q_OBJECT
public:
    /// \a folder holds the lock file and the socket; \a key names them.
    explicit CSingleInstance(const QString& folder, const QString& key = QStringLiteral("Kestrum"),
                             QObject* parent = nullptr);
    ~CSingleInstance() override;

    /// Takes the guard. False when another copy holds it.
    bool Acquire();
    bool IsHeld() const { return m_bHeld; }
    /// Asks the copy holding the guard to show its main window. False when none answered.
    bool SignalRunningInstance(int timeoutMs = 1000) const;
    /// Gives the guard up (also done by the destructor).
    void Release();

signals:
    /// Another copy was started and asks this one to come to the front.
    void ActivationRequested();

private:
    QString m_strSocketName;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_pServer;
    bool m_bHeld = false;
};
