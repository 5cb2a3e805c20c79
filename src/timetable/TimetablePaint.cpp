#include "timetable/Timetable.h"

#include <QFont>
#include <QPainter>

namespace {

// The display's face, with the system's Chinese sans face where it has none.
QFont TimetableFont(int nPoints, bool bBold)
{
    QFont font(QStringLiteral("宋体"), nPoints, bBold ? QFont::Bold : QFont::Normal);
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Sans CJK SC")});
    return font;
}

} // namespace

void CTimetable::DrawTitle(QPainter& painter, const QColor& crText) const
{
    painter.save();
    painter.setFont(TimetableFont(12, true));
    painter.setPen(crText);
    painter.drawText(m_rcTitle, Qt::AlignCenter | Qt::TextSingleLine, m_strTerm);
    painter.restore();
}

void CTimetable::DrawTimes(QPainter& painter, const QColor& crText) const
{
    painter.save();
    painter.setFont(TimetableFont(10, true));
    painter.setPen(crText);
    for (int p = 0; p < kPeriods; ++p)
        painter.drawText(m_rcTime[p], Qt::AlignCenter | Qt::TextSingleLine, m_strClassTime[p]);
    painter.restore();
}

void CTimetable::DrawCourses(QPainter& painter) const
{
    painter.save();
    painter.setFont(TimetableFont(10, false));
    for (int i = 0; i < kSlots; ++i) {
        const CourseEntry& entry = m_entries[i];
        if (!entry.bHasCourse)
            continue;
        painter.setPen(entry.crColor);
        painter.drawText(m_rcCell[i], Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                         entry.strName + u'\n' + entry.strWeeks + u'\n' + entry.strPlace);
    }
    painter.restore();
}
