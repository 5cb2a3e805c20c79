#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

/// The child of \a parent called \a name; a missing one is warned of, naming it.
template <typename T = QWidget> T* Child(const QObject& parent, const char* name)
{
    T* child = parent.findChild<T*>(QLatin1String(name));
    if (!child)
        qWarning("no %s called %s", T::staticMetaObject.className(), name);
    return child;
}

inline bool ShowExposed(QWidget& widget)
{
    widget.show();
    return QTest::qWaitForWindowExposed(&widget);
}

inline void Click(const QObject& parent, const char* name)
{
    QTest::mouseClick(Child<QAbstractButton>(parent, name), Qt::LeftButton);
}

/// Types \a text as an input method commits it, a character at a time: key clicks carry Latin-1 only.
inline void TypeByInputMethod(QWidget* edit, const QString& text)
{
    for (const QChar ch : text) {
        QInputMethodEvent event;
        event.setCommitString(QString(ch));
        QApplication::sendEvent(edit, &event);
    }
}

/// Runs \a act on the next modal dialog once open (its exec() returns once \a act closed it);
/// complains when none opens within five seconds.
inline void WhenModal(std::function<void(QDialog*)> act)
{
    QTimer::singleShot(0, [act = std::move(act)] {
        for (QDeadlineTimer deadline(5000); !deadline.hasExpired();) {
            if (auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                return act(dlg);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        qWarning("no modal dialog appeared");
    });
}
