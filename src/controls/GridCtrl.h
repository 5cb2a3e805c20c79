#pragma once

#include "controls/GridCell.h"

#include <QList>
#include <QPixmap>
#include <QTableView>
#include <climits>
#include <memory>

class CGridModel;
class CGridSizer;
class CGridDelegate;
class IGridRowSource;
class QPainter;
class QPrinter;

/// A table of text cells with fixed header rows and columns that never scroll away, used
/// read-only to list records. Fill it in this order: row and column counts, fixed counts,
/// then the cells.
///
/// Rows and columns are numbered from 0 and include the fixed ones. Every accessor takes
/// positions out of range quietly: setters answer false, getters an empty value.
class CGridCtrl : public QTableView
{
    Q_OBJECT

public:
    /// Margins of a printed page, in character heights (vertical) and average character
    /// widths (horizontal) of the printer font.
    struct PrintMargins
    {
        int nHeader = 2;
        int nFooter = 2;
        int nLeft = 4;
        int nRight = 4;
        int nTop = 1;
        int nBottom = 1;
        int nGap = 1; ///< between the header or footer and the table
    };

    explicit CGridCtrl(QWidget* parent = nullptr);
    CGridCtrl(int nRows, int nCols, int nFixedRows = 0, int nFixedCols = 0, QWidget* parent = nullptr);
    ~CGridCtrl() override;

    /// Adds or removes rows at the end; the fixed rows shrink with them when needed.
    bool SetRowCount(int nRows);
    /// Adds or removes columns at the end; the fixed columns shrink with them when needed.
    bool SetColumnCount(int nCols);
    /// Rows are added when there are fewer than \a nFixedRows.
    bool SetFixedRowCount(int nFixedRows);
    bool SetFixedColumnCount(int nFixedCols);
    int GetRowCount() const;
    int GetColumnCount() const;
    int GetFixedRowCount() const { return m_nFixedRows; }
    int GetFixedColumnCount() const { return m_nFixedCols; }

    /// Shows the rows of \a pSource under the fixed rows, in place of the grid's own ones (none
    /// of them can be changed through the grid); the caller keeps the source alive. Rows come
    /// into view blank until LoadRows() loads them. SetRowCount() lets go of the source.
    void SetRowSource(IGridRowSource* pSource);
    /// Loads rows \a nFirst to \a nLast of the row source (numbered as the grid's) and shows
    /// them; false when they could not be read.
    bool LoadRows(int nFirst, int nLast);
    /// Widens every column that a cell of rows \a nFirst to \a nLast does not fit, to the width
    /// AutoSizeColumns() would give it for those rows; never narrows one.
    void WidenColumns(int nFirst, int nLast);

    /// For filling or sizing thousands of cells: between BeginBulkUpdate() and EndBulkUpdate()
    /// (which nest) the views hear of changed cells, rows and columns once, at the end, instead
    /// of once for each.
    void BeginBulkUpdate();
    void EndBulkUpdate();

    /// Sets the parts of one cell that \a item.mask names (GridMask).
    bool SetItem(const GridItem& item);
    bool SetItem(int nRow, int nCol, unsigned nMask, const QString& strText,
                 unsigned nFormat = GridFormat::Default);
    bool SetItemText(int nRow, int nCol, const QString& strText);
    QString GetItemText(int nRow, int nCol) const;
    bool SetItemFormat(int nRow, int nCol, unsigned nFormat);
    unsigned GetItemFormat(int nRow, int nCol) const;
    /// \a iImage indexes the image list; -1 removes the image.
    bool SetItemImage(int nRow, int nCol, int iImage);
    int GetItemImage(int nRow, int nCol) const;
    /// An invalid colour gives the cell the grid's background back.
    bool SetItemBkColour(int nRow, int nCol, const QColor& cr);
    QColor GetItemBkColour(int nRow, int nCol) const;
    bool SetItemData(int nRow, int nCol, qintptr lParam);
    qintptr GetItemData(int nRow, int nCol) const;
    bool SetItemState(int nRow, int nCol, unsigned nState);
    unsigned GetItemState(int nRow, int nCol) const;
    /// The cell itself, or nullptr out of range.
    const CGridCell* GetCell(int nRow, int nCol) const;
    bool IsCellFixed(int nRow, int nCol) const { return nRow < m_nFixedRows || nCol < m_nFixedCols; }

