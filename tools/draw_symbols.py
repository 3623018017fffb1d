#!/usr/bin/python3
"""Draws the program's pictures: the symbol pictures, the fraction bars, the carets,
the page's pointer, the key pictures of the hint panel, the faces of the palette's and the
hotkey row's buttons, the signs of the limits dialogs, the arrows of the move buttons and the
toolbar's pictures, as GIF files in Simbol/.

The GIFs are committed; the build never runs this script. Run it only to redraw them:

    apt-get install -y python3-pil fonts-dejavu-core fonts-liberation
    /usr/bin/python3 tools/draw_symbols.py [--out DIR] [--sheet SHEET.png]

(/usr/bin/python3 is Debian's interpreter, the one that sees python3-pil.)
--out defaults to Simbol/ beside tools/; --sheet also writes a contact sheet of every
picture, three times enlarged, with its name and size above it, for looking them over.

Sizes follow the page: formula text is 24 pt (a 32 px em, a 36 px line) and index text
12 pt bold, so a full-size operator such as "plus" is 20 x 20 px and every small variant
(used in indexes) is about two thirds of its full-size picture. The placer centres every
picture on the insertion line, so letters get a canvas that is symmetric about the line
with their baseline where the baseline of 24 pt text falls (11 px below the line; 6 px
for index text), and operators are centred as the digits are.
"""

import argparse
import math
import os
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

SS = 4  # everything is drawn SS times larger and then averaged down
FONT_DIRS = ["/usr/share/fonts/truetype/liberation", "/usr/share/fonts/truetype/dejavu"]
SANS = "LiberationSans-Regular.ttf"  # the face the page's text uses (Arial's metrics)
SANS_BOLD = "LiberationSans-Bold.ttf"
SANS_NARROW_BOLD = "LiberationSansNarrow-Bold.ttf"
MATH = "DejaVuSans.ttf"  # has the arrows, relations and operators that SANS lacks
SERIF = "LiberationSerif-Regular.ttf"  # its integral sign is the classic slanted one

FULL_EM, SMALL_EM = 32, 21  # px em of a full-size and of a small letter
FULL_BASE, SMALL_BASE = 11, 6  # baseline below the insertion line, px
SMALL = 2 / 3


def font_path(name):
    for d in FONT_DIRS:
        p = os.path.join(d, name)
        if os.path.exists(p):
            return p
    sys.exit("missing font %s: apt-get install -y fonts-dejavu-core fonts-liberation" % name)


_fonts = {}


def font(name, px):
    key = (name, px)
    if key not in _fonts:
        _fonts[key] = ImageFont.truetype(font_path(name), px)
    return _fonts[key]


def ink_box(f, ch, anchor="la"):
    """The glyph's inked box relative to the anchor point (getbbox counts the bearing)."""
    l, t, r, b = f.getbbox(ch, anchor=anchor)
    m = 4
    probe = Image.new("L", (r - l + 2 * m, b - t + 2 * m), 0)
    ImageDraw.Draw(probe).text((m - l, m - t), ch, font=f, fill=255, anchor=anchor)
    il, it, ir, ib = probe.getbbox()
    return il - m + l, it - m + t, ir - m + l, ib - m + t


class Ink:
    """A black-on-white picture, drawn as ink coverage in pixel units."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.img = Image.new("L", (w * SS, h * SS), 0)
        self.d = ImageDraw.Draw(self.img)

    def box(self, x0, y0, x1, y1):
        """Filled rectangle from (x0, y0) up to, not including, (x1, y1)."""
        self.d.rectangle([x0 * SS, y0 * SS, x1 * SS - 1, y1 * SS - 1], fill=255)

    def dot(self, cx, cy, r):
        self.d.ellipse([(cx - r) * SS, (cy - r) * SS, (cx + r) * SS, (cy + r) * SS], fill=255)

    def path(self, pts, width):
        """A polyline with round joints and ends."""
        p = [(x * SS, y * SS) for x, y in pts]
        r = width * SS / 2
        self.d.line(p, fill=255, width=max(1, round(width * SS)))
        for x, y in p:
            self.d.ellipse([x - r, y - r, x + r, y + r], fill=255)

    def curve(self, f, t0, t1, width, steps=48):
        self.path([f(t0 + (t1 - t0) * i / steps) for i in range(steps + 1)], width)

    def glyph_fit(self, ch, face, box_w, box_h, cx=None, cy=None):
        """The glyph scaled to fit box_w x box_h and centred (on the canvas by default)."""
        l, t, r, b = ink_box(font(face, 400), ch)
        size = 400 * min(box_w * SS / (r - l), box_h * SS / (b - t))
        f = font(face, max(1, round(size)))
        l, t, r, b = ink_box(f, ch)
        cx = self.w / 2 if cx is None else cx
        cy = self.h / 2 if cy is None else cy
        self.d.text((cx * SS - (l + r) / 2, cy * SS - (t + b) / 2), ch, font=f, fill=255)

    def levels(self):
        """Down to the picture's size; the edges keep at most two greys."""
        small = self.img.resize((self.w, self.h), Image.BOX)
        lut = [0 if c >= 150 else 80 if c >= 95 else 168 if c >= 45 else 255 for c in range(256)]
        return small.point(lut)


