#!/usr/bin/python3
"""Draws the pictures of the program list and its edit dialog: the two backgrounds (which carry
the labels and the help lines), the window icons, the picture of an entry the desktop has no
icon for, the tip icon and the marks of the buttons.

Run it from anywhere after changing a picture, and commit what it writes to res/launcher:

    /usr/bin/python3 tools/make-launcher-art.py

It takes colours, fonts and helpers from tools/kestrum_art.py, glyphs from make-dialog-art.py.
The places of the card and the labels follow src/launcher/ProgramListDlg.cpp and
ProgramEditDlg.cpp; move both together.
"""

import os
import sys

from PIL import ImageDraw

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import kestrum_art  # noqa: E402
from kestrum_art import (AMBER, BLUE, CARD_EDGE, INK, MIST, RED, ROOT, SKY, SLATE, SS, WHITE, art,  # noqa: E402
                         card, font, header, s)

dlg = kestrum_art.load("dialogart", "make-dialog-art.py")

OUT = os.path.join(ROOT, "res", "launcher")
LIST_BACK = (255, 255, 153)    # the list's own pale yellow


def save(img, name):
    kestrum_art.save(img, OUT, name)


def rocket(d, cx, cy, size, body=WHITE, flame=AMBER):
    """A small rocket leaning to the upper right: what starting a program looks like."""
    u = size / 20
    pts = [(cx + 8 * u, cy - 8 * u), (cx + 3 * u, cy + 1 * u), (cx - 1 * u, cy - 3 * u)]
    d.polygon(s(*[c for p in pts for c in p]), fill=body + (255,))
    d.polygon(s(cx + 8 * u, cy - 8 * u, cx + 1 * u, cy - 5.5 * u, cx + 5.5 * u, cy - 1 * u), fill=body + (255,))
    d.ellipse(s(cx + 2.2 * u, cy - 5.2 * u, cx + 4.6 * u, cy - 2.8 * u), fill=BLUE + (255,))
    d.polygon(s(cx - 1 * u, cy - 3 * u, cx - 5 * u, cy - 2 * u, cx - 2 * u, cy - 5 * u), fill=body + (255,))
    d.polygon(s(cx + 3 * u, cy + 1 * u, cx + 2 * u, cy + 5 * u, cx + 5 * u, cy + 2 * u), fill=body + (255,))
    d.polygon(s(cx - 0.5 * u, cy + 0.5 * u, cx - 6 * u, cy + 6 * u, cx + 0.8 * u, cy - 2.2 * u), fill=flame + (255,))


def window_glyph(d, x, y, w, h, head=BLUE):
    """A program's window: a coloured title bar over a white body with two lines."""
    r = max(1, w * 0.12)
    d.rounded_rectangle(s(x, y, x + w, y + h), radius=r * SS, fill=WHITE + (255,))
    d.rounded_rectangle(s(x, y, x + w, y + h * 0.3), radius=r * SS, fill=head + (255,))
    d.rectangle(s(x, y + h * 0.18, x + w, y + h * 0.3), fill=head + (255,))
    for i, f in enumerate((0.72, 0.5)):
        ly = y + h * (0.5 + 0.2 * i)
        d.line(s(x + w * 0.18, ly, x + w * f, ly), fill=MIST + (255,), width=max(1, round(w * 0.08)) * SS)


def arrow(d, cx, cy, size, up, color):
    h = size / 2
    sign = -1 if up else 1
    d.polygon(s(cx, cy + sign * h, cx - h, cy, cx - h * 0.38, cy, cx - h * 0.38, cy - sign * h,
                cx + h * 0.38, cy - sign * h, cx + h * 0.38, cy, cx + h, cy), fill=color + (255,))


