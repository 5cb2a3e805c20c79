#!/usr/bin/python3
"""Draws the pictures of the main window's dialogs: their backgrounds (which carry the dialogs'
labels), their window icons and the OK and cancel button icons.

Run it from anywhere after changing a picture, and commit what it writes to res/dialogs:

    /usr/bin/python3 tools/make-dialog-art.py

It takes colours, fonts and helpers from tools/kestrum_art.py. The places of the
labels follow the places the dialogs give their controls (the *Dlg.cpp files name the same
rows); move both together.
"""

import os
import re
import sys

from PIL import Image, ImageDraw

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from kestrum_art import (AMBER, BLUE, CARD, CARD_EDGE, EDGE, INK, INK_LIGHT, MIST, ROOT, SHADOW, SKY,  # noqa: E402
                         SLATE, SS, WHITE, art, font, s)
import kestrum_art  # noqa: E402

OUT = os.path.join(ROOT, "res", "dialogs")


def version():
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as f:
        found = re.search(r"project\(\s*Kestrum\s+VERSION\s+([0-9.]+)", f.read())
    return found.group(1) if found else "0.0.0"


def save(img, name):
    kestrum_art.save(img, OUT, name)


# ---------------------------------------------------------------------------------------------
# Small glyphs shared by the icons and the headers (drawn on a supersampled canvas, in pixels
# of the final picture)

def sheet(d, x, y, w, h, lines=3):
    """A sheet of paper with ruled lines."""
    d.rounded_rectangle(s(x, y, x + w, y + h), radius=max(1, w * 0.12) * SS, fill=WHITE + (255,))
    for i in range(lines):
        ly = y + h * (0.3 + 0.2 * i)
        d.line(s(x + w * 0.22, ly, x + w * (0.78 if i < lines - 1 else 0.55), ly), fill=MIST + (255,),
               width=max(1, round(w * 0.07)) * SS)


def badge_plus(d, cx, cy, r):
    d.ellipse(s(cx - r, cy - r, cx + r, cy + r), fill=AMBER + (255,))
    t = max(1, r * 0.28)
    d.rounded_rectangle(s(cx - r * 0.55, cy - t / 2, cx + r * 0.55, cy + t / 2), radius=t / 2 * SS, fill=WHITE + (255,))
    d.rounded_rectangle(s(cx - t / 2, cy - r * 0.55, cx + t / 2, cy + r * 0.55), radius=t / 2 * SS, fill=WHITE + (255,))


def progress_ring(d, cx, cy, r, width, done=0.62):
    """A ring, filled in amber for the part already done: a task on its way."""
    d.ellipse(s(cx - r, cy - r, cx + r, cy + r), outline=WHITE + (255,), width=round(width * SS))
    d.arc(s(cx - r, cy - r, cx + r, cy + r), start=-90, end=-90 + 360 * done, fill=AMBER + (255,),
          width=round(width * SS))


def check(d, cx, cy, size, color, width):
    d.line(s(cx - size * 0.5, cy, cx - size * 0.12, cy + size * 0.38, cx + size * 0.55, cy - size * 0.4),
           fill=color + (255,), width=round(width * SS), joint="curve")


def cross(d, cx, cy, size, color, width):
    h = size / 2
    d.line(s(cx - h, cy - h, cx + h, cy + h), fill=color + (255,), width=round(width * SS))
    d.line(s(cx + h, cy - h, cx - h, cy + h), fill=color + (255,), width=round(width * SS))


def calendar_page(d, x, y, w, h, head=BLUE):
    """A desk calendar leaf: coloured head with two rings, white body."""
    r = max(1, w * 0.14)
    d.rounded_rectangle(s(x, y, x + w, y + h), radius=r * SS, fill=WHITE + (255,))
    d.rounded_rectangle(s(x, y, x + w, y + h * 0.34), radius=r * SS, fill=head + (255,))
    d.rectangle(s(x, y + h * 0.2, x + w, y + h * 0.34), fill=head + (255,))
    for rx in (x + w * 0.3, x + w * 0.7):
        d.rounded_rectangle(s(rx - w * 0.05, y - h * 0.09, rx + w * 0.05, y + h * 0.12), radius=w * 0.05 * SS,
                            fill=INK + (255,))


