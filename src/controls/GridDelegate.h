#pragma once

#include "controls/GridCell.h"

#include <QFont>
#include <QStyledItemDelegate>

class CGridCtrl;
class QPixmap;

/// How one cell is drawn; the screen and the printer use the same routine, so a printed
/// grid looks like the one on screen.
struct GridCellLook
{
    QFont font;
    QColor crText;
    QColor crBk;
    QColor crGrid;
    const QPixmap* pImage = nullptr;
    bool bFixed = false;
    bool bSelected = false;
    QColor crHighlight;
    QColor crHighlightText;
    qreal dScale = 1.0; ///< device pixels per screen pixel (1 on screen)
};

namespace GridPaint {

void DrawCell(QPainter& painter, const QRect& rect, const CGridCell& cell, const GridCellLook& look);
/// The space the cell needs to show its text on one line per paragraph and its image.
QSize CellExtent(const CGridCell& cell, const QFont& font, const QPixmap* pImage);
/// True when \a rect is too small for the whole text, i.e. it is cut or ends in an ellipsis.
bool IsTextCut(const QRect& rect, const CGridCell& cell, const QFont& font, const QPixmap* pImage);

} // namespace GridPaint

/// Paints the cells of every view of a CGridCtrl and shows the full text of cut-off cells
/// as a tip.
class CGridDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit CGridDelegate(const CGridCtrl* pGrid, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    const CGridCtrl* m_pGrid;
};
