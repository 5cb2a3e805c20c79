#include "reminder/ReminderAlertWnd.h"

#include "app/Appearance.h"
#include "app/Clock.h"
#include "app/PlannerContext.h"
#include "app/SettingsFile.h"
#include "app/Sound.h"
#include "controls/Messages.h"
#include "reminder/AlertShape.h"
#include "reminder/AlertWay.h"
#include "reminder/MissedRemindersDlg.h"
#include "reminder/ReminderQueue.h"
#include "reminder/WaveLength.h"
#include "store/DataStore.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTextLayout>
#include <algorithm>

namespace {
const QRect kTitleRect(QPoint(45, 115), QPoint(195, 136) - QPoint(1, 1));
const QRect kContentRect(QPoint(45, 155), QPoint(195, 227) - QPoint(1, 1));
// A ring whose sound length cannot be read still spaces its plays like a short chime.
constexpr int kUnknownLengthMs = 1500;

// Wraps \a text into the lines that fit \a rect, the last one cut with an ellipsis when the
// text goes on beyond it.
QStringList WrapElided(const QString& text, const QFont& font, const QRect& rect)
{
    const QFontMetrics fm(font);
    const int maxLines = qMax(1, rect.height() / fm.lineSpacing());
    QStringList lines;
    QString rest = text;
    rest.replace(u'\n', QChar::LineSeparator);
    QTextLayout layout(rest, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(rect.width());
        if (lines.size() == maxLines - 1) {
            const QString tail = rest.mid(line.textStart());
            lines << fm.elidedText(QString(tail).replace(QChar::LineSeparator, u' '), Qt::ElideRight, rect.width());
            break;
        }
        lines << rest.mid(line.textStart(), line.textLength()).remove(QChar::LineSeparator);
    }
    layout.endLayout();
    return lines;
}
} // namespace

