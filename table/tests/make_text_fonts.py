#!/usr/bin/python3
"""Writes two valid TrueType text fonts into OUTDIR, which kestra-table must
not take for EUDC fonts:

    NOPUA.TTF    maps only "A": no character of the private use area (refused)
    TEXTPUA.TTF  maps "A" and U+E000: a text font with one private character
                 (a table is made, with a warning)
"""
import sys
from pathlib import Path

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen


def triangle():
    pen = TTGlyphPen(None)
    pen.moveTo((100, 0))
    pen.lineTo((500, 700))
    pen.lineTo((900, 0))
    pen.closePath()
    return pen.glyph()


def build(path, family, characters):
    names = [".notdef"] + ["g%d" % i for i in range(len(characters))]
    fb = FontBuilder(1000, isTTF=True)
    fb.setupGlyphOrder(names)
    fb.setupCharacterMap({c: names[i + 1] for i, c in enumerate(characters)})
    glyphs = {name: triangle() for name in names[1:]}
    glyphs[".notdef"] = TTGlyphPen(None).glyph()
    fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics({name: (1000, 0) for name in names})
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable({"familyName": family, "styleName": "Regular"})
    fb.setupOS2()
    fb.setupPost()
    fb.save(str(path))


def main(argv):
    outdir = Path(argv[1])
    outdir.mkdir(parents=True, exist_ok=True)
    build(outdir / "NOPUA.TTF", "Kestra No PUA", [ord("A")])
    build(outdir / "TEXTPUA.TTF", "Kestra Text PUA", [ord("A"), 0xE000])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
