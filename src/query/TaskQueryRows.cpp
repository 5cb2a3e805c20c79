#include "query/TaskQueryRows.h"

#include "query/TaskQueryGrid.h"
#include "store/DataStore.h"

#include <QColor>
#include <algorithm>

namespace {

constexpr int kCols = 4;

const QColor kOddRow(255, 255, 255);
const QColor kEvenRow(255, 255, 153);

// What a row says of a task deleted since the query: quiet, and no picture of a state.
QString GoneState()
{
    return QStringLiteral("已删除");
}

} // namespace

void CTaskQueryRows::Reset(std::vector<TaskId> ids)
{
    m_ids = std::move(ids);
    m_pages.clear();
}

bool CTaskQueryRows::Load(int nFirst, int nLast)
{
    nFirst = qMax(nFirst, 0);
    nLast = qMin(nLast, RowCount() - 1);
    if (nFirst > nLast)
        return true;
    const int nFirstPage = nFirst / kPageRows;
    const int nLastPage = nLast / kPageRows;
    bool bLoaded = true;
    // Walked backwards, so that the pages asked for end up first in their own order.
    for (int p = nLastPage; p >= nFirstPage; --p) {
        auto it =
            std::find_if(m_pages.begin(), m_pages.end(), [p](const Page& page) { return page.nIndex == p; });
        if (it != m_pages.end()) {
            m_pages.splice(m_pages.begin(), m_pages, it);
            continue;
        }
        Page page;
        if (LoadPage(p, page))
            m_pages.push_front(std::move(page));
        else
            bLoaded = false;
    }
    const size_t nKept = qMax(kPagesKept, size_t(nLastPage - nFirstPage + 1));
    while (m_pages.size() > nKept)
        m_pages.pop_back();
    return bLoaded;
}

bool CTaskQueryRows::LoadPage(int nIndex, Page& page)
{
    const int nFirst = nIndex * kPageRows;
    const int nRows = qMin(kPageRows, RowCount() - nFirst);
    std::vector<TaskRecord> tasks;
    if (!m_store.ReadTasks(m_ids.data() + nFirst, size_t(nRows), tasks))
        return false;
    page.nIndex = nIndex;
    page.cells.resize(size_t(nRows) * kCols);
    for (int i = 0; i < nRows; ++i) {
        const TaskRecord& task = tasks[size_t(i)];
        const int r = nFirst + i + 1; // the grid's row, under the heads
        CGridCell* cells = &page.cells[size_t(i) * kCols];
        cells[0].m_strText = QString::number(r);
        cells[0].m_nFormat = GridFormat::Default | GridFormat::Right;
        cells[0].m_nImage = task.IsGone() ? -1 : TaskQueryGrid::StateImage(task.strState);
        const QString* values[] = {&task.strDate, &task.strContent, &task.strState};
        const QString gone = GoneState();
        for (int c = 1; c < kCols; ++c) {
            cells[c].m_strText = task.IsGone() ? (c == 3 ? gone : QString()) : *values[c - 1];
            cells[c].m_crBkClr = r % 2 ? kOddRow : kEvenRow;
        }
    }
    return true;
}

const CGridCell* CTaskQueryRows::Cell(int nRow, int nCol) const
{
    if (nCol < 0 || nCol >= kCols)
        return nullptr;
    const int nIndex = nRow / kPageRows;
    for (const Page& page : m_pages) {
        if (page.nIndex == nIndex)
            return &page.cells[size_t(nRow - nIndex * kPageRows) * kCols + size_t(nCol)];
    }
    return nullptr;
}
