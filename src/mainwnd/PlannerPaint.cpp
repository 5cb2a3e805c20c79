// The main window's painting: the background, the teaching week, the lunar line and the
// holidays, all from what was worked out when the date or the data changed.
#include "app/Appearance.h"
#include "controls/BackgroundBitmap.h"
#include "mainwnd/PlannerDlg.h"
#include "mainwnd/PlannerLayout.h"

#include <QFontMetrics>
#include <QPainter>

using namespace PlannerLayout;

namespace {

// Text sizes are given in points and turned into pixels with the screen's vertical resolution.
QFont SongFont(const QWidget* widget, int points, int weight)
{
    // The face that stands in for "宋体", by its own name: asked for "宋体", which no machine
    // here has, Qt would first look for the system's fallbacks of a face it cannot find.
    static const QString family = Appearance::SongFamily();
    QFont font(family);
    font.setPixelSize(points * widget->logicalDpiY() / 72);
    font.setWeight(QFont::Weight(weight));
    return font;
}

// The holiday lines are set closer than the font would set them, so that three or more fit
// between the lunar line and the buttons at the bottom.
int HolidayLineStep(const QFont& font)
{
    return std::min(QFontMetrics(font).height(), font.pixelSize() + 4);
}

} // namespace

void CPlannerDlg::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    DrawBackgroundBitmap(painter, m_background, this);

    // The teaching week, always with two digits.
    const int week = std::clamp(m_nTeachWeek, 0, 99);
    painter.drawPixmap(kWeekTens, m_digits[week / 10]);
    painter.drawPixmap(kWeekOnes, m_digits[week % 10]);

    // The lunar date: dark green over a white shadow.
    painter.setFont(SongFont(this, 11, 700));
    const int lunarFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    painter.setPen(Qt::white);
    painter.drawText(kLunarShadow, lunarFlags, m_day.strLunar);
    painter.setPen(QColor(0, 92, 0));
    painter.drawText(kLunarText, lunarFlags, m_day.strLunar);

    // The solar term of the date in the lunar line's green, then its holidays, one line each.
    // What does not fit ends in "…", and the balloon tip over the area shows it whole.
    const QFont holidayFont = SongFont(this, 10, 400);
    painter.setFont(holidayFont);
    const QFontMetrics metrics(holidayFont);
    const int step = HolidayLineStep(holidayFont);
    const int fit = std::max(1, kHolidays.height() / step);
    const QStringList lines = HolidayAreaLines();
    const int termLines = m_day.strTerm.isEmpty() ? 0 : 1;
    const qsizetype shown = std::min<qsizetype>(lines.size(), fit);
    for (int i = 0; i < shown; ++i) {
        QString line = lines[i];
        if (i == fit - 1 && lines.size() > fit)
            line += QStringLiteral(" …");
        painter.setPen(i < termLines ? QColor(0, 92, 0) : QColor(0, 0, 200));
        const QRect rect(kHolidays.left(), kHolidays.top() + i * step, kHolidays.width(), step);
        painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         metrics.elidedText(line, Qt::ElideRight, rect.width()));
    }

    if (!m_bPainted) {
        m_bPainted = true;
        emit FirstPainted();
    }
}

QStringList CPlannerDlg::HolidayAreaLines() const
{
    return m_day.strTerm.isEmpty() ? m_day.holidayLines : QStringList{m_day.strTerm} + m_day.holidayLines;
}

bool CPlannerDlg::HolidaysCut() const
{
    // Only a cut line needs the tip: the area shows everything else itself.
    const QFont font = SongFont(this, 10, 400);
    const QFontMetrics metrics(font);
    const int fit = std::max(1, kHolidays.height() / HolidayLineStep(font));
    const QStringList lines = HolidayAreaLines();
    bool cut = lines.size() > fit;
    for (const QString& line : lines)
        cut = cut || metrics.horizontalAdvance(line) > kHolidays.width();
    return cut;
}
