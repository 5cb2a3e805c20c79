#include "controls/GridDelegate.h"

#include "controls/GridModel.h"

#include <QAbstractItemView>
#include <QBrush>
#include <QHelpEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>

namespace {

// Room between the grid line and the text, in screen pixels.
constexpr int kMarginX = 3;
constexpr int kMarginY = 2;

// The alignment comes with the cell; the rest of its format says how lines break.
int QtTextFlags(const GridCellLook& look)
{
    const unsigned nFormat = look.nFormat;
    int f = int(look.alignment);
    if (nFormat & GridFormat::SingleLine)
        f |= Qt::TextSingleLine;
    else if (nFormat & GridFormat::WordBreak)
        f |= Qt::TextWordWrap;
    if (!(nFormat & GridFormat::NoPrefix))
        f |= Qt::TextShowMnemonic;
    return f;
}

// Rounded down, so that a column sized to its text on screen still holds it on paper.
int Scaled(int n, qreal dScale)
{
    return qMax(1, int(n * dScale));
}

// The part of a cell left for its image and text, inside the grid lines and margins.
QRect ContentRect(const QRect& cell, qreal dScale)
{
    const int nLine = Scaled(1, dScale);
    return cell.adjusted(Scaled(kMarginX, dScale), Scaled(kMarginY, dScale),
                         -nLine - Scaled(kMarginX, dScale), -nLine - Scaled(kMarginY, dScale));
}

QRect TextRect(const QRect& content, const QPixmap& image, qreal dScale)
{
    if (image.isNull())
        return content;
    return content.adjusted(Scaled(image.width(), dScale) + Scaled(kMarginX, dScale), 0, 0, 0);
}

// Texts that may not be cut are elided line by line, the way a single-line cell is.
QString ElidedText(const QString& strText, const QFontMetrics& fm, int nWidth, unsigned nFormat, int nFlags)
{
    if (!(nFormat & GridFormat::EndEllipsis) || (nFlags & Qt::TextWordWrap))
        return strText;
    if (nFormat & GridFormat::SingleLine)
        return fm.elidedText(strText, Qt::ElideRight, nWidth, nFlags);
    QStringList lines = strText.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = fm.elidedText(line, Qt::ElideRight, nWidth, nFlags);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

namespace GridPaint {

GridCellLook CellLook(const QModelIndex& index, const QFont& font)
{
    GridCellLook look;
    look.strText = index.data(Qt::DisplayRole).toString();
    look.nFormat = index.data(CGridModel::FormatRole).toUInt();
    look.alignment = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    look.font = font;
    look.crText = index.data(Qt::ForegroundRole).value<QBrush>().color();
    look.crBk = index.data(Qt::BackgroundRole).value<QBrush>().color();
    look.crGrid = index.data(CGridModel::GridLineColourRole).value<QColor>();
    look.image = index.data(Qt::DecorationRole).value<QPixmap>();
    look.bFixed = index.data(CGridModel::FixedRole).toBool();
    return look;
}

void DrawCell(QPainter& painter, const QRect& rect, const GridCellLook& look)
{
    painter.save();
    const QColor crBk = look.bSelected ? look.crHighlight : look.crBk;
    painter.fillRect(rect, crBk);

    const int nLine = Scaled(1, look.dScale);
    const QRect inner = rect.adjusted(0, 0, -nLine, -nLine);
    if (look.bFixed) {
        // A raised edge, so that headers read as buttons as they do in the desktop's lists.
        painter.fillRect(QRect(inner.left(), inner.top(), inner.width(), nLine), Qt::white);
        painter.fillRect(QRect(inner.left(), inner.top(), nLine, inner.height()), Qt::white);
    }
    painter.fillRect(QRect(rect.left(), rect.bottom() - nLine + 1, rect.width(), nLine), look.crGrid);
    painter.fillRect(QRect(rect.right() - nLine + 1, rect.top(), nLine, rect.height()), look.crGrid);

    const QRect content = ContentRect(rect, look.dScale);
    painter.setClipRect(inner, Qt::IntersectClip);
    if (!look.image.isNull()) {
        const QSize size(Scaled(look.image.width(), look.dScale), Scaled(look.image.height(), look.dScale));
        const QRect target(QPoint(content.left(), content.top() + (content.height() - size.height()) / 2),
                           size);
        painter.drawPixmap(target, look.image);
    }
    if (!look.strText.isEmpty()) {
        const QRect textRect = TextRect(content, look.image, look.dScale);
        const int nFlags = QtTextFlags(look);
        painter.setFont(look.font);
        painter.setPen(look.bSelected ? look.crHighlightText : look.crText);
        const QFontMetrics fm(look.font, painter.device());
        painter.drawText(textRect, nFlags,
                         ElidedText(look.strText, fm, textRect.width(), look.nFormat, nFlags));
    }
    painter.restore();
}

QSize CellExtent(const GridCellLook& look)
{
    const QFontMetrics fm(look.font);
    // Measured without wrapping: a column sized to this never has to break the text.
    const int nFlags = QtTextFlags(look) & ~Qt::TextWordWrap;
    const QSize text = look.strText.isEmpty() ? QSize(0, fm.height())
                                              : fm.boundingRect(QRect(), nFlags, look.strText).size();
    return CellExtent(text, look.image, look.dScale);
}

QSize CellExtent(const QSize& text, const QPixmap& image, qreal dScale)
{
    int nWidth = text.width();
    int nHeight = text.height();
    if (!image.isNull()) {
        nWidth += Scaled(image.width(), dScale) + (text.width() > 0 ? Scaled(kMarginX, dScale) : 0);
        nHeight = qMax(nHeight, Scaled(image.height(), dScale));
    }
    const int nLine = Scaled(1, dScale);
    return {nWidth + 2 * Scaled(kMarginX, dScale) + nLine, nHeight + 2 * Scaled(kMarginY, dScale) + nLine};
}

bool IsTextCut(const QRect& rect, const GridCellLook& look)
{
    if (look.strText.isEmpty())
        return false;
    const QRect textRect = TextRect(ContentRect(rect, 1.0), look.image, 1.0);
    const QFontMetrics fm(look.font);
    const QRect needed = fm.boundingRect(textRect, QtTextFlags(look), look.strText);
    return needed.width() > textRect.width() || needed.height() > textRect.height();
}

} // namespace GridPaint

CGridDelegate::CGridDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void CGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const
{
    if (!index.isValid())
        return;
    GridCellLook look = GridPaint::CellLook(index, option.font);
    look.bSelected = !look.bFixed && option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group =
        option.state.testFlag(QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    look.crHighlight = option.palette.color(group, QPalette::Highlight);
    look.crHighlightText = option.palette.color(group, QPalette::HighlightedText);
    GridPaint::DrawCell(*painter, option.rect, look);
}

QSize CGridDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!index.isValid())
        return {};
    return GridPaint::CellExtent(GridPaint::CellLook(index, option.font));
}

bool CGridDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                              const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString strTip = index.data(Qt::ToolTipRole).toString();
    if (!strTip.isEmpty() && GridPaint::IsTextCut(option.rect, GridPaint::CellLook(index, option.font))) {
        QToolTip::showText(event->globalPos(), strTip, view->viewport(), option.rect);
        return true;
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}
