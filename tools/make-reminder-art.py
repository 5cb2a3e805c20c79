#!/usr/bin/python3
"""Draws the pictures of the reminders: the reminder dialog's banner and icons, the five mode
pictures of the reminder lists, the three pictures of their context menu, the countdown page's
background (which carries its hints and the picker's caption), and the alert window's shape
and background.

Run it from anywhere after changing a picture, and commit what it writes to res/reminder:

    /usr/bin/python3 tools/make-reminder-art.py

It takes colours, fonts and helpers from tools/kestrum_art.py and glyphs from
tools/make-dialog-art.py. The places of the texts follow the places the windows draw into
(src/reminder/ReminderAlertWnd.cpp, CountdownPage.cpp); move both together.
"""

import os
import sys

from PIL import Image, ImageDraw, ImageFilter

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import kestrum_art  # noqa: E402
from kestrum_art import (AMBER, BLUE, CARD, CARD_EDGE, EDGE, INK, INK_LIGHT, MIST, ROOT, SHADOW, SKY,  # noqa: E402
                         SLATE, SS, WHITE, art, font, s)

dlg = kestrum_art.load("dialogart", "make-dialog-art.py")

OUT = os.path.join(ROOT, "res", "reminder")


def save(img, name):
    kestrum_art.save(img, OUT, name)


def bell(d, cx, cy, h, color):
    """An upright bell of height h whose crown is at (cx, cy), in final pixels."""
    k = h / 36.0
    outline = [(-3, 4), (-8, 9), (-10, 22), (-16, 30), (16, 30), (10, 22), (8, 9), (3, 4)]
    d.polygon([(SS * (cx + x * k), SS * (cy + y * k)) for x, y in outline], fill=color + (255,))
    d.ellipse(s(cx - 3 * k, cy, cx + 3 * k, cy + 6 * k), fill=color + (255,))
    d.ellipse(s(cx - 3.6 * k, cy + 31.4 * k, cx + 3.6 * k, cy + 38.6 * k), fill=color + (255,))


def clock_face(d, cx, cy, r, ring, hand, width):
    d.ellipse(s(cx - r, cy - r, cx + r, cy + r), outline=ring + (255,), width=round(width * SS))
    d.line(s(cx, cy - r * 0.55, cx, cy, cx + r * 0.45, cy + r * 0.25), fill=hand + (255,),
           width=round(width * SS), joint="curve")


# ---------------------------------------------------------------------------------------------
# Icons: the dialog's (198) and the button marks (216 add, 206 save, 233 start, 234 stop)

def icons():
    img, d = dlg.tile()
    bell(d, 16, 5.5, 21, WHITE)
    d.ellipse(s(20, 18, 29, 27), fill=AMBER + (255,))
    d.line(s(24.5, 20, 24.5, 22.8, 26.5, 23.8), fill=WHITE + (255,), width=round(1.4 * SS), joint="curve")
    save(art.small(img), "198.png")

    img, d = art.big((16, 16), (0, 0, 0, 0))
    dlg.badge_plus(d, 8, 8, 7)
    save(art.small(img), "216.png")

    img, d = art.big((16, 16), (0, 0, 0, 0))  # save: an arrow into a tray
    d.line(s(8, 1.5, 8, 9.5), fill=BLUE + (255,), width=round(2.2 * SS))
    d.polygon(s(3.8, 6.5, 12.2, 6.5, 8, 11.2), fill=BLUE + (255,))
    d.line(s(2, 10, 2, 14, 14, 14, 14, 10), fill=SLATE + (255,), width=round(1.8 * SS), joint="curve")
    save(art.small(img), "206.png")

    img, d = art.big((16, 16), (0, 0, 0, 0))  # start: a play mark
    d.polygon(s(4, 2.5, 13.5, 8, 4, 13.5), fill=AMBER + (255,))
    save(art.small(img), "233.png")

    img, d = art.big((16, 16), (0, 0, 0, 0))  # stop: a square
    d.rounded_rectangle(s(3.5, 3.5, 12.5, 12.5), radius=1.5 * SS, fill=SLATE + (255,))
    save(art.small(img), "234.png")


# ---------------------------------------------------------------------------------------------
# 218: the five mode pictures of the lists, 16 x 16 each side by side; white is transparent

MODES = [("1", INK_LIGHT), ("天", AMBER), ("周", BLUE), ("月", (74, 112, 184)), ("年", EDGE)]


