// Shows the holiday and timetable windows on a sample data folder and saves a picture of the
// screen for each: holiday_timetable_shots OUTDIR (under Xvfb or a desktop; not a test).
#include "app/Appearance.h"
#include "app/PlannerApp.h"
#include "holiday/HolidayDlg.h"
#include "holiday/HolidayListDlg.h"
#include "store/DataStore.h"
#include "timetable/Timetable.h"
#include "timetable/TimetableDlg.h"
#include "timetable/TimetableEditDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {
void Grab(QWidget& window, const QString& file, int nMargin)
{
    const QRect frame = window.frameGeometry().adjusted(-nMargin, -nMargin, nMargin, nMargin);
    QGuiApplication::primaryScreen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).save(file);
}

void Shoot(QWidget& window, const QString& file)
{
    window.show();
    window.move(40, 40);
    window.raise();
    window.activateWindow();
    QTest::qWait(700);
    Grab(window, file, 0);
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication qapp(argc, argv);
    Appearance::ApplyChineseLook(qapp);
    if (argc < 2)
        return 1;
    const QString out = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir dir;
    CPlannerApp app({QStringLiteral("Kestrum"), QStringLiteral("--data-dir"), dir.filePath(QStringLiteral("data"))});
    if (!app.Startup())
        return 2;
    CDataStore& store = app.Context().Store();
    store.AddSolarHoliday(QStringLiteral("0101"), QStringLiteral("元旦"));
    store.AddSolarHoliday(QStringLiteral("0910"), QStringLiteral("教师节"));
    store.AddSolarHoliday(QStringLiteral("1001"), QStringLiteral("国庆节"));
    store.AddLunarHoliday(QStringLiteral("0101"), QStringLiteral("春节"));
    store.AddLunarHoliday(QStringLiteral("0815"), QStringLiteral("中秋节"));

    {
        CHolidayDlg dlg(app.Context());
        dlg.findChild<QLineEdit*>(QStringLiteral("nameEdit"))->setText(QStringLiteral("教师节"));
        dlg.findChild<QComboBox*>(QStringLiteral("monthList"))->setCurrentIndex(8);
        dlg.findChild<QComboBox*>(QStringLiteral("dayList"))->setCurrentIndex(9);
        Shoot(dlg, out + QStringLiteral("/holiday.png"));
    }
    {
        CHolidayListDlg dlg(app.Context());
        Shoot(dlg, out + QStringLiteral("/holiday-list.png"));
    }

    CTimetable timetable(dir.filePath(QStringLiteral("data")));
    timetable.m_strTeacher = QStringLiteral("王老师");
    timetable.m_strTerm = QStringLiteral("2026-2027年第一学期");
    const char16_t* names[] = {u"高等数学", u"大学英语", u"数据结构", u"操作系统", u"编译原理", u"计算机网络",
                               u"体育", u"线性代数", u"概率论", u"离散数学", u"软件工程", u"数据库"};
    for (int d = 0; d < 7; ++d) {
        for (int p = 0; p < 5; ++p) {
            if ((d + p) % 3 == 2 || (d >= 5 && p > 1))
                continue;
            CourseEntry& e = timetable.m_entries[size_t(CTimetable::SlotIndex(d, p))];
            e.bHasCourse = true;
            e.strName = QString::fromUtf16(names[(d * 2 + p) % 12]);
            e.dCredit = 2 + p * 0.5;
            e.strWeeks = CTimetable::WeeksText(1 + d % 3, 16 + p % 3);
            e.strType = CTimetable::CourseTypes()[(d + p) % 4];
            e.strClass = QStringLiteral("计科%1班").arg(d + 1);
            e.nStudents = 30 + d * 5 + p;
            e.strPlace = QStringLiteral("东%1-%2").arg(p + 1).arg(101 + d);
            e.strRoomType = CTimetable::RoomTypes()[(d * 3 + p) % 4];
        }
    }
    timetable.Save();
    {
        CTimetableDlg dlg(app.Context(), timetable, 14, 3);
        Shoot(dlg, out + QStringLiteral("/timetable.png"));
        const QRect cell = timetable.m_rcCell[size_t(CTimetable::SlotIndex(3, 3))];
        QCursor::setPos(dlg.mapToGlobal(cell.center()));
        QTest::qWait(200);
        QCursor::setPos(dlg.mapToGlobal(cell.center() + QPoint(1, 1)));
        QTest::qWait(300);
        Grab(dlg, out + QStringLiteral("/timetable-tip.png"), 40); // the tip is a pop-up: no raising now
    }
    {
        CTimetableEditDlg dlg(app.Context(), timetable);
        Shoot(dlg, out + QStringLiteral("/timetable-edit.png"));
    }
    app.ExitInstance();
    return 0;
}
