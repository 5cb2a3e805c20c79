#pragma once

#include "sync/SyncEngine.h"
#include "sync/SyncSettings.h"

#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

/// Runs syncs in the background for the running planner: at start, every N minutes, a few
/// seconds after each local change and when asked; never more than one at a time, each on a
/// worker thread with its own connection to the database, so the planner never waits for the
/// network. Repeated failures back off. Tells what a sync brought in through synced().
class CSyncService : public QObject
{
    Q_OBJECT
public:
    /// One sync as the worker thread runs it (SyncRun::Once on the database unless set): the
    /// account, whose calendars it may fill in, the password and the check that asks it to stop.
    using Runner = std::function<SyncReport(SyncSettings& settings, const QString& password,
                                            const std::function<bool()>& cancelled)>;

    /// The service's waits, one of each kind at a time; replaceable so that tests fire them by
    /// hand instead of waiting.
    class Timers
    {
    public:
        enum class Kind
        {
            Interval, ///< the next sync of the N minutes
            Debounce, ///< a few seconds after the last local change
            Retry,    ///< the next try after a failure
        };
        virtual ~Timers() = default;
        /// (Re)starts \a kind to fire once after \a wait.
        virtual void Start(Kind kind, std::chrono::milliseconds wait) = 0;
        virtual void Stop(Kind kind) = 0;
        /// Called when a wait is over.
        std::function<void(Kind)> fired;
    };

    static constexpr std::chrono::seconds kDebounce{5};
    static constexpr std::chrono::seconds kFirstRetry{30};
    static constexpr std::chrono::minutes kLongestRetry{30};

    /// \a databasePath: the planner's database; \a settingsPath: kestrum.ini of the data folder.
    CSyncService(QString databasePath, QString settingsPath, QObject* parent = nullptr);
    ~CSyncService() override;

    /// Before Start: what runs a sync, and the waits.
    void SetRunner(Runner runner);
    void SetTimers(std::unique_ptr<Timers> timers);

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
    /// A sync now, if one may run; else as soon as the running one is over.
    void Trigger();
    void Finished(const SyncReport& report, const SyncSettings& used);

    struct Impl;
    std::unique_ptr<Impl> d;
};
