#!/usr/bin/python3
"""Writes small TrueType fonts into OUTDIR: two text fonts, which kestra-table
must not take for EUDC fonts, and two EUDC fonts of unusual make:

    NOPUA.TTF     maps only "A": no character of the private use area (refused)
    TEXTPUA.TTF   maps "A" and U+E000: a text font with one private character
                  (a table is made, with a warning)
    NOFAMILY.TTE  maps U+E000 and U+E001 and names no family
    PARTS.TTE     U+E002 is a composite glyph of two parts, one of them the
                  glyph of U+E000 moved, the other a glyph no character maps
    CFFLABEL.OTF  "Kestra CFF Labels": the characters labels need, in CFF
                  outlines, which a table cannot embed
"""
import sys
from pathlib import Path

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.t2CharStringPen import T2CharStringPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib.tables._g_l_y_f import Glyph, GlyphComponent


def triangle():
    pen = TTGlyphPen(None)
    pen.moveTo((100, 0))
    pen.lineTo((500, 700))
    pen.lineTo((900, 0))
    pen.closePath()
    return pen.glyph()


def square():
    pen = TTGlyphPen(None)
    pen.moveTo((100, 100))
    pen.lineTo((100, 300))
    pen.lineTo((300, 300))
    pen.lineTo((300, 100))
    pen.closePath()
    return pen.glyph()


def composite(parts):
    glyph = Glyph()
    glyph.numberOfContours = -1
    glyph.components = []
    for name, x, y in parts:
        component = GlyphComponent()
        component.glyphName, component.x, component.y, component.flags = name, x, y, 0x4
        glyph.components.append(component)
    return glyph


def build(path, family, characters, glyphs=None):
    names = [".notdef"] + ["g%d" % i for i in range(len(characters))]
    names += sorted(set(glyphs or {}) - set(names))
    fb = FontBuilder(1000, isTTF=True)
    fb.setupGlyphOrder(names)
    fb.setupCharacterMap({c: names[i + 1] for i, c in enumerate(characters)})
    made = {name: triangle() for name in names[1:]}
    made.update(glyphs or {})
    made[".notdef"] = TTGlyphPen(None).glyph()
    fb.setupGlyf(made)
    fb.setupHorizontalMetrics({name: (1000, 0) for name in names})
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable({"familyName": family or "", "styleName": "Regular"})
    if not family:
        fb.font["name"].removeNames(nameID=1)
    fb.setupOS2()
    fb.setupPost()
    fb.save(str(path))


def build_cff(path, family, characters):
    names = [".notdef"] + ["g%d" % i for i in range(len(characters))]
    fb = FontBuilder(1000, isTTF=False)
    fb.setupGlyphOrder(names)
    fb.setupCharacterMap({c: names[i + 1] for i, c in enumerate(characters)})
    strings = {}
    for name in names:
        pen = T2CharStringPen(1000, None)
        if name != ".notdef":
            pen.moveTo((100, 0))
            pen.lineTo((500, 700))
            pen.lineTo((900, 0))
            pen.closePath()
        strings[name] = pen.getCharString()
    fb.setupCFF(family.replace(" ", ""), {"FullName": family}, strings, {})
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
    build(outdir / "NOFAMILY.TTE", None, [0xE000, 0xE001])
    build(outdir / "PARTS.TTE", "Kestra Parts", [0xE000, 0xE001, 0xE002],
          {"g2": composite([("g0", 500, 0), ("box", 0, 400)]), "box": square()})
    # 內, 碼 and 頁, which the labels need, and the hexadecimal digits.
    build_cff(outdir / "CFFLABEL.OTF", "Kestra CFF Labels",
              [0x5167, 0x78BC, 0x9801] + [ord(c) for c in "0123456789ABCDEF"])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
