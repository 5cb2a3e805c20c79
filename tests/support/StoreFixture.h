#pragma once

#include "Recorders.h"
#include "store/DataStore.h"
#include "store/Schema.h"
#include "store/TaskRecord.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

/// A store whose table-operation machinery is open to the test.
class TestableStore : public CDataStore
{
public:
    using CDataStore::CDataStore;
    using CDataStore::RunOperation;
};

/// A store on a fresh database in a temporary folder.
struct StoreFixture
{
    QTemporaryDir dir;
    ErrorRecorder errors;
    TestableStore store{&errors};
    QString path = dir.filePath(QStringLiteral("kstrm.db"));

    bool Open()
    {
        return Schema::CreateDatabaseFile(path, QDate(2026, 9, 1), QDate(2027, 1, 31), nullptr) &&
               store.Connect(path);
    }
};

/// Reads and changes tables behind the store's back, on the store's own connection.
namespace TableTest {
inline QSqlQuery Exec(CDataStore& store, const QString& sql)
{
    QSqlQuery q(QSqlDatabase::database(store.ConnectionName()));
    if (!q.exec(sql))
        qWarning("statement failed: %s: %s", qUtf8Printable(sql), qUtf8Printable(q.lastError().text()));
    return q;
}

/// The first column of every row, as text.
inline QStringList Column(CDataStore& store, const QString& sql)
{
    QStringList out;
    for (QSqlQuery q = Exec(store, sql); q.next();)
        out << q.value(0).toString();
    return out;
}

/// Every task as "date state content", in table order.
inline QStringList Tasks(CDataStore& store)
{
    return Column(
        store, QStringLiteral("SELECT date || ' ' || state || ' ' || content FROM shiqing ORDER BY rowid"));
}
} // namespace TableTest

/// Every row of \a tables as "table|field|field...", sorted (other programs keep no order).
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

/// One store operation as a test data column, answering its result as a number.
using StoreOp = std::function<int(CDataStore&)>;
Q_DECLARE_METATYPE(StoreOp)

/// An import's counts as one line: "added <tasks> <reminders> <holidays>, updated ...".
template <typename Counted> QString Counts(const Counted& c)
{
    return QStringLiteral("added %1 %2 %3, updated %4 %5 %6")
        .arg(c.added[0])
        .arg(c.added[1])
        .arg(c.added[2])
        .arg(c.updated[0])
        .arg(c.updated[1])
        .arg(c.updated[2]);
}
