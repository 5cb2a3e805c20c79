// Another program writing to the database makes an operation wait for it, up to the busy
// timeout, rather than fail at once.
#include "StoreFixture.h"

#include <chrono>
#include <future>
#include <thread>

namespace {
const QDate kDay(2026, 12, 6);

using Clock = std::chrono::steady_clock;

/// Holds the write lock of the database on a connection and thread of its own, as a second
/// program would: adds a holiday, keeps the transaction open until told to let go or until
/// \a hold has passed, whichever comes first, then commits.
class WriteLockHolder
{
public:
    WriteLockHolder(const QString& path, std::chrono::milliseconds hold)
    {
        std::promise<bool> locked;
        m_locked = locked.get_future();
        m_thread = std::thread([this, path, hold, locked = std::move(locked)]() mutable {
            const QString name = QStringLiteral("lock-holder");
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
                db.setDatabaseName(path);
                QSqlQuery q(db);
                const bool ok =
                    db.open() && q.exec(QStringLiteral("BEGIN IMMEDIATE")) &&
                    q.exec(QStringLiteral("INSERT INTO yljrb (date, name) VALUES ('0101', 'held')"));
                locked.set_value(ok);
                if (ok) {
                    m_letGo.wait_for(hold);
                    m_released = Clock::now();
                    q.exec(QStringLiteral("COMMIT"));
                }
                q.finish();
                db.close();
            }
            QSqlDatabase::removeDatabase(name);
        });
    }
    ~WriteLockHolder() { Join(); }
    WriteLockHolder(const WriteLockHolder&) = delete;
    WriteLockHolder& operator=(const WriteLockHolder&) = delete;

    /// True once the lock is held; false when it could not be taken.
    bool Locked() { return m_locked.get(); }
    /// Lets go of the lock now, and waits for the commit; answers when the holder began to let go.
    Clock::time_point Join()
    {
        if (m_thread.joinable()) {
            m_letGoNow.set_value();
            m_thread.join();
        }
        return m_released;
    }

private:
    std::future<bool> m_locked;
    std::promise<void> m_letGoNow;
    std::shared_future<void> m_letGo = m_letGoNow.get_future().share();
    Clock::time_point m_released;
    std::thread m_thread;
};
} // namespace

class TestStoreBusy : public QObject
{
    Q_OBJECT

private slots:
    // The lock is held for a tenth of a second, or, past a 50 ms timeout, until the add has
    // given up; a store that waited longer than its timeout would find the lock gone after two
    // seconds and add the task.
    void waitsForAnotherWriter_data()
    {
        QTest::addColumn<int>("timeout"); // 0: the store's own
        QTest::addColumn<int>("hold");
        QTest::addColumn<bool>("added");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("released within the timeout") << 0 << 100 << true << QStringList();
        QTest::newRow("held past the timeout")
            << 50 << 2000 << false << QStringList{QStringLiteral("打开事情信息表错误")};
    }
    void waitsForAnotherWriter()
    {
        QFETCH(int, timeout);
        QFETCH(int, hold);
        QFETCH(bool, added);
        QFETCH(QStringList, messages);
        StoreFixture f;
        QVERIFY(f.Open());
        if (timeout > 0)
            f.store.SetBusyTimeout(timeout);
        QVERIFY(f.store.AddTask(kDay, QStringLiteral("before"), TaskStates::NotDone()));
        WriteLockHolder holder(f.path, std::chrono::milliseconds(hold));
        QVERIFY(holder.Locked());
        QCOMPARE(f.store.AddTask(kDay, QStringLiteral("meanwhile"), TaskStates::Done()), added);
        const Clock::time_point returned = Clock::now();
        QCOMPARE(f.errors.texts(), messages);
        // An add that went through waited for the other writer to let go; one that failed
        // gave up while the lock was still held.
        const Clock::time_point released = holder.Join();
        QCOMPARE(returned >= released, added);

        // The other writer's change and ours are both kept, and a failed add leaves the store
        // ready for the next one.
        QCOMPARE(f.store.CountHolidays(HolidayCalendar::Solar, QStringLiteral("0101")), 1);
        f.errors.clear();
        QVERIFY(f.store.AddTask(kDay, QStringLiteral("after"), TaskStates::NotDone()));
        QStringList expected{QStringLiteral("2026-12-06 未完成 before")};
        if (added)
            expected << QStringLiteral("2026-12-06 已完成 meanwhile");
        expected << QStringLiteral("2026-12-06 未完成 after");
        QCOMPARE(TableTest::Tasks(f.store), expected);
        QVERIFY(f.errors.texts().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestStoreBusy)
#include "tst_storebusy.moc"
