#include "CrashScript.h"
#include "StoreFixture.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>

namespace {
// Reads the file on a connection of its own, as the next start of the program would: the
// integrity check's answer and each round's rows.
QPair<QString, QList<CrashScript::Tables>> Read(const QString& path, int rounds)
{
    QPair<QString, QList<CrashScript::Tables>> out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(path);
        QSqlQuery q(db);
        if (db.open() && q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next())
            out.first = q.value(0).toString();
        auto lines = [&](const QString& select, const QString& column, int round) {
            QStringList found;
            q.prepare(select + QStringLiteral(" WHERE substr(%1, 1, length(?)) = ?").arg(column));
            q.addBindValue(CrashScript::Tag(round));
            q.addBindValue(CrashScript::Tag(round));
            for (q.exec(); q.next();)
                found << q.value(0).toString();
            found.sort();
            return found;
        };
        for (int r = 0; r < rounds; ++r)
            out.second.append({lines(QStringLiteral("SELECT date || ' ' || state || ' ' || content FROM shiqing"),
                                     QStringLiteral("content"), r),
                               lines(QStringLiteral("SELECT date || ' ' || name FROM yljrb"), QStringLiteral("name"), r)});
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    return out;
}

qsizetype ReportedSuccesses(const QByteArray& output)
{
    qsizetype n = 0;
    for (const QByteArray& line : output.split('\n'))
        if (line == "ok " + QByteArray::number(n + 1)) // a line cut short by the kill does not count
            ++n;
    return n;
}

// The operation under way at the kill may have committed unreported; nothing else may differ.
bool Matches(const CrashScript::Tables& got, const QList<CrashScript::Op>& script, qsizetype reported)
{
    return got == CrashScript::Model(script, reported) || got == CrashScript::Model(script, reported + 1);
}
} // namespace

class TestStoreCrash : public QObject
{
    Q_OBJECT

private slots:
    // Operations killed at random moments leave a sound file that holds every operation that
    // reported success, each operation whole or not at all.
    void killedAtRandomMoments()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kstrm.db"));
        QVERIFY(Schema::CreateDatabaseFile(path, QDate(2026, 9, 1), QDate(2027, 1, 31), nullptr));
        const QString child = QCoreApplication::applicationDirPath() + QStringLiteral("/store_crash_child");
        QVERIFY(QFileInfo(child).isExecutable());
        constexpr int kRounds = 12;
        QList<qsizetype> reported;
        QList<QList<CrashScript::Op>> scripts;
        for (int round = 0; round < kRounds; ++round) {
            scripts.append(CrashScript::Build(round, 20000));
            QProcess process;
            process.start(child, {path, QString::number(round)});
            QVERIFY(process.waitForStarted());
            QVERIFY(process.waitForReadyRead(20000));
            QTest::qWait(int(QRandomGenerator::global()->bounded(20, 400)));
            process.kill(); // SIGKILL: no clean-up of any kind in the child
            QVERIFY(process.waitForFinished(20000));
            QCOMPARE(process.exitStatus(), QProcess::CrashExit);
            reported.append(ReportedSuccesses(process.readAllStandardOutput()));
            QVERIFY(reported.last() > 0);
            const auto [integrity, tables] = Read(path, round + 1);
            QCOMPARE(integrity, QStringLiteral("ok"));
            if (!Matches(tables.at(round), scripts[round], reported[round])) {
                const CrashScript::Tables expected = CrashScript::Model(scripts[round], reported[round]);
                QCOMPARE(tables.at(round).tasks, expected.tasks);
                QCOMPARE(tables.at(round).holidays, expected.holidays);
            }
        }
        // Later rounds never disturbed the earlier ones.
        const auto [integrity, tables] = Read(path, kRounds);
        QCOMPARE(integrity, QStringLiteral("ok"));
        for (int round = 0; round < kRounds; ++round)
            QVERIFY2(Matches(tables.at(round), scripts[round], reported[round]), qPrintable(QString::number(round)));
    }
};

QTEST_GUILESS_MAIN(TestStoreCrash)
#include "tst_storecrash.moc"
