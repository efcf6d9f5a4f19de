#!/usr/bin/python3
"""Writes OUTFILE, an EUDC font shaped like a real office's: a (3,1) cmap over
U+E000..U+F8FF as the Windows EUDC editor writes it, with COUNT characters
(default 3715) made from the first PUA index on, each a different outline of
twenty brush strokes, and empty glyphs after them.

    make_dense_eudc_font.py OUTFILE [COUNT]
"""
import random
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "testbed"))
from fontTools.fontBuilder import FontBuilder  # noqa: E402
from fontTools.pens.ttGlyphPen import TTGlyphPen  # noqa: E402
import make_eudc_fonts as bed  # noqa: E402

STROKES = 20
POINTS_PER_SIDE = 5


def stroke(pen, rng):
    """A slightly curved brush stroke: a band between two wavy edges."""
    x0, y0 = rng.randrange(150, 1700), rng.randrange(0, 1500)
    length, width = rng.randrange(300, 1200), rng.randrange(70, 160)
    horizontal = rng.random() < 0.5
    top, bottom = [], []
    for k in range(POINTS_PER_SIDE):
        along = x0 + length * k // (POINTS_PER_SIDE - 1)
        wobble = rng.randrange(-25, 26)
        if horizontal:
            top.append((min(along, 1950), y0 + width + wobble))
            bottom.append((min(along, 1950), y0 + wobble))
        else:
            top.append((x0 + wobble, min(y0 + length * k // (POINTS_PER_SIDE - 1), 1750)))
            bottom.append((x0 + width + wobble, top[-1][1]))
    points = bottom + list(reversed(top))
    bed.polygon(pen, [(x, y - bed.DESCENT) for x, y in points])


def character_glyph(index):
    rng = random.Random(index)
    pen = TTGlyphPen(None)
    for _ in range(STROKES):
        stroke(pen, rng)
    return pen.glyph()


def main(argv):
    if len(argv) not in (2, 3):
        sys.stderr.write("usage: make_dense_eudc_font.py OUTFILE [COUNT]\n")
        return 2
    count = int(argv[2]) if len(argv) == 3 else 3715
    names = [".notdef"] + ["uni%04X" % (bed.PUA_FIRST + i) for i in range(bed.PUA_SLOTS)]
    glyphs = {".notdef": bed.notdef_glyph()}
    for i in range(bed.PUA_SLOTS):
        glyphs[names[i + 1]] = character_glyph(i) if i < count else bed.empty_glyph()
    fb = FontBuilder(bed.UNITS_PER_EM, isTTF=True)
    fb.setupGlyphOrder(names)
    fb.setupCharacterMap({bed.PUA_FIRST + i: names[i + 1] for i in range(bed.PUA_SLOTS)})
    fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics({name: (bed.UNITS_PER_EM, 0) for name in names})
    fb.setupHorizontalHeader(ascent=bed.ASCENT, descent=-bed.DESCENT)
    fb.setupNameTable({"familyName": "Kestra EUDC Dense", "styleName": "Regular"})
    fb.setupOS2(sTypoAscender=bed.ASCENT, sTypoDescender=-bed.DESCENT,
                usWinAscent=bed.ASCENT, usWinDescent=bed.DESCENT,
                ulCodePageRange1=1 << bed.CODEPAGE_950_BIT, ulCodePageRange2=0)
    fb.setupPost()
    fb.setupMaxp()
    cmap = fb.font["cmap"]
    cmap.tables = [t for t in cmap.tables if (t.platformID, t.platEncID) == (3, 1)]
    fb.save(argv[1])
    print("%s: %d characters" % (argv[1], count))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
