// Another program writing to the database makes a change wait for it, up to the busy timeout,
// rather than fail at once; reading does not wait at all.
#include "StoreFixture.h"

#include <chrono>
#include <future>

using namespace Qt::StringLiterals;

namespace {
const QDate kDay(2026, 12, 6);
using Clock = std::chrono::steady_clock;
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
        QTest::newRow("held past the timeout") << 50 << 2000 << false << QStringList{u"打开事情信息表错误"_s};
    }
    void waitsForAnotherWriter()
    {
        QFETCH(int, timeout);
        QFETCH(int, hold);
        QFETCH(bool, added);
        StoreFixture f;
        QVERIFY(f.Open());
        if (timeout > 0)
            f.store.SetBusyTimeout(timeout);
        QVERIFY(f.store.AddTask(kDay, u"before"_s, TaskStates::NotDone()));
        // A second program holds the write lock on a connection and thread of its own: it adds a
        // task and keeps the transaction open until told to let go or until hold has passed.
        std::promise<bool> locked;
        std::promise<void> letGo;
        Clock::time_point released;
        auto holder = std::async(std::launch::async, [&, hold] {
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"holder"_s);
                db.setDatabaseName(f.path);
                QSqlQuery q(db);
                const bool ok = db.open() && q.exec(u"BEGIN IMMEDIATE"_s) &&
                                q.exec(u"INSERT INTO shiqing VALUES ('2026-12-06', 'held', '未完成')"_s);
                locked.set_value(ok);
                if (ok) {
                    letGo.get_future().wait_for(std::chrono::milliseconds(hold));
                    released = Clock::now();
                    q.exec(u"COMMIT"_s);
                }
            }
            QSqlDatabase::removeDatabase(u"holder"_s);
        });
        QVERIFY(locked.get_future().get());
        // Reading takes no write lock: the query, the statistics and the reading back by id answer
        // at once, from the table as it was before the other writer's change.
        const TaskQueryCriteria every;
        std::vector<TaskId> ids;
        std::vector<TaskRecord> tasks;
        int total = 0, notDone = 0, done = 0, postponed = 0;
        QVERIFY(f.store.ListTaskIds(every, ids) && f.store.ReadTasks(ids.data(), ids.size(), tasks) &&
                f.store.CountAllTasks(total, notDone, done, postponed));
        QCOMPARE(QList<int>({f.store.CountTasks(every), int(tasks.size()), total}), QList<int>({1, 1, 1}));
        QVERIFY(f.errors.texts().isEmpty());
        QCOMPARE(f.store.AddTask(kDay, u"meanwhile"_s, TaskStates::Done()), added);
        const Clock::time_point returned = Clock::now();
        QTEST(f.errors.texts(), "messages");
        // An add that went through waited for the other writer to let go; one that failed
        // gave up while the lock was still held.
        letGo.set_value();
        holder.wait();
        QCOMPARE(returned >= released, added);

        // The other writer's change and ours are both kept, and a failed add leaves the store
        // ready for the next one.
        f.errors.clear();
        QVERIFY(f.store.AddTask(kDay, u"after"_s, TaskStates::NotDone()));
        QStringList expected{u"2026-12-06 未完成 before"_s, u"2026-12-06 未完成 held"_s};
        if (added)
            expected << u"2026-12-06 已完成 meanwhile"_s;
        expected << u"2026-12-06 未完成 after"_s;
        QCOMPARE(TableTest::Tasks(f.store), expected);
        QVERIFY(f.errors.texts().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestStoreBusy)
#include "tst_storebusy.moc"
