// The rules of the day's tasks, without any window.
#include "mainwnd/TaskRules.h"

#include <QtTest>

namespace {
const TaskState kNotDone = TaskStates::NotDone(), kDone = TaskStates::Done(),
                kPostponed = TaskStates::Postponed(), kInProgress = TaskStates::InProgress();
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
    void editableDate_data()
    {
        QTest::addColumn<QDateTime>("shown");
        QTest::addColumn<bool>("editable");
        QTest::newRow("today, picked") << kNow.date().startOfDay() << true;
        QTest::newRow("exactly a day before now") << kNow.addDays(-1) << true;
        QTest::newRow("a moment more") << kNow.addDays(-1).addMSecs(-1) << false;
        QTest::newRow("yesterday, picked") << kNow.date().addDays(-1).startOfDay() << false;
    }
    void editableDate()
    {
        QFETCH(QDateTime, shown);
        QFETCH(bool, editable);
        QCOMPARE(TaskRules::IsEditableDate(shown, kNow), editable);
    }

    // One task in progress a day. "state" is both the state the dialog would set and the
    // state of the row a double click starts or finishes.
    void oneInProgress_data()
    {
        QTest::addColumn<QString>("state"); // empty: no row chosen
        QTest::addColumn<int>("inProgress");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<bool>("maySet");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("next");
        using Q = TaskRules::QuickChange;
        QTest::newRow("start") << kNotDone << 0 << true << true << int(Q::SetState) << kInProgress;
        QTest::newRow("finish; not again") << kInProgress << 1 << true << false << int(Q::SetState) << kDone;
        QTest::newRow("another going") << kPostponed << 1 << true << true << int(Q::Refused) << QString();
        QTest::newRow("none going") << kInProgress << 0 << true << true << int(Q::SetState) << kDone;
        QTest::newRow("past date") << kDone << 0 << false << true << int(Q::Nothing) << QString();
        QTest::newRow("no row chosen") << QString() << 0 << true << true << int(Q::Nothing) << QString();
    }
    void oneInProgress()
    {
        QFETCH(QString, state);
        QFETCH(int, inProgress);
        QFETCH(bool, editable);
        QFETCH(bool, maySet);
        QFETCH(int, kind);
        QFETCH(QString, next);
        QCOMPARE(TaskRules::MayChooseState(inProgress, state), maySet);
        std::optional<TaskRow> row;
        if (!state.isEmpty())
            row = TaskRow{QStringLiteral("读书"), state};
        const TaskRules::QuickChange change = TaskRules::DoubleClick(row, editable, inProgress);
        QCOMPARE(int(change.kind), kind);
        QCOMPARE(change.strNext, next);
    }

    // Two tasks in progress are possible (adding does not check): exit resets the first, the
    // marker stands at the last.
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
        QFETCH(QString, reset);
        QFETCH(int, marker);
        const std::optional<TaskRow> task = TaskRules::TaskResetAtExit(Rows(tasks));
        QCOMPARE(task ? task->strContent : QString(), reset);
        QCOMPARE(TaskRules::MarkerRow(Rows(tasks), true), marker);
        QCOMPARE(TaskRules::MarkerRow(Rows(tasks), false), -1);
    }
};

QTEST_GUILESS_MAIN(TestTaskRules)
#include "tst_taskrules.moc"