def icons():
    # 174: the list's window icon — a rocket on the blue tile
    img, d = dlg.tile()
    rocket(d, 16, 16, 30)
    save(art.small(img), "174.png")

    # 129: the tip icon of "打开" — the rocket on an amber disc
    img, d = art.big((32, 32), (0, 0, 0, 0))
    d.ellipse(s(2, 2, 30, 30), fill=AMBER + (255,))
    rocket(d, 16, 16, 28, flame=RED)
    save(art.small(img), "129.png")

    # 176: an entry the desktop has no picture for — a program window
    img, d = art.big((32, 32), (0, 0, 0, 0))
    window_glyph(d, 3, 5, 26, 22)
    d.rounded_rectangle(s(3, 5, 29, 27), radius=3 * SS, outline=CARD_EDGE + (255,), width=SS)
    save(art.small(img), "176.png")

    # edit.png: the edit dialog's window icon — a program window with an amber plus
    img, d = dlg.tile()
    window_glyph(d, 6, 7, 18, 16, head=INK)
    dlg.badge_plus(d, 22.5, 22.5, 6.5)
    save(art.small(img), "edit.png")

    # the buttons' marks (16 x 16)
    marks = {
        "open": lambda d: rocket(d, 8, 8, 16, body=BLUE),
        "up": lambda d: arrow(d, 8, 8, 12, True, BLUE),
        "down": lambda d: arrow(d, 8, 8, 12, False, BLUE),
        "add": lambda d: dlg.badge_plus(d, 8, 8, 6.5),
        "delete": lambda d: dlg.cross(d, 8, 8, 8.5, RED, 2.2),
        "change": lambda d: (d.line(s(3.5, 12.5, 12, 4), fill=AMBER + (255,), width=3 * SS),
                             d.polygon(s(2.5, 13.5, 3, 11, 5, 13), fill=INK + (255,))),
        "exit": lambda d: (d.rounded_rectangle(s(3, 2.5, 10, 13.5), radius=1.5 * SS, outline=SLATE + (255,), width=2 * SS),
                           d.polygon(s(14, 8, 10, 4.5, 10, 11.5), fill=BLUE + (255,)),
                           d.line(s(7, 8, 11, 8), fill=BLUE + (255,), width=2 * SS)),
        "browse": lambda d: (d.rounded_rectangle(s(1.5, 4, 14.5, 13), radius=1.5 * SS, fill=AMBER + (255,)),
                             d.rounded_rectangle(s(1.5, 2.5, 7, 6), radius=1 * SS, fill=AMBER + (255,)),
                             d.rectangle(s(2.5, 6.5, 13.5, 12), fill=(250, 206, 130, 255))),
    }
    for name, draw in marks.items():
        img, d = art.big((16, 16), (0, 0, 0, 0))
        draw(d)
        save(art.small(img), f"{name}.png")


def list_175():
    """The program list (440 x 380): the list view sits at (20, 76)-(300, 364) on the card."""
    w, h = 440, 380
    img = art.vgradient((w * SS, h * SS), (226, 235, 251), SKY)
    d = ImageDraw.Draw(img)
    header(d, "常用软件及文件", "双击一项即可打开，单击看它在哪里")
    # three program windows taking off behind the rocket
    window_glyph(d, 338, 16, 26, 22, head=INK)
    window_glyph(d, 352, 26, 26, 22)
    d.ellipse(s(384, 8, 424, 48), fill=AMBER + (255,))
    rocket(d, 404, 28, 34, flame=RED)
    card(d, 12, 68, 308, 372, fill=LIST_BACK)
    # a thin rule between the buttons that move entries and those that change them
    d.line(s(320, 192, 422, 192), fill=CARD_EDGE + (255,), width=SS)
    d.line(s(320, 320, 422, 320), fill=CARD_EDGE + (255,), width=SS)
    save(art.small(img).convert("RGB"), "175.png")


def edit_130():
    """The edit dialog (420 x 252): name at row 84, path at row 124 (56 high)."""
    w, h = 420, 252
    img = art.vgradient((w * SS, h * SS), (226, 235, 251), SKY)
    d = ImageDraw.Draw(img)
    header(d, "一个常用的程序或文件", "按“浏览”选出文件，再给它起个短名字")
    window_glyph(d, 352, 14, 32, 28)
    dlg.badge_plus(d, 386, 42, 10)
    card(d, 14, 70, 406, 192)
    label = font(13 * SS)
    d.text(s(32, 84 + 14), "显示名称", font=label, fill=INK + (255,), anchor="lm")
    d.text(s(32, 124 + 14), "程序位置", font=label, fill=INK + (255,), anchor="lm")
    save(art.small(img).convert("RGB"), "130.png")


def main():
    os.makedirs(OUT, exist_ok=True)
    list_175()
    edit_130()
    icons()


if __name__ == "__main__":
    main()
