#include "query/TaskQueryGrid.h"

#include "controls/GridCtrl.h"
#include "query/TaskQueryRows.h"
#include "store/TaskRecord.h"

#include <QHeaderView>

namespace {

constexpr int kCols = 4;

// Columns, heads and fixed parts, with the data rows gone.
void SetUpHeader(CGridCtrl& grid)
{
    static const QString heads[kCols] = {QStringLiteral("事情序号"), QStringLiteral("事情日期"),
                                         QStringLiteral("事情内容"), QStringLiteral("事情状态")};
    // Dropping the old rows first keeps every later step from walking them.
    grid.SetRowCount(0);
    grid.SetColumnCount(kCols);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    for (int c = 0; c < kCols; ++c)
        grid.SetItem(0, c, GridMask::Text | GridMask::Format, heads[c],
                     GridFormat::Left | GridFormat::WordBreak | GridFormat::NoPrefix);
}

} // namespace

namespace TaskQueryGrid {

int StateImage(const QString& strState)
{
    if (strState == TaskStates::NotDone())
        return 1;
    if (strState == TaskStates::Done())
        return 2;
    return 0;
}

void Prepare(CGridCtrl& grid)
{
    grid.SetEditable(false);
    grid.SetListMode(true);
    grid.SetTextBkColour(QColor(255, 255, 224));
    grid.horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

void ShowHeaderOnly(CGridCtrl& grid)
{
    SetUpHeader(grid);
    grid.AutoSize();
}

void ShowRows(CGridCtrl& grid, CTaskQueryRows& rows)
{
    SetUpHeader(grid);
    grid.AutoSize();
    grid.SetRowSource(&rows);
    ShowRowsInView(grid);
}

void ShowRowsInView(CGridCtrl& grid)
{
    const int nFixed = grid.GetFixedRowCount();
    if (grid.GetRowCount() <= nFixed)
        return;
    int nTop = 0;
    for (int r = 0; r < nFixed; ++r)
        nTop += grid.GetRowHeight(r);
    const int nViewHeight = grid.viewport()->height();
    int nFirst = grid.rowAt(nTop);
    if (nFirst < nFixed)
        nFirst = nFixed;
    // Below the last row rowAt finds nothing; a row is at least a pixel high.
    int nLast = grid.rowAt(nViewHeight - 1);
    if (nLast < 0)
        nLast = qMin(grid.GetRowCount() - 1, nFirst + qMax(nViewHeight, 0));
    // Whole pages, so that the columns fit every row the grid holds, not only those in view.
    constexpr int kPage = CTaskQueryRows::kPageRows;
    const int nPageFirst = (nFirst - nFixed) / kPage * kPage + nFixed;
    const int nPageLast = ((nLast - nFixed) / kPage + 1) * kPage + nFixed - 1;
    grid.LoadRows(nPageFirst, nPageLast);
    grid.WidenColumns(nPageFirst, nPageLast);
    if (nViewHeight > nTop)
        // The rows that grow push their neighbours down; the range is taken as it stood.
        grid.AutoSizeRows(nFirst, nLast);
}

} // namespace TaskQueryGrid
