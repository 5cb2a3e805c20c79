// The main window's comings and goings: the tray, minimising and restoring, staying on top,
// and the account book started from the small button.
#include "app/Launcher.h"
#include "app/PlannerContext.h"
#include "controls/BalloonTip.h"
#include "mainwnd/PlannerDlg.h"
#include "mainwnd/PlannerTray.h"
#include "sync/SyncService.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

CPlannerTray* CPlannerDlg::Tray()
{
    CreateTray();
    return m_pTray;
}

void CPlannerDlg::CreateTray()
{
    if (m_pTray)
        return;
    m_pTray = new CPlannerTray(windowIcon(), this);
    connect(m_pTray, &CPlannerTray::Clicked, this, &CPlannerDlg::OnTrayClick);
    connect(m_pTray, &CPlannerTray::ShowRequested, this, &CPlannerDlg::RestoreFromTray);
    connect(m_pTray, &CPlannerTray::AboutRequested, this, &CPlannerDlg::OnAbout);
    connect(m_pTray, &CPlannerTray::ExitRequested, this, &CPlannerDlg::OnExit);
    connect(m_pTray, &CPlannerTray::AvailabilityChanged, this, [this](bool available) {
        // A window hidden in a tray that went away comes back to the taskbar.
        if (!available && m_bInTray && !isVisible())
            showMinimized();
    });
    // How the sync stands shows under the name in the icon's tip: a failure in the background is
    // a line there, never a box.
    if (CSyncService* sync = m_context.SyncService()) {
        const auto showStatus = [this, sync] { m_pTray->SetStatus(sync->StatusText()); };
        connect(sync, &CSyncService::syncStarted, m_pTray, showStatus);
        connect(sync, &CSyncService::synced, m_pTray, showStatus);
        connect(sync, &CSyncService::attentionNeeded, m_pTray, showStatus);
        showStatus();
    }
}

void CPlannerDlg::OnTrayClick()
{
    if (m_bInTray)
        RestoreFromTray();
    else
        MinimizeToTray();
}

void CPlannerDlg::MinimizeToTray()
{
    m_bInTray = true;
    m_pTip->hide();
    if (Tray()->IsAvailable())
        hide();
    else
        showMinimized(); // no tray to come back from: the taskbar keeps the window
}

void CPlannerDlg::RestoreFromTray()
{
    m_bInTray = false;
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void CPlannerDlg::ApplyTopmost(bool bTopmost)
{
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) == bTopmost)
        return;
    // Changing a window's flags hides it; a window away in the tray stays there.
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, bTopmost);
    if (shown)
        show();
}

void CPlannerDlg::CentreOnScreen()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame counts, where it is known: move() places the frame.
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void CPlannerDlg::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (isMinimized()) {
        // The minimise box goes to the tray, as ">>" does.
        if (!m_bInTray)
            QTimer::singleShot(0, this, &CPlannerDlg::MinimizeToTray);
    } else if (isVisible()) {
        // Back from the taskbar (where a desktop without a tray keeps the window), by the
        // desktop's hand rather than ours: the window is out of the tray all the same, and
        // the next click on the icon must send it there.
        m_bInTray = false;
    }
}

void CPlannerDlg::OnAccountBook()
{
    // Whether it starts or not, the planner steps aside (a failed start shows nothing).
    Launcher::get().StartDetached(m_context.GetAppFolder() + QStringLiteral("/Pennova"), {});
    MinimizeToTray();
}
