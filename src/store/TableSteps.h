#pragma once

#include "store/Recordset.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <initializer_list>
#include <vector>

/// The steps the table operations share, written once on the shared result set. Each throws
/// CDbError like the result set does and leaves the set closed when it returns normally.
namespace TableSteps {

/// Fills the "%s" and "%d" holes of \a pattern in order with \a values, in one pass: a value
/// that itself holds "%s" is never filled again. Text values must already be escaped.
QString Fill(QStringView pattern, std::initializer_list<QString> values);

/// A task's day as the table stores it, "yyyy-MM-dd".
QString DayText(const QDate& date);

/// The number of rows \a statement gives.
int Count(CRecordset& rs, const QString& statement);
/// True when \a statement gives a row.
bool Exists(CRecordset& rs, const QString& statement);
/// Deletes the first row \a statement gives; false when there is none.
bool DeleteFirst(CRecordset& rs, const QString& statement);
/// Writes \a value into \a field of the first row \a statement gives; false when there is none.
bool WriteFirst(CRecordset& rs, const QString& statement, const QString& field, const QVariant& value);
/// Appends one row with the given fields, in the order given.
void Append(CRecordset& rs, const QString& statement,
            std::initializer_list<std::pair<QString, QVariant>> fields);
/// The display texts of \a fields in every row, one list per field, in row order. False, and
/// \a columns untouched, when the statement gives no row.
bool ReadColumns(CRecordset& rs, const QString& statement, const std::vector<QString>& fields,
                 std::vector<QStringList>& columns);

} // namespace TableSteps
