// The statements of the task query and the batch delete, and the statistics' figures: the
// texts character for character, and what the statements find in a real table.
#include "QueryFixture.h"
#include "query/QueryStatements.h"
#include "query/TaskStatistics.h"

#include <QtTest>

namespace {

TaskQueryCriteria Dates(const QDate& from, const QDate& to)
{
    TaskQueryCriteria c;
    c.bUseDate = true;
    c.dtFrom = from;
    c.dtTo = to;
    return c;
}

TaskQueryCriteria Content(const QString& text, TaskQueryCriteria c = {})
{
    c.bUseContent = true;
    c.strContent = text;
    return c;
}

TaskQueryCriteria States(bool bNotDone, bool bDone, bool bPostponed, TaskQueryCriteria c = {})
{
    c.bUseState = true;
    c.bNotDone = bNotDone;
    c.bDone = bDone;
    c.bPostponed = bPostponed;
    return c;
}

const QStringList kTasks = {
    QStringLiteral("2009-02-28|周会|未完成"),         QStringLiteral("2009-03-01|部门会议|已完成"),
    QStringLiteral("2009-03-15|it's done|已推迟"),   QStringLiteral("2009-03-15|its|未完成"),
    QStringLiteral("2009-03-31|50% off|进行中"),     QStringLiteral("2009-04-01|会议纪要|已完成"),
    QStringLiteral("2009-03-20|a_b|未完成"),         QStringLiteral("2009-03-20|axb|已完成"),
};

} // namespace

Q_DECLARE_METATYPE(TaskQueryCriteria)
Q_DECLARE_METATYPE(BatchScope)
Q_DECLARE_METATYPE(TaskCounts)

class TestQueryStatements : public QObject
{
    Q_OBJECT

private slots:
    void taskQuery_data()
    {
        QTest::addColumn<TaskQueryCriteria>("criteria");
        QTest::addColumn<QString>("statement");
        const QDate from(2009, 3, 1), to(2009, 3, 31);
        QTest::newRow("content only") << Content(QStringLiteral("会议"))
                                      << "select * from shiqing where content like '%会议%' order by date asc";
        TaskQueryCriteria precedence = States(true, true, false, Dates(from, to));
        precedence.bJoinState = true;
        QTest::newRow("dates and two states") << precedence
                                              << "select * from shiqing where date>='2009-03-01' and date<='2009-03-31' "
                                                 " and  state='未完成'  or  state='已完成' order by date asc";
        QTest::newRow("no criterion") << TaskQueryCriteria() << "select * from shiqing order by date asc";
        QTest::newRow("state row, no state") << States(false, false, false)
                                             << "select * from shiqing order by date asc";
        TaskQueryCriteria joins = States(false, false, true);
        joins.bJoinContent = joins.bJoinState = true;
        QTest::newRow("joins before the first part") << joins
                                                     << "select * from shiqing where state='已推迟' order by date asc";
        TaskQueryCriteria hidden = Content(QStringLiteral("x"), Dates(from, to));
        hidden.bJoinDate = true;
        QTest::newRow("date join box unused, content or")
            << hidden
            << "select * from shiqing where date>='2009-03-01' and date<='2009-03-31'  or  content like '%x%' "
               "order by date asc";
        QTest::newRow("quote doubled") << Content(QStringLiteral("it's"))
                                       << "select * from shiqing where content like '%it''s%' order by date asc";
    }
    void taskQuery()
    {
        QFETCH(TaskQueryCriteria, criteria);
        QFETCH(QString, statement);
        QCOMPARE(QueryStatements::BuildTaskQuery(criteria), statement);
    }

