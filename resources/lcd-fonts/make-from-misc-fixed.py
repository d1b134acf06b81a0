#!/usr/bin/python3
"""Write the calculator screen's three fonts (small.txt, medium.txt, large.txt beside this
script) with the printable ASCII and Latin-1 glyphs of X11's public-domain misc-fixed fonts.

The other codes (0-31, 127-159: control codes, the shade block, the calculator's own
characters) are drawn by hand in the text files; a run keeps what the files hold for them and
leaves an empty grid to draw where they hold nothing. The ASCII and Latin-1 glyphs may be
touched up by hand too, but a run writes them over again.

Needs the Debian packages xfonts-base (the fonts) and pcf2bdf; the build needs neither:

    /usr/bin/python3 resources/lcd-fonts/make-from-misc-fixed.py
"""

import argparse
import gzip
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
MISC = "/usr/share/fonts/X11/misc"

# name: (cell width, cell height, misc-fixed font, column its glyphs start at)
SIZES = {
    "small": (4, 6, "4x6-ISO8859-1", 0),
    "medium": (6, 8, "5x8-ISO8859-1", 0),
    "large": (8, 10, "6x10-ISO8859-1", 1),
}
TITLES = {"small": "small", "medium": "medium (the default)", "large": "large"}

FROM_MISC_FIXED = set(range(32, 127)) | set(range(160, 256))


def read_names(charset):
    names = {}
    with open(charset, encoding="utf-8") as table:
        for line in table:
            fields = line.rstrip("\n").split("\t")
            if fields[0] == "map":
                names[int(fields[1])] = fields[4]
    return names


def read_bdf(font):
    """Glyphs by code: (width, height, x offset, y offset, rows as ints), and the ascent."""
    with tempfile.TemporaryDirectory() as work:
        pcf = os.path.join(work, "font.pcf")
        with gzip.open(os.path.join(MISC, font + ".pcf.gz")) as packed, open(pcf, "wb") as out:
            out.write(packed.read())
        bdf = subprocess.run(["pcf2bdf", pcf], check=True, capture_output=True).stdout
    glyphs, ascent, glyph, bitmap = {}, None, {}, None
    for line in bdf.decode("latin-1").splitlines():
        words = line.split()
        if not words:
            continue
        if words[0] == "FONT_ASCENT":
            ascent = int(words[1])
        elif words[0] == "ENCODING":
            glyph = {"code": int(words[1])}
        elif words[0] == "BBX":
            glyph["box"] = tuple(int(w) for w in words[1:5])
        elif words[0] == "BITMAP":
            bitmap = []
        elif words[0] == "ENDCHAR":
            glyphs[glyph["code"]] = glyph["box"] + (bitmap,)
            bitmap = None
        elif bitmap is not None:
            bitmap.append(int(words[0], 16))
    return glyphs, ascent


def place(glyph, ascent, width, height, left):
    """The glyph's rows in the cell, as strings of '#' and '.'."""
    box_width, box_height, x_offset, y_offset, bitmap = glyph
    bits = ((box_width + 7) // 8) * 8
    cell = [["."] * width for _ in range(height)]
    top = ascent - (box_height + y_offset)
    for row, value in enumerate(bitmap):
        for column in range(box_width):
            if value >> (bits - 1 - column) & 1:
                x, y = left + x_offset + column, top + row
                if not (0 <= x < width and 0 <= y < height):
                    sys.exit(f"a glyph does not fit the {width}x{height} cell")
                cell[y][x] = "#"
    return ["".join(row) for row in cell]


def read_kept(path):
    """The glyphs an earlier run or a hand left in the file, by code."""
    kept, code = {}, None
    if not os.path.exists(path):
        return kept
    with open(path, encoding="utf-8") as text:
        for line in text:
            line = line.rstrip("\n")
            if line.startswith("code "):
                code = int(line.split()[1])
                kept[code] = []
            elif code is not None and line and set(line) <= set(".#"):
                kept[code].append(line)
    return kept


def write_font(name, names, out_dir):
    width, height, source, left = SIZES[name]
    glyphs, ascent = read_bdf(source)
    path = os.path.join(out_dir, name + ".txt")
    kept = read_kept(path)
    lines = [
        f"# The calculator screen's {TITLES[name]} font: a glyph for each of the 256 codes in a",
        f"# cell {width} pixels wide and {height} high. \"code N\" and the character's name start",
        "# a glyph; one line per pixel row follows, '#' a dark pixel, '.' a light one.",
        f"# Codes 32-126 and 160-255 began as X11's public-domain misc-fixed {source};",
        "# the others are drawn for this program. make-from-misc-fixed.py wrote the first version.",
        f"cell {width} {height}",
    ]
    for code in range(256):
        lines.append(f"code {code} {names[code]}")
        if code in FROM_MISC_FIXED:
            lines += place(glyphs[code], ascent, width, height, left)
        else:
            lines += kept.get(code) or ["." * width] * height
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        out.write("\n".join(lines) + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--out-dir", default=HERE)
    parser.add_argument("--charset", default=os.path.join(HERE, "..", "hp48-charset.tsv"))
    args = parser.parse_args()
    names = read_names(args.charset)
    for name in SIZES:
        write_font(name, names, args.out_dir)


if __name__ == "__main__":
    main()
