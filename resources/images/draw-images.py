#!/usr/bin/python3
"""Draw Ombrel's bitmap assets (the PNG files next to this script).

Every picture is drawn from scratch with Pillow: small icons are painted at
eight times their size on a grid of whole pixels and reduced with an area
filter, so straight edges stay crisp and only slanted or round edges get soft
pixels; the hand cursor is written out pixel by pixel; the workspace
background is painted directly with a fixed palette.  The output depends on
nothing but this file and Pillow, so running it again gives the same files.

    /usr/bin/python3 resources/images/draw-images.py [OUTPUT_DIRECTORY]
"""

import math
import os
import sys

from PIL import Image, ImageDraw, ImageFilter

SUPER = 8  # supersampling factor for the antialiased icons

# The side an icon is drawn at instead of its own grid's (see ICON_SIDES); None: the grid's.
render_side = None

# --- one palette for every icon ---------------------------------------------

CLEAR = (0, 0, 0, 0)
WHITE = (255, 255, 255, 255)
INK = (47, 58, 74, 255)          # outlines
PAPER = (255, 255, 255, 255)
PAPER_SHADE = (222, 229, 237, 255)  # folded corner
TEXT = (146, 160, 177, 255)      # lines of "text" on paper
SELECT = (182, 207, 236, 255)    # selected row of a list
BLUE = (49, 108, 178, 255)
BLUE_DARK = (33, 75, 128, 255)
BLUE_LIGHT = (205, 224, 244, 255)
GREEN = (40, 140, 62, 255)
RED = (206, 48, 40, 255)
RED_DARK = (150, 30, 24, 255)
GOLD = (241, 178, 36, 255)
FOLDER = (246, 208, 112, 255)
FOLDER_BACK = (226, 176, 72, 255)
METAL = (206, 213, 222, 255)
CASE = (64, 72, 86, 255)         # calculator case
CASE_LIGHT = (92, 101, 116, 255)
LCD = (198, 211, 178, 255)
LCD_INK = (54, 66, 52, 255)
KEY = (122, 131, 146, 255)
KEY_LIGHT = (178, 186, 198, 255)
WOOD = (238, 204, 150, 255)


def rgba(colour, alpha):
    return colour[:3] + (alpha,)


# --- drawing on a supersampled canvas ---------------------------------------

