#include "app/PlannerApp.h"

#include "app/Appearance.h"
#include "app/Clock.h"
#include "app/ConfigFile.h"
#include "app/DataFolder.h"
#include "app/Launcher.h"
#include "app/Platform.h"
#include "app/SettingsFile.h"
#include "app/SingleInstance.h"
#include "controls/Messages.h"
#include "controls/NotifyWnd.h"
#include "controls/StdDialogs.h"
#include "mainwnd/PlannerDlg.h"
#include "reminder/ReminderAlertWnd.h"
#include "reminder/ReminderDlg.h"
#include "sync/PasswordStore.h"
#include "sync/SyncService.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <chrono>
#include <cstdio>

CPlannerApp::CPlannerApp(const QStringList& arguments)
    : m_pSound(Sound::CreateSystemPlayer()),
      m_arguments(arguments),
      m_strSplashProgram(Platform::SplashProgram(Platform::AppFolder())),
      m_dataStore(&m_reporter),
      m_context(
          m_dataStore, m_flags,
          [this](const QString& text, int bAutoClose, int nSeconds, bool bAnimate) {
              ShowNotice(text, bAutoClose, nSeconds, bAnimate);
          },
          Platform::AppFolder(), [this] { return WriteConfig(); })
{
    Sound::setDefaultPlayer(m_pSound.get());
}

CPlannerApp::~CPlannerApp()
{
    Sound::setDefaultPlayer(nullptr);
}

QString CPlannerApp::GetAppFolder() const { return Platform::AppFolder(); }

CReminderAlertWnd* CPlannerApp::AlertWindow() const { return m_pAlert; }

CReminderDlg* CPlannerApp::ReminderDialog() const { return m_pReminders; }

bool CPlannerApp::HoldsInstanceGuard() const { return m_pInstanceGuard && m_pInstanceGuard->IsHeld(); }

bool CPlannerApp::InitInstance()
{
    if (!Startup()) {
        m_bStartupRefused = true;
        return false;
    }
    CreateMainWindow();
    return true;
}

bool CPlannerApp::PrepareDataFolder()
{
    const QString folder = DataFolder::Resolve(m_arguments, GetAppFolder());
    if (folder.isEmpty()) {
        Messages::show(nullptr, QStringLiteral("命令行参数 --data-dir 后面缺少数据文件夹"), Messages::appCaption(),
                       Messages::Icon::Warning);
        return false;
    }
    DataFolder::Set(folder);
    m_context.SetDataFolder(folder);
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir()) {
        Messages::show(nullptr, QStringLiteral("数据文件夹 %1 不是文件夹").arg(folder), Messages::appCaption(),
                       Messages::Icon::Warning);
        return false;
    }
    // A folder that is not there, or there and empty (made by hand, or the "data" folder of a
    // new portable install), is a new one; any other is the user's as it stands.
    if (DataFolder::NeedsDefaults(folder)) {
        QString error;
        if (!DataFolder::CreateWithDefaults(folder, Clock::today(), &error)) {
            Messages::show(nullptr, QStringLiteral("创建数据文件夹失败!\r\n%1\r\n%2").arg(folder, error),
                           Messages::appCaption(), Messages::Icon::Warning);
            return false;
        }
    }
    return true;
}

