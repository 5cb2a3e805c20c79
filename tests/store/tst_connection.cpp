#include "StoreFixture.h"

#include <QFile>
#include <QSqlQuery>

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
            QFile file(f.path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            file.write(QByteArray(int(file.size()), '\x5a'));
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

    void connectPreparesDatabase()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.errors.texts().isEmpty());
        QSqlQuery q(QSqlDatabase::database(f.store.ConnectionName()));
        QVERIFY(q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("wal"));
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
