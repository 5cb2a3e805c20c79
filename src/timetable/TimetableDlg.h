#pragma once

#include <QDialog>
#include <QFileSystemWatcher>
#include <QPixmap>

class CBalloonTip;
class CGifPicture;
class CPlannerContext;
class CTimetable;
class QPushButton;

/// "课程表": the week drawn as a grid of seven weekdays by five double periods, each course in
/// its colour, with a balloon tip holding a course's details under the pointer. The display
/// follows the timetable file: when the file changes while it is open, it reads it again.
class CTimetableDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 690;
    static constexpr int kHeight = 404;

    /// \a nTeachWeek and \a nWeekday (1 Monday to 7 Sunday) are today's, for the caption.
    CTimetableDlg(CPlannerContext& context, CTimetable& timetable, int nTeachWeek, int nWeekday,
                  QWidget* parent = nullptr);
    ~CTimetableDlg() override;

    /// Reads the file again when it changed since the last read, and repaints. A file that
    /// cannot be read is said once, in one box over the window, and not again until it has been
    /// read once more, however often it changes meanwhile.
    void CheckFile();
    CBalloonTip* Tip() const { return m_pTip; }

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void SetUpDisplay();
    void LoadFailed();
    void ReportLoadFailure();
    void WatchFile();
    void OnEdit();

    CPlannerContext& m_context;
    CTimetable& m_timetable;
    int m_nTeachWeek;
    int m_nWeekday;
    QPixmap m_background;
    QFileSystemWatcher m_watcher;
    CGifPicture* m_pPicture = nullptr;
    QPushButton* m_pEditButton = nullptr;
    CBalloonTip* m_pTip = nullptr;
    bool m_bLoadFailed = false;      ///< the last read failed, and that has been said (or is to be)
    bool m_bReportWhenShown = false; ///< it failed before the window was on screen
};