def letter(ch, face=SANS, small=False):
    """A letter on a canvas symmetric about the insertion line, baseline like the text's."""
    em = SMALL_EM if small else FULL_EM
    base = SMALL_BASE if small else FULL_BASE
    pad = 1 if small else 2
    f = font(face, em * SS)
    l, t, r, b = ink_box(f, ch, "ls")
    half = max(-(base + t / SS), base + b / SS)
    w = math.ceil((r - l) / SS) + 2 * pad
    h = 2 * math.ceil(half) + 2
    ink = Ink(w, h)
    ink.d.text(((w * SS - (r - l)) / 2 - l, (h / 2 + base) * SS), ch, font=f, fill=255,
               anchor="ls")
    return ink


def fitted(ch, w, h, ink_w, ink_h, face=MATH):
    ink = Ink(w, h)
    ink.glyph_fit(ch, face, ink_w, ink_h)
    return ink


def sized(k, w, h):
    return max(1, round(w * k)), max(1, round(h * k))


# --- full-size pictures (k = 1) and their small variants (k = 2/3) ------------------------


def plus(k):
    w, h = (20, 20) if k == 1 else (13, 13)
    ink = Ink(w, h)
    s = 2  # stroke
    a = (w - s) // 2
    m = 2 if k == 1 else 1
    ink.box(m, a, w - m, a + s)
    ink.box(a, m, a + s, h - m)
    return ink


def minus(k):
    w, h = (20, 20) if k == 1 else (13, 13)
    ink = Ink(w, h)
    a = (h - 2) // 2
    m = 2 if k == 1 else 1
    ink.box(m, a, w - m, a + 2)
    return ink


def po(k):
    # The multiplication dot: the full-stop key and keypad "*" place it.
    w, h = sized(k, 12, 20)
    ink = Ink(w, h)
    ink.dot(w / 2, h / 2, 2.0 * k + 0.2)
    return ink


def dele(k):
    # The division colon: Shift with the semicolon key (":") and keypad "/" place it.
    w, h = sized(k, 12, 20)
    ink = Ink(w, h)
    r, gap = 2.0 * k + 0.2, 5 * k
    ink.dot(w / 2, h / 2 - gap, r)
    ink.dot(w / 2, h / 2 + gap, r)
    return ink


def divide_sign(k):  # ÷
    w, h = (20, 20) if k == 1 else (13, 13)
    ink = minus(k)
    r, gap = 1.9 * k + 0.2, 5.5 * k
    ink.dot(w / 2, h / 2 - gap, r)
    ink.dot(w / 2, h / 2 + gap, r)
    return ink


def plusminus(k):
    w, h = (20, 24) if k == 1 else (13, 16)
    ink = Ink(w, h)
    m = 2 if k == 1 else 1
    s = 2
    c = (w - s) // 2
    cy = round(h * 0.4) - 1  # the plus's bar
    arm = round(7 * k)
    ink.box(m, cy, w - m, cy + s)
    ink.box(c, cy - arm, c + s, cy + s + arm)
    bot = h - m - s
    ink.box(m, bot, w - m, bot + s)
    return ink


def bracket(ch, w, h):
    def draw(k):
        cw, chh = sized(k, w, h)
        return fitted(ch, cw, chh, cw - (3 if k == 1 else 2), chh - (2 if k == 1 else 1), SANS)

    return draw


def space(k):
    return Ink(*sized(k, 12, 20))


def relation(ch, w=20, h=22, iw=16, ih=19):
    def draw(k):
        cw, chh = sized(k, w, h)
        return fitted(ch, cw, chh, iw * k, ih * k)

    return draw


def koren(k):
    w, h = sized(k, 24, 36)
    ink = Ink(w, h)
    s = k  # geometry below is for 24 x 36
    thin, thick = 1.9 * k + 0.2, 2.8 * k + 0.2
    p = lambda x, y: (x * s, y * s)
    ink.path([p(1.5, 21), p(5.5, 18.5)], thin)
    ink.path([p(5.5, 18.5), p(11, 33.5)], thick)
    ink.path([p(11, 33.5), p(20.5, 1.5)], thin)
    ink.path([p(20.5, 1.5), p(23, 1.5)], thin)
    return ink


def arrow(direction):
    def draw(k):
        w, h = sized(k, 28, 20)
        ink = Ink(w, h)
        cy = h / 2
        width = 2 if k == 1 else 1.6
        x0, x1 = 2 * k, w - 2 * k
        head = 7 * k
        if direction > 0:
            ink.path([(x0, cy), (x1 - 0.5, cy)], width)
            ink.path([(x1 - head, cy - head * 0.85), (x1, cy), (x1 - head, cy + head * 0.85)],
                     width)
        else:
            ink.path([(x0 + 0.5, cy), (x1, cy)], width)
            ink.path([(x0 + head, cy - head * 0.85), (x0, cy), (x0 + head, cy + head * 0.85)],
                     width)
        return ink

    return draw


