#pragma once

// The tables behind the store's back, read whole.

#include "StoreFixture.h"

#include <QSqlRecord>

/// Every row of \a tables as "table|field|field...", sorted (tables written by other programs
/// keep no order of their own).
inline QStringList AllRows(CDataStore& store, const QStringList& tables)
{
    QStringList rows;
    for (const QString& table : tables) {
        QSqlQuery q = TableTest::Exec(store, QStringLiteral("SELECT * FROM ") + table);
        if (!q.isActive())
            return {QStringLiteral("<%1 unreadable>").arg(table)};
        while (q.next()) {
            QStringList fields{table};
            for (int i = 0; i < q.record().count(); ++i)
                fields << q.value(i).toString();
            rows << fields.join(u'|');
        }
    }
    rows.sort();
    return rows;
}
