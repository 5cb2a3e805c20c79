// The background sync as the running planner drives it: changes in a row wait for the last,
// never two syncs at once, failures of the network back off (doubling, capped), a wrong password
// stops the tries until the account changes, and each sync's time and result land in the file.
// The waits are fired by hand and the sync is a stand-in the test releases.
#include "TestFiles.h"
#include "app/SettingsFile.h"
#include "sync/SyncService.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <map>
#include <mutex>

using namespace std::chrono_literals;
using Kind = CSyncService::Timers::Kind;

namespace {
/// Waits that only start and stop; the test says when one is over.
class ManualTimers final : public CSyncService::Timers
{
public:
    void Start(Kind kind, std::chrono::milliseconds wait) override { active[kind] = wait; }
    void Stop(Kind kind) override { active.erase(kind); }
    void Fire(Kind kind)
    {
        active.erase(kind);
        fired(kind);
    }
    std::map<Kind, std::chrono::milliseconds> active;
};

/// A sync that waits on the worker thread until the test lets it end with the next error.
struct StandIn
{
    QSemaphore release;
    std::atomic<int> nStarted{0};
    std::atomic<int> nAtOnce{0};
    std::atomic<int> nMostAtOnce{0};
    std::mutex mutex;
    QList<DavError> errors; ///< what each released sync ends with
    QStringList passwords;

    std::atomic<bool> bSawCancel{false};

    SyncReport operator()(SyncSettings& settings, const QString& password,
                          const std::function<bool()>& cancelled)
    {
        ++nStarted;
        nMostAtOnce = std::max(nMostAtOnce.load(), ++nAtOnce);
        SyncReport report;
        while (!release.tryAcquire(1, 10)) {
            if (cancelled()) {
                bSawCancel = true;
                --nAtOnce;
                return report;
            }
        }
        {
            const std::lock_guard lock(mutex);
            passwords << password;
            report.firstError = errors.takeFirst();
        }
        report.bOk = report.firstError == DavError::None;
        if (!report.bOk)
            report.problems << QStringLiteral("问题 %1").arg(int(report.firstError));
        report.finished = QDateTime(QDate(2026, 12, 8), QTime(14, 5));
        settings.strTasksCalendar = QStringLiteral("/planner/tasks/");
        --nAtOnce;
        return report;
    }
};
} // namespace

class TestSyncService : public QObject
{
    Q_OBJECT
private slots:
    void schedule()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("kestrum.ini"));
        QVERIFY(WriteAll(ini, "[sync]\nserver=https://cal.example.org/\nuser=lin\nintervalMinutes=7\n"));
        StandIn sync;
        auto owned = std::make_unique<ManualTimers>();
        ManualTimers& timers = *owned;
        auto service = std::make_unique<CSyncService>(dir.filePath(QStringLiteral("kstrm.db")), ini);
        service->SetRunner([&sync](SyncSettings& s, const QString& p,
                                   const std::function<bool()>& cancelled) { return sync(s, p, cancelled); });
        service->SetTimers(std::move(owned));
        QSignalSpy synced(service.get(), &CSyncService::synced);
        QSignalSpy attention(service.get(), &CSyncService::attentionNeeded);
        const auto finish = [&](DavError error) {
            {
                const std::lock_guard lock(sync.mutex);
                sync.errors << error;
            }
            const auto before = synced.count();
            sync.release.release();
            return QTest::qWaitFor([&] { return synced.count() == before + 1; }, 5000);
        };

        // No password yet: nothing runs, whatever asks.
        service->Start();
        service->SyncNow();
        QCOMPARE(sync.nStarted.load(), 0);
        service->SetPassword(QStringLiteral("pw1"));
        service->Start();
        QTRY_COMPARE(sync.nStarted.load(), 1);
        QVERIFY(service->IsRunning());
        QCOMPARE(service->StatusText(), QStringLiteral("正在同步…"));

        // Changes while it runs wait for the last one; asking meanwhile queues one more sync.
        service->NoteLocalChange();
        service->NoteLocalChange();
        QCOMPARE(timers.active.at(Kind::Debounce), std::chrono::milliseconds(5s));
        timers.Fire(Kind::Debounce);
        service->SyncNow();
        QVERIFY(finish(DavError::Network));
        QTRY_COMPARE(sync.nStarted.load(), 2);
        QVERIFY(!timers.active.count(Kind::Retry)); // the queued sync runs instead
        QCOMPARE(SyncSettings::Load(ini).strLastResult, QStringLiteral("同步失败：问题 1"));

        // Failures of the network or the server back off, doubling up to half an hour.
        const int waits[] = {60, 120, 240, 480, 960, 1800, 1800};
        for (const int seconds : waits) {
            QVERIFY(finish(seconds % 240 ? DavError::Timeout : DavError::Server));
            QCOMPARE(timers.active, (std::map<Kind, std::chrono::milliseconds>{{Kind::Retry, seconds * 1s}}));
            timers.Fire(Kind::Retry);
        }
        QCOMPARE(sync.nMostAtOnce.load(), 1);

        // A success starts the interval and forgets the failures; the file learns the result.
        QVERIFY(finish(DavError::None));
        QCOMPARE(timers.active, (std::map<Kind, std::chrono::milliseconds>{{Kind::Interval, 7min}}));
        const SyncSettings saved = SyncSettings::Load(ini);
        QCOMPARE(saved.lastSync, QDateTime(QDate(2026, 12, 8), QTime(14, 5)));
        QCOMPARE(saved.strTasksCalendar, QStringLiteral("/planner/tasks/"));
        QCOMPARE(service->StatusText(), QStringLiteral("已同步 14:05"));
        timers.Fire(Kind::Interval);
        QVERIFY(finish(DavError::Network));
        QCOMPARE(timers.active.at(Kind::Retry), std::chrono::milliseconds(30s));

        // A wrong password: no more tries, whatever fires, until the user gives another.
        timers.Fire(Kind::Retry);
        QVERIFY(finish(DavError::Auth));
        QCOMPARE(attention.count(), 1);
        QVERIFY(timers.active.empty());
        const int nBefore = sync.nStarted;
        service->NoteLocalChange();
        timers.Fire(Kind::Debounce);
        timers.Fire(Kind::Interval);
        QVERIFY(!service->IsRunning());
        service->SetPassword(QStringLiteral("pw2"));
        timers.Fire(Kind::Interval);
        QTRY_COMPARE(sync.nStarted.load(), nBefore + 1);
        QVERIFY(finish(DavError::None));
        QCOMPARE(sync.passwords.last(), QStringLiteral("pw2"));
        QCOMPARE(attention.count(), 1);

        // Leaving while a sync runs asks it to stop and waits for it.
        service->SyncNow();
        QTRY_COMPARE(sync.nStarted.load(), nBefore + 2);
        service.reset();
        QVERIFY(sync.bSawCancel);
        QCOMPARE(sync.nAtOnce.load(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSyncService)
#include "tst_syncservice.moc"
