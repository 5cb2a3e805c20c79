#include "controls/BalloonTip.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kMarginX = 12;
constexpr int kMarginY = 10;
constexpr int kIconGap = 5;
const auto kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs;

// The outermost nWidth pixels of a region, measured straight across and straight down.
QRegion Rim(const QRegion& region, int nWidth)
{
    QRegion inner = region;
    for (int d = 1; d <= nWidth; ++d) {
        inner &= region.translated(d, 0);
        inner &= region.translated(-d, 0);
        inner &= region.translated(0, d);
        inner &= region.translated(0, -d);
    }
    return region - inner;
}

} // namespace

CBalloonTip::CBalloonTip(QWidget* pOwner)
    : QWidget(pOwner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    // The tip only shows; the pointer must reach the controls below its edges.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_showTimer.setSingleShot(true);
    connect(&m_showTimer, &QTimer::timeout, this, &CBalloonTip::OnShowTimer);
    m_checkTimer.setInterval(kCheckPeriodMs);
    connect(&m_checkTimer, &QTimer::timeout, this, &CBalloonTip::OnCheckTimer);
}

// A control's own icon only stands in for the tip's icon while that control's tip shows; the
// tip's icon itself never changes on the way, so every later tip shows it again.
void CBalloonTip::SetIcon(const QIcon& icon)
{
    m_icon = icon;
    MeasureIcon();
    update();
}

void CBalloonTip::MeasureIcon()
{
    const QIcon& icon = ShownIcon();
    if (icon.isNull()) {
        m_cxIcon = m_cyIcon = 0;
    } else {
        // Icons are measured from their centre, as cursors are, so an odd size rounds down.
        const QSize size = icon.actualSize(QSize(32, 32));
        m_cxIcon = 2 * ((size.width() / 2) & 0xFF);
        m_cyIcon = 2 * ((size.height() / 2) & 0xFF);
    }
}

void CBalloonTip::AddTool(QWidget* pControl, const QString& strText, const QIcon& icon)
{
    if (!pControl)
        return;
    if (!m_tools.contains(pControl)) {
        pControl->installEventFilter(this);
        pControl->setMouseTracking(true);
        connect(pControl, &QObject::destroyed, this,
                [this](QObject* pGone) { m_tools.remove(static_cast<QWidget*>(pGone)); });
    }
    m_tools.insert(pControl, Tool{strText, icon});
}

void CBalloonTip::ShowAt(const QString& strText)
{
    ShowAt(strText, QCursor::pos());
}

void CBalloonTip::ShowAt(const QString& strText, const QPoint& ptScreen)
{
    Show(strText, ptScreen, QIcon());
}

void CBalloonTip::Show(const QString& strText, const QPoint& ptScreen, const QIcon& toolIcon)
{
    m_ptShow = ptScreen;
    m_strText = strText;
    m_toolIcon = toolIcon;
    MeasureIcon();
    m_showTimer.start(m_nShowDelay);
}

QSize CBalloonTip::GetBoxSize() const
{
    const QFontMetrics metrics(font());
    const QRect text = metrics.boundingRect(QRect(0, 0, 100000, 100000), kTextFlags, m_strText);
    int nWidth = text.width() + 2 * kMarginX;
    int nHeight = text.height() + 2 * kMarginY;
    if (m_cxIcon > 0 || m_cyIcon > 0) {
        nWidth += m_cxIcon + kIconGap;
        nHeight = std::max(nHeight, m_cyIcon);
    }
    return QSize(nWidth, nHeight);
}

QPoint CBalloonTip::GetTextOrigin() const
{
    const bool bIcon = m_cxIcon > 0 || m_cyIcon > 0;
    return QPoint(kMarginX + (bIcon ? m_cxIcon + kIconGap : 0), kMarginY);
}

QRegion CBalloonTip::GetShape(const QSize& box) const
{
    const int w = box.width();
    const int h = box.height();
    QPainterPath rounded;
    rounded.addRoundedRect(QRectF(0, 0, w, h), 6, 5);
    const QPolygon tail({QPoint(w - 12, h - 10), QPoint(w - 12, h + 15), QPoint(w - 37, h - 10)});
    return QRegion(rounded.toFillPolygon().toPolygon()) + QRegion(tail);
}

void CBalloonTip::OnShowTimer()
{
    m_showTimer.stop();
    const QSize box = GetBoxSize();
    setMask(GetShape(box));
    setGeometry(m_ptShow.x() - box.width() + 2, m_ptShow.y() - (box.height() + kTailHeight), box.width(),
                box.height() + kTailHeight);
    show();
    raise();
    update();
    m_checkTimer.start();
}

void CBalloonTip::OnCheckTimer()
{
    if (QCursor::pos() != m_ptShow)
        Hide();
}

// Hiding also drops a show that is still waiting for its delay, so that a tip never appears
// for a place the pointer has already left.
void CBalloonTip::Hide()
{
    m_showTimer.stop();
    m_checkTimer.stop();
    hide();
}

void CBalloonTip::RelayEvent(QEvent* pEvent)
{
    switch (pEvent->type()) {
    case QEvent::MouseMove: {
        const QPoint pt = static_cast<QMouseEvent*>(pEvent)->globalPosition().toPoint();
        if (pt == m_ptShow)
            return;
        // A registered control also answers for the widgets it is made of.
        for (QWidget* w = QApplication::widgetAt(pt); w; w = w->parentWidget()) {
            const auto it = m_tools.constFind(w);
            if (it != m_tools.constEnd()) {
                Show(it->strText, pt, it->icon);
                break;
            }
            if (w->isWindow())
                break;
        }
        if (pt != m_ptShow)
            Hide();
        return;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto button = static_cast<QMouseEvent*>(pEvent)->button();
        if (button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton)
            Hide();
        return;
    }
    default:
        return;
    }
}

bool CBalloonTip::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    RelayEvent(pEvent);
    return QWidget::eventFilter(pWatched, pEvent);
}

void CBalloonTip::paintEvent(QPaintEvent*)
{
    const QSize box = GetBoxSize();
    const QRegion shape = GetShape(box);
    QPainter painter(this);
    painter.setClipRegion(shape);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    // A soft three-pixel rim inside a hard one-pixel edge: the mask cannot be smoothed, so
    // the edge is drawn along exactly the pixels the mask keeps.
    for (const QRect& r : Rim(shape, 3))
        painter.fillRect(r, palette().color(QPalette::Button));
    for (const QRect& r : Rim(shape, 1))
        painter.fillRect(r, palette().color(QPalette::WindowText));

    if (!ShownIcon().isNull() && m_cxIcon > 0 && m_cyIcon > 0)
        ShownIcon().paint(&painter, QRect(kMarginX, kMarginY, m_cxIcon, m_cyIcon));

    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    painter.drawText(QRect(GetTextOrigin(), size()), kTextFlags, m_strText);
}
