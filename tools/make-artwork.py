#!/usr/bin/python3
"""Draws Kestrum's pictures: the animated GIFs and the notice pop-up's bitmaps.

Run it from anywhere after changing a picture, and commit what it writes:

    /usr/bin/python3 tools/make-artwork.py

It needs Pillow (Debian: python3-pil) and the Noto Sans CJK fonts (fonts-noto-cjk). The build
never runs it. The GIF files are written by our own encoder so that their layout (GIF89a, one
global colour table, a graphic control extension per frame, frames cut to what changed) is
exactly what the animated picture control is made for.
"""

import math
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
ART = os.path.join(ROOT, "res", "art")
SPLASH = os.path.join(ROOT, "res", "splash")

# The program's colours; docs/look.md describes how they are used.
INK = (30, 43, 60)          # dark panels
INK_LIGHT = (45, 63, 88)    # top of a dark panel's gradient
EDGE = (72, 96, 128)        # outline of dark panels
SKY = (213, 225, 249)       # light surfaces, the timetable's background
SKY_DEEP = (91, 141, 239)   # accent blue
AMBER = (242, 169, 59)      # "in progress", highlights
RED = (216, 57, 43)         # holidays
MIST = (175, 192, 214)      # secondary text and marks on dark panels
WHITE = (255, 255, 255)

SS = 4  # supersampling factor: every picture is drawn four times as large, then reduced

FONT_DIR = "/usr/share/fonts/opentype/noto"


def font(size, bold=False):
    name = "NotoSansCJK-Bold.ttc" if bold else "NotoSansCJK-Regular.ttc"
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size, index=2)  # index 2: SC


# ---------------------------------------------------------------------------------------------
# GIF writing

def lzw_encode(indices, min_code_size):
    """Variable-length LZW as GIF wants it, packed least significant bit first."""
    clear = 1 << min_code_size
    eoi = clear + 1
    out = bytearray()
    acc = 0
    nbits = 0

    def emit(code, width):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    def reset():
        return {}, min_code_size + 1, eoi + 1

    table, width, next_code = reset()
    emit(clear, width)
    prefix = indices[0]
    for px in indices[1:]:
        key = (prefix << 8) | px
        code = table.get(key)
        if code is not None:
            prefix = code
            continue
        emit(prefix, width)
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear, width)
            table, width, next_code = reset()
        prefix = px
    emit(prefix, width)
    emit(eoi, width)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def write_gif(path, size, palette, frames, loop=True):
    """frames: list of (indexed image 'P' of full size, delay, disposal, transparent index or None).
    Each frame is stored cut to the rectangle that differs from the frame before it."""
    ncolors = len(palette)
    bits = max(1, math.ceil(math.log2(max(ncolors, 2))))
    table = list(palette) + [(0, 0, 0)] * ((1 << bits) - ncolors)
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", size[0], size[1], 0x80 | (7 << 4) | (bits - 1), 0, 0)
    for rgb in table:
        out += bytes(rgb)
    if loop:
        out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    previous = None
    for image, delay, disposal, transparent in frames:
        box = (0, 0, size[0], size[1])
        if previous is not None and disposal == 1 and transparent is None:
            diff = bytes(a != b for a, b in zip(image.tobytes(), previous.tobytes()))
            mask = Image.frombytes("L", size, bytes(255 if d else 0 for d in diff))
            box = mask.getbbox() or (0, 0, 1, 1)
        previous = image
        part = image.crop(box)
        packed = (disposal << 2) | (1 if transparent is not None else 0)
        out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, packed, delay, transparent or 0, 0)
        out += struct.pack("<BHHHHB", 0x2C, box[0], box[1], box[2] - box[0], box[3] - box[1], 0)
        min_code = max(2, bits)
        out.append(min_code)
        out += sub_blocks(lzw_encode(list(part.tobytes()), min_code))
    out.append(0x3B)
    with open(path, "wb") as f:
        f.write(out)
    check_gif(path, frames)
    print(f"{os.path.relpath(path, ROOT)}: {size[0]}x{size[1]}, {len(frames)} frames, "
          f"{sum(f[1] for f in frames) / 100:.2f} s, {len(out)} bytes")


