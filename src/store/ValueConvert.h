#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

/// Conversions of database values for display and for the program's typed fields.

/// Display text of one field value, by the value's type: empty for null, "%d" for integers,
/// "%.4f" / "%.8f" for single / double floats, "%Y-%m-%d %H:%M:%S" for dates, "TRUE"/"FALSE",
/// the text itself, "[BLOB]" for binary data and "UN_KNOW" for anything else.
QString ValueToText(const QVariant& value);

/// A reminder field: an INTEGER value gives its low 16 bits (signed), a boolean 0 or 1, an 8-bit
/// value its byte 0..255; every other kind of value (REAL, TEXT, BLOB, NULL) gives 0.
short ValueToShort(const QVariant& value);

/// A school-calendar field: a date value, or a REAL date serial, gives that date and time;
/// every other kind of value gives a null date-time.
QDateTime ValueToDate(const QVariant& value);

/// Date serials as the school calendar stores them: days since 1899-12-30, the fraction being
/// the time of day (for days before the base, the fraction still counts forward in the day).
double DateToSerial(const QDateTime& value);
QDateTime SerialToDate(double serial);

/// A text value ready to stand between single quotes in a statement: its quotes doubled.
QString SqlEscape(const QString& text);
/// The same, with the surrounding quotes: O'Neil becomes 'O''Neil'.
QString SqlQuote(const QString& text);
