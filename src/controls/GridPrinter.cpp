// Printing of CGridCtrl: the grid is cut into pages of whole rows and columns, each page
// repeating the fixed rows and columns, under a header naming the window and over a footer
// with the date and the page number.

#include "app/Clock.h"
#include "controls/GridCtrl.h"
#include "controls/GridDelegate.h"
#include "controls/GridModel.h"
#include "controls/GridSizer.h"
#include "controls/Messages.h"
#include "controls/StdDialogs.h"

#include <QHash>
#include <QPainter>
#include <QPrinter>
#include <ctime>

namespace {

// A run of data rows or columns that fits on one page, both ends included; an empty run
// (last < first) when the grid has only fixed ones.
struct Band
{
    int first;
    int last;
};

// Cuts the sections from nFirst on into bands no longer than nSpace. A section longer than
// the whole space still gets a band of its own and is cut off at the page edge.
QList<Band> CutIntoBands(const QList<int>& sizes, int nFirst, int nSpace)
{
    QList<Band> bands;
    int nUsed = 0;
    for (int i = nFirst; i < sizes.size(); ++i) {
        if (bands.isEmpty() || nUsed + sizes[i] > nSpace) {
            bands.append({i, i});
            nUsed = sizes[i];
        } else {
            bands.last().last = i;
            nUsed += sizes[i];
        }
    }
    if (bands.isEmpty())
        bands.append({nFirst, nFirst - 1});
    return bands;
}

// Rows of a row source measured at once for printing.
constexpr int kPrintSlice = 256;

int Sum(const QList<int>& sizes, int nCount)
{
    int n = 0;
    for (int i = 0; i < nCount && i < sizes.size(); ++i)
        n += sizes[i];
    return n;
}

// The locale's own date and time, as the C library writes it for "%c".
QString FormatDateTime(const QDateTime& dt)
{
    std::tm tm{};
    tm.tm_year = dt.date().year() - 1900;
    tm.tm_mon = dt.date().month() - 1;
    tm.tm_mday = dt.date().day();
    tm.tm_hour = dt.time().hour();
    tm.tm_min = dt.time().minute();
    tm.tm_sec = dt.time().second();
    tm.tm_wday = dt.date().dayOfWeek() % 7;
    tm.tm_yday = dt.date().dayOfYear() - 1;
    tm.tm_isdst = -1;
    char buffer[256];
    const size_t n = std::strftime(buffer, sizeof buffer, "%c", &tm);
    return QString::fromLocal8Bit(buffer, qsizetype(n));
}

// A picture laid on its cell's background. A printer (a PDF too) is handed the colours and
// the transparency of a picture apart; the colours under its transparent pixels, black, then
// bleed into its edge as the page is scaled or compressed.
QPixmap OnBackground(const QPixmap& image, const QColor& crBk)
{
    if (image.isNull() || !image.hasAlphaChannel())
        return image;
    QPixmap flat(image.size());
    flat.setDevicePixelRatio(image.devicePixelRatio());
    flat.fill(crBk);
    QPainter painter(&flat);
    painter.drawPixmap(0, 0, image);
    return flat;
}

} // namespace

struct CGridCtrl::PrintContext
{
    QFont fontCell;
    QFont fontHeader;
    int nCharWidth = 0;
    int nCharHeight = 0;
    qreal dScale = 1.0;
    QList<int> rowHeights;
    QList<int> colWidths;
    QRect rcHeader;
    QRect rcTable;
    QRect rcFooter;
    QList<Band> rowBands;
    QList<Band> colBands;
    int nPages = 0;
    QString strWindowTitle;
    QString strAppTitle;
    QString strDate;
    mutable QHash<QPair<qint64, QRgb>, QPixmap> flatImages; // pictures laid on their cells' backgrounds
};

QString CGridCtrl::PrintTitle() const
{
    for (const QWidget* w = this; w; w = w->parentWidget()) {
        if (w->isWindow() && !w->windowTitle().isEmpty())
            return w->windowTitle();
    }
    return {};
}

