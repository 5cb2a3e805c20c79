#include "StoreFixture.h"

using TableTest::Tasks;

namespace {
const QDate kDay(2026, 12, 6);
const QString kA = QStringLiteral("A");
} // namespace

class TestTaskTable : public QObject
{
    Q_OBJECT

    // Adds each content on kDay as not done.
    static bool Seed(CDataStore& s, std::initializer_list<const char*> contents)
    {
        for (const char* c : contents)
            if (!s.AddTask(kDay, QString::fromUtf8(c), TaskStates::NotDone()))
                return false;
        return true;
    }

private slots:
    // A postponed task moves to the next day as not done, whatever its state, and leaves a
    // postponed copy; it cannot be postponed again while the moved task is still there.
    void postpone_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("nextDay");
        QTest::newRow("year end") << QDate(2009, 12, 31) << TaskStates::InProgress()
                                  << QStringLiteral("2010-01-01");
        QTest::newRow("28 Feb, leap year")
            << QDate(2008, 2, 28) << TaskStates::Done() << QStringLiteral("2008-02-29");
        QTest::newRow("28 Feb, common year")
            << QDate(2009, 2, 28) << TaskStates::NotDone() << QStringLiteral("2009-03-01");
    }
    void postpone()
    {
        QFETCH(QDate, day);
        QFETCH(QString, state);
        QFETCH(QString, nextDay);
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.AddTask(day, kA, state));
        QVERIFY(f.store.PostponeTask(day, kA));
        const QStringList moved = {nextDay + QStringLiteral(" 未完成 A"),
                                   day.toString(Qt::ISODate) + QStringLiteral(" 已推迟 A")};
        QCOMPARE(Tasks(f.store), moved);
        QVERIFY(f.errors.texts().isEmpty());
        QVERIFY(!f.store.PostponeTask(day, kA));
        QCOMPARE(f.errors.texts(), QStringList{QStringLiteral("事情已经存在于第二天了\r\n不能推迟请删除")});
        QCOMPARE(f.errors.captions(), QStringList{QStringLiteral("提示")});
        QCOMPARE(f.errors.kinds(), QList<IErrorReporter::Kind>{IErrorReporter::Kind::Information});
        QCOMPARE(Tasks(f.store), moved);
        QVERIFY(f.store.DeleteTask(day.addDays(1), kA));
        QVERIFY(f.store.PostponeTask(day, kA));
        QCOMPARE(Tasks(f.store), moved);
        // A task that is not there is refused without a message.
        f.errors.clear();
        QVERIFY(!f.store.PostponeTask(day, QStringLiteral("B")));
        QVERIFY(!f.store.DeleteTask(day, QStringLiteral("B")));
        QVERIFY(!f.store.SetTaskState(day, QStringLiteral("B"), TaskStates::Done()));
        QVERIFY(f.errors.texts().isEmpty());
    }

    // Contents that would break a pasted statement are stored, found, changed and removed
    // exactly, and never match a neighbour; a day lists its tasks in the order they were added.
    void awkwardContents_data()
    {
        QTest::addColumn<QString>("content");
        QTest::newRow("quotes, backslash") << QStringLiteral("Tom's 'party' \"hi\" C:\\temp\\");
        QTest::newRow("wildcards, format holes") << QStringLiteral("100% _done_ %s %1");
        QTest::newRow("statement text") << QStringLiteral("x' or '1'='1");
        QTest::newRow("non-BMP, line break") << QStringLiteral("𠀀 生僻字 😀\r\n第二行");
    }
    void awkwardContents()
    {
        QFETCH(QString, content);
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(Seed(f.store, {"x"}));
        QVERIFY(f.store.AddTask(kDay, content, TaskStates::NotDone()));
        QVERIFY(f.store.AddTask(kDay, QStringLiteral("a"), TaskStates::Done()));
        QVERIFY(f.store.IsTaskPresent(kDay, content));
        QVERIFY(!f.store.IsTaskPresent(kDay, content + u'!'));
        QVERIFY(f.store.SetTaskState(kDay, content, TaskStates::InProgress()));
        QCOMPARE(f.store.CountInProgressOnDay(kDay), 1);
        QCOMPARE(f.store.CountTasksOnDay(kDay), 3);
        QStringList contents, states;
        QVERIFY(f.store.ListTasksOfDay(kDay, contents, states));
        QCOMPARE(contents, (QStringList{QStringLiteral("x"), content, QStringLiteral("a")}));
        QCOMPARE(states, (QStringList{TaskStates::NotDone(), TaskStates::InProgress(), TaskStates::Done()}));
        QVERIFY(!f.store.ListTasksOfDay(kDay.addDays(-1), contents, states)); // leaves the lists alone
        QCOMPARE(contents.size(), 3);
        QVERIFY(f.store.PostponeTask(kDay, content));
        QVERIFY(f.store.DeleteTask(kDay.addDays(1), content));
        QVERIFY(f.store.DeleteTask(kDay, content));
        QCOMPARE(Tasks(f.store),
                 (QStringList{QStringLiteral("2026-12-06 未完成 x"), QStringLiteral("2026-12-06 已完成 a")}));
        QVERIFY(f.errors.texts().isEmpty());
    }

    // A failure in the middle of a change undoes all of it, and the store goes on working; a
    // task that a day has already is refused.
    void failureMidwayLeavesNothingHalfDone()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(Seed(f.store, {"a", "b", "boom", "c"}));
        const QStringList before = Tasks(f.store);
        TableTest::Exec(f.store,
                        QStringLiteral("CREATE TRIGGER refuse_delete BEFORE DELETE ON shiqing WHEN "
                                       "old.content = 'boom' BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        QCOMPARE(f.store.DeleteTasksInPeriod(kDay, BatchScope::Day), CDataStore::DeleteOutcome::Failed);
        QCOMPARE(Tasks(f.store), before);
        // A postponement whose copy cannot be written keeps the task where it was.
        TableTest::Exec(f.store, QStringLiteral("CREATE TRIGGER refuse_insert BEFORE INSERT ON shiqing "
                                                "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        QVERIFY(!f.store.PostponeTask(kDay, QStringLiteral("a")));
        QCOMPARE(Tasks(f.store), before);
        QCOMPARE(f.errors.texts(), QStringList(2, QStringLiteral("打开事情信息表错误")));
        TableTest::Exec(f.store, QStringLiteral("DROP TRIGGER refuse_delete"));
        TableTest::Exec(f.store, QStringLiteral("DROP TRIGGER refuse_insert"));
        QVERIFY(f.store.PostponeTask(kDay, QStringLiteral("a")));
        QCOMPARE(f.store.DeleteTasksInPeriod(kDay, BatchScope::Day), CDataStore::DeleteOutcome::Deleted);
        QCOMPARE(Tasks(f.store), QStringList{QStringLiteral("2026-12-07 未完成 a")});
        QCOMPARE(f.store.DeleteTasksInPeriod(kDay, BatchScope::Day), CDataStore::DeleteOutcome::NoRows);
        QCOMPARE(f.errors.texts(), QStringList(2, QStringLiteral("打开事情信息表错误")));

        // A task is refused on a day that has it already, with a warning of the store's own.
        f.errors.clear();
        QVERIFY(f.store.AddTask(kDay, QStringLiteral("a"), TaskStates::NotDone()));
        QVERIFY(f.errors.texts().isEmpty());
        QVERIFY(!f.store.AddTask(kDay.addDays(1), QStringLiteral("a"), TaskStates::Done()));
        QCOMPARE(f.errors.texts(), QStringList{QStringLiteral("该事情已经存在，不能添加")});
        QCOMPARE(f.errors.captions(), QStringList{QStringLiteral("警告")});
        QCOMPARE(f.errors.kinds(), QList<IErrorReporter::Kind>{IErrorReporter::Kind::Error});
        QCOMPARE(Tasks(f.store),
                 (QStringList{QStringLiteral("2026-12-07 未完成 a"), QStringLiteral("2026-12-06 未完成 a")}));
    }
};

QTEST_GUILESS_MAIN(TestTaskTable)
#include "tst_tasktable.moc"
