#include "controls/NotifyWnd.h"

#include "app/Sound.h"
#include "controls/GbkLength.h"
#include "controls/GifPicture.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace {

const int kTimerPeriods[] = {10, 1000, 10, 500};

QPixmap LoadArt(int nId)
{
    return QPixmap(CGifPicture::ResourcePath(nId, QStringLiteral("png")));
}

// The program writes Chinese in SimSun where it exists; elsewhere the CJK face the system
// offers keeps the same metrics closely enough for the pop-up's fixed areas.
QFont NoticeFont(int nWeight)
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(11);
    font.setWeight(QFont::Weight(nWeight));
    return font;
}

} // namespace

CNotifyWnd::CNotifyWnd(QWidget* pParent)
    : QWidget(pParent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint)
{
    setObjectName(QStringLiteral("notifyWnd"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);

    const QScreen* pScreen = QGuiApplication::primaryScreen();
    const QRect rcScreen = pScreen ? pScreen->geometry() : QRect(0, 0, 1024, 768);
    // Only the top 30 rows start on the screen; the slide brings up the rest.
    m_rcWindow = QRect(rcScreen.right() + 1 - kWidth, rcScreen.bottom() + 1 - 30, kWidth, kHeight);
    setGeometry(m_rcWindow);

    m_fontText = NoticeFont(QFont::Normal);
    m_fontCountdown = NoticeFont(QFont::Black);

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("notifyPicture"));
    m_picture->setGeometry(23, 50, 115, 82);
    m_picture->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_picture->hide();
}

void CNotifyWnd::LoadPictures()
{
    // The pop-up lives hidden from start-up on; its pictures wait for the first notice, so
    // that the program's start does not pay for them.
    if (m_bPicturesLoaded)
        return;
    m_bPicturesLoaded = true;
    const QImage shape = LoadArt(191).toImage().convertToFormat(QImage::Format_RGB32);
    // The pixels matching the colour come out of createMaskFromColor as color0 bits in this
    // mode, and a widget mask leaves those out.
    if (!shape.isNull())
        setMask(QBitmap::fromImage(shape.createMaskFromColor(qRgb(0, 0, 0), Qt::MaskInColor)));
    m_background = LoadArt(192);
    m_frames[0] = LoadArt(197);
    m_frames[1] = LoadArt(196);
    m_picture->setPixmap(m_frames[0]);
}

void CNotifyWnd::ShowNotice(const QString& strText, bool bAutoClose, int nSeconds, bool bAnimate)
{
    m_strText = strText;
    m_bAutoClose = bAutoClose;
    m_nSeconds = nSeconds;
    m_bAnimate = bAnimate;
    LoadPictures();
    if (isVisible())
        update();
    show();
}

QString CNotifyWnd::GetCountdownText() const
{
    if (m_nSecondsLeft != 0 && m_bAutoClose && m_nSecondsLeft != m_nSeconds)
        return QStringLiteral("%1").arg(m_nSecondsLeft, 2);
    return QStringLiteral("※");
}

void CNotifyWnd::showEvent(QShowEvent* pEvent)
{
    LoadPictures();
    QWidget::showEvent(pEvent);
    if (pEvent->spontaneous())
        return;
    m_bPinned = false;
    m_bUnderline = false;
    move(m_rcWindow.topLeft());
    m_nSecondsLeft = m_nSeconds;
    StartTimer(SlideUpTimer);
    if (!m_strSoundFile.isEmpty())
        Sound::play(m_strSoundFile);
    m_picture->setVisible(m_bAnimate);
}

void CNotifyWnd::StartTimer(TimerId nId)
{
    m_timers[nId - 1].start(kTimerPeriods[nId - 1], this);
}

void CNotifyWnd::timerEvent(QTimerEvent* pEvent)
{
    for (int i = 0; i < 4; ++i) {
        if (pEvent->timerId() == m_timers[i].timerId()) {
            OnTimer(TimerId(i + 1));
            return;
        }
    }
    QWidget::timerEvent(pEvent);
}