def integral(k):
    w, h = sized(k, 16, 40)
    return fitted("\u222b", w, h, w - 2, h - 2, SERIF)


def summa(k):
    w, h = sized(k, 22, 28)
    return fitted("\u2211", w, h, w - 3, h - 2)


def letter_pic(ch, face=SANS):
    return lambda k: letter(ch, face, small=(k != 1))


# --- full-size only ---------------------------------------------------------------------


def fraction_bar():
    ink = Ink(30, 3)
    ink.box(0, 0, 30, 3)
    return ink


def hskoba():
    # A horizontal brace that opens upward: both ends curl up, the middle points down.
    w, h = 60, 14
    ink = Ink(w, h)
    lw, r = 2.0, 4.5
    top, mid, tip = 2.0, 6.5, 12.0
    c = w / 2
    ink.curve(lambda t: (2 + r - r * math.cos(t), top + (mid - top) * math.sin(t)), 0,
              math.pi / 2, lw)
    ink.path([(2 + r, mid), (c - r, mid)], lw)
    ink.curve(lambda t: (c - r + r * math.sin(t), mid + (tip - mid) * (1 - math.cos(t))), 0,
              math.pi / 2, lw)
    ink.curve(lambda t: (c + r - r * math.sin(t), mid + (tip - mid) * (1 - math.cos(t))), 0,
              math.pi / 2, lw)
    ink.path([(c + r, mid), (w - 2 - r, mid)], lw)
    ink.curve(lambda t: (w - 2 - r + r * math.cos(t), top + (mid - top) * math.sin(t)), 0,
              math.pi / 2, lw)
    return ink


def arc_below():
    w, h = 26, 12
    ink = Ink(w, h)
    ink.curve(lambda t: (2 + 22 * t, 2.5 + 7 * math.sin(math.pi * t)), 0, 1, 2.0)
    return ink


def vector_arrow(w):
    # Laid over the symbol before the pointer, so it carries only the arrow: an opaque
    # picture showing a letter as well would cover the letter that was typed.
    def draw():
        h = 10
        ink = Ink(w, h)
        cy = 5
        ink.path([(1.5, cy), (w - 2, cy)], 1.6)
        ink.path([(w - 6.5, cy - 3.5), (w - 1.5, cy), (w - 6.5, cy + 3.5)], 1.6)
        return ink

    return draw


def overbar():
    ink = Ink(22, 6)
    ink.box(2, 2, 20, 4)
    return ink


def angle(k):
    # The angle sign with its arc, standing on the baseline like a capital letter.
    w, h = sized(k, 24, 24)
    ink = Ink(w, h)
    lw = 2.0 if k == 1 else 1.6
    vx, vy = 2.5 * k, h / 2 + (FULL_BASE if k == 1 else SMALL_BASE) - 0.5
    tip = (w - 3 * k, h / 2 - 8 * k)
    ink.path([tip, (vx, vy), (w - 2 * k, vy)], lw)
    a = math.atan2(vy - tip[1], tip[0] - vx)
    r = 12 * k
    ink.curve(lambda t: (vx + r * math.cos(t), vy - r * math.sin(t)), 0, a, lw * 0.75)
    return ink


def degree(k):
    return letter("\u00b0", SANS_BOLD if k == 1 else SANS, small=(k != 1))


# --- colour pictures --------------------------------------------------------------------


def save_gif(img, path, transparent=None):
    """Saves with a palette of the picture's own colours; no transparency, unless a colour
    is named that becomes see-through."""
    rgb = img.convert("RGB")
    colours = rgb.getcolors(256)
    if colours is not None:
        pal_img = Image.new("P", rgb.size)
        palette, index = [], {}
        for _, c in colours:
            index[c] = len(index)
            palette.extend(c)
        pal_img.putpalette(palette + [0] * (768 - len(palette)))
        pal_img.putdata([index[c] for c in rgb.getdata()])
        out = pal_img
    else:
        out = rgb.convert("P", palette=Image.ADAPTIVE, colors=256)
    out.info.pop("transparency", None)
    if transparent is not None and colours is not None and transparent in index:
        out.save(path, format="GIF", transparency=index[transparent])
    else:
        out.save(path, format="GIF")


def solid(w, h, colour):
    return Image.new("RGB", (w, h), colour)


def kursor():
    # The page's pointer: a thin crosshair whose centre is the hot spot.
    img = Image.new("RGB", (32, 32), "white")
    d = ImageDraw.Draw(img)
    c = 15
    d.line([(c, 4), (c, c - 3)], fill="black")
    d.line([(c, c + 3), (c, 27)], fill="black")
    d.line([(4, c), (c - 3, c)], fill="black")
    d.line([(c + 3, c), (27, c)], fill="black")
    d.point((c, c), fill="black")
    return img


RED = (255, 0, 0)
GREY = (110, 110, 110)


