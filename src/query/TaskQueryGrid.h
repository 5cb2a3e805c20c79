#pragma once

#include <QStringList>

class CGridCtrl;
class CTaskQueryRows;

/// How the task query fills and sizes its grid. Results can run to a million rows: the grid
/// holds the pages of rows that came into view, columns take the width of the widest cells
/// among them, and rows are measured as they come into view.
namespace TaskQueryGrid {

/// Picture of a state in the grid's image list: 1 for not done, 2 for done, 0 for the others.
int StateImage(const QString& strState);

/// Read-only list mode on the query's light yellow, with columns and rows the user cannot resize.
void Prepare(CGridCtrl& grid);

/// The four column heads and no task.
void ShowHeaderOnly(CGridCtrl& grid);

/// One row per task of \a rows under the heads: its number with its state's picture, then its
/// date, content and state on alternating white and light yellow. Only the rows in view are
/// read; \a rows must outlive the grid's use of them (until the next ShowRows or ShowHeaderOnly).
void ShowRows(CGridCtrl& grid, CTaskQueryRows& rows);

/// Reads the pages of rows now in view, widens the columns for them and makes the rows in view
/// tall enough for their texts (rows never shrink below the grid's own height). Scrolling calls
/// it for every step.
void ShowRowsInView(CGridCtrl& grid);

} // namespace TaskQueryGrid
