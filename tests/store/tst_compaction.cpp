// Compacting the database: the file shrinks and keeps every row, or, when anything goes wrong,
// stays exactly as it was with the store still open on it.
#include "FullDisk.h"
#include "StoreFixture.h"
#include "TestFiles.h"
#include "exchange/ExchangeItem.h"
#include "store/Compaction.h"

#include <QSqlRecord>
#include <memory>
#include <unistd.h>

namespace {

struct Fixture : StoreFixture
{
    QString db = path;
    QString temp = dir.filePath(QStringLiteral("temp.db"));

    bool Open(int nTasks)
    {
        if (!StoreFixture::Open())
            return false;
        if (!Exec(
                QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                               "INSERT INTO shiqing SELECT date('2027-01-01', '+' || (i % 365) || ' days'), "
                               "'批改三班的作业，第 ' || i || ' 次', iif(i % 3, '已完成', '未完成') FROM n")
                    .arg(nTasks - 1)))
            return false;
        return store.AddReminder(QDateTime(QDate(2027, 3, 1), QTime(8, 0)), 1, 1, QStringLiteral("早读"),
                                 QStringLiteral("七点五十到教室"));
    }
    bool Exec(const QString& sql) { return TableTest::Exec(store, sql).isActive(); }
    /// Every row of every table, sorted: what the user would miss if anything were lost.
    QStringList Rows()
    {
        QStringList rows;
        QSqlQuery query(QSqlDatabase::database(store.ConnectionName()));
        for (const QString& table : Schema::StoredTableNames()) {
            if (!query.exec(QStringLiteral("SELECT * FROM ") + table))
                return {QStringLiteral("<%1 unreadable>").arg(table)};
            while (query.next()) {
                QStringList fields{table};
                for (int i = 0; i < query.record().count(); ++i)
                    fields << query.value(i).toString();
                rows << fields.join(u'|');
            }
        }
        rows.sort();
        return rows;
    }
    /// Folds the log into the file, so that the file alone holds the database.
    bool Checkpoint() { return Exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")); }
};

} // namespace

