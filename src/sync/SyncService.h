#pragma once

#include "sync/SyncEngine.h"
#include "sync/SyncSettings.h"

#include <QObject>
#include <QString>
#include <memory>

/// Runs syncs in the background for the running planner: at start, every N minutes, a few
/// seconds after each local change and when asked; never more than one at a time, each on a
/// worker thread with its own connection to the database, so the planner never waits for the
/// network. Repeated failures back off. Tells what a sync brought in through synced().
class CSyncService : public QObject
{
    Q_OBJECT
public:
    /// \a databasePath: the planner's database; \a settingsPath: kestrum.ini of the data folder.
    CSyncService(QString databasePath, QString settingsPath, QObject* parent = nullptr);
    ~CSyncService() override;

    /// Starts the timers and the first sync when an account is set and a password is at hand.
    void Start();
    /// A sync as soon as the one running (if any) is over.
    void SyncNow();
    /// Something changed here: a sync a few seconds later (changes in a row wait for the last).
    void NoteLocalChange();
    /// The password for this run (from the keyring, or asked once); never stored by the service.
    void SetPassword(const QString& password);
    bool IsRunning() const;
    /// One short line for the main window's tip: "已同步 14:05", "同步失败：…", "正在同步…", or empty
    /// when no account is set.
    QString StatusText() const;

signals:
    void syncStarted();
    /// A sync ended; when report.bLocalChanged the windows re-read what they show.
    void synced(const SyncReport& report);
    /// The server needs the user: a wrong password or a certificate to accept (report says which).
    void attentionNeeded(const SyncReport& report);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
