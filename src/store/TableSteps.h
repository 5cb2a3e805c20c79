#pragma once

#include "store/Recordset.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <vector>

/// The steps the table operations share, written once on the shared result set. Each throws
/// CDbError like the result set does and leaves the set closed when it returns normally.
namespace TableSteps {

/// A task's day as the table stores it, "yyyy-MM-dd".
QString DayText(const QDate& date);

/// The number of \a rows.
int Count(CRecordset& rs, const TableRows& rows);
/// True when there is a row among \a rows.
bool Exists(CRecordset& rs, const TableRows& rows);
/// Deletes the first of \a rows; false when there is none.
bool DeleteFirst(CRecordset& rs, const TableRows& rows);
/// Writes \a value into \a field of the first of \a rows; false when there is none.
bool WriteFirst(CRecordset& rs, const TableRows& rows, const QString& field, const QVariant& value);
/// Appends one row to \a table with the given fields, in the order given.
void Append(CRecordset& rs, const QString& table, std::initializer_list<std::pair<QString, QVariant>> fields);
/// The display texts of \a fields in every one of \a rows, one list per field, in row order.
/// False, and \a columns untouched, when there is no row.
bool ReadColumns(CRecordset& rs, const TableRows& rows, const std::vector<QString>& fields,
                 std::vector<QStringList>& columns);

} // namespace TableSteps
