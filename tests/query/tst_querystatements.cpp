// The task query finds exactly the rows that the statement it replaces found (kept here, as the
// dialog built it, to compare with).
#include "QueryFixture.h"
#include "store/TaskRecord.h"
#include "store/ValueConvert.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The statement the query dialog used to hand to the store.
namespace OldStatements {
QString DayText(const QDate& date)
{
    return date.toString(u"yyyy-MM-dd"_s);
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
        date = u" date>='%1' and date<='%2' "_s.arg(DayText(criteria.dtFrom), DayText(criteria.dtTo));
    QString content;
    if (criteria.bUseContent)
        content = u" content like '%"_s + SqlEscape(criteria.strContent) + u"%' "_s;
    QString state;
    if (criteria.bUseState) {
        const std::pair<bool, TaskState> pieces[] = {{criteria.bNotDone, TaskStates::NotDone()},
                                                     {criteria.bDone, TaskStates::Done()},
                                                     {criteria.bPostponed, TaskStates::Postponed()}};
        for (const auto& [ticked, name] : pieces) {
            if (ticked)
                Join(state, u" or "_s, u" state='"_s + name + u"' "_s);
        }
    }
    QString condition = date;
    Join(condition, criteria.bJoinContent ? u" and "_s : u" or "_s, content);
    Join(condition, criteria.bJoinState ? u" and "_s : u" or "_s, state);
    condition = condition.trimmed();
    QString statement = u"select * from shiqing"_s;
    if (!condition.isEmpty())
        statement += u" where "_s + condition;
    return statement + u" order by date asc"_s;
}
} // namespace OldStatements

// Contents with quotes and wildcards, days on the range's ends and just outside, every state.
const QStringList kTasks = {
    u"2009-02-28|周会|未完成"_s, u"2009-03-01|部门会议|已完成"_s, u"2009-03-15|it's done|已推迟"_s,
    u"2009-03-15|its|未完成"_s,  u"2009-03-31|50% off|进行中"_s,  u"2009-04-01|会议纪要|已完成"_s,
    u"2009-03-20|a_b|未完成"_s,  u"2009-03-20|axb|已完成"_s,      u"2009-03-02|会议 it's|已推迟"_s,
    u"2009-04-01|周报|已推迟"_s,
};

} // namespace

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
        const QString searches[] = {u"会议"_s, u"it's"_s, u"a_b"_s, u"0%o"_s, u"' or '1'='1"_s};
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
};

QTEST_GUILESS_MAIN(TestQueryStatements)
#include "tst_querystatements.moc"
