// The course timetable of a full week, with the tip of a course under the pointer, and its
// editor.
#include "Shots.h"
#include "app/PlannerApp.h"
#include "controls/BalloonTip.h"
#include "timetable/Timetable.h"
#include "timetable/TimetableDlg.h"
#include "timetable/TimetableEditDlg.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

void Shots::Timetable(CShots& shots)
{
    CPlannerContext& context = shots.App().Context();
    CTimetable* pTimetable = context.Timetable();
    if (!pTimetable)
        return;
    CTimetable& timetable = *pTimetable;
    timetable.m_strTeacher = QStringLiteral("王老师");
    timetable.m_strTerm = QStringLiteral("2026-2027年第一学期");
    const char16_t* names[] = {u"高等数学", u"大学英语", u"数据结构", u"操作系统", u"编译原理", u"计算机网络",
                               u"体育",     u"线性代数", u"概率论",   u"离散数学", u"软件工程", u"数据库"};
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
        CTimetableDlg dlg(context, timetable, 14, 3);
        shots.Save(dlg, QStringLiteral("timetable"));
        dlg.show();
        QApplication::processEvents();
        // The pointer comes to rest on Thursday's fourth period; the tip follows after its delay.
        const QPoint cell = timetable.m_rcCell[size_t(CTimetable::SlotIndex(3, 3))].center();
        QMouseEvent move(QEvent::MouseMove, cell, dlg.mapToGlobal(cell), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&dlg, &move);
        auto* tip = dlg.findChild<CBalloonTip*>(QStringLiteral("balloonTip"));
        if (tip && QTest::qWaitFor([tip] { return tip->isVisible(); }))
            shots.SaveWithPopup(dlg, *tip, QStringLiteral("timetable-tip"));
        else
            shots.Save(QImage(), QStringLiteral("timetable-tip")); // reported as not written
    }
    {
        CTimetableEditDlg dlg(context, timetable);
        shots.Save(dlg, QStringLiteral("timetable-edit"));
    }
}
