#!/usr/bin/python3
"""Draws the pictures of the task query, the statistics and the batch delete: the dialogs'
backgrounds (the statistics one carries the table's lines and heads and the "完成情况" panel),
their window icons, the print mark and the three state pictures of the query grid.

Run it from anywhere after changing a picture, and commit what it writes to res/query:

    /usr/bin/python3 tools/make-query-art.py

It takes colours, fonts and helpers from tools/kestrum_art.py, glyphs from make-dialog-art.py.
The places drawn here follow the places src/query/*Dlg.cpp give their controls and texts;
move both together.
"""

import os
import sys

from PIL import ImageDraw

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import kestrum_art  # noqa: E402
from kestrum_art import (AMBER, BLUE, CARD_EDGE, INK, RED, SHADOW, SKY, SLATE, SS, WHITE, art, card,  # noqa: E402
                         font, header, s)

dlg = kestrum_art.load("dialogart", "make-dialog-art.py")

OUT = os.path.join(art.ROOT, "res", "query")
HEAD = (232, 239, 253)    # the light band of a table's heads
LINE = (205, 216, 238)    # table lines
NEAR_WHITE = (254, 254, 254)  # white itself is the state pictures' transparent colour


def save(img, name):
    kestrum_art.save(img, OUT, name)


def surface(size):
    """The sky surface every dialog stands on, with room for a header."""
    img = art.vgradient((size[0] * SS, size[1] * SS), (226, 235, 251), SKY)
    return img, ImageDraw.Draw(img)


# ---------------------------------------------------------------------------------------------
# Glyphs

def magnifier(d, cx, cy, r, color, width):
    d.ellipse(s(cx - r, cy - r, cx + r, cy + r), outline=color + (255,), width=round(width * SS))
    d.line(s(cx + r * 0.7, cy + r * 0.7, cx + r * 1.75, cy + r * 1.75), fill=color + (255,),
           width=round(width * 1.4 * SS))


def pie(d, cx, cy, r, slices):
    """slices: (start, end, colour) in degrees, 0 straight up, clockwise."""
    for start, end, color in slices:
        d.pieslice(s(cx - r, cy - r, cx + r, cy + r), start - 90, end - 90, fill=color + (255,))


def printer(d, x, y, color):
    """A 16 x 16 printer: paper in, the body, paper out."""
    d.rectangle(s(x + 4, y + 1.5, x + 12, y + 6), fill=WHITE + (255,), outline=color + (255,), width=SS)
    d.rounded_rectangle(s(x + 1, y + 5.5, x + 15, y + 12), radius=2 * SS, fill=color + (255,))
    d.rectangle(s(x + 4, y + 9.5, x + 12, y + 15), fill=WHITE + (255,), outline=color + (255,), width=SS)
    d.line(s(x + 6, y + 12, x + 10, y + 12), fill=color + (255,), width=SS)
    d.ellipse(s(x + 12, y + 7, x + 13.6, y + 8.6), fill=AMBER + (255,))


def icons():
    # 201: the query (window and "查询" button) — a sheet under a magnifying glass
    img, d = dlg.tile()
    dlg.sheet(d, 6, 5, 15, 20)
    d.ellipse(s(13, 12, 25, 24), fill=BLUE + (255,))
    magnifier(d, 19, 18, 5.5, WHITE, 2.2)
    d.ellipse(s(16.5, 15.5, 21.5, 20.5), fill=AMBER + (255,))
    save(art.small(img), "201.png")

    # 209: the print mark on "打印"
    img, d = art.big((16, 16), (0, 0, 0, 0))
    printer(d, 0, 0, SLATE)
    save(art.small(img), "209.png")

    # 164: the statistics — a pie with an amber slice
    img, d = dlg.tile()
    d.ellipse(s(6, 6, 26, 26), fill=WHITE + (255,))
    pie(d, 16, 16, 10, [(0, 130, AMBER), (130, 250, (200, 214, 240))])
    d.ellipse(s(6, 6, 26, 26), outline=INK + (255,), width=SS)
    save(art.small(img), "164.png")

    # 154: the batch delete — a calendar leaf crossed out
    img, d = dlg.tile()
    dlg.calendar_page(d, 6, 8, 19, 18, head=art.INK_LIGHT)
    d.ellipse(s(16, 16, 28, 28), fill=RED + (255,))
    dlg.cross(d, 22, 22, 5.5, WHITE, 2.0)
    save(art.small(img), "154.png")