void CGridCtrl::Print()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!StdDialogs::execPrintDialog(this, &printer))
        return;
    // Printing walks every row of a row source, which keeps only the last ones it loaded.
    struct ViewReload
    {
        CGridCtrl* pGrid;
        ~ViewReload() { pGrid->LoadRowsInView(); }
    } reload{this};

    PrintContext ctx = PreparePrint(printer);
    printer.setDocName(ctx.strAppTitle.isEmpty() ? ctx.strWindowTitle : ctx.strAppTitle);
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    // Pictures go to paper as they are: a lossy compression would smear their edges.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    for (int nPage = 0; nPage < ctx.nPages; ++nPage) {
        if (nPage > 0 && !printer.newPage()) {
            printer.abort();
            return;
        }
        PrintPage(painter, ctx, nPage);
        PrintHeaderFooter(painter, ctx, nPage);
    }
    painter.end();
}

void CGridCtrl::LoadRowsInView()
{
    if (!m_pModel->RowSource() || GetRowCount() <= m_nFixedRows)
        return;
    int nFirst = rowAt(FixedRowsHeight());
    if (nFirst < 0)
        nFirst = m_nFixedRows;
    int nLast = rowAt(viewport()->height() - 1);
    if (nLast < 0)
        nLast = qMin(GetRowCount() - 1, nFirst + viewport()->height());
    LoadRows(nFirst, nLast);
}

