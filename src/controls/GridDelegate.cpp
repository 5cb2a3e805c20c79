#include "controls/GridDelegate.h"

#include "controls/GridCtrl.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>

namespace {

// Room between the grid line and the text, in screen pixels.
constexpr int kMarginX = 3;
constexpr int kMarginY = 2;

int QtTextFlags(unsigned nFormat)
{
    int f = 0;
    if (nFormat & GridFormat::Right)
        f |= Qt::AlignRight;
    else if (nFormat & GridFormat::Center)
        f |= Qt::AlignHCenter;
    else
        f |= Qt::AlignLeft;
    if (nFormat & GridFormat::Bottom)
        f |= Qt::AlignBottom;
    else if (nFormat & GridFormat::VCenter)
        f |= Qt::AlignVCenter;
    else
        f |= Qt::AlignTop;
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

QRect TextRect(const QRect& content, const QPixmap* pImage, qreal dScale)
{
    if (!pImage || pImage->isNull())
        return content;
    return content.adjusted(Scaled(pImage->width(), dScale) + Scaled(kMarginX, dScale), 0, 0, 0);
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

void DrawCell(QPainter& painter, const QRect& rect, const CGridCell& cell, const GridCellLook& look)
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
    if (look.pImage && !look.pImage->isNull()) {
        const QSize size(Scaled(look.pImage->width(), look.dScale),
                         Scaled(look.pImage->height(), look.dScale));
        const QRect target(QPoint(content.left(), content.top() + (content.height() - size.height()) / 2),
                           size);
        painter.drawPixmap(target, *look.pImage);
    }
    if (!cell.m_strText.isEmpty()) {
        const QRect textRect = TextRect(content, look.pImage, look.dScale);
        const int nFlags = QtTextFlags(cell.m_nFormat);
        painter.setFont(look.font);
        painter.setPen(look.bSelected ? look.crHighlightText : look.crText);
        const QFontMetrics fm(look.font, painter.device());
        painter.drawText(textRect, nFlags,
                         ElidedText(cell.m_strText, fm, textRect.width(), cell.m_nFormat, nFlags));
    }
    painter.restore();
}

QSize CellExtent(const CGridCell& cell, const QFont& font, const QPixmap* pImage)
{
    const QFontMetrics fm(font);
    // Measured without wrapping: a column sized to this never has to break the text.
    const int nFlags = QtTextFlags(cell.m_nFormat) & ~Qt::TextWordWrap;
    QSize text = cell.m_strText.isEmpty() ? QSize(0, fm.height())
                                          : fm.boundingRect(QRect(), nFlags, cell.m_strText).size();
    int nWidth = text.width();
    int nHeight = text.height();
    if (pImage && !pImage->isNull()) {
        nWidth += pImage->width() + (text.width() > 0 ? kMarginX : 0);
        nHeight = qMax(nHeight, pImage->height());
    }
    return {nWidth + 2 * kMarginX + 1, nHeight + 2 * kMarginY + 1};
}

bool IsTextCut(const QRect& rect, const CGridCell& cell, const QFont& font, const QPixmap* pImage)
{
    if (cell.m_strText.isEmpty())
        return false;
    const QRect textRect = TextRect(ContentRect(rect, 1.0), pImage, 1.0);
    const QFontMetrics fm(font);
    const QRect needed = fm.boundingRect(textRect, QtTextFlags(cell.m_nFormat), cell.m_strText);
    return needed.width() > textRect.width() || needed.height() > textRect.height();
}

} // namespace GridPaint

CGridDelegate::CGridDelegate(const CGridCtrl* pGrid, QObject* parent)
    : QStyledItemDelegate(parent), m_pGrid(pGrid)
{}

void CGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const
{
    const CGridCell* pCell = m_pGrid->GetCell(index.row(), index.column());
    if (!pCell)
        return;
    GridCellLook look;
    look.font = m_pGrid->font();
    look.crText = m_pGrid->GetTextColour();
    look.bFixed = m_pGrid->IsCellFixed(index.row(), index.column());
    if (pCell->m_crBkClr.isValid())
        look.crBk = pCell->m_crBkClr;
    else
        look.crBk = look.bFixed ? m_pGrid->GetFixedBkColour() : m_pGrid->GetTextBkColour();
    look.crGrid = m_pGrid->GetGridLineColour();
    look.pImage = m_pGrid->GetImage(pCell->m_nImage);
    look.bSelected = !look.bFixed && option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group =
        option.state.testFlag(QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    look.crHighlight = option.palette.color(group, QPalette::Highlight);
    look.crHighlightText = option.palette.color(group, QPalette::HighlightedText);
    GridPaint::DrawCell(*painter, option.rect, *pCell, look);
}

QSize CGridDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const CGridCell* pCell = m_pGrid->GetCell(index.row(), index.column());
    if (!pCell)
        return {};
    return GridPaint::CellExtent(*pCell, m_pGrid->font(), m_pGrid->GetImage(pCell->m_nImage));
}

bool CGridDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                              const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const CGridCell* pCell = m_pGrid->GetCell(index.row(), index.column());
    if (pCell &&
        GridPaint::IsTextCut(option.rect, *pCell, m_pGrid->font(), m_pGrid->GetImage(pCell->m_nImage))) {
        QToolTip::showText(event->globalPos(), pCell->m_strText, view->viewport(), option.rect);
        return true;
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}