def state_pictures_210():
    """Three 16 x 16 pictures side by side on white (the transparent colour): a task in another
    state (postponed, in progress), a task not done, a task done."""
    img, d = art.big((48, 16), WHITE + (255,))
    # 0: an amber clock — moved on or under way
    d.ellipse(s(1.5, 1.5, 14.5, 14.5), fill=AMBER + (255,))
    d.line(s(8, 4.2, 8, 8.3, 11, 10), fill=NEAR_WHITE + (255,), width=round(1.6 * SS), joint="curve")
    # 1: an open ring — still to do
    d.ellipse(s(18, 2, 30, 14), outline=SLATE + (255,), width=round(1.8 * SS))
    # 2: a blue disc with a check — done
    d.ellipse(s(33.5, 1.5, 46.5, 14.5), fill=BLUE + (255,))
    dlg.check(d, 40, 8.4, 7.5, NEAR_WHITE, 1.8)
    save(art.small(img).convert("RGB"), "210.png")


# ---------------------------------------------------------------------------------------------
# Backgrounds

def query_208():
    # CTaskQueryDlg: the criteria rows at 80, 118 and 156 (26 high), the grid at (16, 214, 668, 330)
    w, h = 700, 560
    img, d = surface((w, h))
    header(d, "查找事情", "勾选要用的条件；每行前面的“或”“与”决定它怎样接上前面的条件")
    dlg.sheet(d, 644, 10, 24, 32, lines=3)
    d.ellipse(s(656, 26, 676, 46), fill=BLUE + (255,))
    magnifier(d, 665, 35, 5, WHITE, 2)
    card(d, 14, 68, 686, 196)
    for y in (109, 147):
        d.line(s(26, y, 586, y), fill=LINE + (255,), width=SS)
    d.line(s(590, 80, 590, 184), fill=LINE + (255,), width=SS)
    d.rounded_rectangle(s(14, 212, 686, 546), radius=4 * SS, fill=WHITE + (255,), outline=CARD_EDGE + (255,),
                        width=SS)
    save(art.small(img).convert("RGB"), "208.png")


# The statistics table: its column and row boundaries (the texts sit in the cells of
# CTaskStatsDlg: columns 112..202, 220..310, 327..403; rows from 47, 83, 117, 150, 23 high)
TABLE_X = (14, 104, 211, 318, 410)
TABLE_Y = (10, 40, 77, 112, 145, 180)