class Canvas:
    """An RGBA picture addressed in target pixels; (0, 0) is the top left
    corner of the top left pixel, so a pixel's centre is at (x + .5, y + .5).
    Later shapes replace what is under them (no blending), which keeps every
    colour exact until the final reduction."""

    def __init__(self, width, height, scale=SUPER, output=None):
        if render_side and output is None and scale == SUPER:
            # the same drawing at another size: supersampled at least SUPER times that size
            scale = SUPER * -(-render_side // width)
            output = (render_side, render_side)
        self.width, self.height, self.scale = width, height, scale
        self.output = output or (width, height)  # the size result() reduces to
        self.image = Image.new("RGBA", (width * scale, height * scale), CLEAR)
        self.draw = ImageDraw.Draw(self.image)

    def _pt(self, x, y):
        # Pillow fills the hi-res pixels whose integer positions lie inside a
        # polygon; shifting by half a pixel makes [0, 1) cover exactly one
        # target pixel.
        return (x * self.scale - 0.5, y * self.scale - 0.5)

    def rect(self, x0, y0, x1, y1, colour):
        s = self.scale
        self.draw.rectangle([x0 * s, y0 * s, x1 * s - 1, y1 * s - 1], fill=colour)

    def rounded(self, x0, y0, x1, y1, radius, colour):
        s = self.scale
        self.draw.rounded_rectangle([x0 * s, y0 * s, x1 * s - 1, y1 * s - 1],
                                    radius=radius * s, fill=colour)

    def framed(self, x0, y0, x1, y1, fill, outline=INK, width=1, radius=0):
        """A box with an outline drawn inside its bounds."""
        if radius:
            self.rounded(x0, y0, x1, y1, radius, outline)
            self.rounded(x0 + width, y0 + width, x1 - width, y1 - width,
                         max(radius - width, 0), fill)
        else:
            self.rect(x0, y0, x1, y1, outline)
            self.rect(x0 + width, y0 + width, x1 - width, y1 - width, fill)

    def poly(self, points, colour):
        self.draw.polygon([self._pt(x, y) for x, y in points], fill=colour)

    def shape(self, points, fill, outline=INK, width=1):
        """A polygon with an outline drawn inside its bounds."""
        self.poly(points, outline)
        self.poly(inset(points, width), fill)

    def disc(self, cx, cy, r, colour):
        s = self.scale
        self.draw.ellipse([(cx - r) * s, (cy - r) * s, (cx + r) * s - 1, (cy + r) * s - 1],
                          fill=colour)

    def stroke(self, points, width, colour):
        """A polyline with round caps and joins, centred on the points."""
        pts = [self._pt(x, y) for x, y in points]
        for a, b in zip(pts, pts[1:]):
            self.draw.line([a, b], fill=colour, width=round(width * self.scale))
        for x, y in points:
            self.disc(x, y, width / 2, colour)

    def haloed(self, points, width, colour, halo=1.0, halo_colour=WHITE):
        self.stroke(points, width + 2 * halo, halo_colour)
        self.stroke(points, width, colour)

    def result(self):
        return self.image.resize(self.output, Image.BOX)


def inset(points, d):
    """Move every edge of a simple polygon inwards by d (mitred corners)."""
    n = len(points)
    area = sum(points[i][0] * points[(i + 1) % n][1] - points[(i + 1) % n][0] * points[i][1]
               for i in range(n))
    sign = 1 if area > 0 else -1  # y grows downwards
    lines = []
    for i in range(n):
        (x0, y0), (x1, y1) = points[i], points[(i + 1) % n]
        length = math.hypot(x1 - x0, y1 - y0)
        nx, ny = -(y1 - y0) / length * sign, (x1 - x0) / length * sign
        lines.append(((x0 + nx * d, y0 + ny * d), (x1 - x0, y1 - y0)))
    out = []
    for i in range(n):
        (p, r), (q, s) = lines[i - 1], lines[i]
        denom = r[0] * s[1] - r[1] * s[0]
        t = ((q[0] - p[0]) * s[1] - (q[1] - p[1]) * s[0]) / denom
        out.append((p[0] + t * r[0], p[1] + t * r[1]))
    return out


def arc_points(cx, cy, r, start, end, steps=24):
    """Points on a circle; angles in degrees, 0 = right, 90 = down."""
    return [(cx + r * math.cos(math.radians(start + (end - start) * i / steps)),
             cy + r * math.sin(math.radians(start + (end - start) * i / steps)))
            for i in range(steps + 1)]


# --- pieces shared by several icons -----------------------------------------

def page(c, x0, y0, x1, y1, fold, lines=(), line_x=None):
    """A sheet of paper with its top right corner folded over."""
    c.shape([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], PAPER)
    c.shape([(x1 - fold, y0), (x1, y0 + fold), (x1 - fold, y0 + fold)], PAPER_SHADE)
    c.rect(x1 - fold - 1, y0 + 1, x1 - fold, y0 + fold, INK)
    c.rect(x1 - fold - 1, y0 + fold, x1 - 1, y0 + fold + 1, INK)
    lx0, lx1 = line_x if line_x else (x0 + 2, x1 - 2)
    for y, end in lines:
        c.rect(lx0, y, min(lx1, lx0 + end), y + 1, TEXT)


def calculator(c, x0, y0, x1, y1):
    """The small calculator of the transfer icons."""
    c.framed(x0, y0, x1, y1, CASE, radius=1.5)
    c.rect(x0 + 2, y0 + 2, x1 - 2, y0 + 7, LCD)
    c.rect(x0 + 3, y0 + 3, x1 - 4, y0 + 4, LCD_INK)
    c.rect(x0 + 3, y0 + 5, x1 - 3, y0 + 6, LCD_INK)
    for row in range(4):
        for col in range(3):
            x = x0 + 2 + col * 2
            y = y0 + 9 + row * 2
            c.rect(x, y, x + 1, y + 1, KEY_LIGHT)


def list_box(c):
    """A short list of topics, the first one selected (insert and delete)."""
    c.framed(1, 2, 16, 17, PAPER)
    c.rect(2, 3, 15, 6, SELECT)
    for i, end in enumerate((9, 7, 10, 6)):
        y = 4 + i * 3
        c.rect(3, y, 3 + end, y + 1, BLUE_DARK if i == 0 else TEXT)
    for y in (6, 9, 12):
        c.rect(2, y, 15, y + 1, PAPER_SHADE)


# --- tool bar icons, 20 x 20 -------------------------------------------------

def tb_new():
    c = Canvas(20, 20)
    page(c, 4, 1, 17, 19, 5)
    # a sparkle at the top left corner: the page is fresh
    star = []
    for i in range(8):
        r = 4.6 if i % 2 == 0 else 1.5
        a = math.radians(-90 + i * 45)
        star.append((5.5 + r * math.cos(a), 5.5 + r * math.sin(a)))
    c.poly([(5.5 + (x - 5.5) * 1.45, 5.5 + (y - 5.5) * 1.45) for x, y in star], WHITE)
    c.poly(star, GOLD)
    return c.result()


def tb_open():
    c = Canvas(20, 20)
    # back of the folder with its tab
    c.shape([(1, 3), (7, 3), (8, 5), (16, 5), (16, 18), (1, 18)], FOLDER_BACK)
    # a sheet inside
    c.framed(4, 7, 15, 14, PAPER)
    # the front flap, tilted open
    c.shape([(4, 9), (19, 9), (16, 18), (1, 18)], FOLDER)
    return c.result()


def tb_save():
    c = Canvas(20, 20)
    c.shape([(2, 2), (16, 2), (18, 4), (18, 18), (2, 18)], BLUE)
    # metal shutter with its window
    c.framed(6, 2, 14, 8, METAL)
    c.rect(10, 3, 12, 7, INK)
    # paper label
    c.framed(4, 10, 16, 18, PAPER)
    c.rect(6, 12, 14, 13, TEXT)
    c.rect(6, 14, 12, 15, TEXT)
    return c.result()


def tb_commit():
    c = Canvas(20, 20)
    page(c, 2, 1, 15, 19, 4, lines=[(6, 8), (9, 6), (12, 8), (15, 5)], line_x=(4, 13))
    c.haloed([(8.5, 12.8), (11.6, 16.0), (17.6, 8.6)], 2.6, GREEN, halo=1.2)
    return c.result()


def tb_insert():
    c = Canvas(20, 20)
    list_box(c)
    c.haloed([(15, 10.5), (15, 18.5)], 2.6, GREEN, halo=1.1)
    c.haloed([(11, 14.5), (19, 14.5)], 2.6, GREEN, halo=1.1)
    c.stroke([(15, 10.5), (15, 18.5)], 2.6, GREEN)
    return c.result()


def tb_delete():
    c = Canvas(20, 20)
    list_box(c)
    c.haloed([(12, 11.5), (18, 17.5)], 2.6, RED, halo=1.1)
    c.haloed([(18, 11.5), (12, 17.5)], 2.6, RED, halo=1.1)
    c.stroke([(12, 11.5), (18, 17.5)], 2.6, RED)
    return c.result()


def tb_find():
    c = Canvas(20, 20)
    c.stroke([(12.2, 12.2), (17.3, 17.3)], 3.4, INK)
    c.disc(8, 8, 6.5, INK)
    c.disc(8, 8, 4.6, BLUE_LIGHT)
    c.stroke(arc_points(8, 8, 2.7, 190, 260, 8), 1.1, WHITE)
    return c.result()


def tb_chartab():
    c = Canvas(20, 20)
    # the table: 3 x 3 cells
    c.rect(1, 1, 14, 14, INK)
    for row in range(3):
        for col in range(3):
            x, y = 2 + col * 4, 2 + row * 4
            c.rect(x, y, x + 3, y + 3, PAPER)
            c.rect(x + 1, y + 1, x + 2, y + 2, TEXT)
    # one character picked out on a key cap: the angle sign
    c.rect(7, 7, 19, 19, WHITE)
    c.framed(8, 8, 19, 19, PAPER, radius=1.5)
    c.stroke([(15.6, 10.6), (11.2, 16.0), (16.4, 16.0)], 1.8, BLUE)
    return c.result()


def tb_screen():
    c = Canvas(20, 20)
    # the calculator's screen in its case: three lines of text, the middle one too long for
    # it, so the edge beside it is marked
    c.framed(0, 3, 20, 17, CASE, radius=1.5)
    c.rect(2, 5, 16, 15, LCD)
    for y, end in ((7, 9), (10, 12), (13, 6)):
        c.rect(3, y, 3 + end, y + 1, LCD_INK)
    c.rect(16, 9, 18, 12, RED)
    return c.result()


def tb_tohp():
    c = Canvas(20, 20)
    page(c, 0, 3, 8, 16, 3, lines=[(7, 3), (9, 4), (11, 2)], line_x=(2, 6))
    calculator(c, 10, 1, 19, 19)
    c.haloed([(4.5, 10), (10.5, 10)], 2.2, BLUE, halo=1.0)
    c.poly([(13.4 + 1.6, 10), (8.6, 4.6), (8.6, 15.4)], WHITE)
    c.poly([(13.6, 10), (9.6, 6.0), (9.6, 14.0)], BLUE)
    return c.result()


def tb_topc():
    c = Canvas(20, 20)
    page(c, 0, 3, 8, 16, 3, lines=[(7, 3), (9, 4), (11, 2)], line_x=(2, 6))
    calculator(c, 10, 1, 19, 19)
    c.haloed([(15.5, 10), (9.5, 10)], 2.2, BLUE, halo=1.0)
    c.poly([(6.4 - 1.6, 10), (11.4, 4.6), (11.4, 15.4)], WHITE)
    c.poly([(6.4, 10), (10.4, 6.0), (10.4, 14.0)], BLUE)
    return c.result()


def tb_help():
    c = Canvas(20, 20)
    c.disc(10, 10, 9, BLUE_DARK)
    c.disc(10, 10, 8, BLUE)
    c.stroke(arc_points(10, 7.6, 2.7, 170, 360 + 60, 20) + [(10, 11.4)], 2.2, WHITE)
    c.disc(10, 14.9, 1.35, WHITE)
    return c.result()


# --- document window icons, 16 x 16 ------------------------------------------

def saved():
    c = Canvas(16, 16)
    page(c, 2, 0, 14, 16, 4, lines=[(6, 7), (8, 5), (10, 7), (12, 4)], line_x=(4, 11))
    return c.result()


def modified():
    c = Canvas(16, 16)
    page(c, 2, 0, 14, 16, 4, lines=[(6, 7), (8, 5), (10, 7), (12, 4)], line_x=(4, 11))
    # a red pencil writing on the page
    a, b = (15.2, 6.0), (8.8, 12.4)  # end of the body, start of the tip
    d = (b[0] - a[0], b[1] - a[1])
    n = math.hypot(*d)
    ux, uy = d[0] / n, d[1] / n
    px, py = -uy, ux
    w = 1.9
    tip = (b[0] + ux * 3.0, b[1] + uy * 3.0)
    body = [(a[0] + px * w, a[1] + py * w), (b[0] + px * w, b[1] + py * w),
            (b[0] - px * w, b[1] - py * w), (a[0] - px * w, a[1] - py * w)]
    c.poly(inset(body, -1.0), WHITE)
    c.poly(inset([body[1], tip, body[2]], -1.0), WHITE)
    c.shape(body, RED, outline=RED_DARK)
    c.shape([body[1], tip, body[2]], WOOD, outline=RED_DARK)
    c.disc(tip[0] - ux * 0.6, tip[1] - uy * 0.6, 0.9, INK)
    return c.result()


# --- the program icon --------------------------------------------------------

def keys_in_row(x, widths, gaps):
    """Left and right edges of keys laid out from x."""
    out = []
    for i, width in enumerate(widths):
        out.append((x, x + width))
        x += width + (gaps[i] if i < len(gaps) else 0)
    return out


# The soft shadow under the 64-pixel calculator: its box, corner radius and blur radius.
SHADOW_64 = ((11, 4, 55, 64), 6, 1.2)


def program_icon_64(size=64):
    """The calculator on the 64-pixel grid; a larger size (a multiple of 64) is painted at its
    own resolution, so its edges are as sharp as those of the 64-pixel icon."""
    scale = SUPER * size // 64
    c = Canvas(64, 64, scale, output=(size, size))
    shadow = Canvas(64, 64, scale)
    (x0, y0, x1, y1), radius, blur = SHADOW_64
    shadow.rounded(x0, y0, x1, y1, radius, rgba(INK, 100))
    c.image.alpha_composite(shadow.image.filter(ImageFilter.GaussianBlur(scale * blur)))
    calculator_64(c)
    return c.result()


def calculator_64(c):
    """The shapes of the 64-pixel program icon; c is a Canvas or anything with its rect,
    rounded and framed."""
    c.framed(10, 1, 54, 62, CASE_LIGHT, outline=INK, radius=5)
    c.rounded(11, 3, 53, 61, 4, CASE)  # light rim along the top edge
    # display: a tiny list of topics, the second one selected, and the
    # labels of the menu keys along its bottom edge
    c.framed(12, 5, 52, 27, LCD, outline=INK)
    for i, length in enumerate((24, 18, 29, 13)):
        y = 8 + i * 3
        if i == 1:
            c.rect(13, y - 1, 51, y + 2, LCD_INK)
            c.rect(15, y, 15 + length, y + 1, LCD)
        else:
            c.rect(15, y, 15 + length, y + 1, LCD_INK)
    for x0, x1 in keys_in_row(14, [5] * 6, [1, 1, 2, 1, 1]):
        c.rect(x0, 23, x1, 25, LCD_INK)
    # menu keys, then three rows of six
    six = keys_in_row(12, [5] * 6, [2] * 5)
    for x0, x1 in six:
        c.rounded(x0, 29, x1, 32, 0.7, KEY_LIGHT)
    for y in (34, 38, 42):
        for x0, x1 in six:
            c.rounded(x0, y, x1, y + 3, 0.7, KEY)
    # the enter row: one wide key
    c.rounded(12, 46, 24, 49, 0.7, BLUE)
    for x0, x1 in six[2:]:
        c.rounded(x0, 46, x1, 49, 0.7, KEY)
    # rows of five larger keys: digits in the middle
    five = keys_in_row(12, [6] * 5, [2, 3, 3, 2])
    for y in (51, 55):
        for col, (x0, x1) in enumerate(five):
            c.rounded(x0, y, x1, y + 3, 0.7, KEY_LIGHT if 1 <= col <= 3 else KEY)


def program_icon_32():
    c = Canvas(32, 32)
    shadow = Canvas(32, 32)
    shadow.rounded(6, 2, 28, 32, 3, rgba(INK, 100))
    c.image.alpha_composite(shadow.image.filter(ImageFilter.GaussianBlur(SUPER * 0.7)))
    c.framed(5, 1, 27, 31, CASE, outline=INK, radius=2.5)
    c.framed(7, 3, 25, 13, LCD, outline=INK)
    c.rect(9, 5, 20, 6, LCD_INK)
    c.rect(8, 7, 24, 10, LCD_INK)
    c.rect(9, 8, 18, 9, LCD)
    c.rect(9, 11, 22, 12, LCD_INK)
    six = keys_in_row(7, [2] * 6, [1, 1, 2, 1, 1])
    for x0, x1 in six:
        c.rect(x0, 15, x1, 16, KEY_LIGHT)
    for y in (17, 19):
        for x0, x1 in six:
            c.rect(x0, y, x1, y + 1, KEY)
    c.rect(7, 21, 12, 22, BLUE)
    for x0, x1 in six[2:]:
        c.rect(x0, 21, x1, 22, KEY)
    five = keys_in_row(7, [2] * 5, [2] * 4)
    for y in (23, 25, 27):
        for col, (x0, x1) in enumerate(five):
            c.rect(x0, y, x1, y + 1, KEY_LIGHT if 1 <= col <= 3 else KEY)
    return c.result()


# --- the hand cursor ---------------------------------------------------------

# The white inside of the hand, row by row: (first column, last column) runs.
# The black outline is every pixel next to the white one (left, right, above,
# below), plus the short creases between the folded fingers.
HAND_WHITE = {
    **{y: [(7, 9)] for y in range(1, 9)},
    9: [(7, 9), (11, 13)],
    10: [(7, 9), (11, 13), (15, 17)],
    11: [(7, 9), (11, 13), (15, 17)],
    12: [(7, 9), (11, 13), (15, 17), (19, 20)],
    13: [(7, 20)],
    14: [(3, 5), (7, 20)],
    15: [(2, 5), (7, 20)],
    16: [(2, 20)],
    17: [(3, 20)],
    18: [(4, 20)],
    19: [(5, 20)],
    20: [(6, 19)],
    21: [(7, 19)],
    22: [(8, 18)],
    23: [(8, 18)],
}
HAND_CREASES = [(10, 13), (14, 13), (18, 13), (6, 16)]
HAND_HOTSPOT = (8, 0)


def hand():
    white = {(x, y) for y, runs in HAND_WHITE.items() for a, b in runs for x in range(a, b + 1)}
    black = {(x + dx, y + dy) for x, y in white
             for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))} - white
    black |= set(HAND_CREASES)
    img = Image.new("RGBA", (32, 32), CLEAR)
    for x, y in white - set(HAND_CREASES):
        img.putpixel((x, y), WHITE)
    for x, y in black:
        img.putpixel((x, y), (0, 0, 0, 255))
    return img


