#pragma once

#include "controls/GridCell.h"

#include <QFont>
#include <QPixmap>
#include <QStyledItemDelegate>

/// How one cell is drawn; the screen and the printer use the same routine, so a printed
/// grid looks like the one on screen.
struct GridCellLook
{
    QString strText;
    unsigned nFormat = GridFormat::Default; ///< line breaking and the ellipsis
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QFont font;
    QColor crText;
    QColor crBk;
    QColor crGrid;
    QPixmap image; ///< null for none
    bool bFixed = false;
    bool bSelected = false;
    QColor crHighlight;
    QColor crHighlightText;
    qreal dScale = 1.0; ///< device pixels per screen pixel (1 on screen)
};

namespace GridPaint {

/// The look of the cell at \a index as its model's role data gives it, in \a font.
GridCellLook CellLook(const QModelIndex& index, const QFont& font);
void DrawCell(QPainter& painter, const QRect& rect, const GridCellLook& look);
/// The space the cell needs to show its text on one line per paragraph and its image, in the
/// look's font and scale.
QSize CellExtent(const GridCellLook& look);
/// The space a cell needs around a text of size \a text (as the look's font measures it) and
/// \a image.
QSize CellExtent(const QSize& text, const QPixmap& image, qreal dScale);
/// True when \a rect is too small for the whole text, i.e. it is cut or ends in an ellipsis.
bool IsTextCut(const QRect& rect, const GridCellLook& look);

} // namespace GridPaint

/// Paints the cells of a grid model (CGridModel's roles) and shows the tip of a cell whose
/// text is cut off.
class CGridDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit CGridDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};
