#include "CrashScript.h"
#include "KillAtRandom.h"
#include "store/Schema.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// The file read as the next start would: the integrity check's answer and each round's rows.
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
            out.second.append(
                {lines(QStringLiteral("SELECT date || ' ' || state || ' ' || content FROM shiqing"),
                       QStringLiteral("content"), r),
                 lines(QStringLiteral("SELECT date || ' ' || name FROM yljrb"), QStringLiteral("name"), r)});
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    return out;
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
    // Kills at random moments leave a sound file with every reported operation, each whole or not.
    void killedAtRandomMoments()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kstrm.db"));
        QVERIFY(Schema::CreateDatabaseFile(path, QDate(2026, 9, 1), QDate(2027, 1, 31), nullptr));
        constexpr int kRounds = 12;
        QList<qsizetype> reported;
        QList<QList<CrashScript::Op>> scripts;
        for (int round = 0; round < kRounds; ++round)
            scripts.append(CrashScript::Build(round));
        KillAtRandom::Run(
            "store_crash_child", kRounds, 120,
            [&](int round) {
                return QStringList{path, QString::number(round)};
            },
            [&](int round, qsizetype n) {
                reported.append(n);
                const auto [integrity, tables] = Read(path, round + 1);
                QCOMPARE(integrity, QStringLiteral("ok"));
                if (!Matches(tables.at(round), scripts[round], n)) {
                    const CrashScript::Tables expected = CrashScript::Model(scripts[round], n);
                    QCOMPARE(tables.at(round).tasks, expected.tasks);
                    QCOMPARE(tables.at(round).holidays, expected.holidays);
                }
            });
        // Later rounds never disturbed the earlier ones.
        const auto [integrity, tables] = Read(path, kRounds);
        QCOMPARE(integrity, QStringLiteral("ok"));
        for (int round = 0; round < kRounds; ++round)
            QVERIFY2(Matches(tables.at(round), scripts[round], reported[round]),
                     qPrintable(QString::number(round)));
    }
};

QTEST_GUILESS_MAIN(TestStoreCrash)
#include "tst_storecrash.moc"
