#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <future>
#include <map>

/// Posts notifications to the desktop's notification service (org.freedesktop.Notifications on
/// the session bus) without ever waiting on it: each post is an asynchronous call whose answer,
/// or the lack of one within a second, is reported to the caller, who then shows what the
/// desktop could not. Where Qt has no D-Bus (Windows) every post fails at once.
class CDesktopNotifier : public QObject
{
    Q_OBJECT
public:
    /// How long a post waits for the service's answer before it counts as failed.
    static constexpr int kGiveUpMs = 1000;
    /// The planner's icon as installed in the desktop's icon theme.
    static QString IconName() { return QStringLiteral("org.kestrum.Kestrum"); }

    /// How a post ended: true when the service took the notification; false when there was no
    /// bus or no service, the service refused it, or no answer came in time.
    using Done = std::function<void(bool bPosted)>;

    /// \a appFolder is the folder of the executable, where an installed planner's icon is found
    /// (see AppIcon).
    explicit CDesktopNotifier(const QString& appFolder, QObject* parent = nullptr);
    ~CDesktopNotifier() override;

    /// Posts \a summary with \a body, urgency normal, never expiring by itself, with the action
    /// "关闭". \a done is called exactly once, possibly before Post returns (no bus). A
    /// notification the service takes only after the give-up is closed again at once: the
    /// caller has shown it its own way by then.
    void Post(const QString& summary, const QString& body, Done done);

    /// Posts still waiting for their answer.
    int WaitingCount() const { return int(m_waiting.size()); }
    /// Gives up every post still waiting, as their time limit would.
    void GiveUpWaiting();
    /// The time limit of the posts to come.
    void SetGiveUpMs(int nMs) { m_nGiveUpMs = nMs; }
    /// Posts to the bus at \a address ("unix:path=..."); empty for the session bus.
    void UseBus(const QString& address) { m_strBus = address; }

    /// Connects to the session bus on a thread of its own and returns at once. Not only the
    /// posts use the connection: the desktop's accessibility support waits for it when the first
    /// list view is made, which in the main window is the calendar. Started early, the
    /// connection (a running bus first, on a desktop without one) is ready by then.
    static std::future<void> ConnectSessionBusAhead();
    /// The icon the service is given: IconName() where an icon theme in the desktop's data
    /// folders has it, else a file URL of the icon installed beside the program (a prefix the
    /// desktop does not search, or a build folder), else IconName() all the same.
    static QString AppIcon(const QString& appFolder);

private:
    /// Settles the post \a nPost; false when it was settled before (given up).
    bool Finish(quint64 nPost, bool bPosted);
    // The call itself, in DesktopNotifier_dbus.cpp (DesktopNotifier_none.cpp without D-Bus). It
    // calls Finish(nPost, ...) when the answer comes, or at once when there is nobody to ask.
    void Send(quint64 nPost, const QString& summary, const QString& body);

    QString m_strIcon;
    QString m_strBus;
    int m_nGiveUpMs = kGiveUpMs;
    quint64 m_nLastPost = 0;
    std::map<quint64, Done> m_waiting;
};
