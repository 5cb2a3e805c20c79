#!/usr/bin/python3
"""Draws the pictures of the settings dialog, the splash program's window icon and the
desktop icons that `cmake --install` puts into the hicolor theme.

Run it from anywhere after changing a picture, and commit what it writes:

    /usr/bin/python3 res/install/make-install-art.py

    res/install/icons/<n>.png   the program icon at n x n (16 ... 256), drawn at each size
    res/splash/128.png          the splash program's window icon (32 x 32)
    res/settings/205.png        the settings dialog's background with its strip down the left
    res/settings/206.png        the settings dialog's window icon (32 x 32)

It uses the colours and drawing helpers of tools/make-artwork.py and the program icon of
tools/make-mainwnd-art.py, so the icons stay the one the main window shows.
"""

import math
import os
import sys

from PIL import ImageDraw

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import kestrum_art  # noqa: E402
from kestrum_art import AMBER, BLUE, EDGE, INK, INK_LIGHT, MIST, SKY, SS, WHITE, art, font, s  # noqa: E402

mainwnd = kestrum_art.load("mainwnd_art", "make-mainwnd-art.py")
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


def save(img, *parts):
    kestrum_art.save(img, os.path.join(*parts[:-1]), parts[-1])


def gear(d, cx, cy, r, color, hole):
    """A cog of eight teeth, drawn on the supersampled canvas."""
    teeth = 8
    points = []
    for i in range(teeth * 4):
        a = 2 * math.pi * i / (teeth * 4)
        rr = r if (i % 4) in (0, 1) else r * 0.78
        points.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
    d.polygon(s(*[v for p in points for v in p]), fill=color + (255,))
    d.ellipse(s(cx - r * 0.62, cy - r * 0.62, cx + r * 0.62, cy + r * 0.62), fill=color + (255,))
    d.ellipse(s(cx - r * 0.3, cy - r * 0.3, cx + r * 0.3, cy + r * 0.3), fill=hole + (255,))


def settings_icon_206():
    img, d = art.big((32, 32), (0, 0, 0, 0))
    d.rounded_rectangle(s(1, 1, 31, 31), radius=7 * SS, fill=BLUE + (255,))
    gear(d, 16, 16, 11, WHITE, BLUE)
    return art.small(img)


def settings_205(size=(460, 300), strip=132):
    """Sky surface with a dark strip down the left edge: the kestrel over a cog and a
    database drum, the dialog's two subjects."""
    w, h = size
    img = art.vgradient((w * SS, h * SS), (226, 235, 251), SKY)
    d = ImageDraw.Draw(img)
    panel = art.vgradient((strip * SS, h * SS), INK_LIGHT, INK)
    img.paste(panel, (0, 0))
    d.line(s(strip, 0, strip, h), fill=EDGE + (255,), width=SS)
    gear(d, strip / 2, 96, 30, MIST, INK_LIGHT)
    # a database drum under the cog
    x0, x1, top = strip / 2 - 24, strip / 2 + 24, 160
    for i in range(3):
        y = top + i * 18
        d.rectangle(s(x0, y + 5, x1, y + 16), fill=SKY + (255,))
        d.ellipse(s(x0, y + 10, x1, y + 22), fill=SKY + (255,))
        d.arc(s(x0, y + 10, x1, y + 22), 0, 180, fill=INK + (255,), width=SS)
    d.ellipse(s(x0, top, x1, top + 12), fill=WHITE + (255,), outline=MIST + (255,), width=SS)
    mainwnd.kestrel(d, strip / 2 + 2, 40, 0.75, AMBER, 22)
    d.text(s(strip / 2, 244), "系统设置", font=font(15 * SS, bold=True), fill=WHITE + (255,), anchor="mm")
    d.line(s(strip / 2 - 12, 262, strip / 2 + 12, 262), fill=AMBER + (255,), width=2 * SS)
    return art.small(img).convert("RGB")


def main():
    for n in ICON_SIZES:
        save(mainwnd.app_icon(n), "res", "install", "icons", f"{n}.png")
    save(mainwnd.app_icon(32), "res", "splash", "128.png")
    save(settings_205(), "res", "settings", "205.png")
    save(settings_icon_206(), "res", "settings", "206.png")


if __name__ == "__main__":
    main()