def key(name, sketch, w=46, h=32, face=(236, 236, 236), edge=(96, 96, 96)):
    """A keycap: the key's name at the top, a small sketch of what it does below."""
    img = Image.new("RGB", (w, h), "white")
    d = ImageDraw.Draw(img)
    d.rounded_rectangle([0, 0, w - 1, h - 1], radius=4, fill=(160, 160, 160), outline=edge)
    d.rounded_rectangle([2, 1, w - 3, h - 4], radius=3, fill=face)
    f = font(SANS_BOLD, 10)
    l, t, r, b = d.textbbox((0, 0), name, font=f)
    if r - l > w - 8:
        f = font(SANS_NARROW_BOLD, 10)
        l, t, r, b = d.textbbox((0, 0), name, font=f)
    d.text(((w - (r - l)) / 2 - l, 3 - t), name, font=f, fill="black")
    sketch(d, w, h)
    return img


def caret(d, x, y0, y1):
    d.rectangle([x, y0, x + 1, y1], fill="black")


def bar_sketch(where):
    """A fraction bar and a caret where the key puts the pointer: "bar" (the caret right
    after a new open bar), "above", "below", or "after" a closed fraction."""

    def draw(d, w, h):
        x0, x1 = 11, w - 14
        y = {"bar": 21, "above": 23, "below": 17, "after": 20}[where]
        if where == "after":  # numerator and denominator over and under a closed bar
            d.rectangle([x0 + 3, y - 5, x1 - 3, y - 4], fill=GREY)
            d.rectangle([x0 + 5, y + 3, x1 - 5, y + 4], fill=GREY)
        d.rectangle([x0, y, x1, y + 1], fill="black" if where == "after" else RED)
        mid = (x0 + x1) // 2
        if where == "bar":
            caret(d, x1 + 3, y - 4, y + 4)
        elif where == "above":
            caret(d, mid, y - 8, y - 3)
        elif where == "below":
            caret(d, mid, y + 4, y + 9)
        else:
            caret(d, x1 + 3, y - 3, y + 4)

    return draw


def arrow_sketch(up, colour="black"):
    """An arrow up (the upper index) or down (the lower index)."""

    def draw(d, w, h):
        cx, top, bot = w // 2, 15, 26
        if up:
            d.rectangle([cx - 1, top + 4, cx, bot], fill=colour)
            d.polygon([(cx - 5, top + 5), (cx - 0.5, top), (cx + 4, top + 5)], fill=colour)
        else:
            d.rectangle([cx - 1, top, cx, bot - 4], fill=colour)
            d.polygon([(cx - 5, bot - 5), (cx - 0.5, bot), (cx + 4, bot - 5)], fill=colour)

    return draw


def key_pictures():
    return {
        "keyesc": key("Esc", arrow_sketch(True)),
        # The F12 pictures are 33 x 32: the panel and the on-screen keyboard show them.
        "keyf12": key("F12", arrow_sketch(False), w=33),
        "keyf12low": key("F12", arrow_sketch(False, RED), w=33, face=(255, 236, 120),
                         edge=(200, 0, 0)),
        "keyinsert": key("Insert", bar_sketch("bar")),
        "keypagedown": key("PgDn", bar_sketch("below")),
        "keyhome": key("Home", bar_sketch("after")),
        "keypageup": key("PgUp", bar_sketch("above")),
    }


# --- the on-screen keyboard's picture keys ----------------------------------------------
#
# Drawn to stand inside the key's bevel (the key less 3 px all round), black on a white
# that is see-through, so a pressed key's colour shows around the drawing.


def ok_arrow(direction, size=19):
    """An arrow in its direction: "right", "left", "up" or "down"."""
    turn = {
        "right": lambda x, y: (x, y),
        "left": lambda x, y: (size - x, y),
        "up": lambda x, y: (y, size - x),
        "down": lambda x, y: (y, x),
    }[direction]

    def draw():
        ink = Ink(size, size)
        c = size / 2
        ink.path([turn(3, c), turn(size - 3.5, c)], 2)
        ink.path([turn(size - 8, c - 5), turn(size - 3, c), turn(size - 8, c + 5)], 2)
        return ink

    return draw


def ok_named(name, up, w=27, h=19):
    """A key's name and an arrow up (Esc: the upper index) or down (F12: the lower)."""

    def draw():
        ink = Ink(w, h)
        f = font(SANS_BOLD, 9 * SS)
        l, t, r, b = ink.d.textbbox((0, 0), name, font=f)
        ink.d.text((0.5 * SS - l, (h * SS - (b - t)) / 2 - t), name, font=f, fill=255)
        x = w - 4
        top, bot = 4, h - 4
        if up:
            ink.path([(x, bot), (x, top + 0.5)], 1.6)
            ink.path([(x - 3, top + 3.5), (x, top), (x + 3, top + 3.5)], 1.6)
        else:
            ink.path([(x, top), (x, bot - 0.5)], 1.6)
            ink.path([(x - 3, bot - 3.5), (x, bot), (x + 3, bot - 3.5)], 1.6)
        return ink

    return draw


