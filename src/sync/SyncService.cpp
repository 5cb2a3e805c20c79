#include "sync/SyncService.h"

#include "sync/SyncRun.h"

#include <QThread>
#include <QTimer>
#include <algorithm>
#include <array>
#include <atomic>
#include <utility>

namespace {
using Kind = CSyncService::Timers::Kind;

/// The waits of the running planner: single-shot timers of the UI thread.
class CQtTimers final : public CSyncService::Timers
{
public:
    CQtTimers()
    {
        for (size_t i = 0; i < m_timers.size(); ++i) {
            m_timers[i].setSingleShot(true);
            QObject::connect(&m_timers[i], &QTimer::timeout, [this, i] {
                if (fired)
                    fired(Kind(i));
            });
        }
    }
    void Start(Kind kind, std::chrono::milliseconds wait) override { m_timers.at(size_t(kind)).start(wait); }
    void Stop(Kind kind) override { m_timers.at(size_t(kind)).stop(); }

private:
    std::array<QTimer, 3> m_timers;
};

// A failure the next try may not meet: the network, a slow or a troubled server.
bool BacksOff(DavError error)
{
    return error == DavError::Network || error == DavError::Timeout || error == DavError::Server;
}

// A failure only the user can mend: trying again would only repeat it (and a wrong password,
// repeated, may lock the account on the server).
bool NeedsUser(DavError error)
{
    return error == DavError::Auth || error == DavError::Certificate;
}

bool SameAccount(const SyncSettings& a, const SyncSettings& b)
{
    return a.server == b.server && a.strUser == b.strUser && a.trustedFingerprint == b.trustedFingerprint;
}
} // namespace

struct CSyncService::Impl
{
    QString strDatabase;
    QString strSettings;
    Runner runner;
    std::unique_ptr<Timers> timers;
    QThread thread;
    QObject* pWorker = nullptr;
    std::shared_ptr<std::atomic<bool>> cancelled = std::make_shared<std::atomic<bool>>(false);

    SyncSettings settings; ///< as last read
    QString strPassword;
    bool bPassword = false;
    bool bStarted = false;
    bool bRunning = false;
    bool bPending = false;  ///< asked for while one ran
    int nFailures = 0;      ///< failures in a row that back off
    bool bBlocked = false;  ///< waiting for the user since a wrong password or certificate
    SyncSettings blockedOn; ///< the account that failed so
    bool bHaveReport = false;
    SyncReport last;
};

CSyncService::CSyncService(QString databasePath, QString settingsPath, QObject* parent)
    : QObject(parent), d(std::make_unique<Impl>())
{
    d->strDatabase = std::move(databasePath);
    d->strSettings = std::move(settingsPath);
    d->settings = SyncSettings::Load(d->strSettings);
    const QString database = d->strDatabase;
    d->runner = [database](SyncSettings& settings, const QString& password,
                           const std::function<bool()>& cancelled) {
        return SyncRun::Once(database, settings, password, cancelled);
    };
    SetTimers(std::make_unique<CQtTimers>());
}

CSyncService::~CSyncService()
{
    // A sync under way stops at its next request; what it did stays done.
    *d->cancelled = true;
    if (d->thread.isRunning()) {
        d->thread.quit();
        d->thread.wait();
    }
    delete d->pWorker;
}

void CSyncService::SetRunner(Runner runner)
{
    d->runner = std::move(runner);
}

void CSyncService::SetTimers(std::unique_ptr<Timers> timers)
{
    d->timers = std::move(timers);
    d->timers->fired = [this](Timers::Kind) { Trigger(); };
}

void CSyncService::Start()
{
    d->bStarted = true;
    Trigger();
}

void CSyncService::SyncNow()
{
    // Asked by the user: a failure that waits for the user is tried again.
    d->bBlocked = false;
    d->bStarted = true;
    Trigger();
}

void CSyncService::NoteLocalChange()
{
    if (d->bStarted)
        d->timers->Start(Timers::Kind::Debounce, kDebounce);
}

