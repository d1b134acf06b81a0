#!/usr/bin/python3
"""Draw the application icon in the sizes a desktop's icon theme asks for: ombrel.svg (the
64-pixel calculator as shapes, for any size) and ombrel-16.png, ombrel-24.png (the 48-pixel
drawing halved), ombrel-48.png, ombrel-128.png and ombrel-256.png.  The 32- and 64-pixel icons are ombrel-32.png and
ombrel.png, drawn by draw-images.py beside this script.

The 16- and 48-pixel icons are drawn on their own pixel grids, so their edges stay sharp; the
128- and 256-pixel icons and the SVG are the 64-pixel drawing, shape for shape.

    /usr/bin/python3 resources/images/draw-app-icons.py [OUTPUT_DIRECTORY]
"""

import os
import runpy
import sys
import types

from PIL import Image, ImageFilter

HERE = os.path.dirname(os.path.abspath(__file__))
images = types.SimpleNamespace(**runpy.run_path(os.path.join(HERE, "draw-images.py")))
Canvas = images.Canvas


def program_icon_16():
    c = Canvas(16, 16)
    c.framed(2, 0, 14, 16, images.CASE, radius=1.5)
    c.rect(4, 2, 12, 7, images.LCD)
    c.rect(5, 3, 10, 4, images.LCD_INK)
    c.rect(5, 5, 11, 6, images.LCD_INK)
    for x in (4, 7, 10):
        c.rect(x, 8, x + 2, 9, images.KEY_LIGHT)
        c.rect(x, 10, x + 2, 11, images.KEY)
    c.rect(4, 12, 9, 13, images.BLUE)
    c.rect(10, 12, 12, 13, images.KEY)
    return c.result()


def program_icon_48():
    c = Canvas(48, 48)
    shadow = Canvas(48, 48)
    shadow.rounded(8, 3, 42, 48, 4.5, images.rgba(images.INK, 100))
    c.image.alpha_composite(shadow.image.filter(ImageFilter.GaussianBlur(images.SUPER * 0.9)))
    c.framed(7, 1, 41, 47, images.CASE_LIGHT, radius=4)
    c.rounded(8, 3, 40, 46, 3, images.CASE)  # light rim along the top edge
    # display: the list of topics with the second one selected, the menu labels below
    c.framed(9, 4, 39, 22, images.LCD)
    for i, length in enumerate((18, 13, 22, 10)):
        y = 7 + i * 3
        if i == 1:
            c.rect(10, y - 1, 38, y + 2, images.LCD_INK)
            c.rect(12, y, 12 + length, y + 1, images.LCD)
        else:
            c.rect(12, y, 12 + length, y + 1, images.LCD_INK)
    for x0, x1 in images.keys_in_row(12, [3] * 6, [1, 1, 2, 1, 1]):
        c.rect(x0, 18, x1, 20, images.LCD_INK)
    # menu keys, three rows of six, the enter row, two rows of five
    six = images.keys_in_row(9, [4] * 6, [1, 1, 2, 1, 1])
    for x0, x1 in six:
        c.rounded(x0, 24, x1, 26, 0.5, images.KEY_LIGHT)
    for y in (27, 30, 33):
        for x0, x1 in six:
            c.rounded(x0, y, x1, y + 2, 0.5, images.KEY)
    c.rounded(six[0][0], 36, six[1][1], 38, 0.5, images.BLUE)
    for x0, x1 in six[2:]:
        c.rounded(x0, 36, x1, 38, 0.5, images.KEY)
    five = images.keys_in_row(9, [5, 4, 4, 4, 5], [2] * 4)
    for y in (39, 42):
        for col, (x0, x1) in enumerate(five):
            c.rounded(x0, y, x1, y + 2, 0.5, images.KEY_LIGHT if 1 <= col <= 3 else images.KEY)
    return c.result()


class SvgCanvas:
    """Records the shapes of a Canvas drawing as SVG elements, in the same coordinates."""

    def __init__(self):
        self.elements = []

    @staticmethod
    def _fill(colour):
        r, g, b, a = colour
        fill = f'fill="#{r:02x}{g:02x}{b:02x}"'
        return fill if a == 255 else fill + f' fill-opacity="{a / 255:.3f}"'

    def rounded(self, x0, y0, x1, y1, radius, colour, extra=""):
        corner = f' rx="{radius:g}"' if radius else ""
        self.elements.append(f'<rect x="{x0:g}" y="{y0:g}" width="{x1 - x0:g}" '
                             f'height="{y1 - y0:g}"{corner} {self._fill(colour)}{extra}/>')

    def rect(self, x0, y0, x1, y1, colour):
        self.rounded(x0, y0, x1, y1, 0, colour)

    def framed(self, x0, y0, x1, y1, fill, outline=images.INK, width=1, radius=0):
        self.rounded(x0, y0, x1, y1, radius, outline)
        self.rounded(x0 + width, y0 + width, x1 - width, y1 - width,
                     max(radius - width, 0), fill)


def program_icon_svg():
    c = SvgCanvas()
    (x0, y0, x1, y1), radius, blur = images.SHADOW_64
    c.rounded(x0, y0, x1, y1, radius, images.rgba(images.INK, 100), ' filter="url(#shadow)"')
    images.calculator_64(c)
    body = "\n  ".join(c.elements)
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" '
            'viewBox="0 0 64 64">\n'
            '  <defs>\n'
            '    <filter id="shadow" x="-0.2" y="-0.2" width="1.4" height="1.4">\n'
            f'      <feGaussianBlur stdDeviation="{blur:g}"/>\n'
            '    </filter>\n'
            '  </defs>\n'
            f'  {body}\n'
            '</svg>\n')


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else HERE
    pictures = {
        "ombrel-16.png": program_icon_16,
        "ombrel-24.png": lambda: program_icon_48().resize((24, 24), Image.BOX),
        "ombrel-48.png": program_icon_48,
        "ombrel-128.png": lambda: images.program_icon_64(128),
        "ombrel-256.png": lambda: images.program_icon_64(256),
    }
    for name, draw in pictures.items():
        image = draw()
        image.save(os.path.join(out, name), optimize=True)
        print(f"{name}: {image.size[0]} x {image.size[1]}, {image.mode}")
    with open(os.path.join(out, "ombrel.svg"), "w", encoding="utf-8") as svg:
        svg.write(program_icon_svg())
    print("ombrel.svg: 64 x 64 user units")


if __name__ == "__main__":
    main()
