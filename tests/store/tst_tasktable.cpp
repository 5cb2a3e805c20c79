#include "StoreFixture.h"

using namespace Qt::StringLiterals;

using TableTest::Tasks;

namespace {
const QDate kDay(2026, 12, 6);
const QString kA = u"A"_s;
} // namespace

class TestTaskTable : public QObject
{
    Q_OBJECT

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
        QTest::newRow("year end") << QDate(2009, 12, 31) << TaskStates::InProgress() << u"2010-01-01"_s;
        QTest::newRow("28 Feb, leap year") << QDate(2008, 2, 28) << TaskStates::Done() << u"2008-02-29"_s;
        QTest::newRow("28 Feb, common year")
            << QDate(2009, 2, 28) << TaskStates::NotDone() << u"2009-03-01"_s;
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
        const QStringList moved = {nextDay + u" 未完成 A"_s, day.toString(Qt::ISODate) + u" 已推迟 A"_s};
        QCOMPARE(Tasks(f.store), moved);
        QVERIFY(f.errors.texts().isEmpty());
        QVERIFY(!f.store.PostponeTask(day, kA));
        QCOMPARE(f.errors.texts(), QStringList{u"事情已经存在于第二天了\r\n不能推迟请删除"_s});
        QCOMPARE(f.errors.captions(), QStringList{u"提示"_s});
        QCOMPARE(f.errors.kinds(), QList<IErrorReporter::Kind>{IErrorReporter::Kind::Information});
        QCOMPARE(Tasks(f.store), moved);
        QVERIFY(f.store.DeleteTask(day.addDays(1), kA));
        QVERIFY(f.store.PostponeTask(day, kA));
        QCOMPARE(Tasks(f.store), moved);
        // A task that is not there is refused without a message.
        f.errors.clear();
        QVERIFY(!f.store.PostponeTask(day, u"B"_s));
        QVERIFY(!f.store.DeleteTask(day, u"B"_s));
        QVERIFY(!f.store.SetTaskState(day, u"B"_s, TaskStates::Done()));
        QVERIFY(f.errors.texts().isEmpty());
    }

    // Contents that would break a pasted statement are stored, found, changed and removed
    // exactly, and never match a neighbour; a day lists its tasks in the order they were added.
    void awkwardContents_data()
    {
        QTest::addColumn<QString>("content");
        QTest::newRow("quotes, backslash") << u"Tom's 'party' \"hi\" C:\\temp\\"_s;
        QTest::newRow("wildcards, format holes") << u"100% _done_ %s %1"_s;
        QTest::newRow("statement text") << u"x' or '1'='1"_s;
        QTest::newRow("non-BMP, line break") << u"𠀀 生僻字 😀\r\n第二行"_s;
    }
    void awkwardContents()
    {
        QFETCH(QString, content);
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(Seed(f.store, {"x"}));
        QVERIFY(f.store.AddTask(kDay, content, TaskStates::NotDone()));
        QVERIFY(f.store.AddTask(kDay, u"a"_s, TaskStates::Done()));
        QVERIFY(f.store.IsTaskPresent(kDay, content));
        QVERIFY(!f.store.IsTaskPresent(kDay, content + u'!'));
        QVERIFY(f.store.SetTaskState(kDay, content, TaskStates::InProgress()));
        QCOMPARE(f.store.CountInProgressOnDay(kDay), 1);
        QCOMPARE(f.store.CountTasksOnDay(kDay), 3);
        QStringList contents, states;
        QVERIFY(f.store.ListTasksOfDay(kDay, contents, states));
        QCOMPARE(contents, (QStringList{u"x"_s, content, u"a"_s}));
        QCOMPARE(states, (QStringList{TaskStates::NotDone(), TaskStates::InProgress(), TaskStates::Done()}));
        QVERIFY(!f.store.ListTasksOfDay(kDay.addDays(-1), contents, states)); // leaves the lists alone
        QCOMPARE(contents.size(), 3);
        QVERIFY(f.store.PostponeTask(kDay, content));
        QVERIFY(f.store.DeleteTask(kDay.addDays(1), content));
        QVERIFY(f.store.DeleteTask(kDay, content));
        QCOMPARE(Tasks(f.store), (QStringList{u"2026-12-06 未完成 x"_s, u"2026-12-06 已完成 a"_s}));
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
        QVERIFY(!f.store.PostponeTask(kDay, u"a"_s));
        QCOMPARE(Tasks(f.store), before);
        QCOMPARE(f.errors.texts(), QStringList(2, u"打开事情信息表错误"_s));
        TableTest::Exec(f.store, u"DROP TRIGGER refuse_delete"_s);
        TableTest::Exec(f.store, u"DROP TRIGGER refuse_insert"_s);
        QVERIFY(f.store.PostponeTask(kDay, u"a"_s));
        QCOMPARE(f.store.DeleteTasksInPeriod(kDay, BatchScope::Day), CDataStore::DeleteOutcome::Deleted);
        QCOMPARE(Tasks(f.store), QStringList{u"2026-12-07 未完成 a"_s});
        QCOMPARE(f.store.DeleteTasksInPeriod(kDay, BatchScope::Day), CDataStore::DeleteOutcome::NoRows);
        QCOMPARE(f.errors.texts(), QStringList(2, u"打开事情信息表错误"_s));

        // A task is refused on a day that has it already, with a warning of the store's own.
        f.errors.clear();
        QVERIFY(f.store.AddTask(kDay, u"a"_s, TaskStates::NotDone()));
        QVERIFY(f.errors.texts().isEmpty());
        QVERIFY(!f.store.AddTask(kDay.addDays(1), u"a"_s, TaskStates::Done()));
        QCOMPARE(f.errors.texts(), QStringList{u"该事情已经存在，不能添加"_s});
        QCOMPARE(f.errors.captions(), QStringList{u"警告"_s});
        QCOMPARE(f.errors.kinds(), QList<IErrorReporter::Kind>{IErrorReporter::Kind::Error});
        QCOMPARE(Tasks(f.store), (QStringList{u"2026-12-07 未完成 a"_s, u"2026-12-06 未完成 a"_s}));
    }
};

QTEST_GUILESS_MAIN(TestTaskTable)
#include "tst_tasktable.moc"
