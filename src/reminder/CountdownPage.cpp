#include "reminder/CountdownPage.h"

#include "app/Appearance.h"
#include "controls/BackgroundBitmap.h"
#include "controls/Messages.h"
#include "reminder/ReminderAlertWnd.h"
#include "reminder/ReminderTexts.h"

#include <QIcon>
#include <QPainter>
#include <QPushButton>
#include <QTimeEdit>

namespace {
// The background picture letters the picker's caption left of this place
// (tools/make-reminder-art.py).
const QRect kPickerRect(150, 118, 120, 28);
} // namespace

CCountdownPage::CCountdownPage(CReminderAlertWnd* pAlertWnd, QWidget* parent)
    : QWidget(parent), m_pAlertWnd(pAlertWnd), m_background(QStringLiteral(":/reminder/231.png"))
{
    setObjectName(QStringLiteral("CountdownPage"));
    m_font = QFont(Appearance::SongFamily());
    m_font.setWeight(QFont::Black);
    m_font.setPointSize(11);

    m_pDurationPicker = new QTimeEdit(this);
    m_pDurationPicker->setObjectName(QStringLiteral("durationPicker"));
    m_pDurationPicker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    m_pDurationPicker->setGeometry(kPickerRect);
    m_pDurationPicker->setTime(m_tmDuration);

    m_pStartButton = new QPushButton(QIcon(QStringLiteral(":/reminder/233.png")), QStringLiteral("开始"), this);
    m_pStartButton->setObjectName(QStringLiteral("startButton"));
    m_pStartButton->setGeometry(214, 166, 90, 30);
    m_pStopButton = new QPushButton(QIcon(QStringLiteral(":/reminder/234.png")), QStringLiteral("停止"), this);
    m_pStopButton->setObjectName(QStringLiteral("stopButton"));
    m_pStopButton->setGeometry(314, 166, 90, 30);
    m_pStopButton->setEnabled(false);

    // Each tick is set for the next whole second of the count, on the precise timer.
    m_timer.setObjectName(QStringLiteral("tickTimer"));
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CCountdownPage::OnTick);
    connect(m_pStartButton, &QPushButton::clicked, this, &CCountdownPage::OnStart);
    connect(m_pStopButton, &QPushButton::clicked, this, &CCountdownPage::OnStop);
}

QString CCountdownPage::DisplayText() const
{
    return ReminderTexts::CountdownText(m_nRemaining);
}

void CCountdownPage::OnStart()
{
    m_tmDuration = m_pDurationPicker->time();
    const int seconds = m_tmDuration.hour() * 3600 + m_tmDuration.minute() * 60 + m_tmDuration.second();
    if (seconds > kMaxSeconds) {
        Messages::show(this, QStringLiteral("设置的时间超过2个小时了，请重新设置"), QStringLiteral("警告"),
                       Messages::Icon::Warning);
        return;
    }
    m_nRemaining = seconds;
    m_pStartButton->setEnabled(false);
    m_pDurationPicker->setEnabled(false);
    m_pStopButton->setEnabled(true);
    m_clock.Start(seconds);
    m_timer.start(m_clock.MsToNextTick());
    update(m_rcDisplay);
}

void CCountdownPage::OnTick()
{
    const int left = m_clock.Remaining();
    m_nRemaining = qMax(0, left);
    update(m_rcDisplay);
    if (left >= 1) {
        m_timer.start(m_clock.MsToNextTick());
        return;
    }
    SetIdle();
    if (m_pAlertWnd)
        m_pAlertWnd->ShowCountdownAlert();
}

void CCountdownPage::OnStop()
{
    SetIdle();
    m_nRemaining = 0;
    update(m_rcDisplay);
}

void CCountdownPage::SetIdle()
{
    m_timer.stop();
    m_clock.Stop();
    m_pStartButton->setEnabled(true);
    m_pDurationPicker->setEnabled(true);
    m_pStopButton->setEnabled(false);
}

void CCountdownPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(213, 225, 249));
    DrawBackgroundBitmap(painter, m_background, this);
    painter.setFont(m_font);
    painter.setPen(Qt::white);
    painter.drawText(m_rcDisplay, Qt::AlignCenter | Qt::TextSingleLine, DisplayText());
}
