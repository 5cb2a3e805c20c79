#include "mainwnd/TaskRules.h"

#include <QtTest>

namespace {
const TaskState kDone = TaskStates::Done(), kInProgress = TaskStates::InProgress();
const QDateTime kNow(QDate(2026, 12, 7), QTime(10, 30));

// "content:state" for each task, the way the data columns give them.
QList<TaskRow> Rows(const QStringList& tasks)
{
    QList<TaskRow> rows;
    for (const QString& task : tasks)
        rows.append({task.section(u':', 0, 0), task.section(u':', 1)});
    return rows;
}
} // namespace

class TestTaskRules : public QObject
{
    Q_OBJECT

private slots:
    void editableDate()
    {
        QVERIFY(TaskRules::IsEditableDate(kNow.addDays(-1), kNow));
        QVERIFY(!TaskRules::IsEditableDate(kNow.addDays(-1).addMSecs(-1), kNow));
    }

    // A double click finishes a row in progress even on a damaged day, and does nothing without one.
    void quickChange()
    {
        using Q = TaskRules::QuickChange;
        const Q finish = TaskRules::DoubleClick(TaskRow{QStringLiteral("读书"), kInProgress}, true, 0);
        QCOMPARE(int(finish.kind), int(Q::SetState));
        QCOMPARE(finish.strNext, kDone);
        QCOMPARE(int(TaskRules::DoubleClick(std::nullopt, true, 0).kind), int(Q::Nothing));
    }

    // Two tasks in progress (adding does not check): exit resets the first, the marker is the last.
    void resetAtExitAndMarker_data()
    {
        QTest::addColumn<QStringList>("tasks");
        QTest::addColumn<QString>("reset");
        QTest::addColumn<int>("marker");
        QTest::newRow("none") << QStringList{QStringLiteral("甲:未完成")} << QString() << -1;
        QTest::newRow("two") << QStringList{QStringLiteral("甲:已完成"), QStringLiteral("乙:进行中"),
                                            QStringLiteral("丙:进行中")}
                             << QStringLiteral("乙") << 2;
        QTest::newRow("empty day") << QStringList{} << QString() << -1;
    }
    void resetAtExitAndMarker()
    {
        QFETCH(QStringList, tasks);
        const std::optional<TaskRow> task = TaskRules::TaskResetAtExit(Rows(tasks));
        QTEST(task ? task->strContent : QString(), "reset");
        QTEST(TaskRules::MarkerRow(Rows(tasks), true), "marker");
        QCOMPARE(TaskRules::MarkerRow(Rows(tasks), false), -1);
    }
};

QTEST_GUILESS_MAIN(TestTaskRules)
#include "tst_taskrules.moc"
