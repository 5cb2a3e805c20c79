#pragma once

#include "controls/GridRowSource.h"
#include "store/TaskRecord.h"

#include <list>
#include <vector>

class CDataStore;

/// The rows of the task query's grid: the matching tasks' ids in date order, and the cells of
/// the few pages of them last shown, read by id from the store as they come into view. A
/// million matches hold 8 MB of ids and a few thousand rows of cells.
///
/// A task deleted after the query keeps its row, shown as deleted, so that no other row moves.
class CTaskQueryRows final : public IGridRowSource
{
public:
    // A page is what a step of the scroll bar's thumb reads; the pages kept hold a few thousand
    // rows, for scrolling back and for the columns' widths.
    static constexpr int kPageRows = 64;
    static constexpr size_t kPagesKept = 64;

    explicit CTaskQueryRows(CDataStore& store) : m_store(store) {}

    /// Starts over with the tasks \a ids names, with nothing loaded.
    void Reset(std::vector<TaskId> ids);

    int RowCount() const override { return int(m_ids.size()); }
    bool Load(int nFirst, int nLast) override;
    const CGridCell* Cell(int nRow, int nCol) const override;

private:
    struct Page
    {
        int nIndex = 0;
        std::vector<CGridCell> cells; ///< row by row, kCols a row
    };

    bool LoadPage(int nIndex, Page& page);

    CDataStore& m_store;
    std::vector<TaskId> m_ids;
    std::list<Page> m_pages; ///< the last used first
};
