#!/usr/bin/python3
"""Draw the picture "LOGO" of the splash and About windows (logo.png, 292 x 180,
a 256-colour palette) and the two small pictures of the settings dialog's
language page (lang-de.png, lang-en.png, 24 x 16).

It borrows the palette, the supersampled canvas and the calculator of
draw-images.py beside it, so the logo's calculator is the program icon's,
drawn larger.  Text is set in DejaVu Sans (Debian package fonts-dejavu-core).

    /usr/bin/python3 resources/images/draw-logo.py [OUTPUT_DIRECTORY]
"""

import os
import runpy
import sys
import types

from PIL import Image, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
images = types.SimpleNamespace(**runpy.run_path(os.path.join(HERE, "draw-images.py")))

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
LOGO_SIZE = (292, 180)

NIGHT_TOP = (31, 40, 53)      # the ground, top
NIGHT_BOTTOM = (58, 72, 92)   # the ground, bottom
RULE = images.GOLD[:3]
LCD_GLOW = images.LCD[:3]


def font(name, size):
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


def gradient(size, top, bottom):
    w, h = size
    img = Image.new("RGB", size)
    px = img.load()
    for y in range(h):
        t = y / (h - 1)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        for x in range(w):
            px[x, y] = colour
    return img


def dot_grid(img, box, step, colour):
    """Faint dots of an LCD matrix behind the name."""
    draw = ImageDraw.Draw(img)
    x0, y0, x1, y1 = box
    for y in range(y0, y1, step):
        for x in range(x0, x1, step):
            draw.point((x, y), fill=colour)


def calculator(height):
    """The program icon's calculator with its shadow, reduced from its
    supersampled drawing so that the icon's 64 pixels become `height`."""
    return full_canvas().resize((height, height), Image.BOX)


def full_canvas():
    """program_icon_64 before its reduction: the 512 x 512 supersampled image."""
    original = images.Canvas.result
    try:
        images.Canvas.result = lambda self: self.image
        return images.program_icon_64()
    finally:
        images.Canvas.result = original


def centred_text(draw, centre_x, top, text, face, fill):
    left, _, right, _ = draw.textbbox((0, 0), text, font=face)
    draw.text((centre_x - (right - left) / 2 - left, top), text, font=face, fill=fill)


def logo():
    img = gradient(LOGO_SIZE, NIGHT_TOP, NIGHT_BOTTOM)
    dot_grid(img, (118, 8, 286, 62), 4, (44, 55, 71))

    # the calculator on the left, its screen lit
    calc = calculator(150)
    img.paste(calc, (-14, 22), calc)

    draw = ImageDraw.Draw(img)
    column = 118 + 166 // 2  # the centre of the text column the windows write into
    name = font("DejaVuSans-Bold.ttf", 38)
    centred_text(draw, column + 1, 12 + 2, "Ombrel", name, (12, 16, 22))  # shadow
    centred_text(draw, column, 12, "Ombrel", name, (255, 255, 255))
    draw.rectangle([column - 66, 64, column + 66, 65], fill=RULE)

    # a line of the calculator's own characters between the version and the slogan
    glyphs = font("DejaVuSans.ttf", 14)
    centred_text(draw, column, 98, "\u2220  \u2192  \u222b  \u221a  \u03c0  \u03a3  \u00ab\u00bb",
                 glyphs, LCD_GLOW)
    return img.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)


def flag_de():
    c = images.Canvas(24, 16)
    c.rect(0, 0, 24, 16, images.INK)
    for i, colour in enumerate([(0, 0, 0, 255), (221, 0, 0, 255), (255, 206, 0, 255)]):
        c.rect(1, 1 + i * 14 / 3, 23, 1 + (i + 1) * 14 / 3, colour)
    return c.result()


def flag_en():
    c = images.Canvas(24, 16)
    blue, red, white = (1, 33, 105, 255), (200, 16, 46, 255), images.WHITE
    c.rect(0, 0, 24, 16, images.INK)
    c.rect(1, 1, 23, 15, blue)
    for a, b in (((1, 1), (23, 15)), ((23, 1), (1, 15))):
        c.stroke([a, b], 3.0, white)
    for a, b in (((1, 1), (23, 15)), ((23, 1), (1, 15))):
        c.stroke([a, b], 1.0, red)
    c.rect(1, 6, 23, 10, white)
    c.rect(10, 1, 14, 15, white)
    c.rect(1, 7, 23, 9, red)
    c.rect(11, 1, 13, 15, red)
    # the frame again over the strokes' round ends
    c.rect(0, 0, 24, 1, images.INK)
    c.rect(0, 15, 24, 16, images.INK)
    c.rect(0, 0, 1, 16, images.INK)
    c.rect(23, 0, 24, 16, images.INK)
    return c.result()


PICTURES = {
    "logo.png": logo,
    "lang-de.png": flag_de,
    "lang-en.png": flag_en,
}


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else HERE
    for name, draw in PICTURES.items():
        image = draw()
        image.save(os.path.join(out, name), optimize=True)
        print(f"{name}: {image.size[0]} x {image.size[1]}, {image.mode}")


if __name__ == "__main__":
    main()