CGridCtrl::PrintContext CGridCtrl::PreparePrint(const QPrinter& printer)
{
    PrintContext ctx;
    const QPaintDevice* pDevice = &printer;
    const qreal dPointSize =
        font().pointSizeF() > 0 ? font().pointSizeF() : font().pixelSize() * 72.0 / logicalDpiY();

    QFont cell(QStringLiteral("Arial"));
    cell.setPointSizeF(dPointSize);
    ctx.fontCell = QFont(cell, pDevice);
    QFont header = font();
    header.setPointSizeF(dPointSize);
    header.setBold(true);
    ctx.fontHeader = QFont(header, pDevice);

    const QFontMetrics fm(ctx.fontCell, pDevice);
    ctx.nCharWidth =
        fm.horizontalAdvance(QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ")) / 52;
    ctx.nCharHeight = fm.height();
    ctx.dScale = qreal(printer.logicalDpiX()) / logicalDpiX();
    const qreal dScaleY = qreal(printer.logicalDpiY()) / logicalDpiY();
    // The printer's font is not the screen's: every column and row is made large enough for
    // its cells in that font, and keeps at least its size on screen.
    CGridSizer sizer(*m_pModel, ctx.fontCell, ctx.dScale);
    for (int c = 0; c < GetColumnCount(); ++c)
        ctx.colWidths.append(qRound(columnWidth(c) * ctx.dScale));
    // Rows from a row source are measured a slice at a time, as they are loaded; the grid's own
    // rows in one go.
    const int nSlice = m_pModel->RowSource() ? kPrintSlice : qMax(1, GetRowCount());
    ctx.rowHeights.reserve(GetRowCount());
    for (int nFirst = 0; nFirst < GetRowCount(); nFirst += nSlice) {
        const int nLast = qMin(GetRowCount() - 1, nFirst + nSlice - 1);
        LoadRows(nFirst, nLast);
        for (int r = nFirst; r <= nLast; ++r)
            ctx.rowHeights.append(qMax(qRound(rowHeight(r) * dScaleY), sizer.RowHeight(r)));
        for (int c = 0; c < GetColumnCount(); ++c)
            ctx.colWidths[c] = qMax(ctx.colWidths[c], sizer.ColumnWidth(c, nFirst, nLast));
    }

    const int cw = ctx.nCharWidth;
    const int ch = ctx.nCharHeight;
    const int nLeft = m_margins.nLeft * cw;
    const int nWidth = printer.width() - (m_margins.nLeft + m_margins.nRight) * cw;
    const int nHeaderTop = m_margins.nTop * ch;
    const int nFooterTop = printer.height() - (m_margins.nBottom + m_margins.nFooter) * ch;
    ctx.rcHeader = QRect(nLeft, nHeaderTop, nWidth, m_margins.nHeader * ch);
    ctx.rcFooter = QRect(nLeft, nFooterTop, nWidth, m_margins.nFooter * ch);
    const int nTableTop = ctx.rcHeader.bottom() + 1 + m_margins.nGap * ch;
    ctx.rcTable = QRect(nLeft, nTableTop, nWidth, nFooterTop - m_margins.nGap * ch - nTableTop);

    ctx.colBands = CutIntoBands(ctx.colWidths, m_nFixedCols, nWidth - Sum(ctx.colWidths, m_nFixedCols));
    ctx.rowBands =
        CutIntoBands(ctx.rowHeights, m_nFixedRows, ctx.rcTable.height() - Sum(ctx.rowHeights, m_nFixedRows));
    ctx.nPages = int(ctx.colBands.size() * ctx.rowBands.size());

    ctx.strWindowTitle = PrintTitle();
    ctx.strAppTitle = Messages::appCaption();
    ctx.strDate = FormatDateTime(Clock::now());
    return ctx;
}

void CGridCtrl::PrintPage(QPainter& painter, const PrintContext& ctx, int nPage)
{
    // Pages run across the grid first, so the halves of the same rows follow each other.
    const Band& rows = ctx.rowBands[nPage / ctx.colBands.size()];
    const Band& cols = ctx.colBands[nPage % ctx.colBands.size()];
    LoadRows(rows.first, rows.last);
    QList<int> rowList, colList;
    for (int r = 0; r < m_nFixedRows; ++r)
        rowList.append(r);
    for (int r = rows.first; r <= rows.last; ++r)
        rowList.append(r);
    for (int c = 0; c < m_nFixedCols; ++c)
        colList.append(c);
    for (int c = cols.first; c <= cols.last; ++c)
        colList.append(c);
    if (rowList.isEmpty() || colList.isEmpty())
        return;

    painter.save();
    painter.setClipRect(ctx.rcTable);
    int y = ctx.rcTable.top();
    int nRight = ctx.rcTable.left();
    for (int r : rowList) {
        int x = ctx.rcTable.left();
        for (int c : colList) {
            // Drawn from the same role data as on screen, in the printer's font and scale.
            GridCellLook look = GridPaint::CellLook(model()->index(r, c), ctx.fontCell);
            look.dScale = ctx.dScale;
            if (!look.image.isNull()) {
                // One copy of each picture on each background, so that the document holds it once.
                QPixmap& flat = ctx.flatImages[{look.image.cacheKey(), look.crBk.rgba()}];
                if (flat.isNull())
                    flat = OnBackground(look.image, look.crBk);
                look.image = flat;
            }
            GridPaint::DrawCell(painter, QRect(x, y, ctx.colWidths[c], ctx.rowHeights[r]), look);
            x += ctx.colWidths[c];
        }
        nRight = x;
        y += ctx.rowHeights[r];
    }
    // Cells draw their right and bottom lines; the table's outer top and left edges are ours.
    const int nLine = qMax(1, int(ctx.dScale));
    const QColor crGrid = GetGridLineColour();
    painter.fillRect(QRect(ctx.rcTable.left(), ctx.rcTable.top(), nRight - ctx.rcTable.left(), nLine),
                     crGrid);
    painter.fillRect(QRect(ctx.rcTable.left(), ctx.rcTable.top(), nLine, y - ctx.rcTable.top()), crGrid);
    painter.restore();
}

void CGridCtrl::PrintHeaderFooter(QPainter& painter, const PrintContext& ctx, int nPage) const
{
    painter.save();
    painter.setFont(ctx.fontHeader);
    painter.setPen(Qt::black);
    const int nLine = qMax(1, int(ctx.dScale));
    const int nFlags = Qt::TextSingleLine | Qt::AlignVCenter;

    painter.drawText(ctx.rcHeader, nFlags | Qt::AlignHCenter, ctx.strWindowTitle);
    if (!ctx.strAppTitle.isEmpty())
        painter.drawText(ctx.rcHeader, nFlags | Qt::AlignRight, ctx.strAppTitle);
    painter.fillRect(QRect(ctx.rcHeader.left(), ctx.rcHeader.bottom() + 1, ctx.rcHeader.width(), nLine),
                     Qt::black);

    painter.fillRect(QRect(ctx.rcFooter.left(), ctx.rcFooter.top() - nLine, ctx.rcFooter.width(), nLine),
                     Qt::black);
    painter.drawText(ctx.rcFooter, nFlags | Qt::AlignLeft, ctx.strDate);
    painter.drawText(ctx.rcFooter, nFlags | Qt::AlignRight,
                     QStringLiteral("Page %1 of %2").arg(nPage + 1).arg(ctx.nPages));
    painter.restore();
}
