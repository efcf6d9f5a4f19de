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

# SHAPED.TTE, by character (check_table_pdf.py knows where each has ink):
#   U+E000 a bar on the right, whose left side bearing (1250) sets it there
#   U+E001 a block scaled by one half (WE_HAVE_A_SCALE): the bottom left only
#   U+E002 the bar turned by a 2x2 matrix (WE_HAVE_A_TWO_BY_TWO): a band on top
#   U+E004 and U+E005 one block; U+E003 and U+E006 not mapped; U+E007 empty
# and of no user-defined code, U+F849 and beyond, two with outlines.
PAST_LAST_CODE = {0xF849: "mark", 0xF84A: "empty", 0xF8FF: "mark"}

# The label fonts' characters: what the pages of a plain table show.
LABEL_TEXT = "".join(chr(c) for c in range(0x20, 0x7F)) + "內碼第頁字型外檔案："


def label_advance(character, em):
    """A width of its own for each character class: the spaces between the
    advances of a label show where a width is wrong."""
    if ord(character) > 0x7F:
        return em
    return em * (3 + ord(character) % 4) // 10


def block(x0, y0, x1, y1, clockwise=True):
    """A rectangle, drawn into any pen; counter-clockwise it is a hole."""
    corners = [(x0, y0), (x0, y1), (x1, y1), (x1, y0)]

    def draw(pen):
        points = corners if clockwise else corners[::-1]
        pen.moveTo(points[0])
        for point in points[1:]:
            pen.lineTo(point)
        pen.closePath()
    return draw


def triangle(pen):
    pen.moveTo((100, 0))
    pen.lineTo((500, 700))
    pen.lineTo((900, 0))
    pen.closePath()


def outline(*draws):
    pen = TTGlyphPen(None)
    for draw in draws:
        draw(pen)
    return pen.glyph()


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


def builder(family, em, ascent, descent, cmap, names, cff=False):
    fb = FontBuilder(em, isTTF=not cff)
    fb.setupGlyphOrder([".notdef"] + sorted(set(names) - {".notdef"}))
    fb.setupCharacterMap(cmap)
    fb.setupHorizontalHeader(ascent=ascent, descent=-descent)
    fb.setupNameTable({"familyName": family or "", "styleName": "Regular"})
    if not family:
        fb.font["name"].removeNames(nameID=1)
    return fb


def finish(fb, ascent, descent):
    """The tables that need the metrics first."""
    fb.setupOS2(usWinAscent=ascent, usWinDescent=descent, sTypoAscender=ascent,
                sTypoDescender=-descent)
    fb.setupPost()
    return fb.font


def truetype_font(family, glyphs, cmap, advances, em=EM, ascent=ASCENT, descent=DESCENT,
                  hinted=False):
    """Metrics with each glyph's own bearing, as real fonts have them, and
    hinted like the test bed's fonts when asked."""
    fb = builder(family, em, ascent, descent, cmap, glyphs)
    fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics(with_bearings(fb.font, advances))
    fb.setupMaxp()
    if hinted:
        add_hinting(fb.font)
    return finish(fb, ascent, descent)


def cff_font(family, drawings, cmap, advances, em=1000, ascent=800, descent=200, cff2=False):
    """drawings: glyph name -> pen function (None for an empty glyph)."""
    fb = builder(family, em, ascent, descent, cmap, drawings, cff=True)
    strings, metrics = {}, {}
    for name, draw in drawings.items():
        pen = T2CharStringPen(None if cff2 else advances[name], None, CFF2=cff2)
        bounds = BoundsPen(None)
        for target in (pen, bounds) if draw else ():
            draw(target)
        strings[name] = pen.getCharString()
        metrics[name] = (advances[name], bounds.bounds[0] if bounds.bounds else 0)
    if cff2:
        fb.setupCFF2(strings)
    else:
        fb.setupCFF(family.replace(" ", ""), {"FullName": family}, strings, {})
    fb.setupHorizontalMetrics(metrics)
    return finish(fb, ascent, descent)


def build(path, family, characters, glyphs=None):
    names = ["g%d" % i for i in range(len(characters))]
    made = {name: outline(triangle) for name in names}
    made.update(glyphs or {})
    made[".notdef"] = outline()
    cmap = {c: names[i] for i, c in enumerate(characters)}
    truetype_font(family, made, cmap, {name: 1000 for name in made}, 1000, 800,
                  200).save(str(path))


