#pragma once

#include "timetable/Timetable.h"

/// The timetables the crash test's writer saves one after another: each differs from the one
/// before in every slot and in its length, so that a file mixing two of them is told apart.
inline CTimetable TimetableVersion(const QString& folder, int nVersion)
{
    CTimetable timetable(folder);
    timetable.m_strTeacher = QStringLiteral("第%1版").arg(nVersion);
    for (int i = 0; i < CTimetable::kSlots; ++i) {
        CourseEntry& entry = timetable.m_entries[size_t(i)];
        entry.bHasCourse = (i + nVersion) % 2 == 0;
        entry.strName = QString(200 + (nVersion * 7 + i) % 300, QChar(u'课' + (nVersion + i) % 50));
        entry.dCredit = nVersion + i / 100.0;
        entry.nStudents = nVersion * 100 + i;
        entry.strPlace = QString::number(nVersion).repeated(1 + nVersion % 17);
    }
    return timetable;
}
