#include "StoreFixture.h"
#include "store/ValueConvert.h"

#include <QSqlQuery>

namespace {
const QString kTaskError = QStringLiteral("打开事情信息表错误");
const QString kDay = QStringLiteral("2026-12-06");

// Appends one task row through the result set, the way the table operations do.
void AddRow(CRecordset& rs, const QString& date, const QString& content)
{
    rs.Open(QStringLiteral("select * from shiqing where date=%1").arg(SqlQuote(date)));
    rs.AddNew();
    rs.PutCollect(QStringLiteral("date"), date);
    rs.PutCollect(QStringLiteral("content"), content);
    rs.PutCollect(QStringLiteral("state"), QStringLiteral("未完成"));
    rs.Update();
    rs.Close();
}

bool Seed(TestableStore& store, const QStringList& contents)
{
    return store.RunOperation(kTaskError, [&] {
        for (const QString& c : contents)
            AddRow(store.Rs(), kDay, c);
    });
}

// "content/state" of every row \a statement gives, read through the result set.
QStringList Rows(TestableStore& store, const QString& statement = QStringLiteral("select * from shiqing"))
{
    QStringList out;
    store.RunOperation(kTaskError, [&] {
        CRecordset& rs = store.Rs();
        rs.Open(statement);
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
            out << ValueToText(rs.GetCollect(QStringLiteral("content"))) + u'/' +
                       ValueToText(rs.GetCollect(QStringLiteral("state")));
    });
    return out;
}
} // namespace

