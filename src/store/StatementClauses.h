#pragma once

#include <QString>

/// The few changes the result set makes to a SELECT statement. Each looks only at the clauses
/// of the statement itself, never into texts, quoted names, comments or subqueries.
namespace StatementClauses {

/// The statement without semicolons (and blanks) at its end.
QString WithoutTrailingSemicolons(QString statement);

/// The statement without its ORDER BY, for counting its rows: the order never changes the
/// count, and sorting (or walking an index to avoid sorting) is most of the work of a search
/// over every task. Unchanged when a LIMIT depends on the order.
QString WithoutOrdering(const QString& statement);

/// \a rest, the part of a one-table SELECT after the table name, with "ORDER BY rowid" added
/// when it has no order of its own. Rows then come in table order, the order in which they
/// were added, whatever index the engine picks: a day's tasks list as they were entered.
QString InTableOrder(const QString& rest);

/// Whether \a rest, the part of a SELECT after the name of its first table, keeps to that one
/// table: no second table (a comma in the FROM clause or a JOIN), no grouping and no compound
/// (UNION, INTERSECT, EXCEPT). Only such rows can be written back.
bool KeepsToOneTable(const QString& rest);

} // namespace StatementClauses
