// Reading and writing single cells of CGridCtrl. Every accessor answers quietly for a
// position outside the grid, since callers fill rows from counts they computed themselves.

#include "controls/GridCtrl.h"
#include "controls/GridModel.h"

#include <utility>

namespace {

// An item that changes only the fields \a nMask names, of the cell at (nRow, nCol).
GridItem CellItem(int nRow, int nCol, unsigned nMask)
{
    GridItem item;
    item.row = nRow;
    item.col = nCol;
    item.mask = nMask;
    return item;
}

} // namespace

const CGridCell* CGridCtrl::GetCell(int nRow, int nCol) const
{
    // The model's const cells include the row source's, which cannot be changed.
    return std::as_const(*m_pModel).Cell(nRow, nCol);
}

bool CGridCtrl::SetItem(const GridItem& item)
{
    CGridCell* pCell = m_pModel->Cell(item.row, item.col);
    if (!pCell)
        return false;
    if (item.mask & GridMask::Text)
        pCell->m_strText = item.strText;
    if (item.mask & GridMask::Format)
        pCell->m_nFormat = item.nFormat;
    if (item.mask & GridMask::Image)
        pCell->m_nImage = item.iImage;
    if (item.mask & GridMask::BkColour)
        pCell->m_crBkClr = item.crBkClr;
    if (item.mask & GridMask::Param)
        pCell->m_lParam = item.lParam;
    if (item.mask & GridMask::State)
        pCell->m_nState = item.nState;
    m_pModel->CellChanged(item.row, item.col);
    return true;
}

bool CGridCtrl::SetItem(int nRow, int nCol, unsigned nMask, const QString& strText, unsigned nFormat)
{
    GridItem item = CellItem(nRow, nCol, nMask);
    item.strText = strText;
    item.nFormat = nFormat;
    return SetItem(item);
}

bool CGridCtrl::SetItemText(int nRow, int nCol, const QString& strText)
{
    return SetItem(nRow, nCol, GridMask::Text, strText);
}

QString CGridCtrl::GetItemText(int nRow, int nCol) const
{
    const CGridCell* pCell = GetCell(nRow, nCol);
    return pCell ? pCell->m_strText : QString();
}

bool CGridCtrl::SetItemFormat(int nRow, int nCol, unsigned nFormat)
{
    return SetItem(nRow, nCol, GridMask::Format, {}, nFormat);
}

unsigned CGridCtrl::GetItemFormat(int nRow, int nCol) const
{
    const CGridCell* pCell = GetCell(nRow, nCol);
    return pCell ? pCell->m_nFormat : GridFormat::Default;
}

bool CGridCtrl::SetItemImage(int nRow, int nCol, int iImage)
{
    GridItem item = CellItem(nRow, nCol, GridMask::Image);
    item.iImage = iImage;
    return SetItem(item);
}

int CGridCtrl::GetItemImage(int nRow, int nCol) const
{
    const CGridCell* pCell = GetCell(nRow, nCol);
    return pCell ? pCell->m_nImage : -1;
}

bool CGridCtrl::SetItemBkColour(int nRow, int nCol, const QColor& cr)
{
    GridItem item = CellItem(nRow, nCol, GridMask::BkColour);
    item.crBkClr = cr;
    return SetItem(item);
}

QColor CGridCtrl::GetItemBkColour(int nRow, int nCol) const
{
    const CGridCell* pCell = GetCell(nRow, nCol);
    return pCell ? pCell->m_crBkClr : QColor();
}

bool CGridCtrl::SetItemData(int nRow, int nCol, qintptr lParam)
{
    GridItem item = CellItem(nRow, nCol, GridMask::Param);
    item.lParam = lParam;
    return SetItem(item);
}

qintptr CGridCtrl::GetItemData(int nRow, int nCol) const
{
    const CGridCell* pCell = GetCell(nRow, nCol);
    return pCell ? pCell->m_lParam : 0;
}

bool CGridCtrl::SetItemState(int nRow, int nCol, unsigned nState)
{
    GridItem item = CellItem(nRow, nCol, GridMask::State);
    item.nState = nState;
    return SetItem(item);
}

unsigned CGridCtrl::GetItemState(int nRow, int nCol) const
{
    const CGridCell* pCell = GetCell(nRow, nCol);
    return pCell ? pCell->m_nState : 0;
}
