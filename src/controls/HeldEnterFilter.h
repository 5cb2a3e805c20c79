#pragma once

#include <QEvent>
#include <QList>
#include <QObject>
#include <QPointer>

class QKeyEvent;
class QWidget;

/// Keeps a held Enter from answering a window again and again: the repeats of a Return or
/// Enter key held down, also one that went down over another window (a message box that it
/// closed), do not reach the windows given to Watch. Only a fresh press does.
class CHeldEnterFilter final : public QObject
{
public:
    /// Keeps the repeats of a held Enter from \a window and the widgets in it while it lives.
    static void Watch(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
    /// True when \a key, a press or a release of Enter, is a repeat; follows the key's state.
    bool IsRepeat(const QKeyEvent& key);

    QList<QPointer<QWidget>> m_windows;
    bool m_bDown = false;       ///< Enter is down, as far as the program has seen
    quint64 m_nReleaseTime = 0; ///< window system time of the last release of Enter
    // One event passes the filter once for each widget it travels up through; it is judged
    // at the first.
    const QEvent* m_pLastEvent = nullptr;
    QEvent::Type m_lastType = QEvent::None;
    quint64 m_nLastTime = 0;
    bool m_bLastRepeat = false;
};
