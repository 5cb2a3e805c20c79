#pragma once

#include "app/ErrorReporter.h"
#include "controls/NotifyWnd.h"
#include "store/DataStore.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>


class CPlannerDlg;
class CSingleInstance;
class QPainter;
class QPixmap;
class QWidget;

/// The one application object: opens the data, reads the settings, guards against a second
/// copy, creates the long-lived hidden windows, and runs the main window. Every window
/// reaches the data store, the settings and the notices through it.
class CPlannerApp : public QObject
{
    Q_OBJECT
public:
    /// \a arguments are the program's command line (for --data-dir).
    explicit CPlannerApp(const QStringList& arguments);
    ~CPlannerApp() override;

    /// The running application object.
    static CPlannerApp* Get();

    /// The whole start-up, then the main window until it closes. Always false, as the process
    /// ends after it.
    bool InitInstance();
    /// Everything of start-up before the main window. False when start-up has ended (after
    /// its message); the caller then shuts down.
    bool Startup();
    /// Runs the main window modally until it closes.
    void RunMainWindow();
    /// Shutdown: closes the database, gives up the single-copy guard, destroys the notice
    /// window. Returns the process exit code.
    int ExitInstance();

    bool ReadConfig();
    bool WriteConfig();

    /// Folder of the executable.
    QString GetAppFolder() const;
    /// Shows \a text in the notification pop-up, closing by itself after \a nSeconds when
    /// \a bAutoClose is 1.
    void ShowNotice(const QString& text, int bAutoClose, int nSeconds, bool bAnimate);
    /// Paints a dialog's background picture unscaled at the top-left corner, over an area the
    /// size of \a window (a picture smaller than the window leaves the rest as it was).
    static void DrawBackgroundBitmap(QPainter& painter, const QPixmap& bitmap, const QWidget* window);
    /// "08:20" gives 8 and 20: the value of the first two and of the last two characters, each
    /// read like C's atoi (so a hand-written "8:20" is 8 and 20 too).
    static void SplitHourMinute(const QString& text, int& nHour, int& nMinute);

    CPlannerDlg* MainWindow() const { return m_pMainWnd; }
    /// The notification pop-up (null before start-up has created it).
    CNotifyWnd* NoticeWindow() const { return m_pNotice; }
    /// The splash program started at start-up; QZSplash beside the executable unless set.
    void SetSplashProgram(const QString& program) { m_strSplashProgram = program; }
    bool HoldsInstanceGuard() const;

    CDataStore m_dataStore;
    int m_bAutorun = 0;
    int m_bShowSplash = 0;
    int m_bStartMinimized = 0;
    int m_bTopmost = 0;

signals:
    /// Another copy of the program was started and asks this one to come to the front.
    void ActivationRequested();

private:
    class CMessageReporter final : public IErrorReporter
    {
    public:
        void ReportError(const QString& text) override;
        void ReportMessage(const QString& text, const QString& caption, Kind kind) override;
    };

    bool PrepareDataFolder();
    void RunSplash();

    QStringList m_arguments;
    QString m_strSplashProgram;
    CMessageReporter m_reporter;
    std::unique_ptr<CSingleInstance> m_pInstanceGuard;
    QPointer<CNotifyWnd> m_pNotice;
    CPlannerDlg* m_pMainWnd = nullptr;
};
