#pragma once

// A data store on a fresh database in a temporary folder, with tasks put in directly.

#include "Recorders.h"
#include "store/DataStore.h"
#include "store/Schema.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

struct QueryFixture
{
    QTemporaryDir dir;
    ErrorRecorder errors;
    CDataStore store{&errors};
    bool ready = Schema::CreateDatabaseFile(dir.filePath(QStringLiteral("kstrm.db")), QDate(2026, 9, 1),
                                            QDate(2027, 1, 31), nullptr) &&
                 store.Connect(dir.filePath(QStringLiteral("kstrm.db")));

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

    /// Every task as "yyyy-MM-dd|content|state", sorted.
    QStringList all()
    {
        QSqlQuery query(QSqlDatabase::database(store.ConnectionName()));
        QStringList out;
        if (!query.exec(QStringLiteral("SELECT date, content, state FROM shiqing")))
            return {QStringLiteral("<cannot read>")};
        while (query.next())
            out << query.value(0).toString() + u'|' + query.value(1).toString() + u'|' + query.value(2).toString();
        out.sort();
        return out;
    }
};
