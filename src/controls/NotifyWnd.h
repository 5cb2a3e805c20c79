#pragma once

#include <QBasicTimer>
#include <QFont>
#include <QPixmap>
#include <QWidget>

class QLabel;

/// The pop-up that announces a finished action: it slides up from the lower right corner of
/// the screen with a short sound, optionally shows a two-frame picture, counts a few seconds
/// down in its tab and slides away again. A click on the tab pins it until its close mark is
/// clicked. One instance lives, hidden, for the whole run of the program.
class CNotifyWnd : public QWidget
{
    Q_OBJECT

public:
    enum TimerId
    {
        SlideUpTimer = 1,   ///< 10 ms, one pixel up per tick
        CountdownTimer = 2, ///< 1000 ms
        SlideDownTimer = 3, ///< 10 ms, one pixel down per tick
        AnimationTimer = 4  ///< 500 ms, next picture
    };
    static constexpr int kWidth = 350;
    static constexpr int kHeight = 150;
    /// One-pixel moves of a full slide.
    static constexpr int kSlideSteps = 151;
    /// Messages at least this many GBK bytes long are word-wrapped instead of centred.
    static constexpr int kWrapBytes = 24;

    /// Hot areas, in window pixels.
    static constexpr QRect kCloseMark{QPoint(324, 47), QPoint(341, 64)};
    static constexpr QRect kTab{QPoint(72, 15), QPoint(174, 47)};
    static constexpr QRect kMessageArea{QPoint(140, 65), QPoint(329, 124)};
    static constexpr QRect kCountdownArea{QPoint(108, 24), QPoint(131, 39)};

    explicit CNotifyWnd(QWidget* pParent = nullptr);

    /// Shows \a strText. Closes by itself after \a nSeconds when \a bAutoClose, and plays the
    /// two-frame picture when \a bAnimate. While the pop-up is up, the text (and the settings,
    /// for the next countdown) change at once and nothing restarts.
    void ShowNotice(const QString& strText, bool bAutoClose, int nSeconds, bool bAnimate);
    /// The sound played each time the pop-up appears; empty plays nothing.
    void SetSoundFile(const QString& strPath) { m_strSoundFile = strPath; }

    QString GetText() const { return m_strText; }
    /// The tab's countdown as painted: the seconds left (" 4") or the mark "※".
    QString GetCountdownText() const;
    /// The screen rectangle the pop-up slides along.
    QRect GetWindowRect() const { return m_rcWindow; }
    bool IsTimerRunning(TimerId nId) const { return m_timers[nId - 1].isActive(); }
    /// Runs one tick of timer \a nId; the window's own timers come through here.
    void OnTimer(TimerId nId);

protected:
    void showEvent(QShowEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void timerEvent(QTimerEvent* pEvent) override;

private:
    void StartTimer(TimerId nId);
    void StopTimer(TimerId nId) { m_timers[nId - 1].stop(); }
    void SlideUpTick();
    void CountdownTick();
    void SlideDownTick();
    void AnimationTick();
    void CloseNow();
    void LoadPictures();

    QString m_strText;
    bool m_bAutoClose = true;
    int m_nSeconds = 15;
    int m_nSecondsLeft = 15;
    bool m_bAnimate = false;
    bool m_bPinned = false;
    bool m_bUnderline = false;
    int m_nStep = 0;
    int m_nFrame = 0;
    QRect m_rcWindow;
    QFont m_fontText;
    QFont m_fontCountdown;
    QPixmap m_background;
    QPixmap m_frames[2];
    QLabel* m_picture = nullptr;
    bool m_bPicturesLoaded = false;
    QString m_strSoundFile;
    QBasicTimer m_timers[4];
};
