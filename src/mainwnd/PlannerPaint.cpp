// The main window's background: what it shows for the date, painting, the pointer hints over
// the hot areas, and the dialogs the hot areas open.
#include "app/Appearance.h"
#include "app/Clock.h"
#include "controls/BackgroundBitmap.h"
#include "calendar/SchoolCalendarDlg.h"
#include "calendar/WeekNumber.h"
#include "controls/BalloonTip.h"
#include "controls/RunModal.h"
#include "mainwnd/AboutDlg.h"
#include "mainwnd/AddTaskDlg.h"
#include "mainwnd/PlannerDlg.h"
#include "mainwnd/PlannerLayout.h"
#include "store/DataStore.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QMouseEvent>
#include <QFontMetrics>
#include <QPainter>

using namespace PlannerLayout;

namespace {

// Text sizes are given in points and turned into pixels with the screen's vertical resolution.
QFont SongFont(const QWidget* widget, int points, int weight)
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(points * widget->logicalDpiY() / 72);
    font.setWeight(QFont::Weight(weight));
    return font;
}

} // namespace

QString CPlannerDlg::HolidayText()
{
    QString text;
    CDataStore& store = Store();
    QStringList names;
    if (store.CountSolarHolidays(m_dtSelected.date()) > 0 && store.GetSolarHolidayNames(m_dtSelected.date(), names)) {
        for (const QString& name : std::as_const(names))
            text += QStringLiteral("★_^-^) ") + name + QStringLiteral("\r\n");
    }
    names.clear();
    if (store.CountLunarHolidays(m_strLunarKey) > 0 && store.GetLunarHolidayNames(m_strLunarKey, names)) {
        for (const QString& name : std::as_const(names))
            text += QStringLiteral("▲_^-^) ") + name + QStringLiteral("\r\n");
    }
    return text;
}

void CPlannerDlg::RefreshDayView()
{
    // Everything that reads the store happens here, once per date shown: a failing table says
    // so once, from here, and never from inside a paint.
    const LunarDate lunar = SolarToLunar(m_dtSelected.date());
    m_strLunarKey = lunar.strKey;
    m_day.strLunar = lunar.strText;
    m_day.holidayLines = HolidayText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    update();
}

namespace {
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

    // The holidays of the date, one line each. What does not fit ends in "…", and the balloon
    // tip over the area shows it whole.
    const QFont holidayFont = SongFont(this, 10, 400);
    painter.setFont(holidayFont);
    painter.setPen(QColor(0, 0, 200));
    const QFontMetrics metrics(holidayFont);
    const int step = HolidayLineStep(holidayFont);
    const int fit = std::max(1, kHolidays.height() / step);
    const qsizetype shown = std::min<qsizetype>(m_day.holidayLines.size(), fit);
    for (int i = 0; i < shown; ++i) {
        QString line = m_day.holidayLines[i];
        if (i == fit - 1 && m_day.holidayLines.size() > fit)
            line += QStringLiteral(" …");
        const QRect rect(kHolidays.left(), kHolidays.top() + i * step, kHolidays.width(), step);
        painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         metrics.elidedText(line, Qt::ElideRight, rect.width()));
    }

    if (!m_bPainted) {
        m_bPainted = true;
        emit FirstPainted();
    }
}

void CPlannerDlg::ShowHolidayTip()
{
    // Only a cut line needs the tip: the area shows everything else itself.
    const QFont font = SongFont(this, 10, 400);
    const QFontMetrics metrics(font);
    const int fit = std::max(1, kHolidays.height() / HolidayLineStep(font));
    bool cut = m_day.holidayLines.size() > fit;
    for (const QString& line : std::as_const(m_day.holidayLines))
        cut = cut || metrics.horizontalAdvance(line) > kHolidays.width();
    if (cut)
        m_pTip->ShowAt(m_day.holidayLines.join(u'\n'));
}

void CPlannerDlg::mouseMoveEvent(QMouseEvent* event)
{
    m_pTip->RelayEvent(event);
    const QPoint pt = event->position().toPoint();
    if (kLogo.contains(pt)) {
        m_pLogo->setPixmap(m_logoHover);
        setCursor(Qt::PointingHandCursor);
        if (pt.y() > kLogo.top() + 30)
            m_pTip->ShowAt(QStringLiteral("关于Ormel工作室"));
        return;
    }
    m_pLogo->setPixmap(m_logo);
    if (kSchoolHot.contains(pt)) {
        setCursor(Qt::PointingHandCursor);
        m_pTip->ShowAt(QStringLiteral("点击设置校历"));
    } else if (kAddHot.contains(pt)) {
        setCursor(Qt::PointingHandCursor);
        m_pTip->ShowAt(QStringLiteral("点击增加要做的事情"));
    } else {
        unsetCursor();
        if (kHolidays.contains(pt))
            ShowHolidayTip();
    }
}

void CPlannerDlg::mouseReleaseEvent(QMouseEvent* event)
{
    m_pTip->RelayEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pt = event->position().toPoint();
    if (kLogo.contains(pt))
        OnAbout();
    else if (kSchoolHot.contains(pt))
        OnSchoolHot();
    else if (kAddHot.contains(pt))
        OnAddHot();
}

void CPlannerDlg::OnAbout()
{
    CAboutDlg about(this);
    RunModal(about);
    m_pLogo->setPixmap(m_logo);
}

void CPlannerDlg::OnSchoolHot()
{
    CSchoolCalendarDlg dlg(m_context, m_dtTermStart.date(), m_dtTermEnd.date(), this);
    if (RunModal(dlg) != QDialog::Accepted)
        return;
    LoadSchoolCalendar();
    // From here the view shows the week of the current date until the next date pick.
    m_nTeachWeek = TeachingWeek(Clock::today(), m_dtTermStart.date());
    g_nTodayTeachWeek = m_nTeachWeek;
    update();
}

void CPlannerDlg::OnAddHot()
{
    CAddTaskDlg dlg(m_context, m_dtSelected, this);
    RunModal(dlg);
    RefreshTaskList();
}
