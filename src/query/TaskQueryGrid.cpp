#include "query/TaskQueryGrid.h"

#include "controls/GridCtrl.h"
#include "controls/GridDelegate.h"
#include "store/TaskRecord.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QSignalBlocker>
#include <algorithm>
#include <queue>
#include <vector>

namespace {

constexpr int kCols = 4;
// How many texts of a column are measured exactly: the estimate below ranks texts closely
// enough that the widest one is always among the first few.
constexpr int kMeasured = 16;

const QColor kOddRow(255, 255, 255);
const QColor kEvenRow(255, 255, 153);

// Width estimate of a text: the sum of the advances of its characters, each measured once.
// Shaping and kerning move the true width a little, which the exact measure then settles.
class AdvanceTable
{
public:
    explicit AdvanceTable(const QFont& font) : m_fm(font), m_advances(0x10000, -1) {}

    int Width(const QString& strText)
    {
        int n = 0;
        for (const QChar c : strText) {
            qint32& advance = m_advances[c.unicode()];
            if (advance < 0)
                advance = m_fm.horizontalAdvance(c);
            n += advance;
        }
        return n;
    }

private:
    QFontMetrics m_fm;
    std::vector<qint32> m_advances;
};

// The rows (fixed ones included) whose texts in \a nCol are likely the widest.
std::vector<int> WidestRows(const CGridCtrl& grid, int nCol, AdvanceTable& table)
{
    using Entry = std::pair<int, int>; // estimate, row
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> widest;
    for (int r = 0; r < grid.GetRowCount(); ++r) {
        const Entry entry(table.Width(grid.GetCell(r, nCol)->m_strText), r);
        if (int(widest.size()) < kMeasured) {
            widest.push(entry);
        } else if (entry.first > widest.top().first) {
            widest.pop();
            widest.push(entry);
        }
    }
    std::vector<int> rows;
    for (; !widest.empty(); widest.pop())
        rows.push_back(widest.top().second);
    return rows;
}

QSize Extent(const CGridCtrl& grid, int nRow, int nCol)
{
    return GridPaint::CellExtent(GridPaint::CellLook(grid.model()->index(nRow, nCol), grid.font()));
}

void SizeColumns(CGridCtrl& grid)
{
    AdvanceTable table(grid.font());
    for (int c = 0; c < grid.GetColumnCount(); ++c) {
        int nWidth = 0;
        for (const int r : WidestRows(grid, c, table))
            nWidth = qMax(nWidth, Extent(grid, r, c).width());
        grid.SetColumnWidth(c, nWidth);
    }
}

void SizeHeaderRow(CGridCtrl& grid)
{
    int nHeight = 0;
    for (int c = 0; c < grid.GetColumnCount(); ++c)
        nHeight = qMax(nHeight, Extent(grid, 0, c).height());
    grid.SetRowHeight(0, nHeight);
}

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

// The state text of a row, shared with every other row of the same state: a million rows
// then hold four texts instead of a million copies.
QString SharedState(const QString& strState)
{
    static const QString known[] = {TaskStates::NotDone(), TaskStates::Done(), TaskStates::Postponed(),
                                    TaskStates::InProgress()};
    for (const QString& state : known) {
        if (state == strState)
            return state;
    }
    return strState;
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
    SizeColumns(grid);
    SizeHeaderRow(grid);
}

void Fill(CGridCtrl& grid, const QStringList& dates, const QStringList& contents, const QStringList& states)
{
    const int nRows = int(qMin(dates.size(), qMin(contents.size(), states.size())));
    SetUpHeader(grid);
    grid.SetRowCount(nRows + 1);

    GridItem number;
    number.mask = GridMask::Text | GridMask::Format | GridMask::Image;
    number.nFormat = GridFormat::Default | GridFormat::Right;
    GridItem text;
    text.mask = GridMask::Text | GridMask::Format | GridMask::BkColour;
    text.nFormat = GridFormat::Default;
    {
        // The views learnt of the new rows above and draw whatever the cells hold when they
        // next paint; telling them of each of a few million cells as it is written would
        // only cost a third of the fill.
        const QSignalBlocker quiet(grid.model());
        for (int i = 0; i < nRows; ++i) {
            const int r = i + 1;
            const QString strState = SharedState(states.at(i));
            number.row = r;
            number.strText = QString::number(r);
            number.iImage = StateImage(strState);
            grid.SetItem(number);

            text.row = r;
            text.crBkClr = r % 2 ? kOddRow : kEvenRow;
            const QString* values[] = {&dates.at(i), &contents.at(i), &strState};
            for (int c = 1; c < kCols; ++c) {
                text.col = c;
                text.strText = *values[c - 1];
                grid.SetItem(text);
            }
        }
    }
    grid.viewport()->update();
    SizeColumns(grid);
    SizeHeaderRow(grid);
    SizeVisibleRows(grid);
}

void SizeVisibleRows(CGridCtrl& grid)
{
    const int nRows = grid.GetRowCount();
    if (nRows <= grid.GetFixedRowCount())
        return;
    int nTop = 0;
    for (int r = 0; r < grid.GetFixedRowCount(); ++r)
        nTop += grid.GetRowHeight(r);
    const int nViewHeight = grid.viewport()->height();
    if (nViewHeight <= nTop)
        return;
    int nFirst = grid.rowAt(nTop);
    if (nFirst < 0)
        nFirst = grid.GetFixedRowCount();
    // Below the last row rowAt finds nothing; a row is at least a pixel high.
    int nLast = grid.rowAt(nViewHeight - 1);
    if (nLast < 0)
        nLast = qMin(nRows - 1, nFirst + nViewHeight);
    // The rows that grow push their neighbours down; the range is taken as it stood.
    for (int r = qMax(nFirst, grid.GetFixedRowCount()); r <= nLast; ++r) {
        int nHeight = grid.GetRowHeight(r);
        for (int c = 0; c < grid.GetColumnCount(); ++c)
            nHeight = qMax(nHeight, Extent(grid, r, c).height());
        if (nHeight != grid.GetRowHeight(r))
            grid.SetRowHeight(r, nHeight);
    }
}

} // namespace TaskQueryGrid
