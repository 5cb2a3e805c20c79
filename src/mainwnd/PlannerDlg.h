#pragma once

#include "calendar/LunarCalendar.h"

#include <QDateTime>
#include <QDialog>
#include <QPixmap>

class CBalloonTip;
class CDataStore;
class CPlannerContext;
class CPlannerTray;
class CGifPicture;
class QCalendarWidget;
class QLabel;
class QPushButton;
class QTableWidget;

/// The teaching week and weekday (1 Monday .. 7 Sunday) of the current date, for the timetable.
extern int g_nTodayTeachWeek;
extern int g_nTodayWeekday;

/// What the day view shows beside the list for the shown date. It is worked out when the date
/// or the data changes, never while painting, so that painting only draws it.
struct DayViewText
{
    QString strLunar;         ///< the lunar date's display text
    QStringList holidayLines; ///< "★_^-^) name" for each solar holiday, then "▲_^-^) name" for each lunar one
};

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
    /// Shows the delete, postpone and change-state buttons (hiding statistics and program
    /// list, which share their places), or the reverse.
    void ShowTaskButtons(bool bShow);
    /// True for today and later dates: only their tasks can be changed.
    bool IsEditableDate() const;
    /// The content of a row: its first column without the number, up to the first "、".
    QString TaskContentOfRow(int nRow) const;
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
    /// The tray icon and its menu.
    CPlannerTray* Tray() const { return m_pTray; }
    /// Works out the lunar line and the holidays of the shown date again and repaints them;
    /// for dialogs that change the holidays.
    void RefreshDayView();

    // Day view state.
    QDateTime m_dtSelected;
    QDateTime m_dtTermStart{QDate(2008, 1, 1), QTime(0, 0)};
    QDateTime m_dtTermEnd{QDate(2009, 1, 1), QTime(0, 0)};
    int m_nTeachWeek = 1;
    HolidayKey m_strLunarKey = QStringLiteral("0101");
    int m_nTaskCount = 0;
    int m_nSelTask = -1;
    QString m_strNewState;
    bool m_bInTray = false;

    /// The holiday lines of the shown date as the store has them ("★_^-^) name\r\n" per
    /// holiday), for the lunar key of the same date. Reads the store.
    QString HolidayText();
    /// What the view shows for the shown date.
    const DayViewText& DayView() const { return m_day; }
    /// The row beside which the in-progress marker stands, or -1 when it is hidden.
    int MarkerRow() const { return m_nMarkerRow; }

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
    void OnListClick(int nRow, const QPoint& globalPos);
    void PlaceMarker();
    void OnSchoolHot();
    void OnAddHot();
    void OnAbout();

    // Task commands and exit (TaskCommands.cpp).
    void OnDeleteTask();
    void OnPostponeTask();
    void OnChangeState();
    void OnListDoubleClick();
    void OnExit();
    void ClearChosenTask();

    // The buttons that open the other subsystems' dialogs (DialogCommands.cpp).
    void ConnectDialogButtons();
    void OnQuery();
    void OnStatistics();
    void OnHolidays();
    void OnSettings();
    void OnPrograms();
    void OnTimetable();

    // Tray and window commands (WindowCommands.cpp).
    void CreateTray();
    void OnTrayClick();
    void OnAccountBook();

    CDataStore& Store() const;
    QString RowText(int nRow, int nColumn) const;
    void ShowHolidayTip();

    CPlannerContext& m_context;
    DayViewText m_day;
    QCalendarWidget* m_pCalendar = nullptr;
    QTableWidget* m_pList = nullptr;
    CGifPicture* m_pMarker = nullptr;
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
    int m_nMarkerRow = -1;
    bool m_bPainted = false;
    bool m_bDoubleClickRelease = false; ///< the next left release ends a double click
};