def check_gif(path, frames):
    """Reads the file back with Pillow and compares every frame's colours with what was drawn."""
    with Image.open(path) as gif:
        for n, (image, _, _, transparent) in enumerate(frames):
            gif.seek(n)
            got = gif.convert("RGBA")
            want = image.convert("RGBA")
            if transparent is not None:
                continue  # Pillow composites transparent frames on its own terms
            if got.tobytes() != want.tobytes():
                sys.exit(f"{path}: frame {n} does not read back as written")


def build_palette(images, colors=256, reserve_transparent=False):
    """One palette for every frame, so that the file carries a single global colour table."""
    w = max(i.width for i in images)
    strip = Image.new("RGB", (w, sum(i.height for i in images)))
    y = 0
    for i in images:
        strip.paste(i.convert("RGB"), (0, y))
        y += i.height
    n = colors - 1 if reserve_transparent else colors
    quant = strip.quantize(colors=n, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    pal = quant.getpalette()[: 3 * n]
    rgb = [tuple(pal[i:i + 3]) for i in range(0, len(pal), 3)]
    if reserve_transparent:
        rgb = [(0, 0, 0)] + rgb
    return rgb


def to_indexed(image, palette, transparent_mask=None):
    """Maps every pixel to the nearest palette colour (no dithering, so that still parts of an
    animation stay identical from frame to frame). With a mask, index 0 is the transparent
    colour and is used only for masked pixels."""
    first = 0 if transparent_mask is None else 1
    cache = {}

    def nearest(rgb):
        best = cache.get(rgb)
        if best is None:
            best = min(range(first, len(palette)),
                       key=lambda i: sum((a - b) ** 2 for a, b in zip(rgb, palette[i])))
            cache[rgb] = best
        return best
    pixels = list(image.convert("RGB").getdata())
    if transparent_mask is None:
        data = bytes(nearest(p) for p in pixels)
    else:
        data = bytes(0 if t else nearest(p) for p, t in zip(pixels, transparent_mask))
    indexed = Image.frombytes("P", image.size, data)
    flat = [c for rgb in palette for c in rgb]
    indexed.putpalette(flat + [0] * (768 - len(flat)))
    return indexed


# ---------------------------------------------------------------------------------------------
# Drawing helpers

def big(size, color):
    img = Image.new("RGBA", (size[0] * SS, size[1] * SS), color)
    return img, ImageDraw.Draw(img)


def small(img):
    return img.resize((img.width // SS, img.height // SS), Image.LANCZOS)


def s(*values):
    """Scales coordinates to the supersampled canvas."""
    return [v * SS for v in values]


def vgradient(size, top, bottom):
    img = Image.new("RGBA", size)
    d = ImageDraw.Draw(img)
    for y in range(size[1]):
        t = y / max(1, size[1] - 1)
        d.line([(0, y), (size[0], y)], fill=tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))
    return img


def flatten(img, background):
    base = Image.new("RGBA", img.size, background + (255,))
    base.alpha_composite(img)
    return base.convert("RGB")


# ---------------------------------------------------------------------------------------------
# 167: the marker beside the task in progress (10 x 10)

def marker_167():
    frames = []
    n = 8
    for k in range(n):
        img, d = big((10, 10), WHITE + (255,))
        phase = (1 - math.cos(2 * math.pi * k / n)) / 2
        halo = 3.2 + 1.6 * phase
        d.ellipse(s(5 - halo, 5 - halo, 5 + halo, 5 + halo), fill=(252, 226, 180, 255))
        r = 2.4 + 0.5 * phase
        d.ellipse(s(5 - r, 5 - r, 5 + r, 5 + r), fill=AMBER + (255,))
        frames.append(small(img).convert("RGB"))
    pal = build_palette(frames, 32)
    write_gif(os.path.join(ART, "167.gif"), (10, 10), pal,
              [(to_indexed(f, pal), 12, 1, None) for f in frames])


# ---------------------------------------------------------------------------------------------
# 184: the timetable's clock (32 x 32, transparent round it)

def timetable_184():
    n = 12
    rgba = []
    for k in range(n):
        img, d = big((32, 32), (0, 0, 0, 0))
        d.ellipse(s(3, 3, 29, 29), fill=INK + (255,))
        d.ellipse(s(5, 5, 27, 27), fill=WHITE + (255,))
        for t in range(12):
            a = 2 * math.pi * t / 12
            r0 = 9.5 if t % 3 else 8.2
            d.line(s(16 + r0 * math.sin(a), 16 - r0 * math.cos(a), 16 + 10.5 * math.sin(a),
                     16 - 10.5 * math.cos(a)), fill=MIST + (255,) if t % 3 else INK + (255,), width=SS)
        d.line(s(16, 16, 16 - 5.5 * math.sin(math.radians(60)), 16 - 5.5 * math.cos(math.radians(60))),
               fill=INK + (255,), width=2 * SS)
        a = 2 * math.pi * k / n
        d.line(s(16, 16, 16 + 8.5 * math.sin(a), 16 - 8.5 * math.cos(a)), fill=AMBER + (255,), width=2 * SS)
        d.ellipse(s(14.5, 14.5, 17.5, 17.5), fill=INK + (255,))
        rgba.append(small(img))
    # Smooth edges are blended into the timetable's own background colour, on which it is shown.
    opaque = [flatten(f, SKY) for f in rgba]
    masks = [[a < 128 for a in f.getchannel("A").tobytes()] for f in rgba]
    pal = build_palette(opaque, 64, reserve_transparent=True)
    write_gif(os.path.join(ART, "184.gif"), (32, 32), pal,
              [(to_indexed(f, pal, m), 12, 2, 0) for f, m in zip(opaque, masks)])


# ---------------------------------------------------------------------------------------------
# 172: the about box's strip (481 x 103): clouds drift, a kestrel glides across

def kestrel(d, x, y, flap, scale=1.0):
    """A falcon seen from afar, the way one reads a bird against the sky: a small body and two
    swept wings; flap in -1..1 raises or lowers the wing tips."""
    def p(px, py):
        return (SS * (x + px * scale), SS * (y + py * scale))
    color = INK + (255,)
    for side in (-1, 1):
        d.polygon([p(0, -1), p(side * 7, -3 - 5 * flap), p(side * 14, -4 - 9 * flap), p(side * 22, -1 - 13 * flap),
                   p(side * 15, -1 - 6 * flap), p(side * 8, 1 - 2 * flap), p(0, 2)], fill=color)
    d.ellipse([p(-4, -2), p(4, 3)], fill=color)
    d.ellipse([p(2, -3), p(6, 1)], fill=color)
    d.polygon([p(-3, 1), p(-9, 3), p(-8, 5), p(-2, 3)], fill=color)


def cloud(d, cx, cy, w, color):
    h = w * 0.38
    for ox, oy, r in ((-0.28, 0.08, 0.24), (0.0, -0.12, 0.32), (0.3, 0.06, 0.22), (0.12, 0.12, 0.26)):
        d.ellipse(s(cx + ox * w - r * w, cy + oy * h * 2 - r * w * 0.8,
                    cx + ox * w + r * w, cy + oy * h * 2 + r * w * 0.8), fill=color)
    d.rounded_rectangle(s(cx - 0.5 * w, cy, cx + 0.5 * w, cy + 0.22 * w), radius=0.11 * w * SS, fill=color)


def about_172():
    size = (481, 103)
    n = 36
    period = 240  # the clouds repeat every 240 pixels, so one loop moves them by exactly that
    frames = []
    motto = font(15 * SS)
    for k in range(n):
        t = k / n
        img = vgradient((size[0] * SS, size[1] * SS), SKY, WHITE)
        d = ImageDraw.Draw(img)
        for base_x, y, w in ((40, 30, 70), (170, 20, 54)):
            for rep in range(-1, 3):
                cloud(d, base_x + rep * period - t * period, y, w, (255, 255, 255, 235))
        d.line(s(0, 92, size[0], 92), fill=(190, 205, 235, 255), width=SS)
        d.text(s(size[0] - 16, 66), "让每一天井井有条", font=motto, fill=INK + (255,), anchor="ra")
        bx = -30 + t * (size[0] + 60)
        by = 50 + 10 * math.sin(2 * math.pi * t)
        kestrel(d, bx, by, math.sin(2 * math.pi * 4 * t), 1.0)
        frames.append(small(img).convert("RGB"))
    pal = build_palette(frames, 128)
    write_gif(os.path.join(ART, "172.gif"), size, pal, [(to_indexed(f, pal), 8, 1, None) for f in frames])


# ---------------------------------------------------------------------------------------------
# 229: the holiday list's strip (72 x 232): a lantern swings, snow falls

def lantern_layer(size):
    layer = Image.new("RGBA", (size[0] * SS, size[1] * SS), (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    cx = size[0] / 2
    d.line(s(cx, 0, cx, 62), fill=AMBER + (255,), width=SS)
    d.rounded_rectangle(s(cx - 9, 60, cx + 9, 66), radius=SS, fill=AMBER + (255,))
    d.ellipse(s(cx - 25, 64, cx + 25, 112), fill=RED + (255,))
    for half in (16, 7):  # ribs
        d.ellipse(s(cx - half, 64, cx + half, 112), outline=(170, 36, 28, 255), width=SS)
    d.rounded_rectangle(s(cx - 11, 108, cx + 11, 114), radius=SS, fill=AMBER + (255,))
    d.text(s(cx, 88), "福", font=font(20 * SS, bold=True), fill=(255, 214, 120, 255), anchor="mm")
    d.line(s(cx, 114, cx, 122), fill=AMBER + (255,), width=SS)
    for dx in range(-4, 5, 2):
        d.line(s(cx, 122, cx + dx, 142), fill=AMBER + (255,), width=SS)
    return layer


def holiday_229():
    size = (72, 232)
    n = 12
    lantern = lantern_layer(size)
    flakes = [(9, 20, 1.2), (60, 70, 1.0), (22, 130, 1.4), (50, 160, 1.1), (14, 200, 0.9), (64, 10, 1.3),
              (36, 180, 1.0), (5, 95, 1.1)]
    label = font(13 * SS)
    frames = []
    for k in range(n):
        t = k / n
        img = vgradient((size[0] * SS, size[1] * SS), INK, INK_LIGHT)
        d = ImageDraw.Draw(img)
        for x, y, r in flakes:
            fy = (y + t * 232) % 232
            fx = x + 2.5 * math.sin(2 * math.pi * (t + y / 232))
            d.ellipse(s(fx - r, fy - r, fx + r, fy + r), fill=SKY + (200,))
        swing = lantern.rotate(8 * math.sin(2 * math.pi * t), resample=Image.BICUBIC,
                               center=(size[0] * SS / 2, 0))
        img.alpha_composite(swing)
        d = ImageDraw.Draw(img)
        for i, ch in enumerate("节日快乐"):
            d.text(s(size[0] / 2, 162 + 16 * i), ch, font=label, fill=MIST + (255,), anchor="mt")
        frames.append(small(img).convert("RGB"))
    pal = build_palette(frames, 128)
    write_gif(os.path.join(ART, "229.gif"), size, pal, [(to_indexed(f, pal), 12, 1, None) for f in frames])


# ---------------------------------------------------------------------------------------------
# 129: the splash program's picture (600 x 400, 15 frames, 5.8 s)

def splash_129():
    size = (600, 400)
    n = 15
    delays = [100] + [30] * 13 + [90]
    title = font(62 * SS, bold=True)
    subtitle = font(22 * SS)
    small_font = font(14 * SS)
    day_font = font(11 * SS)
    frames = []
    cells = [(c, r) for r in range(5) for c in range(7)]
    done = [(1, 0), (3, 1), (5, 1), (0, 2), (2, 2), (4, 2), (6, 3), (1, 3), (6, 0), (5, 3), (2, 4), (3, 3),
            (0, 4)]
    for k in range(n):
        img = vgradient((size[0] * SS, size[1] * SS), INK_LIGHT, INK)
        d = ImageDraw.Draw(img)
        # calendar card
        x0, y0, w, h = 58, 96, 176, 206
        d.rounded_rectangle(s(x0 + 4, y0 + 6, x0 + w + 4, y0 + h + 6), radius=12 * SS, fill=(18, 26, 38, 255))
        d.rounded_rectangle(s(x0, y0, x0 + w, y0 + h), radius=12 * SS, fill=WHITE + (255,))
        d.rounded_rectangle(s(x0, y0, x0 + w, y0 + 42), radius=12 * SS, fill=SKY_DEEP + (255,))
        d.rectangle(s(x0, y0 + 30, x0 + w, y0 + 42), fill=SKY_DEEP + (255,))
        for rx in (x0 + 44, x0 + w - 44):
            d.rounded_rectangle(s(rx - 4, y0 - 10, rx + 4, y0 + 12), radius=4 * SS, fill=MIST + (255,))
        d.text(s(x0 + w / 2, y0 + 22), "日 程", font=font(18 * SS, bold=True), fill=WHITE + (255,), anchor="mm")
        for n_day, (c, r) in enumerate(cells[:31]):
            cx = x0 + 20 + c * 22.6
            cy = y0 + 62 + r * 30
            d.rounded_rectangle(s(cx - 9, cy - 9, cx + 9, cy + 9), radius=4 * SS, fill=(236, 242, 252, 255))
            d.text(s(cx, cy), str(n_day + 1), font=day_font, fill=(120, 134, 156, 255), anchor="mm")
        for i, (c, r) in enumerate(done[:k]):
            cx = x0 + 20 + c * 22.6
            cy = y0 + 62 + r * 30
            d.rounded_rectangle(s(cx - 9, cy - 9, cx + 9, cy + 9), radius=4 * SS, fill=AMBER + (255,))
            d.line(s(cx - 5, cy, cx - 1.5, cy + 4, cx + 5.5, cy - 4.5), fill=WHITE + (255,), width=int(2.2 * SS),
                   joint="curve")
        # name and line
        d.text(s(274, 118), "Kestrum", font=title, fill=WHITE + (255,))
        d.text(s(278, 204), "日程规划 · 提醒 · 课程表", font=subtitle, fill=SKY + (255,))
        d.line(s(278, 246, 300, 246), fill=AMBER + (255,), width=3 * SS)
        # progress
        bx0, bx1, by = 278, 540, 318
        d.rounded_rectangle(s(bx0, by, bx1, by + 6), radius=3 * SS, fill=(22, 32, 46, 255))
        filled = bx0 + (bx1 - bx0) * (k + 1) / n
        d.rounded_rectangle(s(bx0, by, filled, by + 6), radius=3 * SS, fill=AMBER + (255,))
        d.text(s(278, 334), "正在启动…" if k < n - 1 else "准备就绪", font=small_font, fill=MIST + (255,))
        frames.append(small(img).convert("RGB"))
    pal = build_palette(frames, 256)
    write_gif(os.path.join(SPLASH, "129.gif"), size, pal,
              [(to_indexed(f, pal), dl, 1, None) for f, dl in zip(frames, delays)])


# ---------------------------------------------------------------------------------------------
# The notice pop-up: 191 (shape), 192 (background), 197 and 196 (its two pictures)

PANEL = (4, 40, 346, 146)
TAB = (72, 15, 176, 52)


def notice_shape_big():
    img = Image.new("L", (350 * SS, 150 * SS), 0)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(s(*PANEL), radius=10 * SS, fill=255)
    d.rounded_rectangle(s(*TAB), radius=8 * SS, fill=255)
    # fillets where the tab meets the panel
    for x, sign in ((TAB[0], -1), (TAB[2], 1)):
        d.rectangle(s(min(x, x + 6 * sign), 34, max(x, x + 6 * sign), 40), fill=255)
        d.ellipse(s(x + 6 * sign - 6, 28, x + 6 * sign + 6, 40), fill=0)
    return img


def bell(d, cx, cy, tilt, color):
    """A bell hanging from (cx, cy), swung by tilt degrees; sound arcs on the side it swings to."""
    a = math.radians(tilt)

    def rot(px, py):
        return (SS * (cx + px * math.cos(a) - py * math.sin(a)), SS * (cy + px * math.sin(a) + py * math.cos(a)))
    outline = [(-3, 4), (-8, 9), (-10, 22), (-16, 30), (16, 30), (10, 22), (8, 9), (3, 4)]
    d.polygon([rot(*p) for p in outline], fill=color)
    d.ellipse([rot(-3, 0), rot(3, 6)], fill=color)
    cl = rot(0, 35)
    d.ellipse([cl[0] - 3.6 * SS, cl[1] - 3.6 * SS, cl[0] + 3.6 * SS, cl[1] + 3.6 * SS], fill=color)
    side = 1 if tilt < 0 else -1
    for r in (22, 31):
        box = s(cx + side * 6 - r, cy + 18 - r, cx + side * 6 + r, cy + 18 + r)
        start, end = (-40, 40) if side > 0 else (140, 220)
        d.arc(box, start=start, end=end, fill=SKY + (220,), width=2 * SS)


def notice_art():
    shape_big = notice_shape_big()
    shape = small(shape_big)
    mask = shape.point(lambda v: 255 if v >= 128 else 0)
    # 191: white inside, pure black outside
    Image.merge("RGB", (mask, mask, mask)).save(os.path.join(ART, "191.png"))

    # 192: the panel
    bg = vgradient((350 * SS, 150 * SS), INK_LIGHT, INK)
    d = ImageDraw.Draw(bg)
    # a one-pixel outline: everything but the shape shrunk by one pixel is border colour
    inner = shape_big.filter(ImageFilter.MinFilter(2 * SS + 1))
    border = Image.new("RGBA", bg.size, EDGE + (255,))
    bg = Image.composite(bg, border, inner)
    d = ImageDraw.Draw(bg)
    # a lighter line along the top of the panel, right of the tab
    d.line(s(TAB[2] + 8, PANEL[1] + 2.5, PANEL[2] - 10, PANEL[1] + 2.5), fill=(70, 94, 126, 255), width=SS)
    d.line(s(PANEL[0] + 10, PANEL[1] + 2.5, TAB[0] - 8, PANEL[1] + 2.5), fill=(70, 94, 126, 255), width=SS)
    # tab: a small clock, then the countdown's place, then the title
    d.text(s(154, 32), "提示", font=font(14 * SS, bold=True), fill=SKY + (255,), anchor="mm")
    d.ellipse(s(82, 25, 98, 41), outline=AMBER + (255,), width=2 * SS)
    d.line(s(90, 29, 90, 33.5, 93, 35.5), fill=AMBER + (255,), width=int(1.8 * SS), joint="curve")
    # close mark
    d.ellipse(s(325, 48, 341, 64), outline=MIST + (255,), width=int(1.5 * SS))
    d.line(s(329.5, 52.5, 336.5, 59.5), fill=MIST + (255,), width=int(1.8 * SS))
    d.line(s(336.5, 52.5, 329.5, 59.5), fill=MIST + (255,), width=int(1.8 * SS))
    # a quiet divider between the picture and the message
    d.line(s(140, 132, 330, 132), fill=(58, 78, 104, 255), width=SS)
    panel = small(bg).convert("RGB")
    black = Image.new("RGB", panel.size, (0, 0, 0))
    Image.composite(panel, black, mask).save(os.path.join(ART, "192.png"))

    # 197 and 196: the bell swinging one way and the other, on the panel's own pixels
    for name, tilt in (("197.png", -14), ("196.png", 14)):
        layer = bg.crop(s(23, 50, 138, 132))
        d = ImageDraw.Draw(layer)
        bell(d, 57, 21, tilt, AMBER + (255,))
        small(layer).convert("RGB").save(os.path.join(ART, name))
    print("res/art/191.png, 192.png, 196.png, 197.png: notice pop-up")


def main():
    os.makedirs(ART, exist_ok=True)
    os.makedirs(SPLASH, exist_ok=True)
    which = set(sys.argv[1:])

    def want(name):
        return not which or name in which
    if want("167"):
        marker_167()
    if want("184"):
        timetable_184()
    if want("172"):
        about_172()
    if want("229"):
        holiday_229()
    if want("notice"):
        notice_art()
    if want("129"):
        splash_129()


if __name__ == "__main__":
    main()
