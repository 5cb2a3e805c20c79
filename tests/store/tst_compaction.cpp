// Compacting: the file shrinks and keeps every row, or stays exactly as it was, still open.
#include "FullDisk.h"
#include "StoreFixture.h"
#include "TestFiles.h"
#include "store/Compaction.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct Fixture : StoreFixture
{
    QString db = path;
    QString temp = dir.filePath(u"temp.db"_s);

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
        return store.AddReminder(QDateTime(QDate(2027, 3, 1), QTime(8, 0)), 1, 1, u"早读"_s,
                                 u"七点五十到教室"_s);
    }
    bool Exec(const QString& sql) { return TableTest::Exec(store, sql).isActive(); }
    /// Every row of every table: what the user would miss if anything were lost.
    QStringList Rows() { return AllRows(store, Schema::StoredTableNames()); }
    /// Folds the log into the file, so that the file alone holds the database.
    bool Checkpoint() { return Exec(u"PRAGMA wal_checkpoint(TRUNCATE)"_s); }
};

} // namespace

class TestCompaction : public QObject
{
    Q_OBJECT

private slots:
    // A leftover copy is no reason to refuse; a link of its name goes, and the copy is made in the
    // data folder: the database never ends up outside it, nor as a link.
    void shrinksAndKeepsEveryRow_data()
    {
        QTest::addColumn<QString>("leftover");
        QTest::newRow("clean folder") << QString();
        QTest::newRow("stale temp.db") << u"stale copy"_s;
        QTest::newRow("dangling temp.db link") << u"dangling link"_s;
        QTest::newRow("temp.db link to a file") << u"link"_s;
    }
    void shrinksAndKeepsEveryRow()
    {
        QFETCH(QString, leftover);
        Fixture f;
        QVERIFY(f.Open(20000));
        QVERIFY(f.Exec(u"DELETE FROM shiqing WHERE rowid % 10 <> 0"_s));
        // An export binds every row's UID, which the compacted file keeps (Rows() has them).
        QCOMPARE(f.store.ExportItems({}, {}, [](const ExchangeItem&) { return true; }),
                 CDataStore::ExchangeOutcome::Done);
        QVERIFY(f.Checkpoint());
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath(u"outside.db"_s);
        if (leftover == u"stale copy"_s)
            QVERIFY(WriteAll(f.temp, "half a database"));
        else if (!leftover.isEmpty())
            QVERIFY((leftover != u"link"_s || WriteAll(outside, {})) && QFile::link(outside, f.temp));
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
                 qPrintable(u"%1 -> %2"_s.arg(sizeBefore).arg(QFileInfo(f.db).size())));
        QVERIFY(!QFileInfo::exists(f.temp) && !QFileInfo(f.temp).isSymLink());
        QVERIFY(!QFileInfo(f.db).isSymLink());
        QCOMPARE(QFileInfo::exists(outside), leftover == u"link"_s);
        QCOMPARE(QFileInfo(outside).size(), 0);
        QCOMPARE(f.Rows(), rows);
        // The private file stays private, and the store works on the new file as before.
        QCOMPARE(QFile::permissions(f.db),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QVERIFY(f.store.AddTask(QDate(2027, 5, 4), u"班会"_s, u"未完成"_s));
        QVERIFY(f.store.IsTaskPresent(QDate(2027, 5, 4), u"班会"_s));
        QSqlQuery mode(QSqlDatabase::database(f.store.ConnectionName()));
        QVERIFY(mode.exec(u"PRAGMA journal_mode"_s) && mode.next());
        QCOMPARE(mode.value(0).toString(), u"wal"_s);
    }

    // The file byte for byte as it was, no copy of ours left, the store still working.
    void failureLeavesDatabaseAsItWas_data()
    {
        // What failed and that the database is as it was, then the engine's or system's words.
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("message");
        QTest::newRow("temp.db is a folder")
            << u"folder"_s << u"不能建立压缩用的临时文件 temp.db，数据库没有改动。\r\n错误信息:File exists"_s;
        QTest::newRow("another program has the file open")
            << u"other connection"_s << u"数据库正被其他程序使用，请关闭它以后再压缩，数据库没有改动。"_s;
        QTest::newRow("read-only data folder")
            << u"read-only"_s
            << QStringLiteral(
                   "不能建立压缩用的临时文件 temp.db，数据库没有改动。\r\n错误信息:Permission denied");
        QTest::newRow("copy lacks a row")
            << u"short copy"_s << u"压缩后的数据库与原数据库的记录数不同，数据库没有改动。"_s;
        QTest::newRow("full disk")
            << u"full disk"_s
            << QStringLiteral(
                   "压缩数据库失败，数据库没有改动。\r\n错误信息:database or disk is full\r\n磁盘空间已满");
    }
    void failureLeavesDatabaseAsItWas()
    {
        QFETCH(QString, obstacle);
        if (obstacle == u"read-only"_s && ::geteuid() == 0)
            QSKIP("root writes into a read-only folder all the same");
        Fixture f;
        std::unique_ptr<FullDisk> disk;
        if (obstacle == u"full disk"_s) {
            disk = std::make_unique<FullDisk>(f.dir.path(), "4m");
            if (!disk->IsMounted())
                QSKIP(qPrintable(disk->WhyNot()));
        }
        QVERIFY(f.Open(3000));
        QVERIFY(f.Exec(u"DELETE FROM shiqing WHERE rowid % 2 = 0"_s));
        QVERIFY(f.Checkpoint());
        const QString otherName = u"other-program"_s;
        if (obstacle == u"folder"_s) {
            QVERIFY(QDir(f.dir.path()).mkdir(u"temp.db"_s));
        } else if (obstacle == u"other connection"_s) {
            QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, otherName);
            other.setDatabaseName(f.db);
            QVERIFY(other.open());
            QVERIFY(QSqlQuery(other).exec(u"SELECT count(*) FROM shiqing"_s));
        } else if (obstacle == u"read-only"_s) {
            QVERIFY(QFile::setPermissions(f.dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        } else if (obstacle == u"short copy"_s) {
            Compaction::SetCopyHookForTests([](const QString& copyPath) {
                {
                    QSqlDatabase copy = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"copy"_s);
                    copy.setDatabaseName(copyPath);
                    if (copy.open())
                        QSqlQuery(copy).exec(u"DELETE FROM shiqing WHERE rowid = 1"_s);
                    copy.close();
                }
                QSqlDatabase::removeDatabase(u"copy"_s);
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
        QCOMPARE(QFileInfo(f.temp).isDir(), obstacle == u"folder"_s);
        QCOMPARE(QFileInfo::exists(f.temp), obstacle == u"folder"_s);
        QVERIFY(f.store.IsConnected());
        QCOMPARE(f.Rows(), rows);
        // The copy is written unsynced; the store's own writes are synced in full again.
        QSqlQuery synchronous(QSqlDatabase::database(f.store.ConnectionName()));
        QVERIFY(synchronous.exec(u"PRAGMA synchronous"_s) && synchronous.next());
        QCOMPARE(synchronous.value(0).toInt(), 2);
        QVERIFY(f.store.AddTask(QDate(2027, 5, 4), u"班会"_s, u"未完成"_s));
        QVERIFY(f.errors.texts().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCompaction)
#include "tst_compaction.moc"
