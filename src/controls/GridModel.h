#pragma once

#include "controls/GridCell.h"

#include <QAbstractTableModel>
#include <QList>

/// The cells behind a CGridCtrl. The grid's own views share it, so a fixed row or column
/// is one and the same cell whichever view shows it.
class CGridModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
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
    const CGridCell* Cell(int nRow, int nCol) const;
    CGridCell* Cell(int nRow, int nCol);
    /// Tells the views that a cell has changed so they repaint it.
    void CellChanged(int nRow, int nCol);

private:
    QList<QList<CGridCell>> m_rows;
    int m_nCols = 0;
    int m_nFixedRows = 0;
    int m_nFixedCols = 0;
    bool m_bEditable = false;
};
