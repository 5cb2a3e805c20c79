#pragma once

// The large task database the benchmarks run on.

#include "store/Schema.h"

#include <QDate>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>

namespace BenchData {

/// Writes a new database at \a path with \a tasks tasks on random days from \a first to \a last
/// and the school term \a termStart .. \a termEnd. Contents look like a planner's: short
/// phrases, about one in twenty mentioning a meeting (会议), inserted in random day order so
/// that table order and date order differ as they do in use. The same arguments always give
/// the same database.
inline bool BuildTaskDatabase(const QString& path, int tasks, const QDate& first, const QDate& last,
                              const QDate& termStart, const QDate& termEnd)
{
    if (!Schema::CreateDatabaseFile(path, termStart, termEnd, nullptr))
        return false;
    const QStringList phrases = {
        QStringLiteral("买菜"),         QStringLiteral("跑步五公里"), QStringLiteral("读书笔记"),
        QStringLiteral("给妈妈打电话"), QStringLiteral("备课"),       QStringLiteral("批改作业"),
        QStringLiteral("交电费"),       QStringLiteral("写周报"),     QStringLiteral("去银行"),
        QStringLiteral("整理房间"),     QStringLiteral("复习英语"),   QStringLiteral("看牙医"),
        QStringLiteral("洗车"),         QStringLiteral("准备演讲稿"), QStringLiteral("修自行车"),
        QStringLiteral("寄快递"),       QStringLiteral("订机票"),     QStringLiteral("浇花"),
        QStringLiteral("练字"),
    };
    const QStringList meetings = {QStringLiteral("部门会议"), QStringLiteral("家长会议记录"),
                                  QStringLiteral("项目会议 'A'")};
    const QStringList states = {QStringLiteral("未完成"), QStringLiteral("已完成"), QStringLiteral("已推迟"),
                                QStringLiteral("进行中")};
    const int days = int(first.daysTo(last)) + 1;
    QRandomGenerator random(20240601);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-build"));
        db.setDatabaseName(path);
        if (db.open() && db.transaction()) {
            QSqlQuery insert(db);
            insert.prepare(QStringLiteral("INSERT INTO shiqing (date, content, state) VALUES (?, ?, ?)"));
            ok = true;
            for (int i = 0; i < tasks && ok; ++i) {
                const QDate day = first.addDays(random.bounded(days));
                const QString& phrase = random.bounded(20) == 0 ? meetings[random.bounded(int(meetings.size()))]
                                                                : phrases[random.bounded(int(phrases.size()))];
                const int s = random.bounded(100);
                insert.bindValue(0, day.toString(QStringLiteral("yyyy-MM-dd")));
                insert.bindValue(1, QString(phrase + u' ' + QString::number(i)));
                insert.bindValue(2, states[s < 40 ? 0 : s < 80 ? 1 : s < 95 ? 2 : 3]);
                ok = insert.exec();
            }
            ok = ok && db.commit();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-build"));
    return ok;
}

} // namespace BenchData