def mortarboard(d, cx, cy, w, color):
    """The square academic cap, seen slightly from the front."""
    h = w * 0.3
    d.polygon(s(cx, cy - h, cx + w / 2, cy, cx, cy + h, cx - w / 2, cy), fill=color + (255,))
    d.rounded_rectangle(s(cx - w * 0.26, cy + h * 0.35, cx + w * 0.26, cy + h * 1.35), radius=w * 0.08 * SS,
                        fill=color + (255,))
    d.line(s(cx + w * 0.02, cy, cx + w * 0.4, cy + h * 0.55, cx + w * 0.4, cy + h * 1.5), fill=AMBER + (255,),
           width=max(1, round(w * 0.05 * SS)))
    d.ellipse(s(cx + w * 0.34, cy + h * 1.4, cx + w * 0.46, cy + h * 1.72), fill=AMBER + (255,))


# ---------------------------------------------------------------------------------------------
# Icons: window icons on a blue rounded tile (32 x 32), button marks (16 x 16)

def tile(size=32):
    img, d = art.big((size, size), (0, 0, 0, 0))
    d.rounded_rectangle(s(1, 1, size - 1, size - 1), radius=7 * SS, fill=BLUE + (255,))
    return img, d


def icons():
    # 203: adding a task — a sheet with an amber plus
    img, d = tile()
    sheet(d, 7, 5, 15, 20)
    badge_plus(d, 22.5, 22.5, 6.5)
    save(art.small(img), "203.png")

    # 155: changing a task's state — a ring partly done, with a check inside
    img, d = tile()
    progress_ring(d, 16, 16, 9.5, 3.2)
    check(d, 16, 16.5, 8, WHITE, 2.2)
    save(art.small(img), "155.png")

    # 202: the school calendar — a calendar leaf with a cap on it
    img, d = tile()
    calendar_page(d, 6, 8, 20, 19, head=INK_LIGHT)
    mortarboard(d, 16, 19.5, 15, INK)
    save(art.small(img), "202.png")

    # 145: the about box — the kestrel, in white, on the dark panel
    img, d = art.big((32, 32), (0, 0, 0, 0))
    d.rounded_rectangle(s(1, 1, 31, 31), radius=7 * SS, fill=INK_LIGHT + (255,), outline=EDGE + (255,), width=SS)
    bird = Image.new("RGBA", img.size, (0, 0, 0, 0))
    art.kestrel(ImageDraw.Draw(bird), 16, 19, 0.35, 0.62)  # drawn in ink; only its shape is used
    img.paste(WHITE + (255,), (0, 0), bird.getchannel("A"))
    d.ellipse(s(23, 7, 27, 11), fill=AMBER + (255,))
    save(art.small(img), "145.png")

    # 147 and 146: the OK and cancel marks on buttons
    img, d = art.big((16, 16), (0, 0, 0, 0))
    check(d, 8, 8.5, 10, BLUE, 2.2)
    save(art.small(img), "147.png")
    img, d = art.big((16, 16), (0, 0, 0, 0))
    cross(d, 8, 8, 7.5, SLATE, 2.0)
    save(art.small(img), "146.png")


# ---------------------------------------------------------------------------------------------
# Dialog backgrounds: a sky surface, a header with a line of help, a card that carries the
# labels of the fields, and room for the buttons below it

def form_background(size, title, hint, card, labels, glyph):
    """labels: (text, row top, row height) with the row where the dialog puts the field."""
    img = art.vgradient((size[0] * SS, size[1] * SS), (226, 235, 251), SKY)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(s(14, 17, 17, 35), radius=1.5 * SS, fill=AMBER + (255,))
    d.text(s(24, 14), title, font=font(16 * SS, bold=True), fill=BLUE + (255,))
    d.text(s(24, 40), hint, font=font(12 * SS), fill=SLATE + (255,))
    glyph(d)
    x0, y0, x1, y1 = card
    d.rounded_rectangle(s(x0 + 2, y0 + 3, x1 + 2, y1 + 3), radius=10 * SS, fill=SHADOW + (255,))
    d.rounded_rectangle(s(x0, y0, x1, y1), radius=10 * SS, fill=CARD + (255,), outline=CARD_EDGE + (255,), width=SS)
    label_font = font(13 * SS)
    for text, top, height in labels:
        d.text(s(x0 + 18, top + height / 2), text, font=label_font, fill=INK + (255,), anchor="lm")
    return art.small(img).convert("RGB")