def ok_bar(mark, w=40, h=26):
    """A fraction bar: alone (Insert), with a mark under its left end (Page Down: the
    denominator comes there) or with a mark at its right end (Home: after the fraction)."""

    def draw():
        ink = Ink(w, h)
        x0, x1, y = 7, w - 9, h / 2 - 1
        ink.box(x0, y, x1, y + 2)
        if mark == "below-left":
            ink.path([(x0 + 2, y + 5), (x0 + 2, y + 11)], 2)
        elif mark == "right":
            ink.path([(x1 + 3, y - 6), (x1 + 3, y + 8)], 2)
        return ink

    return draw


def keyboard_pictures():
    return {
        "okesc": ok_named("Esc", True)().levels(),
        "okf12": ok_named("F12", False)().levels(),
        "okinsert": ok_bar(None)().levels(),
        "okpagedown": ok_bar("below-left")().levels(),
        "okhome": ok_bar("right")().levels(),
        "okright": ok_arrow("right")().levels(),
        "okleft": ok_arrow("left")().levels(),
        "okup": ok_arrow("up")().levels(),
        "okdown": ok_arrow("down")().levels(),
        "okundo": fitted("\u21b6", 43, 19, 26, 17).levels(),
        "okredo": fitted("\u21b7", 43, 19, 26, 17).levels(),
    }


KEYBOARD_PICTURES = set()


# --- button faces -----------------------------------------------------------------------
#
# The palette's buttons are 33 x 33 px; each face is the button's glyph in black on the
# white face, drawn by the same procedures as the symbol it places (cropped to its ink and
# fitted into the face), so a button shows what a click puts on the page.

FACE = 27  # px, square
FACE_BOX = (23, 21)  # the largest glyph on a face, px


def coverage(ink):
    """The ink of a drawing, cropped to what it covers (SS x resolution)."""
    box = ink.img.getbbox()
    return ink.img.crop(box) if box else ink.img


