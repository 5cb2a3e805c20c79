#include "mainwnd/PlannerTray.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {
std::function<bool()> g_available;
// How often a desktop without a tray is asked again whether one has come.
constexpr int kWatchMs = 3000;
constexpr int kMenuAbovePointer = 12;
} // namespace

void CPlannerTray::setAvailability(std::function<bool()> available) { g_available = std::move(available); }

CPlannerTray::CPlannerTray(const QIcon& icon, QObject* parent) : QObject(parent)
{
    m_pMenu = new QMenu;
    m_pMenu->setObjectName(QStringLiteral("trayMenu"));
    m_pMenu->setTitle(QStringLiteral("托盘菜单"));
    const auto add = [this](const QString& picture, const QString& text, const QString& name, void (CPlannerTray::*signal)()) {
        QAction* action = m_pMenu->addAction(QIcon(picture), text);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, signal);
    };
    add(QStringLiteral(":/mainwnd/menu-show.png"), QStringLiteral("显示提示窗口"), QStringLiteral("showAction"),
        &CPlannerTray::ShowRequested);
    add(QStringLiteral(":/mainwnd/menu-about.png"), QStringLiteral("关于Ormel工作室"), QStringLiteral("aboutAction"),
        &CPlannerTray::AboutRequested);
    m_pMenu->addSeparator();
    add(QStringLiteral(":/mainwnd/menu-exit.png"), QStringLiteral("退出系统"), QStringLiteral("exitAction"),
        &CPlannerTray::ExitRequested);

    m_pIcon = new QSystemTrayIcon(icon, this);
    m_pIcon->setToolTip(QStringLiteral("Kestrum"));
    // The menu is not handed to the icon, which would open it with its corner at the pointer:
    // it opens a little higher, with the pointer resting on its first item.
    connect(m_pIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            OnLeftClick();
        else if (reason == QSystemTrayIcon::Context)
            OnRightClick(QCursor::pos());
    });

    m_bAvailable = IsAvailable();
    if (m_bAvailable)
        m_pIcon->show();
    m_pWatch = new QTimer(this);
    m_pWatch->setInterval(kWatchMs);
    connect(m_pWatch, &QTimer::timeout, this, &CPlannerTray::CheckAvailability);
    m_pWatch->start();
}

CPlannerTray::~CPlannerTray()
{
    m_pIcon->hide();
    delete m_pMenu;
}

bool CPlannerTray::IsAvailable() const
{
    return g_available ? g_available() : QSystemTrayIcon::isSystemTrayAvailable();
}

void CPlannerTray::SetStatus(const QString& status)
{
    m_pIcon->setToolTip(status.isEmpty() ? QStringLiteral("Kestrum") : QStringLiteral("Kestrum\n") + status);
}

QString CPlannerTray::ToolTip() const { return m_pIcon->toolTip(); }

void CPlannerTray::OnLeftClick() { emit Clicked(); }

void CPlannerTray::OnRightClick(const QPoint& pointer)
{
    // Its left edge at the pointer, its top 12 pixels above it; where the screen ends below
    // (a tray at the bottom), the menu moves up as far as it must.
    m_pMenu->popup(pointer - QPoint(0, kMenuAbovePointer));
}

void CPlannerTray::CheckAvailability()
{
    const bool available = IsAvailable();
    if (available == m_bAvailable)
        return;
    m_bAvailable = available;
    // A tray that comes (or comes back, after its host restarted) gets the icon anew.
    m_pIcon->setVisible(available);
    emit AvailabilityChanged(available);
}