void CNotifyWnd::OnTimer(TimerId nId)
{
    switch (nId) {
    case SlideUpTimer:
        SlideUpTick();
        break;
    case CountdownTimer:
        CountdownTick();
        break;
    case SlideDownTimer:
        SlideDownTick();
        break;
    case AnimationTimer:
        AnimationTick();
        break;
    }
}

void CNotifyWnd::SlideUpTick()
{
    if (m_nStep < kSlideSteps) {
        ++m_nStep;
        m_rcWindow.translate(0, -1);
        move(m_rcWindow.topLeft());
        return;
    }
    m_nStep = 0;
    StopTimer(SlideUpTimer);
    if (m_bAutoClose && !m_bPinned)
        StartTimer(CountdownTimer);
    if (m_bAnimate)
        StartTimer(AnimationTimer);
}

// The tick that finds no second left still shows "※" for a whole second before the slide.
void CNotifyWnd::CountdownTick()
{
    const int nOld = m_nSecondsLeft--;
    if (nOld > 0) {
        update();
        return;
    }
    m_nSecondsLeft = m_nSeconds;
    StopTimer(CountdownTimer);
    StartTimer(SlideDownTimer);
}

void CNotifyWnd::SlideDownTick()
{
    if (m_nStep < kSlideSteps) {
        ++m_nStep;
        m_rcWindow.translate(0, 1);
        move(m_rcWindow.topLeft());
        return;
    }
    m_nStep = 0;
    m_nSecondsLeft = m_nSeconds;
    StopTimer(SlideDownTimer);
    StopTimer(AnimationTimer);
    hide();
}

void CNotifyWnd::AnimationTick()
{
    m_picture->setPixmap(m_frames[m_nFrame % 2]);
    ++m_nFrame;
}

void CNotifyWnd::CloseNow()
{
    if (IsTimerRunning(SlideDownTimer))
        return;
    StopTimer(CountdownTimer);
    if (IsTimerRunning(SlideUpTimer)) {
        // Still rising: go back down exactly as far as the pop-up came up, so that the next
        // notice starts from the same place.
        StopTimer(SlideUpTimer);
        m_nStep = kSlideSteps - m_nStep;
    }
    StartTimer(SlideDownTimer);
}

void CNotifyWnd::mouseMoveEvent(QMouseEvent* pEvent)
{
    const QPoint pt = pEvent->position().toPoint();
    const bool bOverMessage = kMessageArea.contains(pt);
    const bool bHand = bOverMessage || kCloseMark.contains(pt) || kTab.contains(pt);
    setCursor(bHand ? Qt::PointingHandCursor : Qt::ArrowCursor);
    m_bUnderline = bOverMessage;
    update();
}

void CNotifyWnd::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton)
        return;
    const QPoint pt = pEvent->position().toPoint();
    if (kCloseMark.contains(pt)) {
        CloseNow();
    } else if (kTab.contains(pt)) {
        StopTimer(CountdownTimer);
        m_nSecondsLeft = 0;
        m_bPinned = true;
        update();
    }
}

void CNotifyWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_background.isNull())
        painter.drawPixmap(0, 0, m_background);
    else
        painter.fillRect(rect(), QColor(0x1E, 0x2B, 0x3C));

    QFont font = m_fontText;
    font.setUnderline(m_bUnderline);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.save();
    painter.setClipRect(kMessageArea);
    if (GbkLength(m_strText) < kWrapBytes) {
        const QString strLine =
            painter.fontMetrics().elidedText(m_strText, Qt::ElideRight, kMessageArea.width());
        painter.drawText(kMessageArea, Qt::AlignCenter | Qt::TextSingleLine, strLine);
    } else {
        painter.drawText(kMessageArea, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_strText);
    }
    painter.restore();

    painter.setFont(m_fontCountdown);
    painter.setPen(QColor(255, 0, 0));
    painter.drawText(kCountdownArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     GetCountdownText());
}
