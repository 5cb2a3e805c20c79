#include "controls/GridModel.h"

#include <QBrush>

namespace {

Qt::Alignment Alignment(unsigned nFormat)
{
    Qt::Alignment a;
    if (nFormat & GridFormat::Right)
        a |= Qt::AlignRight;
    else if (nFormat & GridFormat::Center)
        a |= Qt::AlignHCenter;
    else
        a |= Qt::AlignLeft;
    if (nFormat & GridFormat::Bottom)
        a |= Qt::AlignBottom;
    else if (nFormat & GridFormat::VCenter)
        a |= Qt::AlignVCenter;
    else
        a |= Qt::AlignTop;
    return a;
}

} // namespace

CGridModel::CGridModel(QObject* parent) : QAbstractTableModel(parent) {}

int CGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_nOwnRows + m_nSourceRows;
}

int CGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_nCols;
}

QVariant CGridModel::data(const QModelIndex& index, int role) const
{
    const CGridCell* pCell = Cell(index.row(), index.column());
    if (!pCell)
        return {};
    const bool bFixed = IsFixed(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::ToolTipRole: // shown by the grid only when the cell cuts its text
        return pCell->m_strText;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Alignment(pCell->m_nFormat));
    case Qt::BackgroundRole:
        if (pCell->m_crBkClr.isValid())
            return QBrush(pCell->m_crBkClr);
        return QBrush(bFixed ? m_crFixedBk : m_crTextBk);
    case Qt::ForegroundRole:
        return QBrush(m_crText);
    case Qt::DecorationRole:
        if (const QPixmap* pImage = Image(pCell->m_nImage))
            return *pImage;
        return {};
    case FormatRole:
        return pCell->m_nFormat;
    case FixedRole:
        return bFixed;
    case GridLineColourRole:
        return m_crGridLine;
    default:
        return {};
    }
}

bool CGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    CGridCell* pCell = Cell(index.row(), index.column());
    if (!pCell || role != Qt::EditRole || !m_bEditable || IsFixed(index.row(), index.column()))
        return false;
    pCell->m_strText = value.toString();
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags CGridModel::flags(const QModelIndex& index) const
{
    if (!IsValid(index.row(), index.column()))
        return Qt::NoItemFlags;
    // Headers stay enabled so that their tips still show, but they never take the selection.
    if (IsFixed(index.row(), index.column()))
        return Qt::ItemIsEnabled;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_bEditable)
        f |= Qt::ItemIsEditable;
    return f;
}

void CGridModel::SetRowCount(int nRows)
{
    SetRowSource(nullptr);
    const int nOld = m_nOwnRows;
    if (nRows > nOld) {
        beginInsertRows({}, nOld, nRows - 1);
        m_rows.resize(nRows, QList<CGridCell>(m_nCols));
        m_nOwnRows = nRows;
        endInsertRows();
    } else if (nRows < nOld) {
        beginRemoveRows({}, nRows, nOld - 1);
        m_rows.resize(nRows);
        m_nOwnRows = nRows;
        endRemoveRows();
    }
}

void CGridModel::SetRowSource(IGridRowSource* pSource)
{
    if (m_nSourceRows > 0) {
        beginRemoveRows({}, m_nOwnRows, m_nOwnRows + m_nSourceRows - 1);
        m_pSource = nullptr;
        m_nSourceRows = 0;
        endRemoveRows();
    }
    m_pSource = nullptr;
    const int nRows = pSource ? pSource->RowCount() : 0;
    if (nRows > 0) {
        beginInsertRows({}, m_nOwnRows, m_nOwnRows + nRows - 1);
        m_nSourceRows = nRows;
        m_pSource = pSource;
        endInsertRows();
    } else {
        m_pSource = pSource;
    }
}

void CGridModel::RowsChanged(int nFirst, int nLast)
{
    nFirst = qMax(nFirst, m_nOwnRows);
    nLast = qMin(nLast, rowCount() - 1);
    if (nFirst <= nLast && m_nCols > 0)
        Changed(nFirst, 0, nLast, m_nCols - 1);
}

const CGridCell& CGridModel::SourceCell(int nRow, int nCol) const
{
    static const CGridCell blank;
    const CGridCell* pCell = m_pSource ? m_pSource->Cell(nRow - m_nOwnRows, nCol) : nullptr;
    return pCell ? *pCell : blank;
}

void CGridModel::SetColumnCount(int nCols)
{
    const int nOld = m_nCols;
    if (nCols > nOld) {
        beginInsertColumns({}, nOld, nCols - 1);
        m_nCols = nCols;
        for (auto& row : m_rows)
            row.resize(nCols);
        endInsertColumns();
    } else if (nCols < nOld) {
        beginRemoveColumns({}, nCols, nOld - 1);
        m_nCols = nCols;
        for (auto& row : m_rows)
            row.resize(nCols);
        endRemoveColumns();
    }
}

void CGridModel::SetFixed(int nFixedRows, int nFixedCols)
{
    m_nFixedRows = nFixedRows;
    m_nFixedCols = nFixedCols;
    AllChanged({Qt::BackgroundRole, FixedRole});
}

void CGridModel::AllChanged(const QList<int>& roles)
{
    if (rowCount() > 0 && m_nCols > 0)
        Changed(0, 0, rowCount() - 1, m_nCols - 1, roles);
}

