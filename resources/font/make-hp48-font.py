#!/usr/bin/env python3
"""Build HP48.TTF: DejaVu Sans Mono cut down to the code points of the HP48
character table and renamed to family "HP48", plus the licence it ships with.
The control pictures DejaVu lacks (U+2400-U+241F, codes 0-31) are made of its own
letters, so that every control code shows as a glyph of its own."""

import argparse
import sys

from fontTools import subset
from fontTools.misc.timeTools import timestampFromString
from fontTools.ttLib import TTFont
from fontTools.ttLib.tables._g_l_y_f import Glyph, GlyphComponent

FAMILY = "HP48"
SUBFAMILY = "Regular"
SOURCE_NAME = "DejaVu Sans Mono"

# A fixed date keeps the output byte-identical from one build to the next.
FIXED_TIMESTAMP = timestampFromString("Mon Jan  1 00:00:00 2024")

CONTROL_PICTURES = 0x2400
CONTROL_ABBREVIATIONS = (
    "NUL SOH STX ETX EOT ENQ ACK BEL BS HT LF VT FF CR SO SI "
    "DLE DC1 DC2 DC3 DC4 NAK SYN ETB CAN EM SUB ESC FS GS RS US").split()
PICTURE_SCALE = 0.5
ROUND_XY_TO_GRID = 0x0004

WINDOWS = (3, 1, 0x409)
MAC = (1, 0, 0)


def read_charset(path):
    """Every code point named in a 'map', 'alias' or 'map49' row."""
    code_points = set()
    with open(path, encoding="utf-8") as table:
        for number, line in enumerate(table, 1):
            fields = line.rstrip("\r\n").split("\t")
            if fields[0] not in ("map", "alias", "map49"):
                continue  # comments and the header line
            if len(fields) < 4 or not fields[3].strip():
                sys.exit(f"{path}:{number}: row without a unicode column")
            for item in fields[3].split():
                if not item.startswith("U+"):
                    sys.exit(f"{path}:{number}: bad code point {item!r}")
                code_points.add(int(item[2:], 16))
    if not code_points:
        sys.exit(f"{path}: no 'map' or 'alias' rows")
    return code_points


def subset_font(source, code_points):
    options = subset.Options()
    options.layout_features = ["*"]  # keeps ccmp/mark/mkmk so x + U+0304 gets its macron placed
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.name_legacy = True  # keep the Mac platform records
    options.notdef_outline = True
    options.recommended_glyphs = True
    options.hinting = True
    options.glyph_names = True
    options.recalc_timestamp = False
    options.drop_tables += ["FFTM"]  # FontForge's build timestamps

    font = TTFont(source, recalcTimestamp=False)
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=code_points)
    subsetter.subset(font)
    return font


def control_picture(font, abbreviation, advance):
    """The abbreviation's letters at half size, stepping down from the top left to the bottom
    right of the cell, as the control pictures are usually drawn."""
    cmap = font.getBestCmap()
    letter_width = advance * PICTURE_SCALE
    last = len(abbreviation) - 1
    step_x = (advance - letter_width) / last
    step_y = 1100 / last
    glyph = Glyph()
    glyph.numberOfContours = -1
    glyph.components = []
    for place, letter in enumerate(abbreviation):
        component = GlyphComponent()
        component.glyphName = cmap[ord(letter)]
        component.x = round(place * step_x)
        component.y = round((last - place) * step_y)
        component.transform = [[PICTURE_SCALE, 0], [0, PICTURE_SCALE]]
        component.flags = ROUND_XY_TO_GRID
        glyph.components.append(component)
    return glyph


def add_control_pictures(font):
    glyf, hmtx = font["glyf"], font["hmtx"]
    advance = hmtx["A"][0]
    names = []
    for offset, abbreviation in enumerate(CONTROL_ABBREVIATIONS):
        code_point = CONTROL_PICTURES + offset
        if code_point in font.getBestCmap():
            continue
        name = f"uni{code_point:04X}"
        glyf[name] = control_picture(font, abbreviation, advance)
        glyf[name].recalcBounds(glyf)
        hmtx[name] = (advance, glyf[name].xMin)
        names.append((code_point, name))
    font.setGlyphOrder(glyf.glyphOrder)
    for table in font["cmap"].tables:
        if table.isUnicode():
            table.cmap.update(dict(names))


def rename(font):
    name = font["name"]
    version = name.getDebugName(5) or "Version 1.0"
    names = {
        1: FAMILY,
        2: SUBFAMILY,
        3: f"{FAMILY}-{SUBFAMILY}; {version}",
        4: FAMILY,
        6: FAMILY,
        10: f"Derived from {SOURCE_NAME} ({version}): renamed and cut down "
            f"to the HP48 character set. Licence: see the licence record and HP48-LICENSE.txt.",
    }
    for name_id in (16, 17):
        if name.getName(name_id, *WINDOWS) or name.getName(name_id, *MAC):
            names[name_id] = FAMILY if name_id == 16 else SUBFAMILY

    # Old records in other languages would keep showing the DejaVu names.
    name.names = [r for r in name.names if r.nameID not in names]
    for name_id, text in names.items():
        name.setName(text, name_id, *WINDOWS)
        name.setName(text, name_id, *MAC)
    name.names.sort()


def source_licence(source):
    # Some systems leave out /usr/share/doc; the font carries its licence too.
    name = TTFont(source, lazy=True)["name"]
    records = [name.getDebugName(i) for i in (0, 13, 14)]
    return "\n\n".join(r.strip() for r in records if r) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--charset", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--licence-out", required=True)
    parser.add_argument("--licence-source",
                        help="licence text to copy; without it the source font's own "
                             "copyright and licence records are used")
    args = parser.parse_args()

    code_points = read_charset(args.charset)
    source_cmap = TTFont(args.source, lazy=True).getBestCmap()
    missing = sorted(cp for cp in code_points if cp not in source_cmap and
                     not CONTROL_PICTURES <= cp < CONTROL_PICTURES + len(CONTROL_ABBREVIATIONS))

    font = subset_font(args.source, code_points)
    add_control_pictures(font)
    rename(font)
    font["head"].created = FIXED_TIMESTAMP
    font["head"].modified = FIXED_TIMESTAMP
    font.save(args.out)

    if args.licence_source:
        with open(args.licence_source, encoding="utf-8") as src:
            licence = src.read()
    else:
        licence = source_licence(args.source)
    with open(args.licence_out, "w", encoding="utf-8", newline="\n") as out:
        out.write(f"{FAMILY}.TTF is derived from the {SOURCE_NAME} font of the DejaVu fonts,\n"
                  f"renamed and cut down to the HP48 character set. Their licence follows.\n\n")
        out.write(licence)

    if missing:
        listed = " ".join(f"U+{cp:04X}" for cp in missing)
        print(f"make-hp48-font: {SOURCE_NAME} lacks {len(missing)} code point(s) of the table "
              f"(the system monospace font shows them): {listed}", file=sys.stderr)


if __name__ == "__main__":
    main()
