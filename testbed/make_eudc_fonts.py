#!/usr/bin/python3
"""Builds the two sample EUDC fonts of the test bed.

    make_eudc_fonts.py OUTDIR

writes OUTDIR/EUDC.TTE (family "Kestra EUDC Square": a square frame crossed by
a diagonal band; the system default EUDC font) and OUTDIR/EUDCRING.TTE (family
"Kestra EUDC Ring": a ring around a dot; linked to one face). Each family name
is its own because Wine keeps only one of two fonts that share a family.

Like a font made by the Windows EUDC editor, each has a (3,1) format-4 cmap
over U+E000..U+F8FF (6400 entries) with empty outlines where no character was
made, and declares code page 950 in OS/2. PUA index i is U+E000 + i.

Characters are made at every even PUA index and at the first and last code of
each of the four EUDC ranges, so the odd index 1 (Big5 FA41) stays empty.

As real EUDC fonts are, each is hinted: a control value table, a font program
defining a function every glyph's instructions call, and a pre-program; and
its horizontal metrics are compressed (one advance for all glyphs) with each
glyph's own left side bearing.
"""
import array
import sys
from pathlib import Path

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import newTable
from fontTools.ttLib.tables import ttProgram

UNITS_PER_EM = 2048
ASCENT = 1802
DESCENT = 246
PUA_FIRST = 0xE000
PUA_SLOTS = 6400  # U+E000..U+F8FF
EUDC_CODE_COUNT = 6217

# (first Big5 code, last Big5 code, first PUA index), in PUA order.
EUDC_RANGES = [
    (0xFA40, 0xFEFE, 0),
    (0x8E40, 0xA0FE, 785),
    (0x8140, 0x8DFE, 3768),
    (0xC6A1, 0xC8FE, 5809),
]
RANGE_EDGE_INDEXES = {0, 784, 785, 3767, 3768, 5808, 5809, 6216}

CODEPAGE_950_BIT = 20  # ulCodePageRange1: Chinese (Traditional), Big5


def trail_of_cell(cell):
    return 0x40 + cell if cell < 63 else 0x62 + cell


def pua_index_to_code(index):
    """The Big5 code of PUA index 0..6216."""
    if index >= 5903:
        return placed(0xC7, index - 5903)
    if index >= 5809:
        return 0xC6A1 + index - 5809
    if index >= 3768:
        return placed(0x81, index - 3768)
    if index >= 785:
        return placed(0x8E, index - 785)
    return placed(0xFA, index)


def placed(first_lead, offset):
    lead = first_lead + offset // 157
    return (lead << 8) | trail_of_cell(offset % 157)


def has_character(index):
    return index < EUDC_CODE_COUNT and (index % 2 == 0 or index in RANGE_EDGE_INDEXES)


def rectangle(pen, x0, y0, x1, y1, clockwise=True):
    points = [(x0, y0), (x0, y1), (x1, y1), (x1, y0)]
    polygon(pen, points if clockwise else list(reversed(points)))


def polygon(pen, points):
    pen.moveTo(points[0])
    for point in points[1:]:
        pen.lineTo(point)
    pen.closePath()


def circle_points(cx, cy, radius, steps=32, clockwise=True):
    import math

    sign = -1 if clockwise else 1
    return [
        (round(cx + radius * math.cos(sign * 2 * math.pi * k / steps)),
         round(cy + radius * math.sin(sign * 2 * math.pi * k / steps)))
        for k in range(steps)
    ]


def square_glyph():
    """A thick square frame with a band from its lower left to upper right."""
    pen = TTGlyphPen(None)
    lo, hi, edge = 160, 1888, 220
    rectangle(pen, lo, lo - DESCENT, hi, hi - DESCENT)
    rectangle(pen, lo + edge, lo + edge - DESCENT, hi - edge, hi - edge - DESCENT, clockwise=False)
    band = 160
    inner_lo, inner_hi = lo + edge, hi - edge
    polygon(pen, [
        (inner_lo, inner_lo - DESCENT),
        (inner_lo, inner_lo + band - DESCENT),
        (inner_hi - band, inner_hi - DESCENT),
        (inner_hi, inner_hi - DESCENT),
        (inner_hi, inner_hi - band - DESCENT),
        (inner_lo + band, inner_lo - DESCENT),
    ])
    return pen.glyph()


def ring_glyph():
    """A thick ring around a round dot."""
    pen = TTGlyphPen(None)
    cx, cy = UNITS_PER_EM // 2, UNITS_PER_EM // 2 - DESCENT
    polygon(pen, circle_points(cx, cy, 900))
    polygon(pen, circle_points(cx, cy, 680, clockwise=False))
    polygon(pen, circle_points(cx, cy, 260))
    return pen.glyph()


def empty_glyph():
    return TTGlyphPen(None).glyph()