void CGridModel::Changed(int nTop, int nLeft, int nBottom, int nRight, const QList<int>& roles)
{
    if (m_nBulk == 0) {
        emit dataChanged(index(nTop, nLeft), index(nBottom, nRight), roles);
        return;
    }
    if (m_nBulkBottom < m_nBulkTop) {
        m_nBulkTop = nTop;
        m_nBulkLeft = nLeft;
        m_nBulkBottom = nBottom;
        m_nBulkRight = nRight;
        return;
    }
    m_nBulkTop = qMin(m_nBulkTop, nTop);
    m_nBulkLeft = qMin(m_nBulkLeft, nLeft);
    m_nBulkBottom = qMax(m_nBulkBottom, nBottom);
    m_nBulkRight = qMax(m_nBulkRight, nRight);
}

void CGridModel::EndBulkChange()
{
    if (m_nBulk == 0 || --m_nBulk > 0)
        return;
    // Rows or columns removed meanwhile take their part of the block with them.
    const int nBottom = qMin(m_nBulkBottom, rowCount() - 1);
    const int nRight = qMin(m_nBulkRight, m_nCols - 1);
    if (m_nBulkTop <= nBottom && m_nBulkLeft <= nRight)
        emit dataChanged(index(m_nBulkTop, m_nBulkLeft), index(nBottom, nRight));
    m_nBulkBottom = -1;
    m_nBulkTop = 0;
}

void CGridModel::SetTextColour(const QColor& cr)
{
    m_crText = cr;
    AllChanged({Qt::ForegroundRole});
}

void CGridModel::SetTextBkColour(const QColor& cr)
{
    m_crTextBk = cr;
    AllChanged({Qt::BackgroundRole});
}

void CGridModel::SetFixedBkColour(const QColor& cr)
{
    m_crFixedBk = cr;
    AllChanged({Qt::BackgroundRole});
}

void CGridModel::SetGridLineColour(const QColor& cr)
{
    m_crGridLine = cr;
    AllChanged({GridLineColourRole});
}

void CGridModel::SetImageList(const QList<QPixmap>* pImageList)
{
    m_pImageList = pImageList;
    AllChanged({Qt::DecorationRole});
}

const QPixmap* CGridModel::Image(int iImage) const
{
    if (!m_pImageList || iImage < 0 || iImage >= m_pImageList->size())
        return nullptr;
    return &(*m_pImageList)[iImage];
}

bool CGridModel::IsValid(int nRow, int nCol) const
{
    return nRow >= 0 && nRow < rowCount() && nCol >= 0 && nCol < m_nCols;
}

const CGridCell* CGridModel::Cell(int nRow, int nCol) const
{
    return IsValid(nRow, nCol) ? &CellAt(nRow, nCol) : nullptr;
}

CGridCell* CGridModel::Cell(int nRow, int nCol)
{
    return nRow < m_nOwnRows && IsValid(nRow, nCol) ? &m_rows[nRow][nCol] : nullptr;
}

void CGridModel::CellChanged(int nRow, int nCol)
{
    if (IsValid(nRow, nCol))
        Changed(nRow, nCol, nRow, nCol);
}

CGridHeadModel::CGridHeadModel(CGridModel& source, QObject* parent)
    : QAbstractTableModel(parent), m_source(source)
{
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved,
                        &QAbstractItemModel::columnsInserted, &QAbstractItemModel::columnsRemoved})
        connect(&source, signal, this, &CGridHeadModel::Follow);
    connect(&source, &QAbstractItemModel::modelReset, this, &CGridHeadModel::Follow);
    connect(&source, &QAbstractItemModel::layoutChanged, this, &CGridHeadModel::Follow);
    connect(&source, &QAbstractItemModel::dataChanged, this, &CGridHeadModel::SourceChanged);
    Follow();
}

int CGridHeadModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_nRows;
}

int CGridHeadModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_nCols;
}

QVariant CGridHeadModel::data(const QModelIndex& index, int role) const
{
    return m_source.data(m_source.index(index.row(), index.column()), role);
}

Qt::ItemFlags CGridHeadModel::flags(const QModelIndex& index) const
{
    return m_source.flags(m_source.index(index.row(), index.column()));
}

int CGridHeadModel::SourceHeadRows() const
{
    return qMin(m_source.rowCount(), m_source.FixedRowCount());
}

void CGridHeadModel::Follow()
{
    const int nRows = SourceHeadRows();
    const int nCols = m_source.columnCount();
    if (nCols > m_nCols) {
        beginInsertColumns({}, m_nCols, nCols - 1);
        m_nCols = nCols;
        endInsertColumns();
    } else if (nCols < m_nCols) {
        beginRemoveColumns({}, nCols, m_nCols - 1);
        m_nCols = nCols;
        endRemoveColumns();
    }
    if (nRows > m_nRows) {
        beginInsertRows({}, m_nRows, nRows - 1);
        m_nRows = nRows;
        endInsertRows();
    } else if (nRows < m_nRows) {
        beginRemoveRows({}, nRows, m_nRows - 1);
        m_nRows = nRows;
        endRemoveRows();
    }
    // The cells that stayed may hold other content now.
    if (m_nRows > 0 && m_nCols > 0)
        emit dataChanged(index(0, 0), index(m_nRows - 1, m_nCols - 1));
}

void CGridHeadModel::SourceChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                   const QList<int>& roles)
{
    // Setting the fixed rows tells of every cell: that is when the head gains or loses rows.
    if (SourceHeadRows() != m_nRows) {
        Follow();
        return;
    }
    const int nBottom = qMin(bottomRight.row(), m_nRows - 1);
    if (topLeft.row() <= nBottom && m_nCols > 0)
        emit dataChanged(index(topLeft.row(), topLeft.column()),
                         index(nBottom, qMin(bottomRight.column(), m_nCols - 1)), roles);
}
