#pragma once

#include "reminder/CountdownClock.h"

#include <QPixmap>
#include <QTime>
#include <QTimer>
#include <QWidget>

class CReminderAlertWnd;
class QPushButton;
class QTimeEdit;

/// "倒计时提醒": counts a duration of up to two hours down and has the alert window ring when
/// it is over. The count goes on while the reminder dialog is hidden.
class CCountdownPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kMaxSeconds = 7200;

    explicit CCountdownPage(CReminderAlertWnd* pAlertWnd, QWidget* parent = nullptr);

    /// The seconds shown: what was left at the last tick, 0 after a stop or at the end.
    int Remaining() const { return m_nRemaining; }
    bool IsRunning() const { return m_timer.isActive(); }
    /// The text in the display field, "0h:mm:ss".
    QString DisplayText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnStart();
    void OnStop();
    void OnTick();
    void SetIdle();

    CReminderAlertWnd* m_pAlertWnd;
    QTime m_tmDuration{0, 20, 0};
    int m_nRemaining = 0;
    const QRect m_rcDisplay{QPoint(69, 170), QPoint(188, 193) - QPoint(1, 1)};
    CountdownClock m_clock;
    // A child called "tickTimer": a test moves the clock and has the tick come at once.
    QTimer m_timer{this};
    QPixmap m_background;
    QFont m_font;
    QTimeEdit* m_pDurationPicker = nullptr;
    QPushButton* m_pStartButton = nullptr;
    QPushButton* m_pStopButton = nullptr;
};