# --- the workspace background --------------------------------------------------

BKGND_SIZE = (168, 249)
BKGND_COLOURS = [
    (196, 205, 215),  # 0 ground
    (202, 211, 220),  # 1 key face
    (211, 218, 226),  # 2 key top edge (light)
    (185, 195, 206),  # 3 key bottom edge (shade)
    (206, 214, 223),  # 4 light (menu) key face
    (190, 200, 211),  # 5 labels above the keys
]


def bkgnd():
    """A faint calculator keyboard: menu row, three rows of six keys, the
    enter row and four rows of five keys, repeating seamlessly."""
    w, h = BKGND_SIZE
    img = Image.new("P", (w, h), 0)
    palette = []
    for colour in BKGND_COLOURS:
        palette.extend(colour)
    img.putpalette(palette + [0, 0, 0] * (16 - len(BKGND_COLOURS)))
    px = img.load()

    def put(x, y, index):
        px[x % w, y % h] = index

    def key(x0, y0, x1, y1, face):
        for y in range(y0, y1):
            for x in range(x0, x1):
                corner = (x in (x0, x1 - 1)) and (y in (y0, y1 - 1))
                if corner:
                    continue
                if y == y0:
                    put(x, y, 2)
                elif y >= y1 - 2:
                    put(x, y, 3)
                else:
                    put(x, y, face)

    def label(x0, x1, y):
        for x in range(x0, x1):
            put(x, y, 5)

    rows = 9
    bands = [round(i * h / rows) for i in range(rows + 1)]
    for r in range(rows):
        top = bands[r]
        if r < 5:
            cols = [round(i * w / 6) for i in range(7)]
            gap = 8
        else:
            cols = [round(i * w / 5) for i in range(6)]
            gap = 9
        keys = [(cols[i], cols[i + 1]) for i in range(len(cols) - 1)]
        if r == 4:  # the enter key is two keys wide
            keys = [(cols[0], cols[2])] + keys[2:]
        height = 9 if r == 0 else (13 if r < 5 else 14)
        for x0, x1 in keys:
            kx0, kx1 = x0 + gap // 2, x1 - gap + gap // 2
            ky0 = top + 10 + (3 if r == 0 else 0)
            key(kx0, ky0, kx1, ky0 + height, 4 if r == 0 else 1)
            if r > 0:
                label(kx0 + 1, kx0 + 7, ky0 - 4)
                label(kx1 - 7, kx1 - 1, ky0 - 4)
    return img


