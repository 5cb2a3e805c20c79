#pragma once

#include <QStringList>

class CGridCtrl;

/// How the task query fills and sizes its grid. Results can run to a million rows: columns take
/// the width of their widest cells as the grid finds them, and rows are measured as they come
/// into view.
namespace TaskQueryGrid {

/// Picture of a state in the grid's image list: 1 for not done, 2 for done, 0 for the others.
int StateImage(const QString& strState);

/// Read-only list mode on the query's light yellow, with columns and rows the user cannot resize.
void Prepare(CGridCtrl& grid);

/// The four column heads and no task.
void ShowHeaderOnly(CGridCtrl& grid);

/// One row per task under the heads: its number with its state's picture, then its date,
/// content and state on alternating white and light yellow. The lists are parallel.
void Fill(CGridCtrl& grid, const QStringList& dates, const QStringList& contents, const QStringList& states);

/// Makes the rows now in view tall enough for their texts; rows never shrink below the
/// grid's own height.
void SizeVisibleRows(CGridCtrl& grid);

} // namespace TaskQueryGrid
