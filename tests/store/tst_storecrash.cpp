#include "CrashScript.h"
#include "StoreFixture.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>

namespace {

// Reads the file the way the next start of the program would: on a connection of its own.
// Gives the integrity check's answer and each round's rows.
QPair<QString, QList<CrashScript::Tables>> Read(const QString& path, int rounds)
{
    QPair<QString, QList<CrashScript::Tables>> out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(path);
        if (!db.open())
            return out;
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next())
            out.first = q.value(0).toString();
        auto lines = [&](const QString& sql, const QString& tag) {
            QStringList found;
            q.prepare(sql);
            q.addBindValue(tag);
            q.addBindValue(tag);
            for (q.exec(); q.next();)
                found << q.value(0).toString();
            found.sort();
            return found;
        };
        for (int r = 0; r < rounds; ++r) {
            const QString tag = CrashScript::Tag(r);
            out.second.append(
                {lines(QStringLiteral("SELECT date || ' ' || state || ' ' || content FROM shiqing "
                                      "WHERE substr(content, 1, length(?)) = ?"),
                       tag),
                 lines(QStringLiteral("SELECT date || ' ' || name FROM yljrb "
                                      "WHERE substr(name, 1, length(?)) = ?"),
                       tag)});
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    return out;
}

qsizetype ReportedSuccesses(const QByteArray& output)
{
    qsizetype n = 0;
    for (const QByteArray& line : output.split('\n')) {
        // A line cut short by the kill has no newline and is not counted.
        if (line == "ok " + QByteArray::number(n + 1))
            ++n;
    }
    return n;
}

// The operation under way when the kill came may have committed without being reported;
// nothing else may differ from what the reported operations leave.
bool Matches(const CrashScript::Tables& got, const QList<CrashScript::Op>& script, qsizetype reported)
{
    return got == CrashScript::Model(script, reported) || got == CrashScript::Model(script, reported + 1);
}

} // namespace

class TestStoreCrash : public QObject
{
    Q_OBJECT

private slots:
    // A run of operations killed at random moments leaves a sound file that holds every
    // operation that reported success, each operation whole or not at all.
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
            QVERIFY2(Matches(tables.at(round), scripts[round], reported[round]),
                     qPrintable(QString::number(round)));
        qInfo("operations reported per round: %s", qPrintable([&] {
                  QStringList parts;
                  for (qsizetype n : reported)
                      parts << QString::number(n);
                  return parts.join(QStringLiteral(", "));
              }()));
    }
};

QTEST_GUILESS_MAIN(TestStoreCrash)
#include "tst_storecrash.moc"
