#include "StoreFixture.h"

#include <QFile>
#include <QSqlQuery>
#include <unistd.h>

namespace {
const QString kPrefix = QStringLiteral("连接数据库失败!\r\n错误信息:");
}

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
        QTest::newRow("empty text file with header damage")
            << QStringLiteral("header") << QStringLiteral("file is not a database");
        QTest::newRow("unreadable") << QStringLiteral("unreadable") << QStringLiteral("unable to open database file");
    }
    void brokenFilesFailWithEngineText()
    {
        QFETCH(QString, kind);
        QFETCH(QString, engineText);
        if (kind == QStringLiteral("unreadable") && ::geteuid() == 0)
            QSKIP("file permissions do not apply to root");
        StoreFixture f;
        if (kind == QStringLiteral("folder")) {
            QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("kstrm.db")));
        } else if (kind != QStringLiteral("missing")) {
            QVERIFY(Schema::CreateDatabaseFile(f.path, QDate(2026, 9, 1), QDate(2027, 1, 31), nullptr));
            QFile file(f.path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            if (kind == QStringLiteral("garbage"))
                file.write(QByteArray(int(file.size()), '\x5a'));
            else if (kind == QStringLiteral("header"))
                file.write("Not a SQLite file at all");
            file.close();
            if (kind == QStringLiteral("unreadable"))
                QVERIFY(file.setPermissions({}));
        }
        QVERIFY(!f.store.Connect(f.path));
        QVERIFY(!f.store.IsConnected());
        QCOMPARE(f.errors.texts().size(), 1);
        QCOMPARE(f.errors.texts().first(), kPrefix + engineText);
        // A missing file stays missing: no empty database appears in its place.
        if (kind == QStringLiteral("missing"))
            QVERIFY(!QFileInfo::exists(f.path));
        // An operation on the unconnected store reports its table message and does nothing.
        f.errors.clear();
        QVERIFY(!f.store.RunOperation(QStringLiteral("打开事情信息表错误"), [] {}));
        QCOMPARE(f.errors.texts(), QStringList{QStringLiteral("打开事情信息表错误")});
    }

    void connectPreparesDatabase()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.errors.texts().isEmpty());
        QSqlDatabase db = QSqlDatabase::database(f.store.ConnectionName());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("wal"));
        QVERIFY(q.exec(QStringLiteral("PRAGMA synchronous")) && q.next());
        QCOMPARE(q.value(0).toInt(), 2); // FULL
        // The day lookups use an index rather than a scan of every task.
        QVERIFY(q.exec(QStringLiteral("EXPLAIN QUERY PLAN SELECT * FROM shiqing WHERE date = '2026-12-06'")));
        QString plan;
        while (q.next())
            plan += q.value(3).toString();
        QVERIFY2(plan.contains(QStringLiteral("USING INDEX")), qPrintable(plan));
    }

    void indexesAreAddedToAnOlderDatabase()
    {
        StoreFixture f;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("plain"));
            db.setDatabaseName(f.path);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE shiqing (date TEXT, content TEXT, state TEXT)")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("plain"));
        // Only shiqing exists; the indexes of the missing tables are simply not made.
        QVERIFY(f.store.Connect(f.path));
        QSqlQuery q(QSqlDatabase::database(f.store.ConnectionName()));
        QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='index' AND tbl_name='shiqing'")));
        QVERIFY(q.next());
        QVERIFY(q.value(0).toInt() >= 1);
    }

    void reconnectAfterClose()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        f.store.Close();
        QVERIFY(!f.store.IsConnected());
        QVERIFY(f.store.Connect(f.path));
        QVERIFY(f.store.IsConnected());
        QVERIFY(f.errors.texts().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
