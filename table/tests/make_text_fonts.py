#!/usr/bin/python3
"""Writes small fonts into OUTDIR: two text fonts, which kestra-table must not
take for EUDC fonts, EUDC fonts of unusual make, and label fonts:

    NOPUA.TTF       maps only "A": no character of the private use area (refused)
    TEXTPUA.TTF     maps "A" and U+E000: a text font with one private character
                    (a table is made, with a warning)
    NOFAMILY.TTE    maps U+E000 and U+E001 and names no family
    PARTS.TTE       U+E002 is a composite glyph of two parts, one of them the
                    glyph of U+E000 moved, the other a glyph no character maps
    SHAPED.TTE      "Kestra Shaped", made as real fonts are: hinted, compressed
                    metrics with real bearings (SHAPES below); U+E003 and U+E006
                    unmapped and .notdef a visible frame; two glyphs past the
                    last code
    CFFEUDC.OTF     "Kestra CFF EUDC": CFF outlines, CID-keyed with CIDs that
                    are not the glyph numbers; U+E003 and U+E004 share a glyph
    CFF2.OTF        "Kestra CFF2": maps U+E000, in CFF2 outlines, which no PDF
                    embeds
    PAIR.TTC        a collection: face 0 "Kestra Pair Left" draws U+E000 as a
                    bar on the left, face 1 "Kestra Pair Right" on the right
    CFFLABEL.OTF    "Kestra CFF Labels": the characters labels need, in CFF
                    outlines
    LABEL256.TTF    "Kestra Labels 256" and "Kestra Labels 2048": label fonts
    LABEL2048.TTF   of those units to the em, every character a block of its
                    own width (LABEL_ADVANCES)
"""
import sys
from pathlib import Path

from fontTools.cffLib import FDArrayIndex, FDSelect, FontDict
from fontTools.fontBuilder import FontBuilder
from fontTools.pens.boundsPen import BoundsPen
from fontTools.pens.t2CharStringPen import T2CharStringPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTCollection, TTFont
from fontTools.ttLib.tables._g_l_y_f import Glyph, GlyphComponent

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "testbed"))
from make_eudc_fonts import add_hinting, with_bearings  # noqa: E402

EM = 2048
ASCENT, DESCENT = 1802, 246

# SHAPED.TTE, in the glyph cell's four quarters (left/right, top/bottom) where
# its glyph must have ink, and where none:
#   U+E000 a bar on the right, whose left side bearing (1250) sets it there
#   U+E001 a block scaled by one half (WE_HAVE_A_SCALE): the bottom left only
#   U+E002 the bar turned by a 2x2 matrix (WE_HAVE_A_TWO_BY_TWO): a band on top
#   U+E004 and U+E005 one block; U+E003 and U+E006 not mapped; U+E007 empty
SHAPES = {
    0xE000: ("right", "left"),
    0xE001: ("bottom left", "top right"),
    0xE002: ("top left", "bottom left"),
}
# Characters of no user-defined code, U+F849 and beyond: two have outlines.
PAST_LAST_CODE = {0xF849: "mark", 0xF84A: "empty", 0xF8FF: "mark"}

# The label fonts' characters: what the pages of a plain table show.
LABEL_TEXT = "".join(chr(c) for c in range(0x20, 0x7F)) + "內碼第頁字型外檔案："


def label_advance(character, em):
    """A width of its own for each character class: the spaces between the
    advances of a label show where a width is wrong."""
    if ord(character) > 0x7F:
        return em
    return em * (3 + ord(character) % 4) // 10


def pen_glyph(draw):
    pen = TTGlyphPen(None)
    draw(pen)
    return pen.glyph()


def rectangle(pen, x0, y0, x1, y1):
    pen.moveTo((x0, y0))
    pen.lineTo((x0, y1))
    pen.lineTo((x1, y1))
    pen.lineTo((x1, y0))
    pen.closePath()


def triangle():
    def draw(pen):
        pen.moveTo((100, 0))
        pen.lineTo((500, 700))
        pen.lineTo((900, 0))
        pen.closePath()
    return pen_glyph(draw)


def square():
    return pen_glyph(lambda pen: rectangle(pen, 100, 100, 300, 300))


def frame(x0, y0, x1, y1, edge):
    def draw(pen):
        rectangle(pen, x0, y0, x1, y1)
        pen.moveTo((x0 + edge, y0 + edge))
        pen.lineTo((x1 - edge, y0 + edge))
        pen.lineTo((x1 - edge, y1 - edge))
        pen.lineTo((x0 + edge, y1 - edge))
        pen.closePath()
    return pen_glyph(draw)