# --- output ------------------------------------------------------------------

PICTURES = {
    "bkgnd.png": bkgnd,
    "saved.png": saved,
    "modified.png": modified,
    "hand.png": hand,
    "tb-new.png": tb_new,
    "tb-open.png": tb_open,
    "tb-save.png": tb_save,
    "tb-commit.png": tb_commit,
    "tb-insert.png": tb_insert,
    "tb-delete.png": tb_delete,
    "tb-find.png": tb_find,
    "tb-chartab.png": tb_chartab,
    "tb-screen.png": tb_screen,
    "tb-tohp.png": tb_tohp,
    "tb-topc.png": tb_topc,
    "tb-help.png": tb_help,
    "ombrel.png": program_icon_64,
    "ombrel-32.png": program_icon_32,
}


# The icons also drawn at other sides, as NAME-SIDE.png: the program takes the one that fits the
# size it shows them at (a tool bar of 16 or 24 pixels, a screen of twice the density).
ICON_SIDES = {name: (16, 24, 32, 40) for name in PICTURES if name.startswith("tb-")}
ICON_SIDES.update({"saved.png": (24, 32), "modified.png": (24, 32)})


def main():
    global render_side
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, draw in PICTURES.items():
        image = draw()
        options = {"bits": 4} if image.mode == "P" else {}  # a 16-colour palette
        image.save(os.path.join(out, name), optimize=True, **options)
        print(f"{name}: {image.size[0]} x {image.size[1]}, {image.mode}")
        for side in ICON_SIDES.get(name, ()):
            render_side = side
            sized = f"{name[:-4]}-{side}.png"
            draw().save(os.path.join(out, sized), optimize=True)
            render_side = None
            print(f"{sized}: {side} x {side}")


if __name__ == "__main__":
    main()