    bool SetRowHeight(int nRow, int nHeight);
    int GetRowHeight(int nRow) const;
    bool SetColumnWidth(int nCol, int nWidth);
    int GetColumnWidth(int nCol) const;
    /// Every column as wide as its widest cell; with \a bIgnoreFixedRows the header rows
    /// are left out of the measure. The sizes are those of measuring every cell
    /// (GridPaint::CellExtent), found quickly enough for tens of thousands of rows.
    void AutoSizeColumns(bool bIgnoreFixedRows = false);
    bool AutoSizeColumn(int nCol, bool bIgnoreFixedRows = false);
    /// Every row, or rows \a nFirst to \a nLast, as high as its highest cell, and never lower
    /// than the grid's default row height.
    void AutoSizeRows();
    void AutoSizeRows(int nFirst, int nLast);
    /// Columns, then rows.
    void AutoSize();

    /// In list mode a click selects the whole row.
    void SetListMode(bool bEnable);
    bool GetListMode() const { return m_bListMode; }
    void SetEditable(bool bEditable);
    bool IsEditable() const;

    /// The images that cells refer to by index. The caller keeps the list alive.
    void SetImageList(const QList<QPixmap>* pImageList);
    const QList<QPixmap>* GetImageList() const;
    const QPixmap* GetImage(int iImage) const;
    /// Cuts a strip of equally wide pictures into an image list; pixels of \a crTransparent
    /// become transparent.
    static QList<QPixmap> ImagesFromStrip(const QImage& strip, int nWidth, const QColor& crTransparent);

    void SetTextColour(const QColor& cr);
    QColor GetTextColour() const;
    /// Background of every cell that has none of its own.
    void SetTextBkColour(const QColor& cr);
    QColor GetTextBkColour() const;
    void SetFixedBkColour(const QColor& cr);
    QColor GetFixedBkColour() const;
    void SetGridLineColour(const QColor& cr);
    QColor GetGridLineColour() const;

    void SetPrintMargins(const PrintMargins& margins) { m_margins = margins; }
    PrintMargins GetPrintMargins() const { return m_margins; }
    /// Asks for a printer and prints the whole grid, with the fixed rows and columns
    /// repeated on every page. Nothing happens when the user cancels.
    void Print();

    /// Scrolls so that \a index shows clear of the fixed rows and columns.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void updateGeometries() override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct PrintContext;

    QTableView* MakeFrozenView(QAbstractItemModel* pModel);
    CGridSizer& Sizer();
    void ApplyFixedLayout();
    void PlaceFrozenViews();
    void CopySectionSizes(int nFirstRow, int nLastRow, int nFirstCol, int nLastCol);
    int FixedRowsHeight() const;
    int FixedColumnsWidth() const;
    void RepaintAll();
    QString PrintTitle() const;
    PrintContext PreparePrint(const QPrinter& printer);
    void PrintPage(QPainter& painter, const PrintContext& ctx, int nPage);
    void LoadRowsInView();
    void PrintHeaderFooter(QPainter& painter, const PrintContext& ctx, int nPage) const;
    void FrozenCellPressed(const QModelIndex& index);
    void ClearCurrentRow();

    CGridModel* m_pModel;
    CGridDelegate* m_pDelegate;
    // Headers are drawn by views laid over the main one: the fixed rows along the top, the
    // fixed columns down the left and their crossing in the corner.
    QTableView* m_pTopView = nullptr;
    QTableView* m_pLeftView = nullptr;
    QTableView* m_pCornerView = nullptr;
    int m_nFixedRows = 0;
    int m_nFixedCols = 0;
    int m_nBulk = 0;
    std::unique_ptr<CGridSizer> m_pSizer; // kept from page to page of rows, see Sizer()
    // What a bulk update changed, for the frozen views to copy when it ends: the layout as a
    // whole, or the sections resized.
    bool m_bBulkLayout = false;
    int m_nResizedRowFirst = INT_MAX;
    int m_nResizedRowLast = -1;
    int m_nResizedColFirst = INT_MAX;
    int m_nResizedColLast = -1;
    bool m_bListMode = false;
    PrintMargins m_margins;
};
