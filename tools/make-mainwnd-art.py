#!/usr/bin/python3
"""Draws the main window's pictures into res/mainwnd, in the program's look (README, "Look"):

    background.png   the window's background (730 x 440), carrying its labels
    digit0..9.png    the teaching-week digits (22 x 32)
    logo.png         the logo (119 x 114), logo-hover.png with the pointer over it
    app.png          the window and tray icon, hint.png the balloon tips' icon (32 x 32)
    timetable.png, reminders.png, accounts.png   the three small buttons' icons (24 x 24)
    menu-show.png, menu-about.png, menu-exit.png  the tray menu's item pictures (16 x 16)

Run it after changing a picture and commit what it writes:  /usr/bin/python3 tools/make-mainwnd-art.py
It needs Pillow (python3-pil) and the Noto Sans CJK fonts (fonts-noto-cjk). The positions below
are the main window's layout (src/mainwnd/PlannerLayout.h); keep the two in step.
"""

import os

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
OUT = os.path.join(ROOT, "res", "mainwnd")

INK = (30, 43, 60)
INK_LIGHT = (45, 63, 88)
SKY = (213, 225, 249)
SKY_DEEP = (91, 141, 239)
AMBER = (242, 169, 59)
RED = (216, 57, 43)
MIST = (175, 192, 214)
WHITE = (255, 255, 255)
CARD_EDGE = (184, 201, 232)
LABEL = (60, 78, 104)

SS = 4
FONT_DIR = "/usr/share/fonts/opentype/noto"
W, H = 730, 440


def font(size, bold=False):
    name = "NotoSansCJK-Bold.ttc" if bold else "NotoSansCJK-Regular.ttc"
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size * SS, index=2)


def s(*values):
    return tuple(v * SS for v in values)


def big(size, color):
    return Image.new("RGBA", (size[0] * SS, size[1] * SS), color)


