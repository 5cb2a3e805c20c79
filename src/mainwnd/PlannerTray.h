#pragma once

#include <QIcon>
#include <QObject>
#include <functional>

class QAction;
class QMenu;
class QPoint;
class QSystemTrayIcon;
class QTimer;

/// The planner's icon in the tray, with the tip "Kestrum" and its menu ("显示提示窗口",
/// "关于Ormel工作室", "退出系统"). It only reports what the user did; the main window decides
/// what that means. On a desktop without a tray the icon waits, and appears when a tray does.
class CPlannerTray : public QObject
{
    Q_OBJECT
public:
    explicit CPlannerTray(const QIcon& icon, QObject* parent = nullptr);
    ~CPlannerTray() override;

    /// True when the desktop has a tray to hide the window in.
    bool IsAvailable() const;
    /// The tray menu (its actions carry object names: showAction, aboutAction, exitAction).
    QMenu* Menu() const { return m_pMenu; }
    /// What a left click on the icon does: emits Clicked (tests click through here).
    void OnLeftClick();
    /// What a right click on the icon does: opens the menu 12 pixels above \a pointer
    /// (global), its left edge at the pointer.
    void OnRightClick(const QPoint& pointer);

    /// A second line of the tip under "Kestrum": how the sync with the calendar server stands
    /// ("已同步 14:05"); empty: the tip is "Kestrum" alone.
    void SetStatus(const QString& status);
    QString ToolTip() const;

    /// Replaces the question whether the desktop has a tray (tests); an empty function
    /// restores the real one.
    static void setAvailability(std::function<bool()> available);

signals:
    /// The icon was clicked with the left button.
    void Clicked();
    void ShowRequested();
    void AboutRequested();
    void ExitRequested();
    /// A tray appeared on a desktop that had none.
    void AvailabilityChanged(bool available);

private:
    void CheckAvailability();

    QSystemTrayIcon* m_pIcon = nullptr;
    QMenu* m_pMenu = nullptr;
    QTimer* m_pWatch = nullptr;
    bool m_bAvailable = false;
};