def modes_218():
    img, d = art.big((16 * len(MODES), 16), WHITE + (255,))
    glyph_font = font(11 * SS, bold=True)
    for i, (glyph, color) in enumerate(MODES):
        x = 16 * i
        d.rounded_rectangle(s(x + 1, 1, x + 15, 15), radius=3 * SS, fill=color + (255,))
        # the glyph is near-white: pure white would turn transparent in the grid
        d.text(s(x + 8, 8.3), glyph, font=glyph_font, fill=(250, 250, 250, 255), anchor="mm")
    save(art.small(img).convert("RGB"), "218.png")


# ---------------------------------------------------------------------------------------------
# The context menu: 223 print, 224 delete, 225 clear expired (16 x 16)

def menu_pictures():
    img, d = art.big((16, 16), (0, 0, 0, 0))  # a printer
    d.rectangle(s(4.5, 1.5, 11.5, 6), fill=WHITE + (255,), outline=SLATE + (255,), width=SS)
    d.rounded_rectangle(s(1.5, 5.5, 14.5, 11.5), radius=2 * SS, fill=BLUE + (255,))
    d.rectangle(s(4.5, 9.5, 11.5, 14.5), fill=WHITE + (255,), outline=SLATE + (255,), width=SS)
    d.line(s(6, 12, 10, 12), fill=MIST + (255,), width=SS)
    save(art.small(img), "223.png")

    img, d = art.big((16, 16), (0, 0, 0, 0))  # delete the selected one: a sheet with a cross
    dlg.sheet(d, 2, 1.5, 10, 13)
    d.rounded_rectangle(s(2, 1.5, 12, 14.5), radius=1.2 * SS, outline=SLATE + (255,), width=SS)
    d.ellipse(s(8, 8, 15.5, 15.5), fill=art.RED + (255,))
    dlg.cross(d, 11.75, 11.75, 3.4, WHITE, 1.3)
    save(art.small(img), "224.png")

    img, d = art.big((16, 16), (0, 0, 0, 0))  # clear expired: a clock swept by a broom stroke
    clock_face(d, 7, 7, 5.6, SLATE, SLATE, 1.4)
    d.line(s(8.5, 14.8, 15, 8.3), fill=AMBER + (255,), width=round(2.2 * SS))
    d.line(s(11, 15, 15, 11), fill=AMBER + (255,), width=round(1.4 * SS))
    save(art.small(img), "225.png")


# ---------------------------------------------------------------------------------------------
# 217: the banner along the top of the reminder dialog

def banner_217():
    w, h = 560, 64
    img = art.vgradient((w * SS, h * SS), INK_LIGHT, INK)
    d = ImageDraw.Draw(img)
    d.line(s(0, h - 0.5, w, h - 0.5), fill=EDGE + (255,), width=SS)
    bell(d, 36, 12, 36, AMBER)
    for r in (20, 27):
        d.arc(s(40 - r, 30 - r, 40 + r, 30 + r), start=-40, end=25, fill=MIST + (200,), width=round(1.6 * SS))
    d.text(s(76, 13), "定时提醒", font=font(19 * SS, bold=True), fill=WHITE + (255,))
    d.text(s(76, 40), "一次、每天、每周、每月、每年，到点弹出并响铃；还有两小时以内的倒计时",
           font=font(12 * SS), fill=MIST + (255,))
    save(art.small(img).convert("RGB"), "217.png")


# ---------------------------------------------------------------------------------------------
# 231: the countdown page; the picker sits right of its caption, the remaining time is drawn
# into the dark field at (69, 170)-(188, 193)

DISPLAY = (69, 170, 188, 193)


