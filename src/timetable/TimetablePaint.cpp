#include "timetable/Timetable.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

namespace {

// The display's face, with the system's Chinese sans face where it has none.
QFont TimetableFont(int nPoints, bool bBold)
{
    QFont font(QStringLiteral("宋体"), nPoints, bBold ? QFont::Bold : QFont::Normal);
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Sans CJK SC")});
    return font;
}

// Draws \a lines centred and word-wrapped in \a rect from its top, one line every \a dStep
// pixels: the three lines of a course fit their slot with the Song face's close line spacing
// whatever the face, where the sans faces' own spacing would push the third line out.
void DrawWrapped(QPainter& painter, const QRectF& rect, const QStringList& lines, qreal dStep)
{
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const qreal dAscent = QFontMetricsF(painter.font()).ascent();
    qreal y = rect.top() + 2;
    for (const QString& text : lines) {
        QTextLayout layout(text, painter.font());
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(rect.width());
            // Lay the line so that its baseline sits where a Song line's would.
            line.setPosition(QPointF(0, y + dStep * 0.86 - dAscent));
            y += dStep;
        }
        layout.endLayout();
        layout.draw(&painter, rect.topLeft() - QPointF(0, rect.top()));
    }
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
    const qreal dStep = QFontInfo(painter.font()).pixelSize() * 1.1;
    for (int i = 0; i < kSlots; ++i) {
        const CourseEntry& entry = m_entries[i];
        if (!entry.bHasCourse)
            continue;
        painter.setPen(entry.crColor);
        painter.setClipRect(m_rcCell[i]); // a long name wraps but stays in its slot
        DrawWrapped(painter, m_rcCell[i], {entry.strName, entry.strWeeks, entry.strPlace}, dStep);
    }
    painter.restore();
}