void CSyncService::SetPassword(const QString& password)
{
    d->strPassword = password;
    d->bPassword = true;
    d->bBlocked = false;
}

bool CSyncService::IsRunning() const
{
    return d->bRunning;
}

QString CSyncService::StatusText() const
{
    if (!d->settings.IsSet())
        return QString();
    if (d->bRunning)
        return QStringLiteral("正在同步…");
    if (d->bHaveReport ? !d->last.bOk : d->settings.strLastResult.startsWith(QStringLiteral("同步失败")))
        return d->bHaveReport ? SyncRun::ResultLine(d->last) : d->settings.strLastResult;
    const QDateTime when = d->bHaveReport ? d->last.finished : d->settings.lastSync;
    return when.isValid() ? QStringLiteral("已同步 ") + when.toString(QStringLiteral("HH:mm")) : QString();
}

void CSyncService::Trigger()
{
    if (!d->bStarted)
        return;
    d->settings = SyncSettings::Load(d->strSettings);
    if (!d->settings.IsSet() || !d->bPassword)
        return;
    if (d->bBlocked && SameAccount(d->settings, d->blockedOn))
        return;
    d->bBlocked = false;
    if (d->bRunning) {
        d->bPending = true;
        return;
    }
    // This sync takes every change so far along, and the next one is counted from its end.
    d->timers->Stop(Timers::Kind::Debounce);
    d->timers->Stop(Timers::Kind::Interval);
    d->timers->Stop(Timers::Kind::Retry);
    if (!d->pWorker) {
        d->pWorker = new QObject;
        d->pWorker->moveToThread(&d->thread);
        d->thread.setObjectName(QStringLiteral("sync"));
        d->thread.start();
    }
    d->bRunning = true;
    d->bPending = false;
    emit syncStarted();
    SyncSettings settings = d->settings;
    QMetaObject::invokeMethod(
        d->pWorker,
        [this, settings, runner = d->runner, password = d->strPassword, cancelled = d->cancelled]() mutable {
            if (*cancelled)
                return;
            const SyncReport report = runner(settings, password, [cancelled] { return cancelled->load(); });
            QMetaObject::invokeMethod(
                this, [this, report, settings] { Finished(report, settings); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void CSyncService::Finished(const SyncReport& report, const SyncSettings& used)
{
    d->bRunning = false;
    d->last = report;
    d->bHaveReport = true;

    // What the sync found out goes into the file as it is now: the user may have changed other
    // settings meanwhile, and calendars found for another account mean nothing.
    SyncSettings saved = SyncSettings::Load(d->strSettings);
    if (SameAccount(saved, used)) {
        if (saved.strTasksCalendar.isEmpty())
            saved.strTasksCalendar = used.strTasksCalendar;
        if (saved.strRemindersCalendar.isEmpty())
            saved.strRemindersCalendar = used.strRemindersCalendar;
        saved.lastSync = report.finished;
        saved.strLastResult = SyncRun::ResultLine(report);
        QString error;
        // A file that cannot be written loses only the last sync's time; the status still shows.
        saved.Save(d->strSettings, error);
    }
    d->settings = saved;

    if (BacksOff(report.firstError)) {
        ++d->nFailures;
        auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(kFirstRetry);
        for (int i = 1; i < d->nFailures && wait < kLongestRetry; ++i)
            wait *= 2;
        d->timers->Start(Timers::Kind::Retry, std::min<std::chrono::milliseconds>(wait, kLongestRetry));
    } else {
        d->nFailures = 0;
        if (NeedsUser(report.firstError)) {
            d->bBlocked = true;
            d->blockedOn = used;
            d->bPending = false;
        } else if (saved.nIntervalMinutes > 0) {
            d->timers->Start(Timers::Kind::Interval, std::chrono::minutes(saved.nIntervalMinutes));
        }
    }
    if (d->bBlocked)
        emit attentionNeeded(report);
    emit synced(report);
    if (d->bPending)
        Trigger();
}
