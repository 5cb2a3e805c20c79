// The task query and the batch delete find exactly the rows that the statements they replace
// found (those are kept here, as the dialogs built them, to compare with).
#include "QueryFixture.h"
#include "store/TaskRecord.h"
#include "store/ValueConvert.h"

#include <QtTest>

namespace {

// The statements the query and the batch delete dialogs used to hand to the store.
namespace OldStatements {
QString DayText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}
QString MonthText(int nMonth)
{
    return QStringLiteral("%1").arg(nMonth, 2, 10, QLatin1Char('0'));
}
void Join(QString& condition, const QString& join, const QString& part)
{
    if (!part.isEmpty())
        condition = condition.isEmpty() ? part : condition + join + part;
}
QString BuildTaskQuery(const TaskQueryCriteria& criteria)
{
    QString date;
    if (criteria.bUseDate)
        date = QStringLiteral(" date>='%1' and date<='%2' ")
                   .arg(DayText(criteria.dtFrom), DayText(criteria.dtTo));
    QString content;
    if (criteria.bUseContent)
        content = QStringLiteral(" content like '%") + SqlEscape(criteria.strContent) + QStringLiteral("%' ");
    QString state;
    if (criteria.bUseState) {
        const std::pair<bool, TaskState> pieces[] = {{criteria.bNotDone, TaskStates::NotDone()},
                                                     {criteria.bDone, TaskStates::Done()},
                                                     {criteria.bPostponed, TaskStates::Postponed()}};
        for (const auto& [ticked, name] : pieces) {
            if (ticked)
                Join(state, QStringLiteral(" or "), QStringLiteral(" state='") + name + QStringLiteral("' "));
        }
    }
    QString condition = date;
    Join(condition, criteria.bJoinContent ? QStringLiteral(" and ") : QStringLiteral(" or "), content);
    Join(condition, criteria.bJoinState ? QStringLiteral(" and ") : QStringLiteral(" or "), state);
    condition = condition.trimmed();
    QString statement = QStringLiteral("select * from shiqing");
    if (!condition.isEmpty())
        statement += QStringLiteral(" where ") + condition;
    return statement + QStringLiteral(" order by date asc");
}
QString BuildBatchDelete(const QDate& date, BatchScope scope)
{
    const QString select = QStringLiteral("select * from shiqing where ");
    const int nYear = date.year();
    switch (scope) {
    case BatchScope::Year:
        return select + QStringLiteral("date<'%1-01-01' and date>='%2-01-01'").arg(nYear + 1).arg(nYear);
    case BatchScope::Month:
        return select + QStringLiteral("date<'%1-%2-01' and date>='%3-%4-01'")
                            .arg(QString::number(nYear), MonthText(date.month() + 1), QString::number(nYear),
                                 MonthText(date.month()));
    case BatchScope::Day:
        break;
    }
    return select + QStringLiteral("date='%1'").arg(DayText(date));
}
} // namespace OldStatements

// Contents with quotes and wildcards, days on the range's ends and just outside, every state.
const QStringList kTasks = {
    QStringLiteral("2009-02-28|周会|未完成"),      QStringLiteral("2009-03-01|部门会议|已完成"),
    QStringLiteral("2009-03-15|it's done|已推迟"), QStringLiteral("2009-03-15|its|未完成"),
    QStringLiteral("2009-03-31|50% off|进行中"),   QStringLiteral("2009-04-01|会议纪要|已完成"),
    QStringLiteral("2009-03-20|a_b|未完成"),       QStringLiteral("2009-03-20|axb|已完成"),
    QStringLiteral("2009-03-02|会议 it's|已推迟"), QStringLiteral("2009-04-01|周报|已推迟"),
};

} // namespace

Q_DECLARE_METATYPE(BatchScope)

class TestQueryStatements : public QObject
{
    Q_OBJECT

private slots:
    // Every combination of the nine boxes; search texts with quotes and wildcards and date ranges
    // forwards, backwards and on their ends take turns, so that each combination of the rows in
    // use meets every text and every range: the same tasks, ordered by date.
    void queryFindsWhatItsStatementFound()
    {
        QueryFixture f;
        QVERIFY(f.ready && f.add(kTasks));
        const QString searches[] = {QStringLiteral("会议"), QStringLiteral("it's"), QStringLiteral("a_b"),
                                    QStringLiteral("0%o"), QStringLiteral("' or '1'='1")};
        const QDate ranges[][2] = {{QDate(2009, 3, 1), QDate(2009, 3, 31)},
                                   {QDate(2009, 3, 31), QDate(2009, 3, 1)},
                                   {QDate(2009, 2, 28), QDate(2009, 3, 1)}};
        QStringList differences;
        int nonEmpty = 0;
        for (int boxes = 0; boxes < 512; ++boxes) {
            TaskQueryCriteria c;
            bool* flags[] = {&c.bUseDate,   &c.bUseContent, &c.bUseState,    &c.bNotDone,  &c.bDone,
                             &c.bPostponed, &c.bJoinDate,   &c.bJoinContent, &c.bJoinState};
            for (int i = 0; i < 9; ++i)
                *flags[i] = boxes & (1 << i);
            c.strContent = searches[boxes % 5];
            c.dtFrom = ranges[boxes % 3][0];
            c.dtTo = ranges[boxes % 3][1];
            const QString statement = OldStatements::BuildTaskQuery(c);
            QStringList expected = f.rows(statement), dates, contents, states, found;
            const int count = f.store.CountTasks(c);
            const bool listed = f.store.ListTasks(c, dates, contents, states);
            for (qsizetype i = 0; i < dates.size(); ++i)
                found << dates[i] + u'|' + contents[i] + u'|' + states[i];
            // Tasks of one day may come in either order.
            const auto day = [](const QString& a, const QString& b) { return a.left(10) == b.left(10); };
            const bool byDate = std::equal(found.begin(), found.end(), expected.begin(), expected.end(), day);
            // The grid's way: the ids in date order, then the tasks read back by id.
            std::vector<TaskId> ids;
            std::vector<TaskRecord> tasks;
            QStringList byId;
            if (f.store.ListTaskIds(c, ids) && f.store.ReadTasks(ids.data(), ids.size(), tasks)) {
                for (const TaskRecord& task : tasks)
                    byId << task.strDate + u'|' + task.strContent + u'|' + task.strState;
            }
            const bool idsByDate =
                std::equal(byId.begin(), byId.end(), expected.begin(), expected.end(), day);
            found.sort();
            byId.sort();
            expected.sort();
            if (count != expected.size() || listed != !expected.isEmpty() || found != expected || !byDate ||
                byId != expected || !idsByDate)
                differences << statement;
            nonEmpty += !expected.isEmpty();
        }
        QCOMPARE(differences, QStringList());
        QVERIFY(nonEmpty > 200); // the table and the criteria tell the combinations apart
        QCOMPARE(f.errors.texts(), QStringList());
    }