def stack(*parts, gap=2):
    """Coverage images one above the other, centred across, gap px between them."""
    g = round(gap * SS)
    w = max(p.width for p in parts)
    h = sum(p.height for p in parts) + g * (len(parts) - 1)
    out = Image.new("L", (w, h), 0)
    y = 0
    for p in parts:
        out.paste(p, ((w - p.width) // 2, y))
        y += p.height + g
    return out


def side_by_side(*parts, gap=2):
    """Coverage images in a row, centred up and down, gap px between them."""
    g = round(gap * SS)
    w = sum(p.width for p in parts) + g * (len(parts) - 1)
    h = max(p.height for p in parts)
    out = Image.new("L", (w, h), 0)
    x = 0
    for p in parts:
        out.paste(p, (x, (h - p.height) // 2))
        x += p.width + g
    return out


def on_face(cov, box=FACE_BOX, grow=False):
    """A coverage image fitted into the face's glyph box (shrunk if it is larger; grown
    only when asked) and centred on the face."""
    bw, bh = box
    scale = min(bw * SS / cov.width, bh * SS / cov.height)
    if not grow:
        scale = min(scale, 1.0)
    if scale != 1.0:
        cov = cov.resize((max(1, round(cov.width * scale)), max(1, round(cov.height * scale))),
                         Image.LANCZOS)
    ink = Ink(FACE, FACE)
    ink.img.paste(cov, ((FACE * SS - cov.width) // 2, (FACE * SS - cov.height) // 2))
    return ink


def face_of(draw, box=FACE_BOX, grow=False):
    return lambda: on_face(coverage(draw()), box, grow)


def heavier(cov, px=0.5):
    """The ink grown by about px on every side: a thin glyph that has to be shrunk onto
    a face keeps a stroke the eye can follow."""
    n = 2 * round(px * SS) + 1
    pad = n
    big = Image.new("L", (cov.width + 2 * pad, cov.height + 2 * pad), 0)
    big.paste(cov, (pad, pad))
    return coverage_of(big.filter(ImageFilter.MaxFilter(n)))


def coverage_of(img):
    box = img.getbbox()
    return img.crop(box) if box else img


def scaled_to_width(cov, w):
    k = w * SS / cov.width
    return cov.resize((max(1, round(cov.width * k)), max(1, round(cov.height * k))),
                      Image.LANCZOS)


def bar_px(w, h=2):
    ink = Ink(w, h)
    ink.box(0, 0, w, h)
    return coverage(ink)


def letter_cov(ch, face=SANS):
    return coverage(letter(ch, face))


def face_root():
    # The root sign with the opening bracket that follows it.
    root = coverage(koren(1))
    bracket_ink = fitted("(", 9, 30, 8, 28, SANS)
    return on_face(side_by_side(root, coverage(bracket_ink), gap=0.5))


def face_brace():
    # The brace under a letter, drawn at the face's size (hskoba's shape, 20 px wide).
    w, h = 20, 8
    ink = Ink(w, h)
    lw, r = 1.5, 3.0
    top, mid, tip = 1.0, 4.0, 7.2
    c = w / 2
    ink.curve(lambda t: (1 + r - r * math.cos(t), top + (mid - top) * math.sin(t)), 0,
              math.pi / 2, lw)
    ink.path([(1 + r, mid), (c - r, mid)], lw)
    ink.curve(lambda t: (c - r + r * math.sin(t), mid + (tip - mid) * (1 - math.cos(t))), 0,
              math.pi / 2, lw)
    ink.curve(lambda t: (c + r - r * math.sin(t), mid + (tip - mid) * (1 - math.cos(t))), 0,
              math.pi / 2, lw)
    ink.path([(c + r, mid), (w - 1 - r, mid)], lw)
    ink.curve(lambda t: (w - 1 - r + r * math.cos(t), top + (mid - top) * math.sin(t)), 0,
              math.pi / 2, lw)
    return ink


def face_marked(ch, mark, below, mark_width=None):
    """A letter with its mark over or under it (the mark as wide as asked, in px)."""

    def draw():
        m = coverage(mark())
        if mark_width:
            m = scaled_to_width(m, mark_width)
        parts = (letter_cov(ch), m) if below else (m, letter_cov(ch))
        return on_face(stack(*parts, gap=2))

    return draw


def face_integral_limits():
    # The integral sign with a bar for each limit: the upper at its top right, the lower
    # at its bottom right, where the dialog types them.
    sign = heavier(coverage(fitted("\u222b", 12, 24, 10, 23, SERIF)), 0.4)
    bar = bar_px(8, 3)
    h = sign.height
    col = Image.new("L", (bar.width, h), 0)
    col.paste(bar, (0, 0))
    col.paste(bar, (0, h - bar.height))
    return on_face(side_by_side(sign, col, gap=1.5), box=(23, 24))


def face_sum_limits():
    # The sum sign with a bar above it and one under it, where the limits go.
    sign = coverage(summa(1))
    bar = bar_px(10, 3)
    return on_face(stack(bar, sign, bar, gap=2), box=(23, 24))


def face_hotkey(name):
    """An arrow and the key's name: the button binds (or, for F8, explains) that key."""

    def draw():
        ink = Ink(FACE, FACE)
        arrow_ink = arrow(+1)(0.55)
        a = coverage(arrow_ink)
        ink.img.paste(a, ((FACE * SS - a.width) // 2, round(3 * SS)))
        f = font(SANS_BOLD, 11 * SS)
        l, t, r, b = ink.d.textbbox((0, 0), name, font=f)
        ink.d.text(((FACE * SS - (r - l)) / 2 - l, 13 * SS - t), name, font=f, fill=255)
        return ink

    return draw


def tinted(grey, ground):
    """A black-on-white picture on another ground: white becomes the ground, black stays."""
    rgb = Image.new("RGB", grey.size)
    rgb.putdata([tuple(round(c * v / 255) for c in ground) for v in grey.getdata()])
    return rgb


def face_pictures():
    """The faces of the palette buttons (by the code each places), of the two limits
    buttons (btn1057, btn1058) and of the three hotkey buttons (btnf8 to btnf10)."""
    faces = {
        "1001": face_of(lambda: plusminus(1)),
        "1004": face_of(lambda: relation("\u2264")(1)),
        "1005": face_of(lambda: relation("\u2265")(1)),
        "1006": face_root,
        "1007": face_of(lambda: arrow(+1)(1)),
        "1010": face_of(lambda: relation("\u2208", 20, 22, 14, 17)(1)),
        "1011": face_marked("x", arc_below, below=True, mark_width=20),
        "1012": face_marked("x", face_brace, below=True),
        "1013": face_of(lambda: letter("\u03c0")),
        "1014": face_of(lambda: arrow(-1)(1)),
        "1015": face_marked("c", vector_arrow(22), below=False),
        "1016": face_marked("F", vector_arrow(32), below=False),
        "1017": face_of(lambda: relation("\u221e", 28, 20, 24, 12)(1)),
        "1018": face_of(lambda: relation("\u21d2", 30, 20, 26, 15)(1)),
        "1019": face_of(lambda: relation("\u21d4", 32, 20, 28, 15)(1)),
        "1020": face_of(lambda: degree(1), grow=True, box=(12, 12)),
        "1021": face_of(lambda: angle(1)),
        "1022": face_of(lambda: letter("\u22a5", MATH)),
        "2015": face_marked("c", overbar, below=False),
    }
    for i, ch in enumerate(GREEK):
        code = str(1026 + i)
        if ch == "÷":
            draw = lambda: divide_sign(1)
        elif ch == "∫":
            faces[code] = lambda: on_face(
                heavier(coverage(fitted("\u222b", 14, 24, 12, 23, SERIF)), 0.4), box=(23, 24))
            continue
        elif ch == "Σ":
            draw = lambda: summa(1)
        elif ch == "∇":
            draw = (lambda c: lambda: letter(c, MATH))(ch)
        else:
            draw = (lambda c: lambda: letter(c))(ch)
        faces[code] = face_of(draw)
    faces["1057"] = face_integral_limits
    faces["1058"] = face_sum_limits
    out = {"btn" + code: draw().levels() for code, draw in faces.items()}
    # Command10's face is pale yellow (red 255, green 255, blue 192), as the button is.
    out["btn2015"] = tinted(out["btn2015"], (255, 255, 192))
    for key in ("F8", "F9", "F10"):
        out["btn" + key.lower()] = face_hotkey(key)().levels()
    return out


def on_sign(cov, w, h):
    ink = Ink(w, h)
    ink.img.paste(cov, ((w * SS - cov.width) // 2, (h * SS - cov.height) // 2))
    return ink.levels()


def limits_sign_pictures():
    """The sign between the two boxes of the limits dialogs, at the size of its place."""
    return {
        "granint": on_sign(heavier(coverage(fitted("\u222b", 28, 37, 22, 35, SERIF)), 0.4),
                           28, 37),
        "gransum": fitted("\u2211", 33, 39, 27, 35).levels(),
    }


# --- editing: the move buttons' arrows and the toolbar's picture buttons --------------------
#
# The four move buttons are 25 x 25 px, the toolbar's Undo and Redo 57 x 33 px and its open
# and save buttons 41 x 33 px; each picture stands centred on the button's white face.


def move_arrow(direction):
    """A short thick arrow: "right", "left", "up" or "down", drawn pointing right and turned."""
    ink = Ink(17, 17)
    ink.box(2, 7, 10, 10)
    ink.d.polygon([(8 * SS, 1.5 * SS), (15.5 * SS, 8.5 * SS), (8 * SS, 15.5 * SS)], fill=255)
    turn = {"right": None, "left": Image.ROTATE_180, "up": Image.ROTATE_90,
            "down": Image.ROTATE_270}[direction]
    if turn is not None:
        ink.img = ink.img.transpose(turn)
    return ink.levels()


def hooked_arrow(back):
    """Undo (back) and Redo: an arrow that runs along the top and bends down and back at one
    end, its head at the other end pointing the way the step goes."""
    w, h = 26, 20
    ink = Ink(w, h)
    lw = 2.6
    top, r = 5.5, 5.5
    head_x, bend_x = 2.0, w - 3.0 - r
    ink.path([(head_x + 1.5, top), (bend_x, top)], lw)
    ink.curve(lambda t: (bend_x + r * math.sin(t), top + r - r * math.cos(t)), 0, math.pi, lw)
    ink.path([(bend_x, top + 2 * r), (bend_x - 6, top + 2 * r)], lw)
    ink.d.polygon([(head_x * SS, top * SS), ((head_x + 7) * SS, (top - 5) * SS),
                   ((head_x + 7) * SS, (top + 5) * SS)], fill=255)
    if not back:
        ink.img = ink.img.transpose(Image.FLIP_LEFT_RIGHT)
    return ink.levels()


def open_folder():
    """An open folder: its back with the tab, and the front flap tilted open."""
    w, h = 26, 20
    img = Image.new("RGB", (w * SS, h * SS), "white")
    d = ImageDraw.Draw(img)
    lw = round(1.5 * SS)
    p = lambda x, y: (round(x * SS), round(y * SS))
    back = [p(1.5, 3), p(8.5, 3), p(10.5, 5.5), p(21.5, 5.5), p(21.5, 8.5), p(1.5, 8.5)]
    d.polygon(back, fill=(255, 214, 96))
    d.line(back + [back[0]], fill="black", width=lw, joint="curve")
    d.line([p(1.5, 8.5), p(1.5, 18)], fill="black", width=lw)
    flap = [p(5, 9.5), p(24.5, 9.5), p(20.5, 18), p(1.5, 18)]
    d.polygon(flap, fill=(255, 236, 150))
    d.line(flap + [flap[0]], fill="black", width=lw, joint="curve")
    return img.resize((w, h), Image.LANCZOS)


def floppy_disk():
    """A diskette: its body with a cut corner, the metal shutter at the top and the label
    below it."""
    w, h = 20, 20
    img = Image.new("RGB", (w * SS, h * SS), "white")
    d = ImageDraw.Draw(img)
    lw = round(1.5 * SS)
    p = lambda x, y: (round(x * SS), round(y * SS))
    body = [p(1.5, 1.5), p(15.5, 1.5), p(18.5, 4.5), p(18.5, 18.5), p(1.5, 18.5)]
    d.polygon(body, fill=(70, 110, 190))
    d.line(body + [body[0]], fill="black", width=lw, joint="curve")
    d.rectangle([p(5, 1.5), p(14, 7)], fill=(215, 215, 215), outline="black", width=lw)
    d.rectangle([p(10.5, 2.8), p(12.5, 5.7)], fill="black")
    d.rectangle([p(4, 10.5), p(16, 18.5)], fill="white", outline="black", width=lw)
    d.line([p(6, 13.5), p(14, 13.5)], fill=GREY, width=round(SS))
    d.line([p(6, 16), p(14, 16)], fill=GREY, width=round(SS))
    return img.resize((w, h), Image.LANCZOS)


def editing_pictures():
    return {
        "mvleft": move_arrow("left"),
        "mvright": move_arrow("right"),
        "mvup": move_arrow("up"),
        "mvdown": move_arrow("down"),
        "tbundo": hooked_arrow(back=True),
        "tbredo": hooked_arrow(back=False),
        "tbopen": open_folder(),
        "tbsave": floppy_disk(),
    }

# --- end of the editing pictures ------------------------------------------------------------


# --- the table ----------------------------------------------------------------------------

GREEK = "αβγΔρΩΣμωνφψΨΦλεητξζσθδ÷∫∇"  # codes 1026 to 1051, in code order

# name, small variant (None: none), drawing (called with 1 and with 2/3)
SCALED = [
    ("plus", "plusm", plus),
    ("minus", "minusm", minus),
    ("po", "pom", po),
    ("del", "delm", dele),
    ("oskoba", "oskobam", bracket("(", 13, 36)),
    ("zskoba", "zskobam", bracket(")", 13, 36)),
    ("goskoba", "goskobam", bracket("[", 12, 36)),
    ("gzskoba", "gzskobam", bracket("]", 12, 36)),
    ("boskoba", "boskobam", bracket("{", 14, 36)),
    ("bzskoba", "bzskobam", bracket("}", 14, 36)),
    ("32", "32m", space),
    ("plusminus", "plusminusm", plusminus),
    ("pomalkoravno", "pomalkoravnom", relation("\u2264")),
    ("pogolyamoravno", "pogolyamoravnom", relation("\u2265")),
    ("koren", "korenm", koren),
    ("strelka", "strelkam", arrow(+1)),
    ("strelka2", "strelka2m", arrow(-1)),
    ("prinadleji", "prinadlejim", relation("\u2208", 20, 22, 14, 17)),
    ("pi", "pim", letter_pic("\u03c0")),
    ("1017", "101701", relation("\u221e", 28, 20, 24, 12)),
    ("1018", "101801", relation("\u21d2", 30, 20, 26, 15)),
    ("1019", "101901", relation("\u21d4", 32, 20, 28, 15)),
    ("1020", "102001", degree),
    ("1021", "102101", angle),
    ("1022", "102201", letter_pic("\u22a5", MATH)),
]
for i, ch in enumerate(GREEK):
    code = str(1026 + i)
    if ch == "÷":
        draw = divide_sign
    elif ch == "∫":
        draw = integral
    elif ch == "Σ":
        draw = summa
    elif ch == "∇":
        draw = letter_pic(ch, MATH)
    else:
        draw = letter_pic(ch)
    SCALED.append((code, code + "01", draw))

SINGLE = [
    ("35", fraction_bar),
    ("hskoba", hskoba),
    ("1011", arc_below),
    ("1015", vector_arrow(22)),
    ("1016", vector_arrow(32)),
    ("2015", overbar),
]


def all_pictures():
    """name -> PIL image, in a stable order."""
    out = {}
    for name, small, draw in SCALED:
        out[name] = draw(1).levels()
        out[small] = draw(SMALL).levels()
    for name, draw in SINGLE:
        out[name] = draw().levels()
    out["bar0"] = solid(30, 3, RED)
    out["bar1"] = solid(30, 3, (0, 0, 0))
    out["caret0"] = solid(4, 24, (0, 0, 0))
    out["caret1"] = solid(2, 17, (0, 0, 0))
    out["caret2"] = solid(2, 24, (0, 0, 0))
    out["kursor"] = kursor()
    out.update(key_pictures())
    keys = keyboard_pictures()
    KEYBOARD_PICTURES.update(keys)
    out.update(keys)
    out.update(face_pictures())
    out.update(limits_sign_pictures())
    out.update(editing_pictures())  # editing: move buttons, toolbar
    return out


def contact_sheet(pics, path, scale=3, cols=10):
    """Every picture enlarged on a blue-grey ground, its name and size above it."""
    label_f = font(SANS, 13)
    cell_w = max(max(im.width for im in pics.values()) * scale, 120) + 12
    cell_h = max(im.height for im in pics.values()) * scale + 28
    rows = (len(pics) + cols - 1) // cols
    sheet = Image.new("RGB", (cols * cell_w, rows * cell_h), (200, 210, 225))
    d = ImageDraw.Draw(sheet)
    for i, (name, im) in enumerate(pics.items()):
        x, y = (i % cols) * cell_w, (i // cols) * cell_h
        d.rectangle([x, y, x + cell_w - 1, y + cell_h - 1], outline=(150, 160, 180))
        d.text((x + 4, y + 3), "%s %dx%d" % (name, im.width, im.height), font=label_f,
               fill="black")
        big = im.convert("RGB").resize((im.width * scale, im.height * scale), Image.NEAREST)
        sheet.paste(big, (x + (cell_w - big.width) // 2, y + 22))
    sheet.save(path)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", default=os.path.join(here, "..", "Simbol"))
    ap.add_argument("--sheet", help="also write a contact sheet PNG here")
    args = ap.parse_args()
    pics = all_pictures()
    os.makedirs(args.out, exist_ok=True)
    for name, im in pics.items():
        see_through = (255, 255, 255) if name in KEYBOARD_PICTURES else None
        save_gif(im, os.path.join(args.out, name + ".gif"), see_through)
    if args.sheet:
        contact_sheet(pics, args.sheet)
    print("%d pictures written to %s" % (len(pics), os.path.normpath(args.out)))


if __name__ == "__main__":
    main()
