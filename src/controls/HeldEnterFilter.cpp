#include "controls/HeldEnterFilter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

void CHeldEnterFilter::Watch(QWidget* window)
{
    // One filter on the application sees the keys of every window, so that it knows the key
    // is down when it went down over another one.
    static CHeldEnterFilter* filter = [] {
        auto* made = new CHeldEnterFilter(qApp);
        qApp->installEventFilter(made);
        return made;
    }();
    filter->m_windows.removeAll(nullptr);
    filter->m_windows.append(window);
}

bool CHeldEnterFilter::IsRepeat(const QKeyEvent& key)
{
    if (&key == m_pLastEvent && key.type() == m_lastType && key.timestamp() == m_nLastTime)
        return m_bLastRepeat;
    m_pLastEvent = &key;
    m_lastType = key.type();
    m_nLastTime = key.timestamp();
    // X11 sends the repeats of a held key as a release and a press of the same time. Qt marks
    // them as repeats only when it reads both at once; a pair read apart looks like a release
    // and a new press, but a real press always comes later than the release. A release the
    // program never got (its window was gone) leaves the key down: a press while it is down
    // is a repeat as well.
    if (key.type() == QEvent::KeyRelease) {
        m_bLastRepeat = key.isAutoRepeat();
        if (!m_bLastRepeat) {
            m_bDown = false;
            m_nReleaseTime = key.timestamp();
        }
        return m_bLastRepeat;
    }
    m_bLastRepeat = key.isAutoRepeat() || m_bDown || (key.timestamp() != 0 && key.timestamp() == m_nReleaseTime);
    m_bDown = true;
    return m_bLastRepeat;
}

bool CHeldEnterFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    const bool repeat = IsRepeat(*key);
    auto* widget = qobject_cast<QWidget*>(watched);
    return repeat && event->type() == QEvent::KeyPress && widget && m_windows.contains(widget->window());
}
