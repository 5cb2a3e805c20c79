#include "StoreFixture.h"
#include "store/ValueConvert.h"

namespace {
const QString kTaskError = QStringLiteral("打开事情信息表错误");
const QString kDay = QStringLiteral("2026-12-06");

// Appends one task row through the result set, the way the table operations do.
void AddRow(CRecordset& rs, const QString& date, const QString& content)
{
    rs.Open({QStringLiteral("shiqing"), QStringLiteral("date=?"), {date}, {}});
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

TableRows Tasks(const QString& condition = {}, const QVariantList& values = {}, const QString& order = {})
{
    return {QStringLiteral("shiqing"), condition, values, order};
}

// "content/state" of every one of \a rows, read through the result set.
QStringList Rows(TestableStore& store, const TableRows& rows = Tasks())
{
    QStringList out;
    store.RunOperation(kTaskError, [&] {
        CRecordset& rs = store.Rs();
        rs.Open(rows);
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
    // A failure undoes the whole operation, nested ones included, reports once per failed level
    // and leaves the store usable.
    void failedOperationsAreUndone()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(!f.store.RunOperation(kTaskError, [&] {
            for (int i = 0; i < 5; ++i)
                AddRow(f.store.Rs(), kDay, QString::number(i));
            f.store.Rs().Open({QStringLiteral("no_such_table"), {}, {}, {}});
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
            QVERIFY(!f.store.RunOperation(kTaskError, [&] {
                f.store.Rs().Open({QStringLiteral("x"), {}, {}, {}});
            }));
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
