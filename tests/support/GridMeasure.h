#pragma once

// What a grid sized to its contents must look like, found the slow way: every cell measured.

#include "controls/GridCtrl.h"
#include "controls/GridDelegate.h"

#include <QHeaderView>
#include <QList>

/// Column widths, then the heights of rows \a nFirstRow to \a nLastRow, as measuring every cell in
/// the grid's font gives them; never below the default row height.
inline QList<int> MeasuredSizes(const CGridCtrl& grid, int nFirstRow = 0, int nLastRow = -1)
{
    if (nLastRow < 0)
        nLastRow = grid.GetRowCount() - 1;
    const auto extent = [&grid](int r, int c) {
        return GridPaint::CellExtent(GridPaint::CellLook(grid.model()->index(r, c), grid.font()));
    };
    QList<int> sizes;
    for (int c = 0; c < grid.GetColumnCount(); ++c) {
        int nWidth = 0;
        for (int r = 0; r < grid.GetRowCount(); ++r)
            nWidth = qMax(nWidth, extent(r, c).width());
        sizes << nWidth;
    }
    for (int r = nFirstRow; r <= nLastRow; ++r) {
        int nHeight = grid.verticalHeader()->defaultSectionSize();
        for (int c = 0; c < grid.GetColumnCount(); ++c)
            nHeight = qMax(nHeight, extent(r, c).height());
        sizes << nHeight;
    }
    return sizes;
}

/// The grid's present sizes, in the order of MeasuredSizes.
inline QList<int> GridSizes(const CGridCtrl& grid, int nFirstRow = 0, int nLastRow = -1)
{
    if (nLastRow < 0)
        nLastRow = grid.GetRowCount() - 1;
    QList<int> sizes;
    for (int c = 0; c < grid.GetColumnCount(); ++c)
        sizes << grid.GetColumnWidth(c);
    for (int r = nFirstRow; r <= nLastRow; ++r)
        sizes << grid.GetRowHeight(r);
    return sizes;
}
