#include "StoreFixture.h"
#include "TestFiles.h"

#include <QFile>
#include <QSqlQuery>

namespace {
// Writes a database by hand with only \a tables of ours and the journal mode given.
bool WriteForeignDatabase(const QString& path, const QString& journal, const QStringList& tables)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign"));
        db.setDatabaseName(path);
        QSqlQuery q(db);
        ok = db.open() && q.exec(QStringLiteral("PRAGMA journal_mode = ") + journal) &&
             q.exec(QStringLiteral("CREATE TABLE notes (text TEXT)"));
        for (const QString& table : tables)
            ok = ok && q.exec(QStringLiteral("CREATE TABLE %1 (date TEXT)").arg(table));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
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
        QTest::newRow("missing") << QStringLiteral("missing") << QStringLiteral("unable to open database file");
        QTest::newRow("folder") << QStringLiteral("folder") << QStringLiteral("unable to open database file");
        QTest::newRow("garbage") << QStringLiteral("garbage") << QStringLiteral("file is not a database");
    }
    void brokenFilesFailWithEngineText()
    {
        QFETCH(QString, kind);
        QFETCH(QString, engineText);
        StoreFixture f;
        if (kind == u"folder") {
            QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("kstrm.db")));
        } else if (kind == u"garbage") {
            QVERIFY(Schema::CreateDatabaseFile(f.path, QDate(2026, 9, 1), QDate(2027, 1, 31), nullptr));
            QVERIFY(WriteAll(f.path, QByteArray(QFileInfo(f.path).size(), '\x5a')));
        }
        QVERIFY(!f.store.Connect(f.path));
        QVERIFY(!f.store.IsConnected());
        QCOMPARE(f.errors.texts(), QStringList{QStringLiteral("连接数据库失败!\r\n错误信息:") + engineText});
        // A missing file stays missing: no empty database appears in its place.
        QCOMPARE(QFileInfo::exists(f.path), kind != u"missing");
        f.errors.clear();
        QVERIFY(!f.store.RunOperation(QStringLiteral("打开事情信息表错误"), [] {}));
        QCOMPARE(f.errors.texts(), QStringList{QStringLiteral("打开事情信息表错误")});
    }

    // A file that is not ours is refused before anything is written to it: a store that took it
    // would fail every operation afterwards, and the user's file would no longer be as it was.
    void foreignDatabaseRefusedUntouched_data()
    {
        QTest::addColumn<QString>("journal"); // empty: a file of no bytes at all
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("missing");
        QTest::newRow("empty file") << QString() << QStringList()
                                    << QStringLiteral("shiqing, tx, yljrb, lljrb, xiaoli");
        QTest::newRow("two missing, rollback journal")
            << QStringLiteral("delete")
            << QStringList{QStringLiteral("yljrb"), QStringLiteral("LLJRB"), QStringLiteral("xiaoli")}
            << QStringLiteral("shiqing, tx");
        QTest::newRow("one missing, write-ahead log")
            << QStringLiteral("wal")
            << QStringList{QStringLiteral("shiqing"), QStringLiteral("tx"), QStringLiteral("yljrb"),
                           QStringLiteral("lljrb")}
            << QStringLiteral("xiaoli");
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
        QCOMPARE(f.errors.texts(),
                 QStringList{QStringLiteral("连接数据库失败!\r\n错误信息:数据库中缺少表 ") + missing});

        QCOMPARE(ReadAll(f.path), before);
        QCOMPARE(QFileInfo(f.path).lastModified(), stamp);
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("kstrm.db")});
    }

    // Full sync and the date index. (That it runs with a write-ahead log the compaction's test
    // shows, connecting to a copy made without one.)
    void connectPreparesDatabase()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.errors.texts().isEmpty());
        QSqlQuery q(QSqlDatabase::database(f.store.ConnectionName()));
        QVERIFY(q.exec(QStringLiteral("PRAGMA synchronous")) && q.next());
        QCOMPARE(q.value(0).toInt(), 2); // FULL
        QVERIFY(q.exec(QStringLiteral("EXPLAIN QUERY PLAN SELECT * FROM shiqing WHERE date = '2026-12-06'")));
        QString plan;
        while (q.next())
            plan += q.value(3).toString();
        QVERIFY2(plan.contains(QStringLiteral("USING INDEX")), qPrintable(plan));
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
