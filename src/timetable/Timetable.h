#pragma once

#include "app/AtomicFile.h"

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QRect>
#include <QString>
#include <QStringList>
#include <array>

class QPainter;

/// One slot of the week: a double period on one weekday, empty or holding one course.
struct CourseEntry
{
    bool bHasCourse = false;
    QString strName;            ///< 课程名称
    QColor crColor{0, 255, 0};  ///< drawn in this colour; not stored
    double dCredit = 0.0;       ///< 课程学分
    QString strWeeks;           ///< 行课时间, "%d-%d 周"
    QString strType;            ///< 课程类型
    QString strClass;           ///< 选课班级
    int nStudents = 0;          ///< 学生人数
    QString strPlace;           ///< 上课地点
    QString strRoomType;        ///< 教室类型
};

/// The teacher's weekly course timetable, kept in "kcb.dat" in the data folder: seven
/// weekdays by five double periods, the teacher's and the term's names and the five class
/// start times. The application holds one for the whole run; the timetable windows read and
/// write it.
///
/// The file is text in the Chinese code page (read and written as GB18030, which holds the
/// code page unchanged), one value a line, lines ended by CR LF, and a closing marker without
/// a line break. Save replaces the file whole, so a crash or a full disk leaves the previous
/// one as it was.
class CTimetable
{
public:
    static constexpr int kDays = 7;
    static constexpr int kPeriods = 5;
    static constexpr int kSlots = kDays * kPeriods;
    static constexpr int kMaxNames = 10;
    static constexpr int kLinesPerSlot = 9;

    /// The timetable of the data folder \a strFolder, holding the defaults until Load.
    explicit CTimetable(const QString& strFolder = QString());
    virtual ~CTimetable();
    CTimetable(const CTimetable&) = default;
    CTimetable& operator=(const CTimetable&) = default;

    static QString FileName() { return QStringLiteral("kcb.dat"); }
    void SetFolder(const QString& strFolder);
    QString FilePath() const { return m_strFile; }

    /// Reads the file into the object and gives new course names their colours. False, with
    /// the object as it was, when the file cannot be opened.
    bool Load();
    /// Writes the whole object to the file (a new file renamed over the old one, CAtomicFile).
    /// False when it could not be written; the old file is then untouched.
    CAtomicFile::Result Save() const;

    enum class Reload { Unchanged, Loaded, Failed };
    /// Loads the file again when its size, modification time or permissions differ from what
    /// they were at the last attempt. A failure is reported once: until the file changes
    /// again, later calls answer Unchanged.
    Reload ReloadIfChanged();

    /// The object from file contents: missing lines read as empty, flags false, numbers 0.
    /// Colours are assigned as by Load.
    void ReadFrom(const QByteArray& bytes);
    /// The file contents for the object.
    QByteArray ToBytes() const;

    /// Slot index of weekday \a nDay (0 Monday) and double period \a nPeriod (0 to 4).
    static int SlotIndex(int nDay, int nPeriod) { return nDay * kPeriods + nPeriod; }
    /// The first slot whose area holds \a pt, or -1.
    int SlotAt(const QPoint& pt) const;

    /// "<teacher>-课程表 【今天是:第<week>周 星期<day>】", \a nWeekday 1 Monday to 7 Sunday.
    QString CaptionText(int nTeachWeek, int nWeekday) const;
    /// The eight lines of a slot's tooltip.
    QString TooltipText(int nSlot) const;

    /// "%d-%d 周".
    static QString WeeksText(int nFirst, int nLast);
    /// The first and last week of a weeks text; 0 for what is not there.
    static void SplitWeeks(const QString& strWeeks, int& nFirst, int& nLast);
    /// "09:05": hours and minutes with two digits each.
    static QString TimeText(int nHour, int nMinute);
    /// The texts stored for the course types and room types, index 0 to 3.
    static const QStringList& CourseTypes();
    static const QStringList& RoomTypes();

    /// Painting of the display; only draws.
    void DrawTitle(QPainter& painter, const QColor& crText) const;
    void DrawTimes(QPainter& painter, const QColor& crText) const;
    void DrawCourses(QPainter& painter) const;

    QString m_strTeacher;
    QString m_strTerm;
    std::array<QString, kPeriods> m_strClassTime;
    std::array<CourseEntry, kSlots> m_entries;
    QStringList m_courseNames; ///< distinct names in order of first appearance, at most ten
    QRect m_rcTitle;
    std::array<QRect, kPeriods> m_rcTime;
    std::array<QRect, kSlots> m_rcCell;
    std::array<QColor, kMaxNames> m_palette;

private:
    struct FileState
    {
        bool bExists = false;
        qint64 nSize = -1;
        QDateTime dtModified;
        int nPermissions = 0;
        bool operator==(const FileState&) const = default;
    };
    FileState CurrentFileState() const;
    void AssignColors();

    QString m_strFile;
    FileState m_lastSeen;
    bool m_bEverTried = false;
};