bool CPlannerApp::Startup()
{
    if (!PrepareDataFolder())
        return false;

    // The database is open and the settings valid before any window exists; a second copy
    // gets as far as reading them before it finds the first one.
    if (!m_dataStore.Connect(DataFolder::File(QStringLiteral("kstrm.db"))))
        return false;
    if (!ReadConfig())
        return false;

    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        Appearance::ApplySkin(*app, DataFolder::File(QStringLiteral("skin.qss")));

    const QString guardFolder = Platform::InstanceGuardFolder(DataFolder::Path());
    m_pInstanceGuard = std::make_unique<CSingleInstance>(guardFolder);
    switch (m_pInstanceGuard->TryAcquire()) {
    case CSingleInstance::Outcome::Held:
        // What interrupted runs left goes now, in the one copy that runs: no other copy of
        // ours can be writing any of it (a compaction's copy, the new file of a save).
        DataFolder::RemoveLeftovers(DataFolder::Path());
        break;
    case CSingleInstance::Outcome::OtherCopyRuns:
        // Raise the running copy first, so that it is in front when the user reads the message.
        m_pInstanceGuard->SignalRunningInstance();
        m_pInstanceGuard.reset();
        Messages::show(nullptr, QStringLiteral("本软件已经打开，请激活!"), Messages::appCaption(),
                       Messages::Icon::Warning);
        return false;
    case CSingleInstance::Outcome::Unavailable:
        // The planner still works; the user is told that nothing keeps a second copy out.
        Messages::show(nullptr,
                       QStringLiteral("不能在文件夹 %1 中建立单实例锁，无法防止本软件被重复打开。\r\n"
                                      "请不要同时运行两个本软件。")
                           .arg(guardFolder),
                       Messages::appCaption(), Messages::Icon::Warning);
        break;
    }
    // The sync: idle until an account is set; each change made here syncs a few seconds later,
    // and what a sync brings in is shown at once.
    m_pSync = std::make_unique<CSyncService>(DataFolder::File(QStringLiteral("kstrm.db")),
                                             DataFolder::File(CSettingsFile::FileName()));
    connect(m_pSync.get(), &CSyncService::synced, this, [this](const SyncReport& report) {
        m_pLastSyncReport = std::make_unique<SyncReport>(report);
        m_context.SetLastSyncReport(m_pLastSyncReport.get());
        if (report.bLocalChanged)
            m_context.ReloadData();
    });
    m_context.SetSyncService(m_pSync.get());
    m_dataStore.SetChangeListener([this] {
        if (m_pSync)
            m_pSync->NoteLocalChange();
    });

    connect(m_pInstanceGuard.get(), &CSingleInstance::ActivationRequested, this, &CPlannerApp::ActivationRequested);
    connect(m_pInstanceGuard.get(), &CSingleInstance::ReloadRequested, this, &CPlannerApp::ReloadData);
    m_context.SetDataReloader([this] { ReloadData(); });

    // The long-lived windows exist from here on, hidden until they are needed.
    m_pNotice = new CNotifyWnd;
    m_pNotice->SetSoundFile(DataFolder::File(QStringLiteral("notify.wav")));
    m_timetable.SetFolder(DataFolder::Path());
    m_context.SetTimetable(&m_timetable);
    m_pAlert = new CReminderAlertWnd(m_context);
    // The reminder dialog, with its four pages, is made as soon as the main window has been
    // painted (or at once when it is wanted earlier), so that it does not hold up the first
    // sight of the planner.
    m_context.SetReminderOpener([this] {
        CreateReminderDialog();
        m_pReminders->show();
        m_pReminders->raise();
        m_pReminders->activateWindow();
    });

    if (m_flags.m_bShowSplash)
        RunSplash();
    return true;
}

void CPlannerApp::RunSplash()
{
    // A splash that hangs must not keep the planner from starting: ten seconds at most.
    constexpr int kSplashWaitMs = 10000;
    if (QFileInfo(m_strSplashProgram).isExecutable())
        Launcher::get().RunAndWaitAtMost(m_strSplashProgram, {}, kSplashWaitMs);
}

