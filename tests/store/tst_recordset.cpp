#include "StoreFixture.h"
#include "store/StatementClauses.h"
#include "store/ValueConvert.h"

#include <QSqlQuery>

namespace {
const QString kTaskError = QStringLiteral("打开事情信息表错误");

// Appends one task row through the result set, the way the table operations do.
void AddRow(CRecordset& rs, const QString& date, const QString& content, const QString& state)
{
    rs.Open(QStringLiteral("select * from shiqing where date=%1").arg(SqlQuote(date)));
    rs.AddNew();
    rs.PutCollect(QStringLiteral("date"), date);
    rs.PutCollect(QStringLiteral("content"), content);
    rs.PutCollect(QStringLiteral("state"), state);
    rs.Update();
    rs.Close();
}

QStringList Contents(TestableStore& store, const QString& statement)
{
    QStringList out;
    store.RunOperation(kTaskError, [&] {
        CRecordset& rs = store.Rs();
        rs.Open(statement);
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
            out << ValueToText(rs.GetCollect(QStringLiteral("content")));
    });
    return out;
}
} // namespace

class TestRecordset : public QObject
{
    Q_OBJECT

private slots:
    void walkCountAndRead()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            for (const char* c : {"b", "a", "c"})
                AddRow(f.store.Rs(), QStringLiteral("2026-12-06"), QString::fromLatin1(c), QStringLiteral("未完成"));
            AddRow(f.store.Rs(), QStringLiteral("2026-12-07"), QStringLiteral("other day"), QStringLiteral("未完成"));
        }));
        long count = -1;
        QStringList seen;
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            CRecordset& rs = f.store.Rs();
            rs.Open(QStringLiteral("select content, state from shiqing where date='2026-12-06' order by content"));
            count = rs.GetRecordCount();
            QCOMPARE(rs.FieldNames(), (QStringList{QStringLiteral("content"), QStringLiteral("state")}));
            while (!rs.IsEOF()) {
                seen << rs.GetCollect(QStringLiteral("CONTENT")).toString(); // names are case-blind
                rs.MoveNext();
            }
            QVERIFY_THROWS_EXCEPTION(CDbError, rs.MoveNext());
            QVERIFY_THROWS_EXCEPTION(CDbError, rs.GetCollect(QStringLiteral("content")));
            rs.MoveFirst();
            QCOMPARE(rs.GetCollect(QStringLiteral("content")).toString(), QStringLiteral("a"));
            QVERIFY_THROWS_EXCEPTION(CDbError, rs.GetCollect(QStringLiteral("date"))); // not selected
        }));
        QCOMPARE(count, 3L);
        QCOMPARE(seen, (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
        QVERIFY(f.errors.texts().isEmpty());
    }

    // Values reach the table and come back exactly, also when a statement has to find them.
    void awkwardValuesRoundTrip_data()
    {
        QTest::addColumn<QString>("content");
        QTest::newRow("single quote") << QStringLiteral("it's Tom's");
        QTest::newRow("only quotes") << QStringLiteral("''");
        QTest::newRow("double quote") << QStringLiteral("say \"hi\"");
        QTest::newRow("like wildcards") << QStringLiteral("100% _done_");
        QTest::newRow("backslash") << QStringLiteral("C:\\temp\\'x'");
        QTest::newRow("non-BMP") << QStringLiteral("𠀀 生僻字 😀");
        QTest::newRow("sql text") << QStringLiteral("x'; DROP TABLE shiqing; --");
        QTest::newRow("line breaks") << QStringLiteral("a\r\nb\tc");
    }
    void awkwardValuesRoundTrip()
    {
        QFETCH(QString, content);
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            AddRow(f.store.Rs(), QStringLiteral("2026-12-06"), content, QStringLiteral("未完成"));
            AddRow(f.store.Rs(), QStringLiteral("2026-12-06"), QStringLiteral("plain"), QStringLiteral("未完成"));
        }));
        const QString find = QStringLiteral("select * from shiqing where date='2026-12-06' and content=%1");
        QCOMPARE(Contents(f.store, find.arg(SqlQuote(content))), QStringList{content});
        QCOMPARE(Contents(f.store, QStringLiteral("select * from shiqing order by rowid")),
                 (QStringList{content, QStringLiteral("plain")}));
        QVERIFY(f.errors.texts().isEmpty());
    }

    // Only the statement's own clauses count: ORDER BY or LIMIT inside a text, a quoted name,
    // a comment or a subquery must be left alone, or a count would change or fail.
    void clausesOfTheStatementItself_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("forCounting");
        QTest::addColumn<QString>("inTableOrder");
        const QString same = QStringLiteral("=");
        QTest::newRow("plain") << QStringLiteral(" where a=1") << same
                               << QStringLiteral(" where a=1\nORDER BY rowid");
        QTest::newRow("ordered") << QStringLiteral(" where a=1 order by date asc")
                                 << QStringLiteral(" where a=1 ") << same;
        QTest::newRow("mixed case, line break")
            << QStringLiteral(" Order\n  BY date") << QStringLiteral(" ") << same;
        QTest::newRow("ordered, limited") << QStringLiteral(" order by date limit 2") << same << same;
        QTest::newRow("limited only") << QStringLiteral(" where a=1 limit 2") << same
                                      << QStringLiteral(" where a=1  ORDER BY rowid limit 2");
        QTest::newRow("in a text") << QStringLiteral(" where c='it''s order by x limit 1'") << same
                                   << QStringLiteral(" where c='it''s order by x limit 1'\nORDER BY rowid");
        QTest::newRow("quoted names")
            << QStringLiteral(" where \"order by\"=1 and [limit]=2 and `x`=3") << same
            << QStringLiteral(" where \"order by\"=1 and [limit]=2 and `x`=3\nORDER BY rowid");
        QTest::newRow("comments") << QStringLiteral(" /* order by a */ where a=1 -- limit 1") << same
                                  << QStringLiteral(" /* order by a */ where a=1 -- limit 1\nORDER BY rowid");
        QTest::newRow("subquery") << QStringLiteral(" where d in (select d from t order by d limit 1)")
                                  << same
                                  << QStringLiteral(
                                         " where d in (select d from t order by d limit 1)\nORDER BY rowid");
        QTest::newRow("subquery, then order")
            << QStringLiteral(" where d in (select d from t limit 1) order by d")
            << QStringLiteral(" where d in (select d from t limit 1) ") << same;
        QTest::newRow("words that contain the keywords")
            << QStringLiteral(" where border_by=1 and limits=2") << same
            << QStringLiteral(" where border_by=1 and limits=2\nORDER BY rowid");
        QTest::newRow("order without by") << QStringLiteral(" where \"order\"=1") << same
                                          << QStringLiteral(" where \"order\"=1\nORDER BY rowid");
    }
    void clausesOfTheStatementItself()
    {
        QFETCH(QString, statement);
        QFETCH(QString, forCounting);
        QFETCH(QString, inTableOrder);
        QCOMPARE(StatementClauses::WithoutOrdering(statement), forCounting == u"=" ? statement : forCounting);
        QCOMPARE(StatementClauses::InTableOrder(statement), inTableOrder == u"=" ? statement : inTableOrder);
    }

    // Counting before any row is read is the engine's count; it must agree with the rows the
    // same statement gives, whatever clauses, quotes and comments the statement holds.
    void countBeforeReadingMatchesRows_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<long>("rows");
        QTest::newRow("whole table") << QStringLiteral("select * from shiqing") << 6L;
        QTest::newRow("ordered") << QStringLiteral(
                                        "select * from shiqing where content like '%会议%' order by date asc")
                                 << 3L;
        QTest::newRow("ordered, limited")
            << QStringLiteral("select * from shiqing order by date limit 2") << 2L;
        QTest::newRow("limit and offset")
            << QStringLiteral("select * from shiqing order by date desc limit 10 offset 4") << 2L;
        QTest::newRow("limited subquery")
            << QStringLiteral("select * from shiqing where date in (select date from shiqing order by date "
                              "limit 1) order by content")
            << 2L;
        QTest::newRow("trailing semicolon")
            << QStringLiteral("select * from shiqing where state='未完成' ;  ") << 4L;
        QTest::newRow("aggregate") << QStringLiteral(
                                          "select state, count(*) from shiqing group by state order by 2")
                                   << 3L;
        QTest::newRow("compound")
            << QStringLiteral(
                   "select date from shiqing union all select date from shiqing order by 1 limit 7")
            << 7L;
    }
    void countBeforeReadingMatchesRows()
    {
        QFETCH(QString, statement);
        QFETCH(long, rows);
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            const char* data[][3] = {
                {"2026-12-01", "部门会议", "未完成"},   {"2026-12-01", "买菜", "已完成"},
                {"2026-12-02", "家长会议", "未完成"},   {"2026-12-03", "x order by y", "未完成"},
                {"2026-12-04", "会议'纪要'", "未完成"}, {"2026-12-05", "跑步", "进行中"}};
            for (const auto& row : data)
                AddRow(f.store.Rs(), QString::fromUtf8(row[0]), QString::fromUtf8(row[1]),
                       QString::fromUtf8(row[2]));
        }));
        long counted = -1, walked = 0;
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            CRecordset& rs = f.store.Rs();
            rs.Open(statement);
            counted = rs.GetRecordCount();
            rs.Open(statement);
            for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
                ++walked;
            QCOMPARE(rs.GetRecordCount(), walked);
        }));
        QCOMPARE(walked, rows);
        QCOMPARE(counted, rows);
        QVERIFY(f.errors.texts().isEmpty());
    }

    // Appending to a set whose rows were never read does not read them; reading them later
    // shows the table as it now is, the new row included.
    void appendBeforeReading()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            AddRow(f.store.Rs(), QStringLiteral("2026-12-06"), QStringLiteral("one"),
                   QStringLiteral("未完成"));
            AddRow(f.store.Rs(), QStringLiteral("2026-12-06"), QStringLiteral("two"),
                   QStringLiteral("未完成"));
        }));
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            CRecordset& rs = f.store.Rs();
            rs.Open(QStringLiteral("select * from shiqing"));
            rs.AddNew();
            rs.PutCollect(QStringLiteral("content"), QStringLiteral("three"));
            rs.Update();
            QCOMPARE(rs.GetCollect(QStringLiteral("content")).toString(), QStringLiteral("three"));
            rs.PutCollect(QStringLiteral("state"), QStringLiteral("已完成")); // the new row is current
            rs.Update();
            QCOMPARE(rs.GetRecordCount(), 3L);
            QStringList seen;
            for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
                seen << rs.GetCollect(QStringLiteral("content")).toString() + u'/' +
                            rs.GetCollect(QStringLiteral("state")).toString();
            QCOMPARE(seen, (QStringList{QStringLiteral("one/未完成"), QStringLiteral("two/未完成"),
                                        QStringLiteral("three/已完成")}));
        }));
        QVERIFY(f.errors.texts().isEmpty());
    }

    void deleteRemovesOnlyCurrentRow()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            for (int i = 0; i < 3; ++i)
                AddRow(f.store.Rs(), QStringLiteral("2026-12-06"), QStringLiteral("same"), QStringLiteral("未完成"));
        }));
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            CRecordset& rs = f.store.Rs();
            rs.Open(QStringLiteral("select * from shiqing where content='same'"));
            rs.MoveNext(); // the middle one
            rs.Delete();
            QCOMPARE(rs.GetRecordCount(), 2L);
            QVERIFY_THROWS_EXCEPTION(CDbError, rs.GetCollect(QStringLiteral("content")));
            rs.MoveNext();
            QVERIFY(!rs.IsEOF());
            rs.MoveNext();
            QVERIFY(rs.IsEOF());
        }));
        QCOMPARE(Contents(f.store, QStringLiteral("select * from shiqing")).size(), 2);
    }

    void updateWritesPendingChanges()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            AddRow(f.store.Rs(), QStringLiteral("2026-12-06"), QStringLiteral("one"), QStringLiteral("未完成"));
            AddRow(f.store.Rs(), QStringLiteral("2026-12-06"), QStringLiteral("two"), QStringLiteral("未完成"));
        }));
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            CRecordset& rs = f.store.Rs();
            rs.Open(QStringLiteral("select * from shiqing where content='two'"));
            rs.PutCollect(QStringLiteral("state"), QStringLiteral("进行中"));
            QCOMPARE(rs.GetCollect(QStringLiteral("state")).toString(), QStringLiteral("进行中"));
            rs.Update();
        }));
        QSqlQuery q(QSqlDatabase::database(f.store.ConnectionName()));
        QVERIFY(q.exec(QStringLiteral("SELECT content, state FROM shiqing ORDER BY rowid")));
        QStringList rows;
        while (q.next())
            rows << q.value(0).toString() + u'=' + q.value(1).toString();
        QCOMPARE(rows, (QStringList{QStringLiteral("one=未完成"), QStringLiteral("two=进行中")}));
    }

    void typedValuesKeepTheirStorageClass()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            CRecordset& rs = f.store.Rs();
            rs.Open(QStringLiteral("select * from tx"));
            rs.AddNew();
            rs.PutCollect(QStringLiteral("year"), 2026);
            rs.PutCollect(QStringLiteral("hour"), 7);
            rs.PutCollect(QStringLiteral("title"), QStringLiteral("起床"));
            rs.Update();
        }));
        short year = 0, minute = -1;
        QDateTime termStart;
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            CRecordset& rs = f.store.Rs();
            rs.Open(QStringLiteral("select * from tx"));
            year = ValueToShort(rs.GetCollect(QStringLiteral("year")));
            minute = ValueToShort(rs.GetCollect(QStringLiteral("minute"))); // never written: NULL
            rs.Open(QStringLiteral("select * from xiaoli"));
            termStart = ValueToDate(rs.GetCollect(QStringLiteral("date")));
        }));
        QCOMPARE(year, short(2026));
        QCOMPARE(minute, short(0));
        QCOMPARE(termStart, QDateTime(QDate(2026, 9, 1), QTime(0, 0)));
    }

    // A failure in the middle of an operation undoes all of it and leaves the store usable.
    void failedOperationIsUndone()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(!f.store.RunOperation(kTaskError, [&] {
            for (int i = 0; i < 5; ++i)
                AddRow(f.store.Rs(), QStringLiteral("2026-12-06"), QString::number(i), QStringLiteral("未完成"));
            f.store.Rs().Open(QStringLiteral("select * from no_such_table"));
        }));
        QCOMPARE(f.errors.texts(), QStringList{kTaskError});
        QVERIFY(!f.store.Rs().IsOpen());
        QVERIFY(Contents(f.store, QStringLiteral("select * from shiqing")).isEmpty());

        // The next operations open the shared result set again and work as usual.
        f.errors.clear();
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            f.store.Rs().Open(QStringLiteral("select * from shiqing"));
            AddRow(f.store.Rs(), QStringLiteral("2026-12-06"), QStringLiteral("kept"), QStringLiteral("未完成"));
        }));
        QCOMPARE(Contents(f.store, QStringLiteral("select * from shiqing")), QStringList{QStringLiteral("kept")});
        QVERIFY(f.errors.texts().isEmpty());
    }

    void nestedOperationsShareOneTransaction()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        // An operation may call an existence test before it opens its own statement; the
        // outer failure still undoes what the inner part did.
        QVERIFY(!f.store.RunOperation(kTaskError, [&] {
            QVERIFY(f.store.RunOperation(kTaskError, [&] {
                AddRow(f.store.Rs(), QStringLiteral("2026-12-06"), QStringLiteral("inner"), QStringLiteral("未完成"));
            }));
            throw CDbError{-1, QStringLiteral("outer fails")};
        }));
        QVERIFY(Contents(f.store, QStringLiteral("select * from shiqing")).isEmpty());
    }

    void failedInnerOperationUndoesTheOuter()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        const QString outerError = QStringLiteral("打开提醒表错误");
        QVERIFY(!f.store.RunOperation(outerError, [&] {
            AddRow(f.store.Rs(), QStringLiteral("2026-12-06"), QStringLiteral("outer"), QStringLiteral("未完成"));
            QVERIFY(!f.store.RunOperation(kTaskError, [&] { f.store.Rs().Open(QStringLiteral("select * from nowhere")); }));
        }));
        // Both report, and nothing of either stays.
        QCOMPARE(f.errors.texts(), (QStringList{kTaskError, outerError}));
        QVERIFY(Contents(f.store, QStringLiteral("select * from shiqing")).isEmpty());
    }

    void aggregateSetIsReadOnly()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            AddRow(f.store.Rs(), QStringLiteral("2026-12-06"), QStringLiteral("x"), QStringLiteral("未完成"));
        }));
        qlonglong n = -1;
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            f.store.Rs().Open(QStringLiteral("select count(*) as n from shiqing"));
            n = f.store.Rs().GetCollect(QStringLiteral("n")).toLongLong();
        }));
        QCOMPARE(n, 1LL);
        QVERIFY(!f.store.RunOperation(kTaskError, [&] {
            f.store.Rs().Open(QStringLiteral("select count(*) as n from shiqing"));
            f.store.Rs().PutCollect(QStringLiteral("n"), 5);
        }));
        QCOMPARE(f.errors.texts(), QStringList{kTaskError});
    }

    void addNewThenDeleteStoresNothing()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            CRecordset& rs = f.store.Rs();
            rs.Open(QStringLiteral("select * from shiqing"));
            rs.AddNew();
            rs.PutCollect(QStringLiteral("content"), QStringLiteral("dropped"));
            rs.Delete();
            QVERIFY(rs.IsEOF());
            QCOMPARE(rs.GetRecordCount(), 0L);
        }));
        QVERIFY(Contents(f.store, QStringLiteral("select * from shiqing")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