class TestRecordset : public QObject
{
    Q_OBJECT

private slots:
    // Walking past either end and reading a column not selected fail; column names are case-blind.
    void walkCountAndRead()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(Seed(f.store, {QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("c")}));
        QVERIFY(f.store.RunOperation(
            kTaskError, [&] { AddRow(f.store.Rs(), QStringLiteral("2026-12-07"), QStringLiteral("x")); }));
        QStringList seen;
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            CRecordset& rs = f.store.Rs();
            rs.Open(QStringLiteral(
                "select content, state from shiqing where date='2026-12-06' order by content"));
            QCOMPARE(rs.GetRecordCount(), 3L);
            QCOMPARE(rs.FieldNames(), (QStringList{QStringLiteral("content"), QStringLiteral("state")}));
            for (; !rs.IsEOF(); rs.MoveNext())
                seen << rs.GetCollect(QStringLiteral("CONTENT")).toString();
            QVERIFY_THROWS_EXCEPTION(CDbError, rs.MoveNext());
            QVERIFY_THROWS_EXCEPTION(CDbError, rs.GetCollect(QStringLiteral("content")));
            rs.MoveFirst();
            QVERIFY_THROWS_EXCEPTION(CDbError, rs.GetCollect(QStringLiteral("date"))); // not selected
        }));
        QCOMPARE(seen, (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
        QVERIFY(f.errors.texts().isEmpty());
    }

    // Values reach the table and come back exactly, also when a statement has to find them.
    void awkwardValuesRoundTrip_data()
    {
        QTest::addColumn<QString>("content");
        QTest::newRow("quotes") << QStringLiteral("it's Tom's '' \"hi\"");
        QTest::newRow("like wildcards") << QStringLiteral("100% _done_");
        QTest::newRow("backslash") << QStringLiteral("C:\\temp\\'x'");
        QTest::newRow("non-BMP") << QStringLiteral("𠀀 生僻字 😀");
        QTest::newRow("sql text") << QStringLiteral("x'; DROP TABLE shiqing; --");
    }
    void awkwardValuesRoundTrip()
    {
        QFETCH(QString, content);
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(Seed(f.store, {content, QStringLiteral("plain")}));
        const QString find = QStringLiteral("select * from shiqing where content=%1").arg(SqlQuote(content));
        QCOMPARE(Rows(f.store, find), QStringList{content + u"/未完成"});
        QCOMPARE(Rows(f.store), (QStringList{content + u"/未完成", QStringLiteral("plain/未完成")}));
        QVERIFY(f.errors.texts().isEmpty());
    }

    // Counting before any row is read must agree with the rows the same statement gives.
    void countBeforeReadingMatchesRows_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<long>("rows");
        QTest::newRow("ordered, text holds clause words")
            << QStringLiteral("select * from shiqing where content like '%order by%' order by date asc")
            << 2L;
        QTest::newRow("limited subquery")
            << QStringLiteral("select * from shiqing where content in (select content from shiqing order by "
                              "content limit 1) order by content")
            << 1L;
        QTest::newRow("trailing semicolon")
            << QStringLiteral("select * from shiqing where content='a' ;  ") << 1L;
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
        QVERIFY(Seed(f.store,
                     {QStringLiteral("a"), QStringLiteral("x order by y"), QStringLiteral("b"),
                      QStringLiteral("c limit 1"), QStringLiteral("it's order by"), QStringLiteral("d")}));
        long counted = -1, walked = 0;
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            CRecordset& rs = f.store.Rs();
            rs.Open(statement);
            counted = rs.GetRecordCount();
            rs.Open(statement);
            for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
                ++walked;
        }));
        QCOMPARE(walked, rows);
        QCOMPARE(counted, rows);
        QVERIFY(f.errors.texts().isEmpty());
    }

    // Appending to an unread set, then writing the new current row, then reading the table.
    void appendUpdateAndDeleteCurrent()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(Seed(f.store, {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("two")}));
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            CRecordset& rs = f.store.Rs();
            rs.Open(QStringLiteral("select * from shiqing"));
            rs.AddNew();
            rs.PutCollect(QStringLiteral("content"), QStringLiteral("three"));
            rs.Update();
            QCOMPARE(rs.GetCollect(QStringLiteral("content")).toString(), QStringLiteral("three"));
            rs.PutCollect(QStringLiteral("state"), QStringLiteral("已完成"));
            rs.Update();
            QCOMPARE(rs.GetRecordCount(), 4L);
        }));
        QVERIFY(f.store.RunOperation(kTaskError, [&] {
            CRecordset& rs = f.store.Rs();
            rs.Open(QStringLiteral("select * from shiqing where content='two'"));
            rs.PutCollect(QStringLiteral("state"), QStringLiteral("进行中"));
            QCOMPARE(rs.GetCollect(QStringLiteral("state")).toString(), QStringLiteral("进行中"));
            rs.Update();
            rs.Open(QStringLiteral("select * from shiqing"));
            rs.MoveNext();
            rs.MoveNext(); // the second "two"
            rs.Delete();
            QCOMPARE(rs.GetRecordCount(), 3L);
            QVERIFY_THROWS_EXCEPTION(CDbError, rs.GetCollect(QStringLiteral("content")));
            rs.MoveNext();
            QVERIFY(!rs.IsEOF());
            rs.MoveNext();
            QVERIFY(rs.IsEOF());
        }));
        QCOMPARE(Rows(f.store), (QStringList{QStringLiteral("one/未完成"), QStringLiteral("two/进行中"),
                                             QStringLiteral("three/已完成")}));
        QVERIFY(f.errors.texts().isEmpty());
    }

    // A failure undoes the whole operation, nested ones included, reports once per failed level
    // and leaves the store usable.
    void failedOperationsAreUndone()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(!f.store.RunOperation(kTaskError, [&] {
            for (int i = 0; i < 5; ++i)
                AddRow(f.store.Rs(), kDay, QString::number(i));
            f.store.Rs().Open(QStringLiteral("select * from no_such_table"));
        }));
        QCOMPARE(f.errors.texts(), QStringList{kTaskError});
        QVERIFY(!f.store.Rs().IsOpen());
        QVERIFY(Rows(f.store).isEmpty());
        // The outer failure undoes what a succeeded inner operation did.
        QVERIFY(!f.store.RunOperation(kTaskError, [&] {
            QVERIFY(Seed(f.store, {QStringLiteral("inner")}));
            throw CDbError{-1, QStringLiteral("outer fails")};
        }));
        QVERIFY(Rows(f.store).isEmpty());
        // A failed inner operation undoes the outer; both report.
        f.errors.clear();
        const QString outerError = QStringLiteral("打开提醒表错误");
        QVERIFY(!f.store.RunOperation(outerError, [&] {
            AddRow(f.store.Rs(), kDay, QStringLiteral("outer"));
            QVERIFY(!f.store.RunOperation(kTaskError,
                                          [&] { f.store.Rs().Open(QStringLiteral("select * from x")); }));
        }));
        QCOMPARE(f.errors.texts(), (QStringList{kTaskError, outerError}));
        QVERIFY(Rows(f.store).isEmpty());
        f.errors.clear();
        QVERIFY(Seed(f.store, {QStringLiteral("kept")}));
        QCOMPARE(Rows(f.store), QStringList{QStringLiteral("kept/未完成")});
        QVERIFY(f.errors.texts().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
