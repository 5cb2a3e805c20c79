// Another program writing to the database makes an operation wait for it, up to the busy
// timeout, rather than fail at once.
#include "StoreFixture.h"

#include <QElapsedTimer>
#include <chrono>
#include <future>
#include <thread>

namespace {
const QDate kDay(2026, 12, 6);

using Clock = std::chrono::steady_clock;

/// Holds the write lock of the database on a connection and thread of its own, as a second
/// program would: adds a holiday, keeps the transaction open for a while, then commits.
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
                const bool ok = db.open() && q.exec(QStringLiteral("BEGIN IMMEDIATE")) &&
                                q.exec(QStringLiteral("INSERT INTO yljrb (date, name) VALUES ('0101', 'held')"));
                locked.set_value(ok);
                if (ok) {
                    std::this_thread::sleep_for(hold);
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
    /// Waits for the holder to commit; answers when it began to let the lock go.
    Clock::time_point Join()
    {
        if (m_thread.joinable())
            m_thread.join();
        return m_released;
    }

private:
    std::future<bool> m_locked;
    Clock::time_point m_released;
    std::thread m_thread;
};
} // namespace

class TestStoreBusy : public QObject
{
    Q_OBJECT

private slots:
    void waitsForAnotherWriter_data()
    {
        QTest::addColumn<int>("timeout"); // 0: the store's own
        QTest::addColumn<int>("hold");
        QTest::addColumn<bool>("added");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("released within the timeout") << 0 << 1000 << true << QStringList();
        QTest::newRow("held past the timeout")
            << 300 << 1500 << false << QStringList{QStringLiteral("打开事情信息表错误")};
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
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(f.store.AddTask(kDay, QStringLiteral("meanwhile"), TaskStates::Done()), added);
        const Clock::time_point returned = Clock::now();
        const qint64 waited = timer.elapsed();
        QCOMPARE(f.errors.texts(), messages);
        // An add that went through waited for the other writer to let go; one that failed
        // gave up once the timeout ran out, while the lock was still held.
        const Clock::time_point released = holder.Join();
        QCOMPARE(returned >= released, added);
        if (!added)
            QVERIFY2(waited >= timeout - 20, qPrintable(QString::number(waited)));

        // The other writer's change and ours are both kept, and a failed add leaves the store
        // ready for the next one.
        QCOMPARE(f.store.CountSolarHolidays(QDate(2027, 1, 1)), 1);
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
