#!/usr/bin/python3
"""Draws the pictures of the holiday and timetable windows: the holiday dialog's background
(which carries its labels), the timetable's grid with its heads, the timetable editor's
background, and their icons.

Run it from anywhere after changing a picture, and commit what it writes to res/holiday and
res/timetable:

    /usr/bin/python3 tools/make-holiday-art.py

It takes colours, fonts and helpers from tools/kestrum_art.py and glyphs from
tools/make-dialog-art.py. The places of the labels and cells follow the places the windows
give their controls and their text (src/holiday/HolidayDlg.cpp, src/timetable/Timetable.cpp,
src/timetable/TimetableEditDlg.cpp); move both together.
"""

import os
import sys

from PIL import ImageDraw

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import kestrum_art  # noqa: E402
from kestrum_art import (AMBER, BLUE, CARD_EDGE, INK, MIST, RED, SHADOW, SKY, SLATE, SS, WHITE, art,  # noqa: E402
                         card, font, header, s)

dlg = kestrum_art.load("dialogart", "make-dialog-art.py")


def save(img, folder, name):
    kestrum_art.save(img, os.path.join("res", folder), name)


def label(d, x, top, text, height=28, size=13, color=INK, anchor="lm"):
    d.text(s(x, top + height / 2), text, font=font(size * SS), fill=color + (255,), anchor=anchor)


def star(d, cx, cy, r, color):
    import math
    points = []
    for k in range(10):
        a = math.pi / 2 + k * math.pi / 5
        rr = r if k % 2 == 0 else r * 0.42
        points += [cx + rr * math.cos(a), cy - rr * math.sin(a)]
    d.polygon(s(*points), fill=color + (255,))


def pencil(d, x0, y0, x1, y1, width, color):
    """A pencil from its tip (x0, y0) to its end (x1, y1)."""
    d.line(s(x0 + (x1 - x0) * 0.25, y0 + (y1 - y0) * 0.25, x1, y1), fill=color + (255,), width=round(width * SS))
    d.line(s(x0, y0, x0 + (x1 - x0) * 0.25, y0 + (y1 - y0) * 0.25), fill=AMBER + (255,),
           width=round(width * 0.6 * SS))


def grid_glyph(d, x, y, w, h, head=BLUE):
    d.rounded_rectangle(s(x, y, x + w, y + h), radius=w * 0.12 * SS, fill=WHITE + (255,))
    d.rounded_rectangle(s(x, y, x + w, y + h * 0.28), radius=w * 0.12 * SS, fill=head + (255,))
    d.rectangle(s(x, y + h * 0.16, x + w, y + h * 0.28), fill=head + (255,))
    for c in range(1, 4):
        d.line(s(x + w * c / 4, y + h * 0.34, x + w * c / 4, y + h * 0.92), fill=MIST + (255,), width=SS)
    for r in range(1, 3):
        d.line(s(x + w * 0.06, y + h * (0.28 + 0.64 * r / 3), x + w * 0.94, y + h * (0.28 + 0.64 * r / 3)),
               fill=MIST + (255,), width=SS)


# ---------------------------------------------------------------------------------------------
# Holidays

def holiday_151():
    """460 x 276. Rows of CHolidayDlg: name, date (month list at 118, day list at 214, each 64
    wide), kind (tops 84, 124, 164; 28 high); buttons at 226."""
    w, h = 460, 276
    img = art.vgradient((w * SS, h * SS), (226, 235, 251), SKY)
    d = ImageDraw.Draw(img)
    header(d, "设置自己的节日", "阳历或农历的月、日和名称；同名同日的节日可以修改或删除")
    dlg.calendar_page(d, 396, 10, 40, 38, head=RED)
    star(d, 416, 35, 8, AMBER)
    card(d, 14, 70, w - 14, 206)
    label(d, 32, 84, "节日名称")
    label(d, 32, 124, "节日日期")
    label(d, 188, 124, "月")
    label(d, 284, 124, "日")
    label(d, 32, 164, "节日类型")
    label(d, 330, 164, "不选即阳历", size=11, color=SLATE)
    save(art.small(img).convert("RGB"), "holiday", "151.png")


def holiday_icons():
    img, d = dlg.tile()
    dlg.calendar_page(d, 6, 8, 20, 19, head=RED)
    star(d, 16, 20.5, 5.5, AMBER)
    save(art.small(img), "holiday", "icon.png")

    img, d = art.big((16, 16), (0, 0, 0, 0))
    pencil(d, 3, 13, 13, 3, 3.0, BLUE)
    save(art.small(img), "holiday", "rename.png")

    img, d = art.big((16, 16), (0, 0, 0, 0))
    d.rounded_rectangle(s(4, 5, 12, 14), radius=1.5 * SS, outline=RED + (255,), width=round(1.6 * SS))
    d.line(s(2.5, 4, 13.5, 4), fill=RED + (255,), width=round(1.6 * SS))
    d.line(s(6.5, 2, 9.5, 2), fill=RED + (255,), width=round(1.6 * SS))
    for x in (6.8, 9.2):
        d.line(s(x, 7, x, 12), fill=RED + (255,), width=SS)
    save(art.small(img), "holiday", "delete.png")

    img, d = art.big((16, 16), (0, 0, 0, 0))
    for i, y in enumerate((4, 8, 12)):
        d.ellipse(s(2, y - 1.2, 4.4, y + 1.2), fill=(RED if i == 0 else BLUE) + (255,))
        d.line(s(6, y, 14, y), fill=SLATE + (255,), width=round(1.6 * SS))
    save(art.small(img), "holiday", "view.png")


