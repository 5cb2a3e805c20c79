#pragma once

#include <QPoint>
#include <QRect>

/// Where things are in the main window, in client pixels. The background picture
/// (tools/make-mainwnd-art.py) is drawn for exactly these places.
namespace PlannerLayout {

constexpr int kWidth = 730;
constexpr int kHeight = 440;

// Hot areas of the background: the logo, the school-calendar icon, the add-task icon.
constexpr QRect kLogo{QPoint(602, 6), QPoint(720, 119)};
constexpr QRect kSchoolHot{QPoint(20, 94), QPoint(51, 125)};
constexpr QRect kAddHot{QPoint(301, 94), QPoint(332, 125)};

// The teaching week as two digit pictures of 22 x 32.
constexpr QPoint kWeekTens{212, 95};
constexpr QPoint kWeekOnes{234, 95};
constexpr QRect kMonthCalendar{20, 129, 310, 163};

// The lunar line is drawn twice: a white shadow one pixel to the lower right, then the text.
constexpr QRect kLunarShadow{QPoint(121, 295), QPoint(285, 310)};
constexpr QRect kLunarText{QPoint(120, 294), QPoint(284, 309)};
// The holidays take the room down to the small buttons at the bottom.
constexpr QRect kHolidays{QPoint(62, 321), QPoint(279, 396)};

// The day's tasks: thirteen rows fit before the scroll bar appears.
constexpr int kListRowHeight = 18;
constexpr int kListVisibleRows = 13;
// The marker stands on the list's panel, left of the list, clear of the gap between the panels.
constexpr QRect kTaskList{358, 158, 356, kListRowHeight * kListVisibleRows + 2};
constexpr int kMarkerSize = 10;
constexpr int kMarkerLeft = 347;
// The task list's own part of the window: the list and the marker's column left of it, with
// half a marker to spare above and below for a marker beside the first or the last row.
constexpr QRect kTaskPanel{kMarkerLeft, kTaskList.top() - kMarkerSize / 2,
                           kTaskList.right() + 1 - kMarkerLeft, kTaskList.height() + kMarkerSize};

// Command buttons under the list; the task buttons share their places with two others.
constexpr int kButtonTop = 402;
constexpr int kButtonWidth = 57;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 4;
inline constexpr QRect ButtonRect(int slot)
{
    return QRect(352 + slot * (kButtonWidth + kButtonGap), kButtonTop, kButtonWidth, kButtonHeight);
}
constexpr QRect kTrayButton{652, 128, 28, 22};
constexpr QRect kExitButton{686, 128, 28, 22};
inline constexpr QRect SmallButtonRect(int slot) { return QRect(20 + slot * 34, 400, 30, 30); }

} // namespace PlannerLayout
