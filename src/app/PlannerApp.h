#pragma once

#include "app/ConfigFile.h"
#include "app/PlannerContext.h"
#include "app/Sound.h"
#include "controls/MessageReporter.h"
#include "controls/NotifyWnd.h"
#include "store/DataStore.h"
#include "timetable/Timetable.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

class CPlannerDlg;
class CReminderAlertWnd;
class CReminderDlg;
class CSingleInstance;
class CSyncService;
struct SyncReport;

/// The one application object: opens the data, reads the settings, guards against a second
/// copy, creates the long-lived hidden windows and the main window. It owns what the windows
/// use and hands it to them through its context; no window reaches for the application.
class CPlannerApp : public QObject
{
    Q_OBJECT
public:
    /// \a arguments are the program's command line (for --data-dir).
    explicit CPlannerApp(const QStringList& arguments);
    ~CPlannerApp() override;

    /// The whole start-up, ending with the main window shown. True when the program is to run
    /// its event loop; false when start-up has ended after its message.
    bool InitInstance();
    /// Everything of start-up before the main window. False when start-up has ended (after
    /// its message); the caller then shuts down.
    bool Startup();
    /// Creates the main window and shows it. The program ends through its exit command, which
    /// quits the event loop; hiding the window (to the tray) leaves the program running.
    void CreateMainWindow();
    /// Shutdown: destroys the windows, closes the database, gives up the single-copy guard.
    /// Returns the process exit status: 0 after a run, 1 when start-up refused to go on.
    int ExitInstance();

    bool ReadConfig();
    bool WriteConfig();

    /// Folder of the executable.
    QString GetAppFolder() const;
    /// Shows \a text in the notification pop-up, closing by itself after \a nSeconds when
    /// \a bAutoClose is 1.
    void ShowNotice(const QString& text, int bAutoClose, int nSeconds, bool bAnimate);

    /// What the windows are handed: the store, the settings, the notice function.
    CPlannerContext& Context() { return m_context; }
    CPlannerDlg* MainWindow() const { return m_pMainWnd.get(); }
    /// The notification pop-up (null before start-up has created it).
    CNotifyWnd* NoticeWindow() const { return m_pNotice; }
    /// The window that makes reminders go off, and the reminder dialog (null before start-up).
    CReminderAlertWnd* AlertWindow() const;
    CReminderDlg* ReminderDialog() const;
    /// The splash program started at start-up; QZSplash beside the executable unless set.
    void SetSplashProgram(const QString& program) { m_strSplashProgram = program; }
    bool HoldsInstanceGuard() const;
    /// The database has changed outside the windows (an import, here or from the command
    /// line): the main window reads the shown day again and the alert window today's queue.
    void ReloadData();

    /// The background sync (made at start-up; it does nothing until an account is set).
    CSyncService* SyncService() const { return m_pSync.get(); }
    /// Starts the sync of the saved account: its password from the keyring, else asked once per
    /// run. Called once the main window has been painted, so that neither the keyring nor the
    /// question holds up the first sight of the planner.
    void StartSync();

signals:
    /// Another copy of the program was started and asks this one to come to the front.
    void ActivationRequested();

private:
    bool PrepareDataFolder();
    void RunSplash();
    void CreateReminderDialog();

    std::unique_ptr<ISoundPlayer> m_pSound; ///< first made, last gone: windows ring through it
    QStringList m_arguments;
    QString m_strSplashProgram;
    CMessageReporter m_reporter;
    CDataStore m_dataStore;
    ConfigFlags m_flags;
    CTimetable m_timetable;
    CPlannerContext m_context;
    std::unique_ptr<CSingleInstance> m_pInstanceGuard;
    QPointer<CNotifyWnd> m_pNotice;
    QPointer<CReminderAlertWnd> m_pAlert;
    QPointer<CReminderDlg> m_pReminders;
    std::unique_ptr<CPlannerDlg> m_pMainWnd;
    std::unique_ptr<CSyncService> m_pSync;
    std::unique_ptr<SyncReport> m_pLastSyncReport; ///< the last sync's of this run, for the sync window
    bool m_bPasswordAsked = false;                 ///< the user has been asked for the sync password this run
    bool m_bStartupRefused = false;
};
