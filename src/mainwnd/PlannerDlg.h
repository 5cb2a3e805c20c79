#pragma once

#include "mainwnd/DayViewText.h"

#include <QDateTime>
#include <QDialog>
#include <QPixmap>

class CBalloonTip;
class CDataStore;
class CPlannerContext;
class CPlannerTray;
class CTaskList;
class QCalendarWidget;
class QLabel;
class QPushButton;

/// The main window: a month calendar limited to the school term, and for the picked date its
/// tasks, the task in progress, the lunar date, the holidays and the teaching week. It lives
/// from start-up to exit; hidden (in the tray) it goes on living, and its exit command ends
/// the program by finishing it.
class CPlannerDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CPlannerDlg(CPlannerContext& context, QWidget* parent = nullptr);
    ~CPlannerDlg() override;

    /// Re-reads the tasks of the shown date into the list and places the in-progress marker.
    void RefreshTaskList();
    /// Picks \a date as if the user had clicked it on the calendar.
    void PickDate(const QDate& date);

    /// Brings the window to the front, also out of the tray or the minimised state.
    void Activate();
    /// Hides the window in the tray. Where the desktop has no tray, the window is minimised
    /// to the taskbar instead, so that it can always come back.
    void MinimizeToTray();
    /// Shows the window again from the tray (or the taskbar) in front of the others.
    void RestoreFromTray();
    /// Keeps the window above all others, or lets it go; the settings dialog calls this when
    /// the setting is saved.
    void ApplyTopmost(bool bTopmost);
    /// Places the window in the middle of its screen, size unchanged.
    void CentreOnScreen();
    /// The tray icon and its menu, made now if the window has not been painted yet.
    CPlannerTray* Tray();
    /// Works out the lunar line and the holidays of the shown date again and repaints them;
    /// for dialogs that change the holidays.
    void RefreshDayView();
    /// Reads everything the shown date shows again (tasks, holidays) and lets a chosen task
    /// go, whose row may now be another; for changes made outside the window, as an import.
    void ReloadShownDay();

    /// True while the window is away in the tray (or, without a tray, on the taskbar in its place).
    bool IsInTray() const { return m_bInTray; }
    /// What the view shows for the shown date.
    const DayViewText& DayView() const { return m_day; }

signals:
    /// Emitted once, when the window has been painted for the first time.
    void FirstPainted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    /// Esc asks the exit question like every other way out.
    void reject() override;

private:
    void CreateControls();
    void LoadSchoolCalendar();
    void OnDatePicked();
    /// Shows the delete, postpone and change-state buttons (hiding statistics and program
    /// list, which share their places), or the reverse.
    void ShowTaskButtons(bool bShow);
    /// Lets the chosen row go and hides the task buttons.
    void ClearChosenTask();
    bool IsEditableDate() const;
    /// Whether painting cuts holiday lines, so that the tip over the area has something to add.
    /// The lines of the holiday area: the solar term of the date, if any, then the holidays.
    QStringList HolidayAreaLines() const;
    bool HolidaysCut() const;

    // The commands on the chosen task, and the way out (TaskCommands.cpp).
    void OnDeleteTask();
    void OnPostponeTask();
    void OnChangeState();
    void OnListDoubleClick();
    void OnExit();

    // Every dialog the window opens, from its buttons and its hot areas (PlannerDialogs.cpp).
    void ConnectDialogButtons();
    void OnSchoolHot();
    void OnAddHot();
    void OnAbout();
    void OnQuery();
    void OnStatistics();
    void OnHolidays();
    void OnSettings();
    void OnPrograms();
    void OnTimetable();

    // Tray and window commands (WindowCommands.cpp).
    // Made after the first paint (or when first wanted): the tray's menu and the look for a
    // tray host cost the first sight of the planner milliseconds, and nobody sees the icon
    // before the window anyway.
    void CreateTray();
    void OnTrayClick();
    void OnAccountBook();

    CDataStore& Store() const;

    CPlannerContext& m_context;
    // The shown date: now at start-up (time of day and all), midnight of a picked day after.
    QDateTime m_dtSelected;
    QDateTime m_dtTermStart{QDate(2008, 1, 1), QTime(0, 0)};
    QDateTime m_dtTermEnd{QDate(2009, 1, 1), QTime(0, 0)};
    int m_nTeachWeek = 1; ///< the teaching week the view shows
    // Today's teaching week and weekday (1 Monday .. 7 Sunday), for the timetable: the week is
    // set at start-up and by a saved school calendar, never by a date pick.
    int m_nTodayTeachWeek = 1;
    int m_nTodayWeekday = 1;
    bool m_bInTray = false;
    DayViewText m_day;
    QCalendarWidget* m_pCalendar = nullptr;
    CTaskList* m_pTaskList = nullptr;
    QLabel* m_pLogo = nullptr;
    CBalloonTip* m_pTip = nullptr;
    CPlannerTray* m_pTray = nullptr;
    QPushButton* m_pDeleteButton = nullptr;
    QPushButton* m_pPostponeButton = nullptr;
    QPushButton* m_pStateButton = nullptr;
    QPushButton* m_pStatsButton = nullptr;
    QPushButton* m_pProgramsButton = nullptr;
    QPushButton* m_pExitButton = nullptr;
    QPixmap m_background;
    QPixmap m_digits[10];
    QPixmap m_logo, m_logoHover;
    bool m_bPainted = false;
};
