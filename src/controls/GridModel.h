#pragma once

#include "controls/GridCell.h"
#include "controls/GridRowSource.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPixmap>

/// The cells behind a CGridCtrl. The grid's own views share it, so a fixed row or column
/// is one and the same cell whichever view shows it.
///
/// Everything a cell shows is role data: the text, its alignment, the background (the cell's
/// own or the grid's), the text colour, the picture from the image list and the tip. The
/// parts Qt has no role for have roles of their own below.
class CGridModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Role
    {
        /// The cell's GridFormat flags (unsigned); line breaking and the ellipsis come from here.
        FormatRole = Qt::UserRole + 1,
        /// True for a cell of a fixed row or column, drawn as a header.
        FixedRole,
        /// Colour of the lines between cells (QColor).
        GridLineColourRole,
    };

    explicit CGridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void SetRowCount(int nRows);
    void SetColumnCount(int nCols);
    void SetFixed(int nFixedRows, int nFixedCols);
    void SetEditable(bool bEditable) { m_bEditable = bEditable; }
    bool IsEditable() const { return m_bEditable; }

    bool IsValid(int nRow, int nCol) const;
    bool IsFixed(int nRow, int nCol) const { return nRow < m_nFixedRows || nCol < m_nFixedCols; }
    int FixedRowCount() const { return m_nFixedRows; }
    const CGridCell* Cell(int nRow, int nCol) const;
    /// The cell at a position known to be valid, for walking many of them. A row of the row
    /// source that is not loaded reads as blank cells.
    const CGridCell& CellAt(int nRow, int nCol) const
    {
        return nRow < m_nOwnRows ? m_rows[nRow][nCol] : SourceCell(nRow, nCol);
    }
    /// A cell that may be changed: none of the row source's.
    CGridCell* Cell(int nRow, int nCol);

    /// Takes the rows under the model's own from \a pSource (nullptr: none); the caller keeps
    /// it alive. SetRowCount() lets go of it.
    void SetRowSource(IGridRowSource* pSource);
    IGridRowSource* RowSource() const { return m_pSource; }
    /// Tells the views that rows of the source have been loaded.
    void RowsChanged(int nFirst, int nLast);
    /// Tells the views that a cell has changed so they repaint it.
    void CellChanged(int nRow, int nCol);
    /// Between these two (which nest) the changed cells are gathered and the views told once,
    /// at the end, of the block that holds them all: filling thousands of cells one signal each
    /// costs more than the cells themselves.
    void BeginBulkChange() { ++m_nBulk; }
    void EndBulkChange();

    // Grid-wide looks, which every cell's role data follows.
    void SetTextColour(const QColor& cr);
    QColor GetTextColour() const { return m_crText; }
    void SetTextBkColour(const QColor& cr);
    QColor GetTextBkColour() const { return m_crTextBk; }
    void SetFixedBkColour(const QColor& cr);
    QColor GetFixedBkColour() const { return m_crFixedBk; }
    void SetGridLineColour(const QColor& cr);
    QColor GetGridLineColour() const { return m_crGridLine; }
    /// The caller keeps the list alive.
    void SetImageList(const QList<QPixmap>* pImageList);
    const QList<QPixmap>* GetImageList() const { return m_pImageList; }
    /// The picture \a iImage of the image list, or nullptr when there is none.
    const QPixmap* Image(int iImage) const;

private:
    const CGridCell& SourceCell(int nRow, int nCol) const;
    void AllChanged(const QList<int>& roles);
    void Changed(int nTop, int nLeft, int nBottom, int nRight, const QList<int>& roles = {});

    int m_nBulk = 0;
    // The block of cells changed during a bulk change; empty while m_nBulkBottom < m_nBulkTop.
    int m_nBulkTop = 0;
    int m_nBulkLeft = 0;
    int m_nBulkBottom = -1;
    int m_nBulkRight = -1;

    QList<QList<CGridCell>> m_rows;
    int m_nOwnRows = 0; ///< m_rows.size(), for the many CellAt() calls
    IGridRowSource* m_pSource = nullptr;
    int m_nSourceRows = 0; ///< the source's count when it was set
    int m_nCols = 0;
    int m_nFixedRows = 0;
    int m_nFixedCols = 0;
    bool m_bEditable = false;
    QColor m_crText{Qt::black};
    QColor m_crTextBk{Qt::white};
    QColor m_crFixedBk{Qt::lightGray};
    QColor m_crGridLine{192, 192, 192};
    const QList<QPixmap>* m_pImageList = nullptr;
};

/// The fixed rows of a CGridModel alone, for the grid's views that never show any other row:
/// a view keeps a size for each of its rows, and a million of them cost every such view
/// megabytes and a long wait when a query fills the grid.
class CGridHeadModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit CGridHeadModel(CGridModel& source, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    /// Follows the source's rows, columns and fixed rows after any change of them: rows and
    /// columns only ever come and go at the end.
    void Follow();
    int SourceHeadRows() const;
    void SourceChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles);

    CGridModel& m_source;
    int m_nRows = 0;
    int m_nCols = 0;
};
