#include "query/TaskQueryGrid.h"

#include "controls/GridCtrl.h"
#include "store/TaskRecord.h"

#include <QHeaderView>
#include <QSignalBlocker>

namespace {

constexpr int kCols = 4;

const QColor kOddRow(255, 255, 255);
const QColor kEvenRow(255, 255, 153);

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
    grid.AutoSize();
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
    grid.AutoSizeColumns(false);
    grid.AutoSizeRows(0, grid.GetFixedRowCount() - 1);
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
    grid.AutoSizeRows(qMax(nFirst, grid.GetFixedRowCount()), nLast);
}

} // namespace TaskQueryGrid