def shaped_font():
    glyphs = {
        ".notdef": outline(block(100, -200, 1900, 1750), block(300, 0, 1700, 1550, False)),
        "bar": outline(block(1250, -150, 1850, 1700)),
        "block": outline(block(0, -200, 2000, 1750)),
        "half": composite([("block", 0, -100, [[0.5, 0], [0, 0.5]])]),
        # x and y swapped: the upright bar becomes a band across the top.
        "turned": composite([("bar", 200, -200, [[0, 1], [1, 0]])]),
        "mark": outline(block(300, 0, 1700, 1400)),
        "empty": outline(),
    }
    cmap = {0xE000: "bar", 0xE001: "half", 0xE002: "turned", 0xE004: "mark", 0xE005: "mark",
            0xE007: "empty"}
    cmap.update(PAST_LAST_CODE)
    return truetype_font("Kestra Shaped", glyphs, cmap, {name: EM for name in glyphs},
                         hinted=True)


def pair_collection(path):
    collection = TTCollection()
    for family, left in (("Kestra Pair Left", 200), ("Kestra Pair Right", 1250)):
        glyphs = {".notdef": outline(), "bar": outline(block(left, -150, left + 600, 1700))}
        collection.fonts.append(truetype_font(family, glyphs, {0xE000: "bar"},
                                              {name: EM for name in glyphs}))
    collection.save(str(path))


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


def cff_eudc_font(path):
    drawings = {".notdef": None, "triangle": triangle, "empty": None,
                "bar": block(600, -100, 900, 750), "shared": block(150, 0, 850, 700)}
    cmap = {0xE000: "triangle", 0xE001: "empty", 0xE002: "bar", 0xE003: "shared",
            0xE004: "shared"}
    font = cff_font("Kestra CFF EUDC", drawings, cmap, {name: 1000 for name in drawings})
    cid_keyed(font, 1000)
    font.save(str(path))


def label_font(family, em, cff=False):
    """Every character of LABEL_TEXT a block of its own advance, with a real
    bearing; the space is empty."""
    names = {"c%04X" % ord(c): c for c in LABEL_TEXT}
    advances = {name: label_advance(c, em) for name, c in names.items()}
    advances[".notdef"] = em // 2
    drawings = {name: block(em // 20, 0, a - em // 20, em * 7 // 10) if a > em // 4 else None
                for name, a in advances.items()}
    drawings[".notdef"] = None
    cmap = {ord(c): name for name, c in names.items()}
    ascent, descent = em * 4 // 5, em // 5
    if cff:
        return cff_font(family, drawings, cmap, advances, em, ascent, descent)
    glyphs = {name: outline(*([draw] if draw else [])) for name, draw in drawings.items()}
    return truetype_font(family, glyphs, cmap, advances, em, ascent, descent)


def main(argv):
    outdir = Path(argv[1])
    outdir.mkdir(parents=True, exist_ok=True)
    build(outdir / "NOPUA.TTF", "Kestra No PUA", [ord("A")])
    build(outdir / "TEXTPUA.TTF", "Kestra Text PUA", [ord("A"), 0xE000])
    build(outdir / "NOFAMILY.TTE", None, [0xE000, 0xE001])
    build(outdir / "PARTS.TTE", "Kestra Parts", [0xE000, 0xE001, 0xE002],
          {"g2": composite([("g0", 500, 0, None), ("box", 0, 400, None)]),
           "box": outline(block(100, 100, 300, 300))})
    shaped_font().save(str(outdir / "SHAPED.TTE"))
    cff_eudc_font(outdir / "CFFEUDC.OTF")
    cff_font("Kestra CFF2", {".notdef": None, "triangle": triangle}, {0xE000: "triangle"},
             {".notdef": 1000, "triangle": 1000}, cff2=True).save(str(outdir / "CFF2.OTF"))
    pair_collection(outdir / "PAIR.TTC")
    label_font("Kestra CFF Labels", 1000, cff=True).save(str(outdir / "CFFLABEL.OTF"))
    label_font("Kestra Labels 256", 256).save(str(outdir / "LABEL256.TTF"))
    label_font("Kestra Labels 2048", 2048).save(str(outdir / "LABEL2048.TTF"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
