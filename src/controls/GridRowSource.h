#pragma once

#include "controls/GridCell.h"

/// The rows of a CGridCtrl under its fixed ones, when they live outside the grid: a listing of
/// a million records keeps only the rows it shows, and loads others as they come into view.
/// Rows are counted from 0, the first row under the fixed ones.
class IGridRowSource
{
public:
    virtual ~IGridRowSource() = default;

    virtual int RowCount() const = 0;
    /// Makes rows \a nFirst to \a nLast readable through Cell(); rows loaded before may be let
    /// go to make room, but never more than these. False when they could not be read.
    virtual bool Load(int nFirst, int nLast) = 0;
    /// The cell, or nullptr while its row is not loaded. The pointer holds until the next Load().
    virtual const CGridCell* Cell(int nRow, int nCol) const = 0;
};