def small(img):
    return img.resize((img.width // SS, img.height // SS), Image.LANCZOS)


def vgradient(size, top, bottom):
    img = Image.new("RGBA", size)
    d = ImageDraw.Draw(img)
    for y in range(size[1]):
        t = y / max(1, size[1] - 1)
        d.line([(0, y), (size[0], y)], fill=tuple(int(a + (b - a) * t) for a, b in zip(top, bottom)) + (255,))
    return img


def text(d, xy, txt, size, fill, bold=False, anchor="la"):
    d.text(s(*xy), txt, font=font(size, bold), fill=fill, anchor=anchor)


def card(d, box, radius=10):
    d.rounded_rectangle(s(*box), radius=radius * SS, fill=WHITE, outline=CARD_EDGE, width=SS)


def background():
    img = big((W, H), SKY)
    img.paste(vgradient((W * SS, 86 * SS), INK_LIGHT, INK), (0, 0))
    d = ImageDraw.Draw(img)
    text(d, (22, 16), "Kestrum", 30, WHITE, bold=True)
    text(d, (24, 56), "学期 · 日程 · 提醒　让每一天井井有条", 12, MIST)
    # Left card: school term, calendar, lunar date and holidays.
    card(d, (10, 90, 340, 432))
    d.rounded_rectangle(s(20, 94, 52, 126), radius=6 * SS, fill=SKY_DEEP)           # school hot area
    d.rectangle(s(27, 104, 45, 118), outline=WHITE, width=2 * SS)
    d.line(s(27, 108, 45, 108), fill=WHITE, width=2 * SS)
    d.line(s(31, 100, 31, 106), fill=WHITE, width=2 * SS)
    d.line(s(41, 100, 41, 106), fill=WHITE, width=2 * SS)
    text(d, (58, 101), "校历", 13, LABEL, bold=True)
    text(d, (188, 101), "第", 15, LABEL, bold=True)
    text(d, (260, 101), "周", 15, LABEL, bold=True)
    d.ellipse(s(301, 94, 333, 126), fill=AMBER)                                        # add hot area
    d.line(s(317, 102, 317, 118), fill=WHITE, width=3 * SS)
    d.line(s(309, 110, 325, 110), fill=WHITE, width=3 * SS)
    text(d, (20, 295), "农历", 12, LABEL, bold=True)
    text(d, (20, 322), "节日", 12, RED, bold=True)
    d.line(s(20, 318, 330, 318), fill=CARD_EDGE, width=SS)
    # Right card: the day's tasks and the commands.
    card(d, (346, 124, 720, 432))
    text(d, (356, 130), "当天的事情", 13, LABEL, bold=True)
    d.line(s(352, 152, 714, 152), fill=CARD_EDGE, width=SS)
    return small(img).convert("RGB")


def digit(n):
    img = big((22, 32), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(s(1, 1, 21, 31), radius=4 * SS, fill=INK)
    d.text(s(11, 16), str(n), font=font(22, bold=True), fill=AMBER, anchor="mm")
    out = Image.new("RGBA", img.size, SKY + (255,))
    # Digits sit on the white card: flatten onto white so they are copied as they are.
    out = Image.new("RGBA", img.size, WHITE + (255,))
    out.alpha_composite(img)
    return small(out).convert("RGB")


def kestrel(d, cx, cy, scale, colour, wing):
    """The program's bird: a small falcon in flight, drawn from a few strokes."""
    k = scale
    body = [(cx - 30 * k, cy + 4 * k), (cx + 26 * k, cy - 2 * k), (cx + 34 * k, cy + 2 * k), (cx - 26 * k, cy + 10 * k)]
    d.polygon([s(*p) for p in body], fill=colour)
    d.polygon([s(cx - 6 * k, cy), s(cx + 10 * k, cy - wing * k), s(cx + 14 * k, cy)], fill=colour)
    d.polygon([s(cx - 4 * k, cy + 6 * k), s(cx + 6 * k, cy + (wing - 6) * k), s(cx + 12 * k, cy + 6 * k)], fill=colour)
    d.ellipse(s(cx + 26 * k, cy - 4 * k, cx + 36 * k, cy + 4 * k), fill=colour)


def logo(hover):
    img = big((119, 114), (0, 0, 0, 0))
    base = vgradient((119 * SS, 114 * SS), INK_LIGHT, INK)
    img.paste(base, (0, 0))
    d = ImageDraw.Draw(img)
    ring = AMBER if hover else MIST
    d.ellipse(s(14, 6, 104, 96), outline=ring, width=3 * SS)
    kestrel(d, 56, 48, 1.05, AMBER if hover else WHITE, 26)
    text(d, (59.5, 104), "Ormel", 11, ring, bold=True, anchor="mm")
    return small(img).convert("RGB")


def app_icon(size):
    img = big((size, size), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(s(0, 0, size - 1, size - 1), radius=size // 5 * SS, fill=INK)
    kestrel(d, size * 0.45, size * 0.5, size / 90, AMBER, 22)
    return small(img)


def hint_icon():
    img = big((32, 32), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.ellipse(s(1, 1, 31, 31), fill=SKY_DEEP)
    d.text(s(16, 16), "i", font=font(20, bold=True), fill=WHITE, anchor="mm")
    return small(img)


def timetable_icon():
    img = big((24, 24), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(s(2, 3, 22, 21), radius=3 * SS, fill=WHITE, outline=INK, width=int(1.5 * SS))
    d.rectangle(s(3, 4, 21, 8), fill=SKY_DEEP)
    for x in (8.5, 13.5):
        d.line(s(x, 8, x, 20), fill=MIST, width=SS)
    for y in (12, 16):
        d.line(s(3, y, 21, y), fill=MIST, width=SS)
    d.rectangle(s(9, 12.5, 13, 15.5), fill=AMBER)
    return small(img)


def reminders_icon():
    img = big((24, 24), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.pieslice(s(5, 3, 19, 19), 180, 360, fill=AMBER)
    d.rectangle(s(5, 11, 19, 17), fill=AMBER)
    d.rounded_rectangle(s(3, 16, 21, 19), radius=SS, fill=AMBER)
    d.ellipse(s(10, 18.5, 14, 22.5), fill=INK)
    d.ellipse(s(10.5, 1.5, 13.5, 4.5), fill=INK)
    return small(img)


def accounts_icon():
    img = big((24, 24), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(s(4, 2, 21, 22), radius=2 * SS, fill=SKY_DEEP)
    d.rectangle(s(4, 2, 7, 22), fill=INK_LIGHT)
    d.rounded_rectangle(s(9, 6, 19, 18), radius=SS, fill=WHITE)
    d.text(s(14, 12), "¥", font=font(9, bold=True), fill=RED, anchor="mm")
    return small(img)


def menu_show():
    img = big((16, 16), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(s(1, 2, 15, 14), radius=2 * SS, fill=WHITE, outline=INK, width=SS)
    d.rectangle(s(1.5, 2.5, 14.5, 5), fill=SKY_DEEP)
    d.polygon(s(5, 12, 8, 7.5, 11, 12), fill=AMBER)
    return small(img)


def menu_about():
    img = big((16, 16), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.ellipse(s(1, 1, 15, 15), fill=INK)
    kestrel(d, 7.3, 8, 16 / 90, AMBER, 22)
    return small(img)


def menu_exit():
    img = big((16, 16), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.arc(s(2, 2.5, 14, 14.5), 300, 240, fill=RED, width=int(1.8 * SS))
    d.line(s(8, 1.5, 8, 8), fill=RED, width=int(1.8 * SS))
    return small(img)


def main():
    os.makedirs(OUT, exist_ok=True)
    background().save(os.path.join(OUT, "background.png"), optimize=True)
    for n in range(10):
        digit(n).save(os.path.join(OUT, "digit%d.png" % n), optimize=True)
    logo(False).save(os.path.join(OUT, "logo.png"), optimize=True)
    logo(True).save(os.path.join(OUT, "logo-hover.png"), optimize=True)
    app_icon(64).save(os.path.join(OUT, "app.png"), optimize=True)
    hint_icon().save(os.path.join(OUT, "hint.png"), optimize=True)
    timetable_icon().save(os.path.join(OUT, "timetable.png"), optimize=True)
    reminders_icon().save(os.path.join(OUT, "reminders.png"), optimize=True)
    accounts_icon().save(os.path.join(OUT, "accounts.png"), optimize=True)
    menu_show().save(os.path.join(OUT, "menu-show.png"), optimize=True)
    menu_about().save(os.path.join(OUT, "menu-about.png"), optimize=True)
    menu_exit().save(os.path.join(OUT, "menu-exit.png"), optimize=True)


if __name__ == "__main__":
    main()
