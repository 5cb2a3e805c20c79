#include "controls/PieChartCtrl.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <cmath>
#include <qdrawutil.h>

namespace {

// The size the text takes on one line. Chinese text is drawn from a fallback font whose
// lines may be taller than the requested font's own, so the text is measured, not the font.
QSize TextExtent(const QFont& font, const QString& strText)
{
    return QFontMetrics(font).boundingRect(QRect(), Qt::TextSingleLine, strText).size();
}

// Room kept between the legend and the title or the disc.
constexpr int kLegendGap = 4;
// Room between a legend label and its box.
constexpr int kLabelGap = 3;

// The largest square that fits \a area, its bottom on the area's bottom, centred across it.
QRect BottomSquare(const QRect& area)
{
    const int nSide = qMax(0, qMin(area.width(), area.height()));
    return {area.left() + (area.width() - nSide) / 2, area.bottom() + 1 - nSide, nSide, nSide};
}

// Whether the disc inside \a square (and its one-pixel outline) reaches into \a rc.
bool DiscMeets(const QRect& square, const QRect& rc)
{
    if (square.isEmpty() || rc.isEmpty())
        return false;
    const QRectF box(rc);
    const QPointF centre = QRectF(square).center();
    const QPointF nearest(qBound(box.left(), centre.x(), box.right()),
                          qBound(box.top(), centre.y(), box.bottom()));
    return QLineF(centre, nearest).length() < square.width() / 2.0 + 1;
}

} // namespace

