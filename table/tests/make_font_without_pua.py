#!/usr/bin/python3
"""Writes OUTFILE, a valid TrueType font that maps only "A": a font with no
character of the private use area, which kestra-table must refuse."""
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen


def main(argv):
    pen = TTGlyphPen(None)
    pen.moveTo((100, 0))
    pen.lineTo((500, 700))
    pen.lineTo((900, 0))
    pen.closePath()
    fb = FontBuilder(1000, isTTF=True)
    fb.setupGlyphOrder([".notdef", "A"])
    fb.setupCharacterMap({ord("A"): "A"})
    fb.setupGlyf({".notdef": TTGlyphPen(None).glyph(), "A": pen.glyph()})
    fb.setupHorizontalMetrics({".notdef": (500, 0), "A": (1000, 0)})
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable({"familyName": "Kestra No PUA", "styleName": "Regular"})
    fb.setupOS2()
    fb.setupPost()
    fb.save(argv[1])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