def stats_166():
    w, h = 424, 456
    img, d = surface((w, h))
    x0, x1, y0, y1 = TABLE_X[0], TABLE_X[-1], TABLE_Y[0], TABLE_Y[-1]
    d.rounded_rectangle(s(x0 + 2, y0 + 3, x1 + 2, y1 + 3), radius=8 * SS, fill=SHADOW + (255,))
    d.rounded_rectangle(s(x0, y0, x1, y1), radius=8 * SS, fill=WHITE + (255,))
    # the heads: a blue band along the top, a light one down the left
    d.rounded_rectangle(s(x0, y0, x1, TABLE_Y[1]), radius=8 * SS, fill=BLUE + (255,))
    d.rectangle(s(x0, TABLE_Y[1] - 8, x1, TABLE_Y[1]), fill=BLUE + (255,))
    d.rounded_rectangle(s(x0, TABLE_Y[1], TABLE_X[1], y1), radius=8 * SS, fill=HEAD + (255,))
    d.rectangle(s(x0, TABLE_Y[1], TABLE_X[1], TABLE_Y[1] + 8), fill=HEAD + (255,))
    d.rectangle(s(TABLE_X[1] - 8, TABLE_Y[1], TABLE_X[1], y1), fill=HEAD + (255,))
    for x in TABLE_X[1:-1]:
        d.line(s(x, TABLE_Y[1] if x == TABLE_X[1] else y0 + 6, x, y1), fill=LINE + (255,), width=SS)
    for y in TABLE_Y[2:-1]:
        d.line(s(x0, y, x1, y), fill=LINE + (255,), width=SS)
    d.rounded_rectangle(s(x0, y0, x1, y1), radius=8 * SS, outline=CARD_EDGE + (255,), width=SS)
    head_font, row_font = font(13 * SS, bold=True), font(13 * SS)
    for text, (a, b) in zip(("未完成", "已完成", "已推迟"), zip(TABLE_X[1:], TABLE_X[2:])):
        d.text(s((a + b) / 2, (TABLE_Y[0] + TABLE_Y[1]) / 2), text, font=head_font, fill=WHITE + (255,),
               anchor="mm")
    d.text(s((TABLE_X[0] + TABLE_X[1]) / 2, (TABLE_Y[0] + TABLE_Y[1]) / 2), "时段", font=row_font,
           fill=(220, 232, 252, 255), anchor="mm")
    for text, (a, b) in zip(("今天前", "今天后", "今天", "总量"), zip(TABLE_Y[1:], TABLE_Y[2:])):
        d.text(s((TABLE_X[0] + TABLE_X[1]) / 2, (a + b) / 2), text, font=head_font if text == "总量" else row_font,
               fill=INK + (255,), anchor="mm")

    # the pie's card (CTaskStatsDlg puts the chart at 22, 200, 186 x 194)
    card(d, 14, 192, 216, 402)
    # a word on the rates, and the completion panel with its three rows (texts 12..14)
    card(d, 226, 192, 410, 252)
    note = font(12 * SS)
    d.text(s(238, 204), "进行中的事情只计入总量，", font=note, fill=SLATE + (255,))
    d.text(s(238, 224), "三个比率之和可不到 100%", font=note, fill=SLATE + (255,))
    card(d, 226, 262, 410, 402)
    d.rounded_rectangle(s(226, 262, 410, 296), radius=10 * SS, fill=BLUE + (255,))
    d.rectangle(s(226, 286, 410, 296), fill=BLUE + (255,))
    d.text(s(238, 279), "完成情况", font=head_font, fill=WHITE + (255,), anchor="lm")
    for y, color in ((305, (255, 0, 0)), (331, (0, 0, 255)), (357, (0, 0, 0))):
        d.rounded_rectangle(s(229, y + 4, 232, y + 19), radius=1.5 * SS, fill=color + (255,))
    for y in (329.5, 355.5):
        d.line(s(235, y, 398, y), fill=LINE + (255,), width=SS)
    save(art.small(img).convert("RGB"), "166.png")


def batch_delete_226():
    # CBatchDeleteDlg: the date picker at 80, the three scopes at 116, 140 and 164
    w, h = 380, 252
    img, d = surface((w, h))
    header(d, "批量删除事情", "删除所选日期那一年、那个月或那一天的全部事情")
    dlg.calendar_page(d, 330, 12, 32, 30, head=BLUE)
    d.ellipse(s(348, 30, 366, 48), fill=RED + (255,))
    dlg.cross(d, 357, 39, 7, WHITE, 2.2)
    card(d, 14, 68, 366, 196)
    label = font(13 * SS)
    d.text(s(32, 93), "选定日期", font=label, fill=INK + (255,), anchor="lm")
    d.line(s(26, 107, 354, 107), fill=LINE + (255,), width=SS)
    d.text(s(32, 127), "删除范围", font=label, fill=INK + (255,), anchor="lm")
    save(art.small(img).convert("RGB"), "226.png")


def main():
    os.makedirs(OUT, exist_ok=True)
    icons()
    state_pictures_210()
    query_208()
    stats_166()
    batch_delete_226()


if __name__ == "__main__":
    main()