    // What the statements find: the database's precedence, both ends of a range, quotes and
    // wildcards in the search text.
    void taskQueryFinds_data()
    {
        QTest::addColumn<TaskQueryCriteria>("criteria");
        QTest::addColumn<QStringList>("dates");
        QTest::addColumn<QStringList>("contents");
        const QDate from(2009, 3, 1), to(2009, 3, 31);
        TaskQueryCriteria precedence = States(true, true, false, Dates(from, to));
        precedence.bJoinState = true;
        // (in March and not done) or done: the April task comes along.
        QTest::newRow("and before or") << precedence
                                       << QStringLiteral("2009-03-01 2009-03-15 2009-03-20 2009-03-20 2009-04-01").split(u' ')
                                       << QStringList{QStringLiteral("部门会议"), QStringLiteral("its"), QStringLiteral("a_b"),
                                                      QStringLiteral("axb"), QStringLiteral("会议纪要")};
        QTest::newRow("both ends in") << Dates(QDate(2009, 2, 28), QDate(2009, 3, 1))
                                      << QStringLiteral("2009-02-28 2009-03-01").split(u' ')
                                      << QStringList{QStringLiteral("周会"), QStringLiteral("部门会议")};
        QTest::newRow("reversed range") << Dates(to, from) << QStringList() << QStringList();
        QTest::newRow("quote") << Content(QStringLiteral("it's")) << QStringList{QStringLiteral("2009-03-15")}
                               << QStringList{QStringLiteral("it's done")};
        QTest::newRow("underscore is a wildcard") << Content(QStringLiteral("a_b"))
                                                  << QStringLiteral("2009-03-20 2009-03-20").split(u' ')
                                                  << QStringList{QStringLiteral("a_b"), QStringLiteral("axb")};
        QTest::newRow("percent is a wildcard") << Content(QStringLiteral("0%o")) << QStringList{QStringLiteral("2009-03-31")}
                                               << QStringList{QStringLiteral("50% off")};
        QTest::newRow("quote cannot rewrite") << Content(QStringLiteral("' or '1'='1")) << QStringList() << QStringList();
    }
    void taskQueryFinds()
    {
        QFETCH(TaskQueryCriteria, criteria);
        QFETCH(QStringList, dates);
        QFETCH(QStringList, contents);
        QueryFixture f;
        QVERIFY(f.ready && f.add(kTasks));
        const QString statement = QueryStatements::BuildTaskQuery(criteria);
        QStringList foundDates, foundContents, states;
        QCOMPARE(f.store.CountTasksBySql(statement), int(dates.size()));
        if (!dates.isEmpty()) {
            QVERIFY(f.store.ListTasksBySql(statement, foundDates, foundContents, states));
            // Tasks of one day come in either order.
            QStringList found, expected;
            for (qsizetype i = 0; i < foundDates.size(); ++i)
                found << foundDates[i] + u'|' + foundContents[i];
            for (qsizetype i = 0; i < dates.size(); ++i)
                expected << dates[i] + u'|' + contents[i];
            QCOMPARE(foundDates, dates);
            found.sort();
            expected.sort();
            QCOMPARE(found, expected);
        }
        QCOMPARE(f.errors.texts(), QStringList());
    }

