#include "controls/BalloonTip.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <algorithm>

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

// Of a line longer than any screen is wide, only this much of each end is measured and shaped,
// so that a path of a megabyte costs no more than one of a few hundred characters.
constexpr qsizetype kLineEndChars = 500;
const QString kEllipsis = QStringLiteral("…");

// Where a tip at \a pt must stay: the screen under it, less the task bars.
QRect ScreenAround(const QPoint& pt)
{
    const QScreen* pScreen = QGuiApplication::screenAt(pt);
    if (!pScreen)
        pScreen = QGuiApplication::primaryScreen();
    return pScreen ? pScreen->availableGeometry() : QRect();
}

// At most nMaxLines (at least 3) lines of text: its first and last ones, with "…" between
// when some are left out. Only the lines kept are looked for.
QStringList KeptLines(QStringView text, int nMaxLines)
{
    if (text.count(u'\n') < nMaxLines)
        return text.toString().split(u'\n');
    const int nTail = (nMaxLines - 1) / 2;
    const int nHead = nMaxLines - 1 - nTail;
    QStringList lines;
    qsizetype nPos = 0;
    for (int i = 0; i < nHead; ++i) {
        const qsizetype nEnd = text.indexOf(u'\n', nPos);
        lines << text.sliced(nPos, nEnd - nPos).toString();
        nPos = nEnd + 1;
    }
    lines << kEllipsis;
    const qsizetype nFirstTail = lines.size();
    qsizetype nEnd = text.size();
    for (int i = 0; i < nTail; ++i) {
        const qsizetype nStart = text.lastIndexOf(u'\n', nEnd - 1) + 1;
        lines.insert(nFirstTail, text.sliced(nStart, nEnd - nStart).toString());
        nEnd = nStart - 1;
    }
    return lines;
}

// The line cut in its middle to nMaxWidth pixels: a path keeps its drive and its file name.
QString ElideLine(const QFontMetrics& metrics, const QString& line, int nMaxWidth)
{
    if (line.size() <= 2 * kLineEndChars)
        return metrics.elidedText(line, Qt::ElideMiddle, nMaxWidth, Qt::TextExpandTabs);
    qsizetype nHead = kLineEndChars;
    qsizetype nTail = kLineEndChars;
    if (line.at(nHead - 1).isHighSurrogate())
        --nHead; // never half a character
    if (line.at(line.size() - nTail).isLowSurrogate())
        --nTail;
    return metrics.elidedText(line.first(nHead) + kEllipsis + line.last(nTail), Qt::ElideMiddle, nMaxWidth,
                              Qt::TextExpandTabs);
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
    m_toolIcon = toolIcon;
    MeasureIcon();
    m_strText = FitToScreen(strText);
    m_showTimer.start(m_nShowDelay);
}

QString CBalloonTip::FitToScreen(const QString& strText) const
{
    const QRect screen = ScreenAround(m_ptShow);
    if (screen.isEmpty())
        return strText;
    const QFontMetrics metrics(font());
    // A pixel or two to spare: a line's elided width and the text's measured width may differ.
    const int nMaxWidth = screen.width() - GetTextOrigin().x() - kMarginX - 2;
    const int nMaxHeight = screen.height() - kTailHeight - 2 * kMarginY;
    int nMaxLines = std::max(3, nMaxHeight / metrics.lineSpacing());
    for (;;) {
        QStringList lines = KeptLines(strText, nMaxLines);
        for (QString& line : lines)
            line = ElideLine(metrics, line, nMaxWidth);
        const QString fitted = lines.join(u'\n');
        // Lines of characters from a fallback font (Chinese ones) are higher than the font's own.
        const int nHeight = metrics.boundingRect(QRect(0, 0, 100000, 100000), kTextFlags, fitted).height();
        if (nHeight <= nMaxHeight || nMaxLines <= 3)
            return fitted;
        nMaxLines = std::max(3, std::min(nMaxLines - 1, int(qint64(nMaxLines) * nMaxHeight / nHeight)));
    }
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
    QRect place(m_ptShow.x() - box.width() + 2, m_ptShow.y() - (box.height() + kTailHeight), box.width(),
                box.height() + kTailHeight);
    // Near the left or top edge of the screen the tip moves onto it, its tail then beside the
    // pointer rather than at it.
    const QRect screen = ScreenAround(m_ptShow);
    if (!screen.isEmpty()) {
        place.moveLeft(std::clamp(place.left(), screen.left(),
                                  std::max(screen.left(), screen.right() + 1 - place.width())));
        place.moveTop(std::clamp(place.top(), screen.top(),
                                 std::max(screen.top(), screen.bottom() + 1 - place.height())));
    }
    setGeometry(place);
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
