#pragma once

// A planner's store and context on a fresh database, with tasks put in directly.

#include "PlannerFixture.h"

struct QueryFixture : PlannerFixture
{
    /// Adds tasks written "yyyy-MM-dd|content|state".
    bool add(const QStringList& tasks)
    {
        QSqlQuery insert(QSqlDatabase::database(store.ConnectionName()));
        insert.prepare(QStringLiteral("INSERT INTO shiqing (date, content, state) VALUES (?, ?, ?)"));
        for (const QString& task : tasks) {
            const QStringList parts = task.split(u'|');
            for (int i = 0; i < 3; ++i)
                insert.bindValue(i, parts.value(i));
            if (!insert.exec())
                return false;
        }
        return true;
    }

    bool exec(const QString& sql) { return TableTest::Exec(store, sql).isActive(); }

    /// The tasks \a select (date, content and state first) gives, as "yyyy-MM-dd|content|state".
    QStringList rows(const QString& select)
    {
        QStringList out;
        for (QSqlQuery query = TableTest::Exec(store, select); query.next();)
            out << query.value(0).toString() + u'|' + query.value(1).toString() + u'|' +
                       query.value(2).toString();
        return out;
    }

    QStringList all()
    {
        QStringList out = rows(QStringLiteral("SELECT date, content, state FROM shiqing"));
        out.sort();
        return out;
    }
};
