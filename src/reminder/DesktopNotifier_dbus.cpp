// Posting through the freedesktop notification service with Qt D-Bus.
#include "reminder/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace {
QDBusMessage NotificationsCall(const QString& method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
                                          QStringLiteral("/org/freedesktop/Notifications"),
                                          QStringLiteral("org.freedesktop.Notifications"), method);
}
} // namespace

std::future<void> CDesktopNotifier::ConnectSessionBusAhead()
{
    return std::async(std::launch::async, [] { QDBusConnection::sessionBus(); });
}

void CDesktopNotifier::Send(quint64 nPost, const QString& summary, const QString& body)
{
    QDBusConnection bus =
        m_strBus.isEmpty()
            ? QDBusConnection::sessionBus()
            : QDBusConnection::connectToBus(m_strBus, QStringLiteral("kestrum-notify ") + m_strBus);
    if (!bus.isConnected()) {
        Finish(nPost, false);
        return;
    }
    // A plain message rather than an interface object, which would ask the service to describe
    // itself first, and wait for that.
    QDBusMessage call = NotificationsCall(QStringLiteral("Notify"));
    const QStringList actions{QStringLiteral("close"), QStringLiteral("关闭")};
    // The urgency is a byte on the wire: 1, normal.
    const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(uchar(1))}};
    call << QStringLiteral("Kestrum") << uint(0) << m_strIcon << summary << body << actions << hints
         << int(-1);
    // Where the name is neither owned nor activatable, the bus answers at once with an error.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, nPost, bus](QDBusPendingCallWatcher* pWatcher) {
                pWatcher->deleteLater();
                const QDBusPendingReply<uint> reply = *pWatcher;
                if (Finish(nPost, !reply.isError()) || reply.isError())
                    return;
                // Too late: the reminder is on show in the window already, and it is not to come up a
                // second time on the desktop.
                QDBusMessage close = NotificationsCall(QStringLiteral("CloseNotification"));
                close << reply.value();
                bus.asyncCall(close);
            });
}