CPieChartCtrl::CPieChartCtrl(QWidget* parent)
    : QWidget(parent), m_fontTitle(QStringLiteral("Arial")), m_fontLabel(QStringLiteral("Arial"))
{
    m_fontTitle.setPixelSize(16);
    m_fontTitle.setWeight(QFont::Bold);
    m_fontLabel.setPixelSize(14);
    m_fontLabel.setWeight(QFont::Normal);
    setCursor(Qt::PointingHandCursor);
    // Every pixel is painted from the off-screen picture, so the background need not be
    // erased first; that is what keeps the pie from flickering while it turns.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CPieChartCtrl::~CPieChartCtrl()
{
    RemoveAllPieces();
}

QSize CPieChartCtrl::sizeHint() const
{
    return {240, 200};
}

void CPieChartCtrl::SetTitle(const QString& strTitle)
{
    m_strTitle = strTitle;
    RecalcLayout();
    update();
}

bool CPieChartCtrl::AddPiece(const QColor& crFill, const QColor& crText, int nDegrees,
                             const QString& strLabel)
{
    m_pieces.append({crFill, crText, QBrush(crFill, Qt::SolidPattern), nDegrees, strLabel});
    RecalcLayout();
    update();
    return true;
}

void CPieChartCtrl::RemoveAllPieces()
{
    m_pieces.clear();
    RecalcLayout();
    update();
}

// The disc takes the largest square under the title, centred across the control and standing
// on its bottom edge. The legend hangs down the top right corner, beside the title where there
// is room and under it where there is not; when the disc would reach into it, the disc moves
// under the legend or to its left, whichever leaves it larger.
void CPieChartCtrl::RecalcLayout()
{
    const QRect rc = rect();
    int nTop = rc.top();
    int nTitleRight = rc.left();
    m_nTitleHeight = 0;
    if (!m_strTitle.isEmpty()) {
        const QSize title = TextExtent(m_fontTitle, m_strTitle);
        m_nTitleHeight = title.height();
        nTop += 2 * m_nTitleHeight;
        nTitleRight = rc.left() + 1 + title.width();
    }

    QSize legend(0, 0);
    for (const PieChartPiece& piece : m_pieces) {
        if (piece.m_strLabel.isEmpty())
            continue;
        const QSize label = TextExtent(m_fontLabel, piece.m_strLabel);
        legend.rwidth() = qMax(legend.width(), label.width() + kLabelGap + label.height());
        legend.rheight() += label.height();
    }
    m_rcLegend = QRect();
    if (!legend.isEmpty()) {
        const int nLeft = rc.right() + 1 - legend.width();
        const int nLegendTop = nTitleRight + kLegendGap > nLeft ? nTop : rc.top();
        m_rcLegend = QRect(QPoint(nLeft, nLegendTop), legend);
    }

    m_rcPie = BottomSquare(QRect(rc.left(), nTop, rc.width(), rc.bottom() + 1 - nTop));
    if (DiscMeets(m_rcPie, m_rcLegend)) {
        const int nBelow = qMax(nTop, m_rcLegend.bottom() + 1 + kLegendGap);
        const QRect below = BottomSquare(QRect(rc.left(), nBelow, rc.width(), rc.bottom() + 1 - nBelow));
        const QRect left = BottomSquare(
            QRect(rc.left(), nTop, m_rcLegend.left() - kLegendGap - rc.left(), rc.bottom() + 1 - nTop));
        m_rcPie = left.width() > below.width() ? left : below;
    }
}

QPoint CPieChartCtrl::GetPointOnCircle(int nAngle, double dRadiusFactor) const
{
    if (nAngle < 0)
        nAngle += ((-nAngle + 359) / 360) * 360;
    if (nAngle > 359)
        nAngle -= (nAngle / 360) * 360;
    const double dTheta = nAngle * 3.1415926535 / 180;
    const double dRadius = m_rcPie.width() / 2.0 * dRadiusFactor;
    const double cx = m_rcPie.left() + m_rcPie.width() / 2.0;
    const double cy = m_rcPie.top() + m_rcPie.height() / 2.0;
    return {int(std::trunc(cx + dRadius * std::sin(dTheta))),
            int(std::trunc(cy - dRadius * std::cos(dTheta)))};
}

QString CPieChartCtrl::PercentText(int nDegrees)
{
    return QStringLiteral("%1%").arg(nDegrees * 100.0 / 360.0, 0, 'f', 0);
}

void CPieChartCtrl::paintEvent(QPaintEvent*)
{
    if (m_rcPie.isEmpty())
        RecalcLayout();
    QPixmap buffer(size() * devicePixelRatioF());
    buffer.setDevicePixelRatio(devicePixelRatioF());
    {
        QPainter painter(&buffer);
        DrawChart(painter);
    }
    QPainter(this).drawPixmap(0, 0, buffer);
}

void CPieChartCtrl::DrawChart(QPainter& painter)
{
    painter.fillRect(rect(), palette().color(QPalette::Button));

    // The disc's edge lies on the pie square's last pixels, as a one-pixel pen draws it there.
    const QRectF disc = QRectF(m_rcPie).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPointF centre = disc.center();
    painter.setPen(QPen(m_crLine, 1));
    painter.setBrush(m_crBase);
    painter.drawEllipse(disc);

    int nAngle = m_nStartAngle;
    QPoint pt0 = GetPointOnCircle(nAngle);
    int nLegendTop = m_rcLegend.top();
    for (const PieChartPiece& piece : m_pieces) {
        const int nFrom = nAngle;
        nAngle += piece.m_nDegrees;
        const QPoint pt1 = GetPointOnCircle(nAngle);
        if (piece.m_nDegrees >= 360) {
            // Both radii coincide, as they do for a zero slice; a whole turn is the whole disc.
            painter.setBrush(piece.m_brush);
            painter.drawEllipse(disc);
        } else if (pt0 != pt1) {
            const int nSweep = ((piece.m_nDegrees % 360) + 360) % 360;
            painter.setBrush(piece.m_brush);
            // Qt counts from three o'clock anticlockwise in sixteenths of a degree.
            painter.drawPie(disc, (90 - nFrom % 360) * 16, -nSweep * 16);
        }
        painter.drawLine(centre, QPointF(pt1));
        if (!piece.m_strLabel.isEmpty()) {
            DrawLegend(painter, piece, nLegendTop);
            nLegendTop += TextExtent(m_fontLabel, piece.m_strLabel).height();
        }
        if (piece.m_nDegrees > 25) {
            const QPoint pt = GetPointOnCircle(nAngle - piece.m_nDegrees / 2, 0.6);
            const QString strText = PercentText(piece.m_nDegrees);
            const QSize extent = TextExtent(m_fontLabel, strText);
            painter.setFont(m_fontLabel);
            painter.setPen(piece.m_crText);
            painter.drawText(QRect(QPoint(pt.x() - extent.width() / 2, pt.y() - extent.height() / 2), extent),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, strText);
            painter.setPen(QPen(m_crLine, 1));
        }
        pt0 = pt1;
    }

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(m_crLine, 1));
    painter.drawEllipse(disc);

    if (!m_strTitle.isEmpty()) {
        painter.setFont(m_fontTitle);
        painter.setPen(QColor(0, 0, 255));
        painter.drawText(QRect(1, 1, width() - 1, m_nTitleHeight),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, m_strTitle);
    }
}

void CPieChartCtrl::DrawLegend(QPainter& painter, const PieChartPiece& piece, int nTop)
{
    const int h = TextExtent(m_fontLabel, piece.m_strLabel).height();
    const QRect box(width() - h, nTop, h, h);
    painter.fillRect(box, piece.m_crFill);
    qDrawWinPanel(&painter, box, palette(), true);
    painter.setFont(m_fontLabel);
    painter.setPen(piece.m_crFill);
    painter.drawText(QRect(0, box.top(), box.left() - kLabelGap, h),
                     Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                     piece.m_strLabel);
    painter.setPen(QPen(m_crLine, 1));
}

void CPieChartCtrl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    RecalcLayout();
}

void CPieChartCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    // The widget keeps the mouse while the button is down, so the drag goes on outside it.
    m_ptLast = event->position().toPoint();
    m_bDragging = true;
}

void CPieChartCtrl::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_bDragging)
        return QWidget::mouseMoveEvent(event);
    const QPoint pt = event->position().toPoint();
    m_nStartAngle += pt.x() - m_ptLast.x();
    update(m_rcPie);
    m_ptLast = pt;
}

void CPieChartCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_bDragging || event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    m_bDragging = false;
}