def notdef_glyph():
    pen = TTGlyphPen(None)
    rectangle(pen, 100, 0, 900, 1400)
    rectangle(pen, 180, 80, 820, 1320, clockwise=False)
    return pen.glyph()


def program(*assembly):
    made = ttProgram.Program()
    made.fromAssembly(list(assembly))
    return made


# Harmless hinting that a reader must still have whole: glyph instructions
# calling function 0 of the font program fail where the font program is lost.
CONTROL_VALUES = [0, 160, 220]
FONT_PROGRAM = ("PUSHB[ ]", "0", "FDEF[ ]", "PUSHB[ ]", "2", "RCVT[ ]", "POP[ ]", "ENDF[ ]")
PRE_PROGRAM = ("PUSHB[ ]", "1", "RCVT[ ]", "POP[ ]")
GLYPH_PROGRAM = ("PUSHB[ ]", "0", "CALL[ ]")


def add_hinting(font):
    """The hinting tables and each outlined glyph's instructions, with the
    maxima of 'maxp' they need."""
    font["cvt "] = newTable("cvt ")
    font["cvt "].values = array.array("h", CONTROL_VALUES)
    for tag, assembly in (("fpgm", FONT_PROGRAM), ("prep", PRE_PROGRAM)):
        font[tag] = newTable(tag)
        font[tag].program = program(*assembly)
    glyf = font["glyf"]
    for name in font.getGlyphOrder():
        glyph = glyf[name]
        if glyph.numberOfContours != 0:
            glyph.program = program(*GLYPH_PROGRAM)
    maxp = font["maxp"]
    maxp.maxZones, maxp.maxTwilightPoints, maxp.maxStorage = 2, 0, 0
    maxp.maxFunctionDefs, maxp.maxInstructionDefs, maxp.maxStackElements = 1, 0, 8
    maxp.maxSizeOfInstructions = len(program(*GLYPH_PROGRAM).getBytecode())


def with_bearings(font, advances):
    """Each glyph's advance with its left side bearing, its outline's left
    edge, as a font editor writes it (0 for an empty glyph)."""
    glyf = font["glyf"]
    metrics = {}
    for name, advance in advances.items():
        glyph = glyf[name]
        glyph.recalcBounds(glyf)
        metrics[name] = (advance, glyph.xMin if glyph.numberOfContours != 0 else 0)
    return metrics


def build_font(path, family, character_glyph):
    write_eudc_font(path, family, [character_glyph() if has_character(i) else empty_glyph()
                                   for i in range(PUA_SLOTS)])


def write_eudc_font(path, family, glyphs):
    """An EUDC font whose PUA index i (U+E000 + i) holds glyphs[i]."""
    names = [".notdef"] + ["uni%04X" % (PUA_FIRST + i) for i in range(PUA_SLOTS)]
    by_name = {".notdef": notdef_glyph()}
    by_name.update(zip(names[1:], glyphs))

    fb = FontBuilder(UNITS_PER_EM, isTTF=True)
    fb.setupGlyphOrder(names)
    fb.setupCharacterMap({PUA_FIRST + i: names[i + 1] for i in range(PUA_SLOTS)})
    fb.setupGlyf(by_name)
    fb.setupHorizontalMetrics(with_bearings(fb.font, {name: UNITS_PER_EM for name in names}))
    fb.setupHorizontalHeader(ascent=ASCENT, descent=-DESCENT)
    fb.setupNameTable({"familyName": family, "styleName": "Regular"})
    fb.setupOS2(
        sTypoAscender=ASCENT,
        sTypoDescender=-DESCENT,
        usWinAscent=ASCENT,
        usWinDescent=DESCENT,
        ulCodePageRange1=1 << CODEPAGE_950_BIT,
        ulCodePageRange2=0,
        ulUnicodeRange2=1 << (60 - 32),  # Private Use Area
        achVendID="KEST",
    )
    fb.setupPost()
    fb.setupMaxp()
    add_hinting(fb.font)
    # Only the Windows (3,1) subtable, as the EUDC editor writes it.
    cmap = fb.font["cmap"]
    cmap.tables = [t for t in cmap.tables if (t.platformID, t.platEncID) == (3, 1)]
    fb.save(str(path))


FONTS = [
    ("EUDC.TTE", "Kestra EUDC Square", square_glyph),
    ("EUDCRING.TTE", "Kestra EUDC Ring", ring_glyph),
]


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_eudc_fonts.py OUTDIR\n")
        return 2
    outdir = Path(argv[1])
    outdir.mkdir(parents=True, exist_ok=True)
    made = sum(1 for i in range(PUA_SLOTS) if has_character(i))
    for file_name, family, glyph in FONTS:
        build_font(outdir / file_name, family, glyph)
        print("%s: %s, %d characters" % (outdir / file_name, family, made))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