def add_task_160():
    def glyph(d):
        sheet(d, 356, 10, 30, 40, lines=4)
        d.rounded_rectangle(s(356, 10, 386, 50), radius=4 * SS, outline=CARD_EDGE + (255,), width=SS)
        badge_plus(d, 387, 46, 10)
    # Rows of CAddTaskDlg: content, state, date (tops 84, 124, 164; 28 high)
    save(form_background((420, 268), "记下一件要做的事情", "写下内容，选好状态和日期，按“确定”保存", (14, 70, 406, 208),
                         [("事情内容", 84, 28), ("事情状态", 124, 28), ("事情日期", 164, 28)], glyph), "160.png")


def task_state_162():
    def glyph(d):
        d.ellipse(s(300, 12, 340, 52), fill=BLUE + (255,))
        progress_ring(d, 320, 32, 12, 3.6)
        check(d, 320, 32.5, 10, WHITE, 2.6)
    # Row of CTaskStateDlg: the state list (top 94, 28 high)
    save(form_background((360, 198), "这件事情进展得怎样了？", "选出它现在的状态", (14, 76, 346, 136),
                         [("新的状态", 92, 28)], glyph), "162.png")


def school_calendar_144():
    def glyph(d):
        calendar_page(d, 356, 14, 38, 36, head=BLUE)
        mortarboard(d, 375, 38, 26, INK)
    # Rows of CSchoolCalendarDlg: term start, term end (tops 86, 126; 28 high)
    save(form_background((420, 232), "设置本学期的起止日期", "教学周从开始日期所在的那一周算起", (14, 70, 406, 170),
                         [("学期开始日期", 86, 28), ("学期结束日期", 126, 28)], glyph), "144.png")


def about_171():
    """The about box's picture (481 x 315). Only the part above y = 212 shows: the animated
    strip 172 covers the rest."""
    w, h = 481, 315
    img = art.vgradient((w * SS, h * SS), INK_LIGHT, INK)
    d = ImageDraw.Draw(img)
    d.rectangle(s(0, 0, w - 1, h - 1), outline=EDGE + (255,), width=SS)
    # the calendar card of the splash picture, small, beside the name
    x0, y0, cw, ch = 34, 46, 96, 112
    d.rounded_rectangle(s(x0 + 3, y0 + 4, x0 + cw + 3, y0 + ch + 4), radius=10 * SS, fill=(18, 26, 38, 255))
    d.rounded_rectangle(s(x0, y0, x0 + cw, y0 + ch), radius=10 * SS, fill=WHITE + (255,))
    d.rounded_rectangle(s(x0, y0, x0 + cw, y0 + 26), radius=10 * SS, fill=BLUE + (255,))
    d.rectangle(s(x0, y0 + 16, x0 + cw, y0 + 26), fill=BLUE + (255,))
    for rx in (x0 + 26, x0 + cw - 26):
        d.rounded_rectangle(s(rx - 3, y0 - 7, rx + 3, y0 + 8), radius=3 * SS, fill=MIST + (255,))
    done = {(1, 0), (3, 0), (0, 1), (2, 1), (4, 1), (1, 2), (3, 2)}
    for r in range(4):
        for c in range(5):
            cx, cy = x0 + 15 + c * 16.5, y0 + 40 + r * 19
            if r == 3 and c > 1:
                continue
            color = AMBER if (c, r) in done else (232, 239, 251)
            d.rounded_rectangle(s(cx - 6, cy - 6, cx + 6, cy + 6), radius=3 * SS, fill=color + (255,))
            if (c, r) in done:
                check(d, cx, cy + 0.3, 7, WHITE, 1.6)
    # name, version, a word on what it is, credits
    d.text(s(160, 34), "Kestrum", font=font(44 * SS, bold=True), fill=WHITE + (255,))
    d.text(s(163, 98), f"版本 {version()}", font=font(13 * SS), fill=MIST + (255,))
    d.line(s(164, 124, 186, 124), fill=AMBER + (255,), width=2 * SS)
    d.text(s(163, 134), "教师和学生的每日计划：事情、提醒、校历与课程表", font=font(12 * SS), fill=SKY + (255,))
    d.text(s(163, 158), "编写：Kestrum 开发组 · 图画与动画：Kestrum 美工组", font=font(11 * SS), fill=MIST + (255,))
    d.text(s(w - 14, 190), "按住拖动 · 双击关闭", font=font(11 * SS), fill=(120, 140, 168, 255), anchor="ra")
    save(art.small(img).convert("RGB"), "171.png")


def main():
    os.makedirs(OUT, exist_ok=True)
    add_task_160()
    task_state_162()
    school_calendar_144()
    about_171()
    icons()


if __name__ == "__main__":
    main()
