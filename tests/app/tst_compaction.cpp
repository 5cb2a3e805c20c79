// Compacting the database: the file shrinks and keeps every row, or, when anything goes wrong,
// stays exactly as it was with the store still open on it.
#include "Recorders.h"
#include "app/Compaction.h"
#include "store/DataStore.h"
#include "store/Schema.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlRecord>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

struct Fixture {
    QTemporaryDir root;
    QString db = root.filePath(QStringLiteral("kstrm.db"));
    QString temp = root.filePath(QStringLiteral("temp.db"));
    ErrorRecorder errors;
    CDataStore store{&errors};

    bool Open(int nTasks)
    {
        if (!Schema::CreateDatabaseFile(db, QDate(2027, 2, 20), QDate(2027, 7, 10), nullptr) || !store.Connect(db))
            return false;
        QSqlDatabase conn = QSqlDatabase::database(store.ConnectionName());
        conn.transaction();
        QSqlQuery insert(conn);
        insert.prepare(QStringLiteral("INSERT INTO shiqing (date, content, state) VALUES (?, ?, ?)"));
        for (int i = 0; i < nTasks; ++i) {
            insert.addBindValue(QDate(2027, 1, 1).addDays(i % 365).toString(Qt::ISODate));
            insert.addBindValue(QStringLiteral("批改三班的作业，第 %1 次").arg(i));
            insert.addBindValue(i % 3 ? QStringLiteral("已完成") : QStringLiteral("未完成"));
            if (!insert.exec())
                return false;
        }
        return conn.commit() && store.AddReminder(QDateTime(QDate(2027, 3, 1), QTime(8, 0)), 1, 1,
                                                  QStringLiteral("早读"), QStringLiteral("七点五十到教室"));
    }
    bool Exec(const QString& sql) { return QSqlQuery(QSqlDatabase::database(store.ConnectionName())).exec(sql); }
    /// Every row of every table, sorted: what the user would miss if anything were lost.
    QStringList Rows()
    {
        QStringList rows;
        QSqlQuery query(QSqlDatabase::database(store.ConnectionName()));
        for (const char* table : {"shiqing", "tx", "yljrb", "lljrb", "xiaoli"}) {
            if (!query.exec(QStringLiteral("SELECT * FROM ") + QLatin1String(table)))
                return {QStringLiteral("<%1 unreadable>").arg(QLatin1String(table))};
            while (query.next()) {
                QStringList fields{QLatin1String(table)};
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
    // A copy left by an earlier compaction that was cut short is no reason to refuse.
    void shrinksAndKeepsEveryRow_data()
    {
        QTest::addColumn<bool>("staleCopy");
        QTest::newRow("clean folder") << false;
        QTest::newRow("stale temp.db") << true;
    }
    void shrinksAndKeepsEveryRow()
    {
        QFETCH(bool, staleCopy);
        Fixture f;
        QVERIFY(f.Open(20000));
        QVERIFY(f.Exec(QStringLiteral("DELETE FROM shiqing WHERE rowid % 10 <> 0")));
        QVERIFY(f.Checkpoint());
        if (staleCopy) {
            QFile stale(f.temp);
            QVERIFY(stale.open(QIODevice::WriteOnly) && stale.write("half a database") > 0);
        }
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
        QVERIFY(!QFileInfo::exists(f.temp));
        QCOMPARE(rows.filter(QRegularExpression(QStringLiteral("^shiqing\\|"))).size(), 2000);
        QCOMPARE(f.Rows(), rows);
        // The private file stays private, and the store works on the new file as before.
        QCOMPARE(QFile::permissions(f.db), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
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
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("temp.db is a folder") << QStringLiteral("folder");
        QTest::newRow("another program has the file open") << QStringLiteral("other connection");
        QTest::newRow("read-only data folder") << QStringLiteral("read-only");
    }
    void failureLeavesDatabaseAsItWas()
    {
        QFETCH(QString, obstacle);
        if (obstacle == QStringLiteral("read-only") && ::geteuid() == 0)
            QSKIP("root writes into a read-only folder all the same");
        Fixture f;
        QVERIFY(f.Open(3000));
        QVERIFY(f.Exec(QStringLiteral("DELETE FROM shiqing WHERE rowid % 2 = 0")));
        QVERIFY(f.Checkpoint());
        const QString otherName = QStringLiteral("other-program");
        if (obstacle == QStringLiteral("folder")) {
            QVERIFY(QDir(f.root.path()).mkdir(QStringLiteral("temp.db")));
        } else if (obstacle == QStringLiteral("other connection")) {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), otherName);
            other.setDatabaseName(f.db);
            QVERIFY(other.open());
            QVERIFY(QSqlQuery(other).exec(QStringLiteral("SELECT count(*) FROM shiqing")));
        } else {
            QVERIFY(QFile::setPermissions(f.root.path(), QFile::ReadOwner | QFile::ExeOwner));
        }
        const QByteArray bytes = ReadAll(f.db);
        const QStringList rows = f.Rows();

        const Compaction::Result result = Compaction::CompactStore(f.store);
        QFile::setPermissions(f.root.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (QSqlDatabase::contains(otherName)) {
            QSqlDatabase::database(otherName).close();
            QSqlDatabase::removeDatabase(otherName);
        }

        QCOMPARE(result.outcome, Compaction::Outcome::Failed);
        QVERIFY2(!result.strError.isEmpty(), "the user is told why");
        QCOMPARE(ReadAll(f.db), bytes);
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