class TestCompaction : public QObject
{
    Q_OBJECT

private slots:
    // A copy left by an earlier compaction that was cut short is no reason to refuse; a link of
    // its name, planted or dangling, goes, and the copy is made in the data folder all the same:
    // the database never ends up outside it, nor as a link.
    void shrinksAndKeepsEveryRow_data()
    {
        QTest::addColumn<QString>("leftover");
        QTest::newRow("clean folder") << QString();
        QTest::newRow("stale temp.db") << QStringLiteral("stale copy");
        QTest::newRow("dangling temp.db link") << QStringLiteral("dangling link");
        QTest::newRow("temp.db link to a file") << QStringLiteral("link");
    }
    void shrinksAndKeepsEveryRow()
    {
        QFETCH(QString, leftover);
        Fixture f;
        QVERIFY(f.Open(20000));
        QVERIFY(f.Exec(QStringLiteral("DELETE FROM shiqing WHERE rowid % 10 <> 0")));
        // An export binds every row's UID, which the compacted file keeps (Rows() has them).
        QCOMPARE(f.store.ExportItems({}, {}, [](const ExchangeItem&) { return true; }),
                 CDataStore::ExchangeOutcome::Done);
        QVERIFY(f.Checkpoint());
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath(QStringLiteral("outside.db"));
        if (leftover == QStringLiteral("stale copy"))
            QVERIFY(WriteAll(f.temp, "half a database"));
        else if (!leftover.isEmpty())
            QVERIFY((leftover != QStringLiteral("link") || WriteAll(outside, {})) &&
                    QFile::link(outside, f.temp));
        QVERIFY(QFile::setPermissions(f.db, QFile::ReadOwner | QFile::WriteOwner));
        const QStringList rows = f.Rows();
        const qint64 sizeBefore = QFileInfo(f.db).size();

        const Compaction::Result result = Compaction::CompactStore(f.store);
        QCOMPARE(result.outcome, Compaction::Outcome::Compacted);
        QCOMPARE(result.strError, QString());
        QVERIFY(f.errors.texts().isEmpty());

        QVERIFY(f.store.IsConnected());
        QVERIFY(f.Checkpoint());
        QVERIFY2(QFileInfo(f.db).size() < sizeBefore / 3,
                 qPrintable(QStringLiteral("%1 -> %2").arg(sizeBefore).arg(QFileInfo(f.db).size())));
        QVERIFY(!QFileInfo::exists(f.temp) && !QFileInfo(f.temp).isSymLink());
        QVERIFY(!QFileInfo(f.db).isSymLink());
        QCOMPARE(QFileInfo::exists(outside), leftover == QStringLiteral("link"));
        QCOMPARE(QFileInfo(outside).size(), 0);
        QCOMPARE(f.Rows(), rows);
        // The private file stays private, and the store works on the new file as before.
        QCOMPARE(QFile::permissions(f.db),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QVERIFY(f.store.AddTask(QDate(2027, 5, 4), QStringLiteral("班会"), QStringLiteral("未完成")));
        QVERIFY(f.store.IsTaskPresent(QDate(2027, 5, 4), QStringLiteral("班会")));
        QSqlQuery mode(QSqlDatabase::database(f.store.ConnectionName()));
        QVERIFY(mode.exec(QStringLiteral("PRAGMA journal_mode")) && mode.next());
        QCOMPARE(mode.value(0).toString(), QStringLiteral("wal"));
    }

    // Whatever stops the compaction, the database file is byte for byte what it was, no copy of
    // ours is left, and the store still works on it.
    void failureLeavesDatabaseAsItWas_data()
    {
        // The user reads what failed and that the database is as it was, then the engine's or
        // the system's words.
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("message");
        QTest::newRow("temp.db is a folder")
            << QStringLiteral("folder")
            << QStringLiteral("不能建立压缩用的临时文件 temp.db，数据库没有改动。\r\n错误信息:File exists");
        QTest::newRow("another program has the file open")
            << QStringLiteral("other connection")
            << QStringLiteral("数据库正被其他程序使用，请关闭它以后再压缩，数据库没有改动。");
        QTest::newRow("read-only data folder")
            << QStringLiteral("read-only")
            << QStringLiteral(
                   "不能建立压缩用的临时文件 temp.db，数据库没有改动。\r\n错误信息:Permission denied");
        QTest::newRow("copy lacks a row")
            << QStringLiteral("short copy")
            << QStringLiteral("压缩后的数据库与原数据库的记录数不同，数据库没有改动。");
        QTest::newRow("full disk")
            << QStringLiteral("full disk")
            << QStringLiteral(
                   "压缩数据库失败，数据库没有改动。\r\n错误信息:database or disk is full\r\n磁盘空间已满");
    }
    void failureLeavesDatabaseAsItWas()
    {
        QFETCH(QString, obstacle);
        if (obstacle == QStringLiteral("read-only") && ::geteuid() == 0)
            QSKIP("root writes into a read-only folder all the same");
        Fixture f;
        std::unique_ptr<FullDisk> disk;
        if (obstacle == QStringLiteral("full disk")) {
            disk = std::make_unique<FullDisk>(f.dir.path(), "4m");
            if (!disk->IsMounted())
                QSKIP(qPrintable(disk->WhyNot()));
        }
        QVERIFY(f.Open(3000));
        QVERIFY(f.Exec(QStringLiteral("DELETE FROM shiqing WHERE rowid % 2 = 0")));
        QVERIFY(f.Checkpoint());
        const QString otherName = QStringLiteral("other-program");
        if (obstacle == QStringLiteral("folder")) {
            QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("temp.db")));
        } else if (obstacle == QStringLiteral("other connection")) {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), otherName);
            other.setDatabaseName(f.db);
            QVERIFY(other.open());
            QVERIFY(QSqlQuery(other).exec(QStringLiteral("SELECT count(*) FROM shiqing")));
        } else if (obstacle == QStringLiteral("read-only")) {
            QVERIFY(QFile::setPermissions(f.dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        } else if (obstacle == QStringLiteral("short copy")) {
            Compaction::SetCopyHookForTests([](const QString& copyPath) {
                {
                    QSqlDatabase copy =
                        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("copy"));
                    copy.setDatabaseName(copyPath);
                    if (copy.open())
                        QSqlQuery(copy).exec(QStringLiteral("DELETE FROM shiqing WHERE rowid = 1"));
                    copy.close();
                }
                QSqlDatabase::removeDatabase(QStringLiteral("copy"));
            });
        } else {
            QVERIFY(disk->Fill());
        }
        const QByteArray bytes = ReadAll(f.db);
        const QStringList rows = f.Rows();

        const Compaction::Result result = Compaction::CompactStore(f.store);
        Compaction::SetCopyHookForTests({});
        QFile::setPermissions(f.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (QSqlDatabase::contains(otherName)) {
            QSqlDatabase::database(otherName).close();
            QSqlDatabase::removeDatabase(otherName);
        }

        QCOMPARE(result.outcome, Compaction::Outcome::Failed);
        QTEST(result.strError, "message");
        QCOMPARE(ReadAll(f.db), bytes);
        if (disk)
            QVERIFY(disk->Free());
        QCOMPARE(QFileInfo(f.temp).isDir(), obstacle == QStringLiteral("folder"));
        QCOMPARE(QFileInfo::exists(f.temp), obstacle == QStringLiteral("folder"));
        QVERIFY(f.store.IsConnected());
        QCOMPARE(f.Rows(), rows);
        QVERIFY(f.store.AddTask(QDate(2027, 5, 4), QStringLiteral("班会"), QStringLiteral("未完成")));
        QVERIFY(f.errors.texts().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCompaction)
#include "tst_compaction.moc"