    // Reading takes no write lock: while another program holds it, the query, the statistics and
    // the reading back by id answer at once, from the table as it was before that program's change.
    void readsWhileAnotherProgramWrites()
    {
        QueryFixture f;
        QVERIFY(f.ready &&
                f.add({QStringLiteral("2010-01-02|b|未完成"), QStringLiteral("2010-01-01|a|已完成")}));
        f.store.SetBusyTimeout(50);
        const QString name = QStringLiteral("other program");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(f.path);
            QSqlQuery other(db);
            QVERIFY(db.open() && other.exec(QStringLiteral("BEGIN IMMEDIATE")) &&
                    other.exec(QStringLiteral("INSERT INTO shiqing VALUES ('2010-01-01', 'new', '未完成')")));
            const TaskQueryCriteria every;
            std::vector<TaskId> ids;
            std::vector<TaskRecord> tasks;
            QVERIFY(f.store.ListTaskIds(every, ids) && f.store.ReadTasks(ids.data(), ids.size(), tasks));
            QCOMPARE(f.store.CountTasks(every), 2);
            QCOMPARE(tasks.size(), size_t(2));
            QCOMPARE(tasks[0].strContent + tasks[1].strContent, QStringLiteral("ab"));
            int total = 0, notDone = 0, done = 0, postponed = 0;
            QVERIFY(f.store.CountAllTasks(total, notDone, done, postponed));
            QCOMPARE(QList<int>({total, notDone, done}), QList<int>({2, 1, 1}));
            QCOMPARE(f.errors.texts(), QStringList());
            QVERIFY(other.exec(QStringLiteral("ROLLBACK")));
        }
        QSqlDatabase::removeDatabase(name);
    }

    // What the statement found goes, all else stays: each period's first and last day go, the
    // days just outside it stay, and a period without tasks is told from a failure.
    void deleteRemovesWhatItsStatementFound_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<BatchScope>("scope");
        QTest::addColumn<QString>("left");
        QTest::newRow("year") << QDate(2010, 6, 15) << BatchScope::Year
                              << QStringLiteral("2009-12-31 2011-01-01");
        QTest::newRow("September")
            << QDate(2010, 9, 30) << BatchScope::Month
            << QStringLiteral("2009-12-31 2010-08-31 2010-10-01 2010-12-01 2010-12-31 2011-01-01");
        QTest::newRow("December") << QDate(2010, 12, 1) << BatchScope::Month
                                  << QStringLiteral(
                                         "2009-12-31 2010-08-31 2010-09-01 2010-09-30 2010-10-01 2011-01-01");
        QTest::newRow("day") << QDate(2010, 9, 30) << BatchScope::Day
                             << QStringLiteral(
                                    "2009-12-31 2010-08-31 2010-09-01 2010-10-01 2010-12-01 2010-12-31 "
                                    "2011-01-01");
        QTest::newRow("empty month") << QDate(2010, 11, 11) << BatchScope::Month
                                     << QStringLiteral(
                                            "2009-12-31 2010-08-31 2010-09-01 2010-09-30 2010-10-01 "
                                            "2010-12-01 2010-12-31 2011-01-01");
    }
    void deleteRemovesWhatItsStatementFound()
    {
        QFETCH(QDate, date);
        QFETCH(BatchScope, scope);
        QFETCH(QString, left);
        QueryFixture f;
        QStringList tasks;
        for (const char* day : {"2009-12-31", "2010-08-31", "2010-09-01", "2010-09-30", "2010-10-01",
                                "2010-12-01", "2010-12-31", "2011-01-01"})
            tasks << QLatin1String(day) + QStringLiteral("|t|未完成");
        QVERIFY(f.ready && f.add(tasks));
        const QStringList found = f.rows(OldStatements::BuildBatchDelete(date, scope));
        QCOMPARE(f.store.DeleteTasksInPeriod(date, scope),
                 found.isEmpty() ? CDataStore::DeleteOutcome::NoRows : CDataStore::DeleteOutcome::Deleted);
        QStringList days, expected = f.all();
        for (const QString& task : found)
            expected.removeOne(task);
        QCOMPARE(f.all(), expected);
        for (const QString& task : f.all())
            days << task.section(u'|', 0, 0);
        QCOMPARE(days.join(u' '), left);
        QCOMPARE(f.errors.texts(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestQueryStatements)
#include "tst_querystatements.moc"