void CPlannerApp::CreateMainWindow()
{
    // The main window may hide (to the tray) without ending the program: only its exit command
    // ends it, by finishing the window.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    m_pMainWnd = std::make_unique<CPlannerDlg>(m_context);
    CPlannerDlg* dlg = m_pMainWnd.get();
    connect(this, &CPlannerApp::ActivationRequested, dlg, &CPlannerDlg::Activate);
    connect(dlg, &QDialog::finished, QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    dlg->ApplyTopmost(m_flags.m_bTopmost);
    if (qEnvironmentVariableIsSet("KESTRUM_REPORT_FIRST_PAINT")) {
        // Start-up timing (bench/app): report the first paint on the monotonic clock and leave.
        connect(dlg, &CPlannerDlg::FirstPainted, dlg, [dlg] {
            std::printf("first-paint %lld\n", static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(
                                                       std::chrono::steady_clock::now().time_since_epoch())
                                                       .count()));
            std::fflush(stdout);
            // Straight out, without the exit question.
            QMetaObject::invokeMethod(dlg, [dlg] { dlg->done(QDialog::Rejected); }, Qt::QueuedConnection);
        });
    }
    // Placed in the middle of the screen, whether it starts shown or in the tray.
    dlg->CentreOnScreen();
    if (m_flags.m_bStartMinimized) {
        dlg->MinimizeToTray();
        QTimer::singleShot(0, this, &CPlannerApp::CreateReminderDialog);
    } else {
        connect(dlg, &CPlannerDlg::FirstPainted, this, &CPlannerApp::CreateReminderDialog, Qt::QueuedConnection);
        dlg->show();
    }
    if (m_flags.m_bStartMinimized)
        QTimer::singleShot(0, this, &CPlannerApp::StartSync);
    else
        // Queued: the password may be asked, and never from inside a paint.
        connect(dlg, &CPlannerDlg::FirstPainted, this, &CPlannerApp::StartSync,
                Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
}

void CPlannerApp::StartSync()
{
    if (!m_pSync)
        return;
    const SyncSettings account = SyncSettings::Load(DataFolder::File(CSettingsFile::FileName()));
    if (!account.IsSet())
        return;
    const PasswordStore::Answer stored = PasswordStore::Read(account.server, account.strUser);
    if (stored.outcome == PasswordStore::Outcome::Done) {
        m_pSync->SetPassword(stored.strPassword);
    } else if (!m_bPasswordAsked) {
        // Without a keyring the password lives only in this run's memory: asked once, never
        // written anywhere.
        m_bPasswordAsked = true;
        const QString password = StdDialogs::getPassword(
            m_pMainWnd.get(), QStringLiteral("日历同步"),
            QStringLiteral("请输入 %1 在 %2 的密码:").arg(account.strUser, account.server.host()));
        if (password.isNull())
            return;
        m_pSync->SetPassword(password);
        if (stored.outcome == PasswordStore::Outcome::NotFound)
            PasswordStore::Write(account.server, account.strUser, password);
    }
    m_pSync->Start();
}

void CPlannerApp::ReloadData()
{
    if (m_pMainWnd)
        m_pMainWnd->ReloadShownDay();
    if (m_pAlert)
        m_pAlert->ScheduleReload();
}

void CPlannerApp::CreateReminderDialog()
{
    if (!m_pReminders && m_pAlert)
        m_pReminders = new CReminderDlg(m_context, m_pAlert);
}

int CPlannerApp::ExitInstance()
{
    // A sync under way stops at its next request, before the data goes.
    m_dataStore.SetChangeListener({});
    m_context.SetSyncService(nullptr);
    m_context.SetLastSyncReport(nullptr);
    m_pSync.reset();
    m_pMainWnd.reset();
    m_dataStore.Close();
    if (m_pInstanceGuard)
        m_pInstanceGuard->Release();
    m_pInstanceGuard.reset();
    m_context.SetReminderOpener({});
    m_context.SetDataReloader({});
    delete m_pReminders.data();
    delete m_pAlert.data();
    delete m_pNotice.data();
    // Scripts and the desktop's autostart tell a refusal from a run by the status.
    return m_bStartupRefused ? 1 : 0;
}

bool CPlannerApp::ReadConfig()
{
    ConfigFlags flags;
    if (!ConfigFile::Read(DataFolder::File(QStringLiteral("config.ini")), flags)) {
        Messages::show(nullptr, QStringLiteral("打开系统配置文件错误，请重新启动程序"), Messages::appCaption(),
                       Messages::Icon::Warning);
        return false;
    }
    m_flags = flags;
    return true;
}

bool CPlannerApp::WriteConfig()
{
    const CAtomicFile::Result result =
        ConfigFile::Write(DataFolder::File(QStringLiteral("config.ini")), m_flags);
    if (!result) {
        Messages::show(
            nullptr,
            CAtomicFile::FailureText(QStringLiteral("打开配置文件失败，不能更新设置，请重试"), result),
            Messages::appCaption(), Messages::Icon::Warning);
        return false;
    }
    return true;
}

void CPlannerApp::ShowNotice(const QString& text, int bAutoClose, int nSeconds, bool bAnimate)
{
    if (m_pNotice)
        m_pNotice->ShowNotice(text, bAutoClose == 1, nSeconds, bAnimate);
}