def countdown_231():
    w, h = 544, 340
    img = art.vgradient((w * SS, h * SS), (226, 235, 251), SKY)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(s(14, 17, 17, 35), radius=1.5 * SS, fill=AMBER + (255,))
    d.text(s(24, 14), "倒计时提醒", font=font(16 * SS, bold=True), fill=BLUE + (255,))
    d.text(s(24, 40), "设一段时长，按“开始”后到时间就弹出提醒并响铃", font=font(12 * SS), fill=SLATE + (255,))
    clock_face(d, 500, 40, 22, BLUE, AMBER, 3)
    # the card that holds the picker and the display
    x0, y0, x1, y1 = 24, 96, 520, 212
    d.rounded_rectangle(s(x0 + 2, y0 + 3, x1 + 2, y1 + 3), radius=10 * SS, fill=SHADOW + (255,))
    d.rounded_rectangle(s(x0, y0, x1, y1), radius=10 * SS, fill=CARD + (255,), outline=CARD_EDGE + (255,), width=SS)
    d.text(s(44, 132), "倒计时长", font=font(13 * SS), fill=INK + (255,), anchor="lm")
    d.text(s(282, 132), "（时:分:秒）", font=font(12 * SS), fill=SLATE + (255,), anchor="lm")
    dx0, dy0, dx1, dy1 = DISPLAY
    d.rounded_rectangle(s(dx0 - 3, dy0 - 3, dx1 + 3, dy1 + 3), radius=5 * SS, fill=INK + (255,),
                        outline=EDGE + (255,), width=SS)
    # the hints
    hint_font = font(12 * SS)
    hints = ["只能设置2个小时以内的倒计时；", "超过2个小时的提醒，请在“设置提醒”中添加定时提醒；",
             "重新启动程序后，正在进行的倒计时将被取消。"]
    d.text(s(24, 232), "说明", font=font(13 * SS, bold=True), fill=BLUE + (255,))
    for i, text in enumerate(hints):
        y = 258 + 22 * i
        d.ellipse(s(30, y + 5, 35, y + 10), fill=AMBER + (255,))
        d.text(s(44, y), text, font=hint_font, fill=SLATE + (255,))
    save(art.small(img).convert("RGB"), "231.png")


# ---------------------------------------------------------------------------------------------
# 221 and 222: the alert window, 240 x 288. A dark panel with a round head holding the bell;
# everything outside is pure black in the shape picture and so a hole in the window.

PANEL = (4, 40, 236, 284)
HEAD = (120, 38, 34)  # centre and radius of the round head


def alert_shape_big():
    img = Image.new("L", (240 * SS, 288 * SS), 0)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(s(*PANEL), radius=12 * SS, fill=255)
    cx, cy, r = HEAD
    d.ellipse(s(cx - r, cy - r, cx + r, cy + r), fill=255)
    return img


def alert_art():
    shape_big = alert_shape_big()
    mask = art.small(shape_big).point(lambda v: 255 if v >= 128 else 0)
    Image.merge("RGB", (mask, mask, mask)).save(os.path.join(OUT, "221.png"))
    print("res/reminder/221.png: 240x288 (shape)")

    bg = art.vgradient((240 * SS, 288 * SS), INK_LIGHT, INK)
    inner = shape_big.filter(ImageFilter.MinFilter(2 * SS + 1))
    border = Image.new("RGBA", bg.size, EDGE + (255,))
    bg = Image.composite(bg, border, inner)
    d = ImageDraw.Draw(bg)
    cx, cy, r = HEAD
    d.ellipse(s(cx - r + 7, cy - r + 7, cx + r - 7, cy + r - 7), fill=(38, 54, 76, 255))
    bell(d, cx, cy - 21, 40, AMBER)
    for rr in (27, 33):
        d.arc(s(cx - rr, cy - rr, cx + rr, cy + rr), start=-35, end=20, fill=MIST + (200,), width=round(1.6 * SS))
        d.arc(s(cx - rr, cy - rr, cx + rr, cy + rr), start=160, end=215, fill=MIST + (200,), width=round(1.6 * SS))
    d.text(s(120, 92), "定 时 提 醒", font=font(12 * SS), fill=MIST + (255,), anchor="mm")
    # the title goes into (45, 115)-(195, 136) in white, the content into (45, 155)-(195, 227) in red
    d.rounded_rectangle(s(38, 111, 202, 140), radius=6 * SS, fill=(52, 72, 100, 255))
    d.rounded_rectangle(s(36, 148, 204, 234), radius=8 * SS, fill=(252, 250, 242, 255), outline=EDGE + (255,),
                        width=SS)
    d.rounded_rectangle(s(36, 148, 41, 234), radius=2 * SS, fill=AMBER + (255,))
    d.text(s(120, 257), "点击任意处关闭", font=font(11 * SS), fill=MIST + (255,), anchor="mm")
    panel = art.small(bg).convert("RGB")
    # no pixel of the window itself may be pure black, or it would become a hole
    panel = panel.point(lambda v: max(v, 1))
    black = Image.new("RGB", panel.size, (0, 0, 0))
    Image.composite(panel, black, mask).save(os.path.join(OUT, "222.png"))
    print("res/reminder/222.png: 240x288 (background)")


def main():
    os.makedirs(OUT, exist_ok=True)
    icons()
    modes_218()
    menu_pictures()
    banner_217()
    countdown_231()
    alert_art()


if __name__ == "__main__":
    main()