# ---------------------------------------------------------------------------------------------
# Timetable

DAYS = ["星期一", "星期二", "星期三", "星期四", "星期五", "星期六", "星期日"]
PERIODS = ["1、2节", "3、4节", "5、6节", "7、8节", "9、10节"]


def timetable_180():
    """690 x 404. The slots are those of CTimetable: left 122 + 80d, right 194 + 80d, top
    92 + 62p, bottom 146 + 62p; the start times are drawn at left 75, right 113 inside the
    period heads; the term name between 210 and 483, 8 to 29; the animated clock at (9, 8)."""
    w, h = 690, 404
    img = art.vgradient((w * SS, h * SS), (226, 235, 251), SKY)
    d = ImageDraw.Draw(img)
    d.text(s(48, 24), "我的课程表", font=font(15 * SS, bold=True), fill=BLUE + (255,), anchor="lm")
    d.rounded_rectangle(s(202, 5, 491, 32), radius=8 * SS, fill=WHITE + (255,), outline=CARD_EDGE + (255,), width=SS)
    # the weekday heads
    for day, text in enumerate(DAYS):
        x0 = 122 + 80 * day
        head = BLUE if day < 5 else AMBER
        d.rounded_rectangle(s(x0, 58, x0 + 72, 86), radius=6 * SS, fill=head + (255,))
        d.text(s(x0 + 36, 72), text, font=font(12 * SS, bold=True), fill=WHITE + (255,), anchor="mm")
    # morning, afternoon and evening bands, the period heads and the slots
    for text, p0, p1 in (("上午", 0, 1), ("下午", 2, 3), ("晚上", 4, 4)):
        y0, y1 = 92 + 62 * p0, 146 + 62 * p1
        d.rounded_rectangle(s(12, y0, 62, y1), radius=8 * SS, fill=(232, 239, 251, 255), outline=CARD_EDGE + (255,),
                            width=SS)
        cy = (y0 + y1) / 2
        for i, ch in enumerate(text):
            d.text(s(37, cy + (i - 0.5) * 20), ch, font=font(13 * SS, bold=True), fill=SLATE + (255,), anchor="mm")
    for p, text in enumerate(PERIODS):
        y0 = 92 + 62 * p
        d.rounded_rectangle(s(68, y0, 118, y0 + 54), radius=6 * SS, fill=WHITE + (255,), outline=CARD_EDGE + (255,),
                            width=SS)
        d.text(s(94, y0 + 13), text, font=font(11 * SS), fill=INK + (255,), anchor="mm")
        for day in range(7):
            x0 = 122 + 80 * day
            d.rounded_rectangle(s(x0 + 1, y0 + 2, x0 + 73, y0 + 56), radius=4 * SS, fill=SHADOW + (255,))
            d.rounded_rectangle(s(x0, y0, x0 + 72, y0 + 54), radius=4 * SS, fill=WHITE + (255,),
                                outline=CARD_EDGE + (255,), width=SS)
    save(art.small(img).convert("RGB"), "timetable", "180.png")


def timetable_edit_186():
    """560 x 470. Rows of CTimetableEditDlg: teacher and term at 80 (fields at 100 and 350),
    the five start times at 118 (fields at 100 + 88i, 80 wide), then weekday and periods,
    name and credits, weeks and type, class and students, place and room type at 198, 236,
    274, 312, 350 (left fields at 100, right at 370; week lists at 100 and 190)."""
    w, h = 560, 470
    img = art.vgradient((w * SS, h * SS), (226, 235, 251), SKY)
    d = ImageDraw.Draw(img)
    header(d, "设置课程表", "先选星期和节次，再填写这节课；“修改”和“清除”立即保存")
    grid_glyph(d, 494, 10, 46, 40)
    pencil(d, 514, 52, 540, 26, 4, INK)
    card(d, 14, 68, w - 14, 172)
    label(d, 30, 80, "教师姓名")
    label(d, 280, 80, "学期名称")
    label(d, 30, 118, "上课时间")
    for i, text in enumerate(PERIODS):
        d.text(s(140 + 88 * i, 156), text, font=font(11 * SS), fill=SLATE + (255,), anchor="mm")
    card(d, 14, 184, w - 14, 392)
    rows = [(198, "星　　期", "节　　次"), (236, "课程名称", "课程学分"), (274, "行课时间", "课程类型"),
            (312, "选课班级", "学生人数"), (350, "上课地点", "教室类型")]
    for top, left, right in rows:
        label(d, 30, top, left)
        label(d, 300, top, right)
    label(d, 176, 274, "至")
    save(art.small(img).convert("RGB"), "timetable", "186.png")


def timetable_icons():
    img, d = dlg.tile()
    grid_glyph(d, 6, 7, 20, 18, head=INK)
    save(art.small(img), "timetable", "icon.png")

    img, d = art.big((24, 24), (0, 0, 0, 0))
    grid_glyph(d, 1, 2, 17, 16)
    pencil(d, 10, 22, 22, 10, 3.2, INK)
    save(art.small(img), "timetable", "edit.png")


def main():
    holiday_151()
    holiday_icons()
    timetable_180()
    timetable_edit_186()
    timetable_icons()


if __name__ == "__main__":
    main()
