#pragma once

#include <QDialog>
#include <QTimer>
#include <chrono>

class CGifPicture;

/// The splash window: picture 129 playing in a frameless window above all others, with no
/// taskbar button, centred on the screen. It closes when its timer runs out or at a left click.
class CSplashDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 400;
    static constexpr std::chrono::milliseconds kShowTime{6000};

    /// \a showTime is how long the picture shows before the window closes by itself.
    explicit CSplashDlg(std::chrono::milliseconds showTime = kShowTime, QWidget* parent = nullptr);
    ~CSplashDlg() override;

    CGifPicture* Picture() const { return m_pPicture; }
    /// The closing timer runs (it does not when the picture could not be loaded).
    bool IsTimerActive() const { return m_timer.isActive(); }
    std::chrono::milliseconds ShowTime() const { return m_timer.intervalAsDuration(); }

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void End();

    CGifPicture* m_pPicture = nullptr;
    QTimer m_timer;
};