def composite(parts):
    """parts: (glyph name, x, y, 2x2 transform or None)."""
    glyph = Glyph()
    glyph.numberOfContours = -1
    glyph.components = []
    for name, x, y, transform in parts:
        component = GlyphComponent()
        component.glyphName, component.x, component.y, component.flags = name, x, y, 0x4
        if transform:
            component.transform = transform
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


def eudc_font(family, glyphs, cmap, hinted=True):
    """A TrueType EUDC font of EM units, as real ones are: hinted, its metrics
    one advance with each glyph's bearing."""
    names = [".notdef"] + sorted(set(glyphs) - {".notdef"})
    fb = FontBuilder(EM, isTTF=True)
    fb.setupGlyphOrder(names)
    fb.setupCharacterMap(cmap)
    fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics(with_bearings(fb.font, {name: EM for name in names}))
    fb.setupHorizontalHeader(ascent=ASCENT, descent=-DESCENT)
    fb.setupNameTable({"familyName": family, "styleName": "Regular"})
    fb.setupOS2(usWinAscent=ASCENT, usWinDescent=DESCENT, sTypoAscender=ASCENT,
                sTypoDescender=-DESCENT)
    fb.setupPost()
    fb.setupMaxp()
    if hinted:
        add_hinting(fb.font)
    return fb.font


def right_bar():
    return pen_glyph(lambda pen: rectangle(pen, 1250, -150, 1850, 1700))


def left_bar():
    return pen_glyph(lambda pen: rectangle(pen, 200, -150, 800, 1700))


def shaped_font():
    glyphs = {
        ".notdef": frame(100, -200, 1900, 1750, 200),
        "bar": right_bar(),
        "block": pen_glyph(lambda pen: rectangle(pen, 0, -200, 2000, 1750)),
        "half": composite([("block", 0, -100, [[0.5, 0], [0, 0.5]])]),
        # x and y swapped: the upright bar becomes a band across the top.
        "turned": composite([("bar", 200, -200, [[0, 1], [1, 0]])]),
        "mark": pen_glyph(lambda pen: rectangle(pen, 300, 0, 1700, 1400)),
        "empty": TTGlyphPen(None).glyph(),
    }
    cmap = {0xE000: "bar", 0xE001: "half", 0xE002: "turned", 0xE004: "mark", 0xE005: "mark",
            0xE007: "empty"}
    cmap.update(PAST_LAST_CODE)
    return eudc_font("Kestra Shaped", glyphs, cmap)


def pair_collection(path):
    collection = TTCollection()
    for family, bar in (("Kestra Pair Left", left_bar), ("Kestra Pair Right", right_bar)):
        glyphs = {".notdef": TTGlyphPen(None).glyph(), "bar": bar()}
        collection.fonts.append(eudc_font(family, glyphs, {0xE000: "bar"}, hinted=False))
    collection.save(str(path))


def cff_font(family, cmap, drawings, em=1000, ascent=800, descent=200, advances=None):
    """cmap: character -> glyph name; drawings: glyph name -> pen function;
    advances: glyph name -> advance, em where not given."""
    names = [".notdef"] + sorted(set(drawings) - {".notdef"})
    fb = FontBuilder(em, isTTF=False)
    fb.setupGlyphOrder(names)
    fb.setupCharacterMap(cmap)
    strings, metrics = {}, {}
    for name in names:
        advance = (advances or {}).get(name, em)
        pen = T2CharStringPen(advance, None)
        if drawings.get(name):
            drawings[name](pen)
        strings[name] = pen.getCharString()
        bounds = BoundsPen(None)
        if drawings.get(name):
            drawings[name](bounds)
        metrics[name] = (advance, bounds.bounds[0] if bounds.bounds else 0)
    fb.setupCFF(family.replace(" ", ""), {"FullName": family}, strings, {})
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ascent, descent=-descent)
    fb.setupNameTable({"familyName": family, "styleName": "Regular"})
    fb.setupOS2(usWinAscent=ascent, usWinDescent=descent)
    fb.setupPost()
    return fb.font


def cid_keyed(font, first_cid):
    """The font's CFF made CID-keyed, glyph n (past .notdef) getting CID
    first_cid + n, as CJK OpenType fonts are made."""
    top = font["CFF "].cff.topDictIndex[0]
    order = font.getGlyphOrder()
    cids = {name: ("cid%05d" % (first_cid + n) if n else name) for n, name in enumerate(order)}
    strings = top.CharStrings
    strings.charStrings = {cids[name]: strings.charStrings[name] for name in order}
    top.charset = [cids[name] for name in order]
    top.ROS = ("Adobe", "Identity", 0)
    top.CIDCount = first_cid + len(order)
    fd = FontDict()
    fd.Private = top.Private
    top.FDArray = FDArrayIndex()
    top.FDArray.append(fd)
    top.FDSelect = FDSelect()
    top.FDSelect.format = 3
    top.FDSelect.gidArray = [0] * len(order)
    del top.Private
    font.setGlyphOrder(top.charset)
    for table in font["cmap"].tables:
        table.cmap = {c: cids[name] for c, name in table.cmap.items()}
    font["hmtx"].metrics = {cids[name]: m for name, m in font["hmtx"].metrics.items()}
    font["post"].formatType = 3.0


