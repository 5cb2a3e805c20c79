#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

/// The database layout: the five tables of a new database, the indexes the statements rely
/// on, and the settings every connection runs with.
namespace Schema {

/// The five tables every operation works on, in the order a message names the missing ones.
QStringList TableNames();
/// Every table a database of ours holds: the five, the UID bindings of calendar files, then the
/// sync tables.
QStringList StoredTableNames();

/// \a name as an identifier in a statement: between double quotes, its own quotes doubled, so
/// that no name can be read as a keyword or end the statement.
QString Quoted(const QString& name);

/// Journal mode, durability and the indexes the statements need. Throws CDbError, before
/// anything is written, when the file cannot be read as a database or lacks one of the five
/// tables (the text then names them). Adds the UID bindings and the sync tables to a database
/// made without them; false when it has no bindings and cannot get them (every other operation
/// works all the same). \a syncTables tells the same of the sync tables.
bool PrepareConnection(QSqlDatabase& db, bool* syncTables = nullptr);

/// Creates a new database file at \a path with the five tables and a school term from
/// \a termStart to \a termEnd. The file must not exist yet. False with \a error on failure.
bool CreateDatabaseFile(const QString& path, const QDate& termStart, const QDate& termEnd, QString* error);

} // namespace Schema