    // The statement text, and what it removes from a real table: each period's first and last
    // day go, the days just outside it stay.
    void batchDelete_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<BatchScope>("scope");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("left");
        const QString select = QStringLiteral("select * from shiqing where ");
        QTest::newRow("year") << QDate(2010, 6, 15) << BatchScope::Year
                              << select + "date<'2011-01-01' and date>='2010-01-01'"
                              << QStringLiteral("2009-12-31 2011-01-01");
        QTest::newRow("September") << QDate(2010, 9, 30) << BatchScope::Month
                                   << select + "date<'2010-10-01' and date>='2010-09-01'"
                                   << QStringLiteral("2009-12-31 2010-08-31 2010-10-01 2010-12-01 2010-12-31 2011-01-01");
        QTest::newRow("December") << QDate(2010, 12, 1) << BatchScope::Month
                                  << select + "date<'2010-13-01' and date>='2010-12-01'"
                                  << QStringLiteral("2009-12-31 2010-08-31 2010-09-01 2010-09-30 2010-10-01 2011-01-01");
        QTest::newRow("day") << QDate(2010, 9, 30) << BatchScope::Day << select + "date='2010-09-30'"
                             << QStringLiteral("2009-12-31 2010-08-31 2010-09-01 2010-10-01 2010-12-01 2010-12-31 "
                                               "2011-01-01");
    }
    void batchDelete()
    {
        QFETCH(QDate, date);
        QFETCH(BatchScope, scope);
        QFETCH(QString, statement);
        QFETCH(QString, left);
        QCOMPARE(QueryStatements::BuildBatchDelete(date, scope), statement);
        QueryFixture f;
        QStringList tasks;
        for (const char* day : {"2009-12-31", "2010-08-31", "2010-09-01", "2010-09-30", "2010-10-01", "2010-12-01",
                                "2010-12-31", "2011-01-01"})
            tasks << QLatin1String(day) + QStringLiteral("|t|未完成");
        QVERIFY(f.ready && f.add(tasks));
        QVERIFY(f.store.DeleteTasksBySql(statement));
        QStringList days;
        for (const QString& task : f.all())
            days << task.section(u'|', 0, 0);
        QCOMPARE(days.join(u' '), left);
        QCOMPARE(f.errors.texts(), QStringList());
    }

    void figures_data()
    {
        QTest::addColumn<TaskCounts>("all");
        QTest::addColumn<QStringList>("rateTexts");
        QTest::addColumn<QList<int>>("degrees");
        QTest::newRow("a third each") << TaskCounts{3, 1, 1, 1}
                                      << QStringList{QStringLiteral("未完成率: 33.33%"), QStringLiteral("已完成率: 33.33%"),
                                                     QStringLiteral("已推迟率: 33.33%")}
                                      << QList<int>{119, 119, 119};
        QTest::newRow("in progress counts in the total only")
            << TaskCounts{8, 7, 0, 0}
            << QStringList{QStringLiteral("未完成率: 87.50%"), QStringLiteral("已完成率: 0.00%"),
                           QStringLiteral("已推迟率: 0.00%")}
            << QList<int>{315, 0, 0};
        QTest::newRow("no task") << TaskCounts{}
                                 << QStringList{QStringLiteral("未完成率: 0.00%"), QStringLiteral("已完成率: 0.00%"),
                                                QStringLiteral("已推迟率: 0.00%")}
                                 << QList<int>{0, 0, 0};
        QTest::newRow("all done") << TaskCounts{2, 0, 2, 0}
                                  << QStringList{QStringLiteral("未完成率: 0.00%"), QStringLiteral("已完成率: 100.00%"),
                                                 QStringLiteral("已推迟率: 0.00%")}
                                  << QList<int>{0, 360, 0};
        QTest::newRow("a half and a quarter") << TaskCounts{4, 2, 1, 0}
                                              << QStringList{QStringLiteral("未完成率: 50.00%"), QStringLiteral("已完成率: 25.00%"),
                                                             QStringLiteral("已推迟率: 0.00%")}
                                              << QList<int>{180, 90, 0};
        QTest::newRow("two thirds") << TaskCounts{3, 2, 0, 1}
                                    << QStringList{QStringLiteral("未完成率: 66.67%"), QStringLiteral("已完成率: 0.00%"),
                                                   QStringLiteral("已推迟率: 33.33%")}
                                    << QList<int>{239, 0, 119};
    }
    void figures()
    {
        QFETCH(TaskCounts, all);
        QFETCH(QStringList, rateTexts);
        QFETCH(QList<int>, degrees);
        const auto rates = TaskStatistics::Rates(all);
        for (int c = 0; c < 3; ++c) {
            const auto column = TaskStatistics::Column(c);
            QCOMPARE(TaskStatistics::RateText(column, rates[size_t(c)]), rateTexts[c]);
            QCOMPARE(TaskStatistics::SliceDegrees(rates[size_t(c)]), degrees[c]);
        }
        QCOMPARE(TaskStatistics::CountText(all.nNotDone, all.nTotal),
                 QStringLiteral("%1/%2").arg(all.nNotDone).arg(all.nTotal));
    }
};

QTEST_GUILESS_MAIN(TestQueryStatements)
#include "tst_querystatements.moc"