def draw_triangle(pen):
    pen.moveTo((100, 0))
    pen.lineTo((500, 700))
    pen.lineTo((900, 0))
    pen.closePath()


def draw_block(x0, y0, x1, y1):
    def draw(pen):
        pen.moveTo((x0, y0))
        pen.lineTo((x0, y1))
        pen.lineTo((x1, y1))
        pen.lineTo((x1, y0))
        pen.closePath()
    return draw


def cff_eudc_font(path):
    cmap = {0xE000: "triangle", 0xE001: "empty", 0xE002: "bar", 0xE003: "shared",
            0xE004: "shared"}
    drawings = {"triangle": draw_triangle, "empty": None, "bar": draw_block(600, -100, 900, 750),
                "shared": draw_block(150, 0, 850, 700)}
    font = cff_font("Kestra CFF EUDC", cmap, drawings)
    cid_keyed(font, 1000)
    font.save(str(path))


def cff2_font(path):
    fb = FontBuilder(1000, isTTF=False)
    fb.setupGlyphOrder([".notdef", "triangle"])
    fb.setupCharacterMap({0xE000: "triangle"})
    strings = {}
    for name in (".notdef", "triangle"):
        pen = T2CharStringPen(None, None, CFF2=True)
        if name == "triangle":
            draw_triangle(pen)
        strings[name] = pen.getCharString()
    fb.setupCFF2(strings)
    fb.setupHorizontalMetrics({".notdef": (1000, 0), "triangle": (1000, 100)})
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable({"familyName": "Kestra CFF2", "styleName": "Regular"})
    fb.setupOS2()
    fb.setupPost()
    fb.save(str(path))


def label_font(path, family, em, cff=False):
    """Every character of LABEL_TEXT a block of its own advance, with a real
    bearing; the space is empty."""
    ascent, descent = em * 4 // 5, em // 5
    cmap = {ord(c): "c%04X" % ord(c) for c in LABEL_TEXT}
    advances = {"c%04X" % ord(c): label_advance(c, em) for c in LABEL_TEXT}
    advances[".notdef"] = em // 2
    if cff:
        drawings = {name: draw_block(em // 20, 0, a - em // 20, em * 7 // 10)
                    for name, a in advances.items() if name not in (".notdef", "c0020")}
        drawings["c0020"] = None
        cff_font(family, cmap, drawings, em, ascent, descent, advances).save(str(path))
        return
    glyphs = {name: pen_glyph(draw_block(em // 20, 0, a - em // 20, em * 7 // 10))
              for name, a in advances.items()}
    glyphs["c0020"] = glyphs[".notdef"] = TTGlyphPen(None).glyph()
    fb = FontBuilder(em, isTTF=True)
    fb.setupGlyphOrder([".notdef"] + sorted(set(glyphs) - {".notdef"}))
    fb.setupCharacterMap(cmap)
    fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics(with_bearings(fb.font, advances))
    fb.setupHorizontalHeader(ascent=ascent, descent=-descent)
    fb.setupNameTable({"familyName": family, "styleName": "Regular"})
    fb.setupOS2(usWinAscent=ascent, usWinDescent=descent, sTypoAscender=ascent,
                sTypoDescender=-descent)
    fb.setupPost()
    fb.save(str(path))


def main(argv):
    outdir = Path(argv[1])
    outdir.mkdir(parents=True, exist_ok=True)
    build(outdir / "NOPUA.TTF", "Kestra No PUA", [ord("A")])
    build(outdir / "TEXTPUA.TTF", "Kestra Text PUA", [ord("A"), 0xE000])
    build(outdir / "NOFAMILY.TTE", None, [0xE000, 0xE001])
    build(outdir / "PARTS.TTE", "Kestra Parts", [0xE000, 0xE001, 0xE002],
          {"g2": composite([("g0", 500, 0, None), ("box", 0, 400, None)]), "box": square()})
    shaped_font().save(str(outdir / "SHAPED.TTE"))
    cff_eudc_font(outdir / "CFFEUDC.OTF")
    cff2_font(outdir / "CFF2.OTF")
    pair_collection(outdir / "PAIR.TTC")
    label_font(outdir / "CFFLABEL.OTF", "Kestra CFF Labels", 1000, cff=True)
    label_font(outdir / "LABEL256.TTF", "Kestra Labels 256", 256)
    label_font(outdir / "LABEL2048.TTF", "Kestra Labels 2048", 2048)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
