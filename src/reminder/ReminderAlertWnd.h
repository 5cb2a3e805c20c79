#pragma once

#include "controls/MessageReporter.h"
#include "reminder/DesktopNotifier.h"
#include "reminder/ReminderWatch.h"

#include <QDialog>
#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <memory>

class CMissedRemindersDlg;
class CPlannerContext;
class ReminderQueue;

/// The window that makes reminders go off: a shaped, always-on-top pop-up at the lower right
/// corner of the screen. It holds today's queue of reminders, looks at its front once a
/// second, and when a reminder is due shows its title and content and, when asked to, rings
/// "ringin.wav" of the data folder five times. It also announces the end of a countdown.
/// Created hidden once at start-up and kept for the whole run; a click hides it again.
/// Reminders whose moment went by unseen (before the start, in a sleep or a jump of the clock,
/// or dropped as stale) are listed in the window "错过的提醒" instead, which rings once.
/// The settings file chooses whether the desktop's notification service shows the reminder
/// instead of this window, or as well; where the desktop cannot, the window shows it.
class CReminderAlertWnd : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 288;
    static constexpr int kPollMs = 1000;   ///< TIMER_POLL
    static constexpr int kReloadMs = 1600; ///< TIMER_RELOAD, once
    static constexpr int kRingMs = 100;    ///< TIMER_RING, once: the window is up before the sound
    static constexpr int kRings = 5;

    explicit CReminderAlertWnd(CPlannerContext& context, QWidget* parent = nullptr);
    ~CReminderAlertWnd() override;

    /// Rebuilds today's queue from the reminder table 1.6 s from now; polling pauses till then.
    /// Called once at creation and by the editor after every saved reminder.
    void ScheduleReload();
    /// Shows "倒计时提醒" / "倒计时时间到" and rings.
    void ShowCountdownAlert();

    /// What the two timers do, public so that tests can step them on a clock they move.
    void OnReloadTimer();
    void OnPollTimer();

    /// What posts to the desktop, for tests to give up its posts without waiting.
    CDesktopNotifier& Notifier() { return m_notifier; }

    const ReminderQueue* Queue() const { return m_pQueue.get(); }
    /// The missed reminders' window; null until something was missed.
    CMissedRemindersDlg* MissedWindow() const { return m_pMissed.get(); }
    QString Title() const { return m_strTitle; }
    QString Content() const { return m_strContent; }
    bool IsPolling() const { return m_pollTimer.isActive(); }
    bool IsReloadPending() const { return m_reloadTimer.isActive(); }
    /// Where the window shows: the lower right corner of the primary screen, 30 pixels up.
    QRect WindowRect() const { return m_rcWindow; }
    /// The content as it is drawn: wrapped lines, the last one cut with an ellipsis.
    QStringList ContentLines() const { return m_contentLines; }
    /// The path rung for a ringing reminder.
    QString RingFile() const;

    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    /// Shows a reminder the way the settings file asks, ringing when \a ring says so.
    void Announce(const QString& title, const QString& content, bool ring);
    void ShowInWindow(const QString& title, const QString& content, bool ring);
    void SetShown(const QString& title, const QString& content, bool ring);
    void ShowMissed(std::vector<MissedReminder> missed);
    void SaveWatch(bool now);
    void OnRingTimer();
    void RingOnce();
    bool IsRinging() const;

    CPlannerContext& m_context;
    CMessageReporter m_reporter; ///< the queue's complaints go to the message seam
    std::unique_ptr<ReminderQueue> m_pQueue;
    ReminderWatch m_watch;
    std::unique_ptr<CMissedRemindersDlg> m_pMissed;
    bool m_bWatchFailReported = false;
    QString m_strTitle;
    QString m_strContent;
    QStringList m_contentLines;
    bool m_bRing = false;
    QRect m_rcWindow;
    QPixmap m_background;
    QFont m_font;

    QTimer m_pollTimer;
    // A child called "reloadTimer": a test finds it and has its 1.6 s pass at once.
    QTimer m_reloadTimer{this};
    QTimer m_ringTimer;
    // The five plays follow each other at the length of the sound, without ever waiting on it.
    QTimer m_repeatTimer;
    int m_nRingsLeft = 0;
    CDesktopNotifier m_notifier;
};