CReminderAlertWnd::CReminderAlertWnd(CPlannerContext& context, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_context(context),
      m_watch(context.DataFile(ReminderWatch::FileName())),
      m_notifier(context.GetAppFolder())
{
    setObjectName(QStringLiteral("ReminderAlertWnd"));
    setWindowTitle(QStringLiteral("定时提醒"));
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_font = QFont(Appearance::SongFamily());
    m_font.setWeight(QFont::Black);
    m_font.setPointSize(11);

    m_pollTimer.setInterval(kPollMs);
    m_reloadTimer.setObjectName(QStringLiteral("reloadTimer"));
    m_reloadTimer.setInterval(kReloadMs);
    m_reloadTimer.setSingleShot(true);
    m_ringTimer.setInterval(kRingMs);
    m_ringTimer.setSingleShot(true);
    connect(&m_pollTimer, &QTimer::timeout, this, &CReminderAlertWnd::OnPollTimer);
    connect(&m_reloadTimer, &QTimer::timeout, this, &CReminderAlertWnd::OnReloadTimer);
    connect(&m_ringTimer, &QTimer::timeout, this, &CReminderAlertWnd::OnRingTimer);
    // A coarse timer may come a little early and cut the ring before it short.
    m_repeatTimer.setTimerType(Qt::PreciseTimer);
    // Each ring waits the sound's length from the one before as it really played: a repeating
    // timer would catch up after a busy moment and cut a ring short.
    m_repeatTimer.setSingleShot(true);
    connect(&m_repeatTimer, &QTimer::timeout, this, &CReminderAlertWnd::RingOnce);

    ScheduleReload();

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect screenRect = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    m_rcWindow = QRect(screenRect.right() + 1 - kWidth, screenRect.bottom() + 1 - 318, kWidth, kHeight);
    setGeometry(m_rcWindow);
}

void CReminderAlertWnd::setVisible(bool visible)
{
    // The window is made at start-up but seldom shown: its pictures are decoded the first time
    // it shows, not while the planner's own window waits for its first paint.
    if (visible && m_background.isNull()) {
        m_background.load(QStringLiteral(":/reminder/222.png"));
        setMask(AlertShape(QImage(QStringLiteral(":/reminder/221.png"))));
    }
    QDialog::setVisible(visible);
}

CReminderAlertWnd::~CReminderAlertWnd()
{
    // Up to where this run watched, so that the next start lists only what came after.
    m_watch.Save(true);
}

QString CReminderAlertWnd::RingFile() const
{
    return m_context.DataFile(QStringLiteral("ringin.wav"));
}

void CReminderAlertWnd::ScheduleReload()
{
    m_pollTimer.stop();
    m_reloadTimer.start();
}

void CReminderAlertWnd::OnReloadTimer()
{
    m_reloadTimer.stop();
    m_pQueue = std::make_unique<ReminderQueue>(&m_reporter);
    m_pQueue->LoadToday(m_context.Store());
    // Today's reminders already past went off in an earlier run, or lie in a stretch the watch
    // hands out: either way they are not news.
    m_pQueue->IsFrontDue();
    m_pQueue->TakeDropped();
    m_pollTimer.start();
}

void CReminderAlertWnd::OnPollTimer()
{
    if (!m_pQueue)
        return;
    const std::optional<UnwatchedPeriod> unwatched = m_watch.Look();
    // A planner left running overnight (or woken from sleep on a later day) gets the new day's
    // reminders as a save would give them. This is why polling goes on with an empty queue.
    if (m_pQueue->Day() != Clock::today()) {
        OnReloadTimer();
        if (!m_pQueue)
            return;
    }
    std::vector<MissedReminder> missed;
    if (unwatched) {
        // What the queue holds of the unwatched stretch is told of with the rest, not shown
        // one by one as if it were due now.
        m_pQueue->DiscardThrough(unwatched->to);
        std::vector<ReminderRecord> records;
        if (m_context.Store().ListReminderRecords(records))
            missed = MomentsIn(records, *unwatched);
    }
    const std::vector<ReminderQueueItem> due = m_pQueue->TakeDue();
    for (ReminderQueueItem& item : m_pQueue->TakeDropped())
        missed.push_back({item.time, item.ring, std::move(item.title), std::move(item.content)});
    const bool told = !due.empty() || !missed.empty();
    if (!missed.empty())
        ShowMissed(std::move(missed));
    if (!due.empty()) {
        // Reminders of one second go off together: the last one stays on show, as if each had
        // replaced the one before, and the window rings when any of them asks for it. The
        // desktop is given that same last one, so that both ways show the same.
        const ReminderQueueItem& last = due.back();
        const bool ring =
            std::any_of(due.begin(), due.end(), [](const ReminderQueueItem& item) { return item.ring; });
        Announce(last.title, last.content, ring);
    }
    // Once told, a reminder must not come back as missed after a crash.
    SaveWatch(told);
}

void CReminderAlertWnd::ShowMissed(std::vector<MissedReminder> missed)
{
    const bool ring =
        std::any_of(missed.begin(), missed.end(), [](const MissedReminder& m) { return m.ring; });
    if (!m_pMissed)
        m_pMissed = std::make_unique<CMissedRemindersDlg>();
    m_pMissed->Add(std::move(missed));
    if (ring)
        Sound::play(RingFile());
}

void CReminderAlertWnd::SaveWatch(bool now)
{
    const CAtomicFile::Result result = m_watch.Save(now);
    if (result || m_bWatchFailReported)
        return;
    // Said once a run: the planner goes on working, only a later start may list again what
    // this run already showed.
    m_bWatchFailReported = true;
    Messages::show(nullptr,
                   CAtomicFile::FailureText(QStringLiteral("无法保存提醒的检查时间到文件 %1")
                                                .arg(m_context.DataFile(ReminderWatch::FileName())),
                                            result),
                   Messages::appCaption(), Messages::Icon::Warning);
}

void CReminderAlertWnd::ShowCountdownAlert()
{
    Announce(QStringLiteral("倒计时提醒"), QStringLiteral("倒计时时间到"), true);
}

void CReminderAlertWnd::Announce(const QString& title, const QString& content, bool ring)
{
    // Read at each alert, so that a choice saved in the settings holds from the next one on.
    const AlertWay way = AlertWaySetting::Read(m_context.DataFile(CSettingsFile::FileName()));
    if (way != AlertWay::Desktop)
        ShowInWindow(title, content, ring);
    if (way == AlertWay::Window)
        return;
    m_notifier.Post(title, content, [this, way, title, content, ring](bool bPosted) {
        if (way == AlertWay::Both)
            return; // the window shows it already, and rings
        if (!bPosted) {
            ShowInWindow(title, content, ring); // the desktop could not: nobody else will show it
            return;
        }
        // The ring is the window's, five plays that closing the window does not cut short;
        // without the window it plays the same. It waits for the service's answer so that a
        // reminder that ends up in the window after all rings there, once.
        if (ring && !IsRinging())
            m_ringTimer.start();
    });
}

void CReminderAlertWnd::ShowInWindow(const QString& title, const QString& content, bool ring)
{
    SetShown(title, content, ring);
    show();
}

void CReminderAlertWnd::SetShown(const QString& title, const QString& content, bool ring)
{
    m_strTitle = title;
    m_strContent = content;
    m_bRing = ring;
    m_contentLines = WrapElided(content, m_font, kContentRect);
    // A window already on show gets the new texts at once, but does not ring for them.
    update();
}

void CReminderAlertWnd::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    move(m_rcWindow.topLeft());
    if (m_bRing)
        m_ringTimer.start();
}

void CReminderAlertWnd::OnRingTimer()
{
    m_ringTimer.stop();
    const int length = WaveLengthMs(RingFile());
    m_repeatTimer.setInterval(length > 0 ? length : kUnknownLengthMs);
    m_nRingsLeft = kRings;
    RingOnce();
}

void CReminderAlertWnd::RingOnce()
{
    if (m_nRingsLeft <= 0) {
        m_repeatTimer.stop();
        return;
    }
    --m_nRingsLeft;
    Sound::play(RingFile());
    if (m_nRingsLeft > 0)
        m_repeatTimer.start();
    else
        m_repeatTimer.stop();
}

bool CReminderAlertWnd::IsRinging() const
{
    return m_ringTimer.isActive() || m_repeatTimer.isActive();
}

void CReminderAlertWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
    painter.setFont(m_font);
    painter.setPen(QColor(255, 255, 255));
    painter.drawText(kTitleRect, Qt::AlignCenter | Qt::TextSingleLine, m_strTitle);
    painter.setPen(QColor(255, 0, 0));
    const int lineHeight = QFontMetrics(m_font).lineSpacing();
    int y = kContentRect.top();
    for (const QString& line : m_contentLines) {
        painter.drawText(QRect(kContentRect.left(), y, kContentRect.width(), lineHeight),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, line);
        y += lineHeight;
    }
}

void CReminderAlertWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        accept();
}
