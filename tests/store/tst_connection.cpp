#include "StoreFixture.h"
#include "TestFiles.h"

#include <QFile>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {
// Writes a database by hand with only \a tables of ours and the journal mode given.
bool WriteForeignDatabase(const QString& path, const QString& journal, const QStringList& tables)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"foreign"_s);
        db.setDatabaseName(path);
        QSqlQuery q(db);
        ok = db.open() && q.exec(u"PRAGMA journal_mode = "_s + journal) &&
             q.exec(u"CREATE TABLE notes (text TEXT)"_s);
        for (const QString& table : tables)
            ok = ok && q.exec(u"CREATE TABLE %1 (date TEXT)"_s.arg(table));
        db.close();
    }
    QSqlDatabase::removeDatabase(u"foreign"_s);
    return ok;
}
} // namespace

class TestConnection : public QObject
{
    Q_OBJECT

private slots:
    void brokenFilesFailWithEngineText_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("engineText");
        QTest::newRow("missing") << u"missing"_s << u"unable to open database file"_s;
        QTest::newRow("folder") << u"folder"_s << u"unable to open database file"_s;
        QTest::newRow("garbage") << u"garbage"_s << u"file is not a database"_s;
    }
    void brokenFilesFailWithEngineText()
    {
        QFETCH(QString, kind);
        QFETCH(QString, engineText);
        StoreFixture f;
        if (kind == u"folder") {
            QVERIFY(QDir(f.dir.path()).mkdir(u"kstrm.db"_s));
        } else if (kind == u"garbage") {
            QVERIFY(Schema::CreateDatabaseFile(f.path, QDate(2026, 9, 1), QDate(2027, 1, 31), nullptr));
            QVERIFY(WriteAll(f.path, QByteArray(QFileInfo(f.path).size(), '\x5a')));
        }
        QVERIFY(!f.store.Connect(f.path));
        QVERIFY(!f.store.IsConnected());
        QCOMPARE(f.errors.texts(), QStringList{u"连接数据库失败!\r\n错误信息:"_s + engineText});
        // A missing file stays missing: no empty database appears in its place.
        QCOMPARE(QFileInfo::exists(f.path), kind != u"missing");
        f.errors.clear();
        QVERIFY(!f.store.RunOperation(u"打开事情信息表错误"_s, [] {}));
        QCOMPARE(f.errors.texts(), QStringList{u"打开事情信息表错误"_s});
    }

    // A file not ours is refused before anything is written: taken, every operation would fail
    // and the user's file would be changed.
    void foreignDatabaseRefusedUntouched_data()
    {
        QTest::addColumn<QString>("journal"); // empty: a file of no bytes at all
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("missing");
        QTest::newRow("empty file") << QString() << QStringList() << u"shiqing, tx, yljrb, lljrb, xiaoli"_s;
        QTest::newRow("two missing, rollback journal")
            << u"delete"_s << QStringList{u"yljrb"_s, u"LLJRB"_s, u"xiaoli"_s} << u"shiqing, tx"_s;
        QTest::newRow("one missing, write-ahead log")
            << u"wal"_s << QStringList{u"shiqing"_s, u"tx"_s, u"yljrb"_s, u"lljrb"_s} << u"xiaoli"_s;
    }
    void foreignDatabaseRefusedUntouched()
    {
        QFETCH(QString, journal);
        QFETCH(QStringList, present);
        QFETCH(QString, missing);
        StoreFixture f;
        QVERIFY(journal.isEmpty() ? WriteAll(f.path, {}) : WriteForeignDatabase(f.path, journal, present));
        const QDateTime stamp(QDate(2020, 5, 1), QTime(10, 0));
        QFile file(f.path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
        file.close();
        const QByteArray before = ReadAll(f.path);

        QVERIFY(!f.store.Connect(f.path));
        QVERIFY(!f.store.IsConnected());
        QCOMPARE(f.errors.texts(), QStringList{u"连接数据库失败!\r\n错误信息:数据库中缺少表 "_s + missing});

        QCOMPARE(ReadAll(f.path), before);
        QCOMPARE(QFileInfo(f.path).lastModified(), stamp);
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"kstrm.db"_s});
    }

    // Full sync and the date index (the write-ahead log is the compaction test's).
    void connectPreparesDatabase()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.errors.texts().isEmpty());
        QSqlQuery q(QSqlDatabase::database(f.store.ConnectionName()));
        QVERIFY(q.exec(u"PRAGMA synchronous"_s) && q.next());
        QCOMPARE(q.value(0).toInt(), 2); // FULL
        QVERIFY(q.exec(u"EXPLAIN QUERY PLAN SELECT * FROM shiqing WHERE date = '2026-12-06'"_s));
        QString plan;
        while (q.next())
            plan += q.value(3).toString();
        QVERIFY2(plan.contains(u"USING INDEX"_s), qPrintable(plan));
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
