#!/usr/bin/python3
"""Writes a labelled EUDC font for measuring the matcher: glyphs of standard
characters copied from a source typeface into the EUDC area (a (3,1) cmap from
U+E000, as an EUDC file maps them), and the truth beside them.

    make_labelled_font.py SOURCE FACE OUT.TTE OUT.tsv [COUNT | U+XXXX ...]

SOURCE is a font file, FACE the full name of the face to copy from (a
collection holds several). With COUNT (default 6217) the characters are drawn
at random, across the blocks the face covers, with a fixed seed; with code
points, exactly those, in that order (a code point written M+XXXX stands for
that character mirrored).

Some glyphs are mirror images of characters (left and right swapped): they
have no standard counterpart, and measure wrong suggestions. A mirror image
is taken only when it looks like no character of the face: neither like the
character itself (a symmetric one such as 木) nor like any other (卍 is 卐
mirrored). "Looks like" is the cosine of the two glyphs drawn at 32 px and
scaled into their ink boxes, at MIRROR_LOOKALIKE or above.

Each line of OUT.tsv: the PUA code point, the source code point (U+XXXX), or
"none" for a mirror image, the block, and the mirrored character's code point
for a mirror image.
"""
import random
import sys
from pathlib import Path

import numpy as np
from fontTools.fontBuilder import FontBuilder
from fontTools.pens.recordingPen import DecomposingRecordingPen
from fontTools.pens.reverseContourPen import ReverseContourPen
from fontTools.pens.transformPen import TransformPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTCollection, TTFont
from PIL import Image, ImageFont

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "testbed"))
import make_eudc_fonts as bed  # noqa: E402

# (name, first, last, share of the characters drawn at random)
BLOCKS = [
    ("Unified", 0x4E00, 0x9FFF, 0.60),
    ("Ext A", 0x3400, 0x4DBF, 0.11),
    ("Ext B", 0x20000, 0x2A6DF, 0.18),
    ("Ext C-F", 0x2A700, 0x2EBEF, 0.005),
    ("Ext G-H", 0x30000, 0x323AF, 0.005),
    ("Compatibility", 0xF900, 0xFAFF, 0.02),
    ("Compatibility", 0x2F800, 0x2FA1F, 0.002),
]
MIRROR_SHARE = 0.08
MIRROR_LOOKALIKE = 0.75
SEED = 20240521


def open_face(path, full_name):
    fonts = TTCollection(path, lazy=True).fonts if path.endswith(".ttc") else [TTFont(path)]
    for index, font in enumerate(fonts):
        if font["name"].getDebugName(4) == full_name:
            return font, index
    sys.exit("%s: no face named %s" % (path, full_name))


def block_of(code):
    for name, first, last, _ in BLOCKS:
        if first <= code <= last:
            return name
    return None


def copied_glyph(font, glyph_name, mirrored):
    """The glyph's outline, decomposed, scaled to the EUDC font's em."""
    glyph_set = font.getGlyphSet()
    recording = DecomposingRecordingPen(glyph_set)
    glyph_set[glyph_name].draw(recording)
    scale = bed.UNITS_PER_EM / font["head"].unitsPerEm
    pen = TTGlyphPen(None)
    if mirrored:
        advance = font["hmtx"][glyph_name][0]
        target = ReverseContourPen(TransformPen(pen, (-scale, 0, 0, scale, advance * scale, 0)))
    else:
        target = TransformPen(pen, (scale, 0, 0, scale, 0, 0))
    recording.replay(target)
    return pen.glyph()


class Looks:
    """Glyphs drawn at 32 px and scaled into their ink boxes, for lookalikes."""

    SIZE = 32

    def __init__(self, path, face_index):
        self.font = ImageFont.truetype(path, self.SIZE, index=face_index)

    def image(self, code, mirrored=False):
        mask = self.font.getmask(chr(code))
        if mask.size[0] == 0 or mask.size[1] == 0:
            return None
        picture = Image.frombytes("L", mask.size, bytes(mask))
        if mirrored:
            picture = picture.transpose(Image.FLIP_LEFT_RIGHT)
        box = picture.getbbox()
        if box is None:
            return None
        pixels = np.asarray(picture.crop(box).resize((self.SIZE, self.SIZE)), dtype=np.float32)
        pixels -= pixels.mean()
        norm = np.linalg.norm(pixels)
        return (pixels / norm).ravel() if norm > 0 else None

    def all_images(self, codes):
        kept, rows = [], []
        for code in codes:
            row = self.image(code)
            if row is not None:
                kept.append(code)
                rows.append(row)
        return kept, np.stack(rows)


def lone_mirrors(looks, characters, pool, wanted, rng):
    """Up to `wanted` code points of `pool` whose mirror image looks like none
    of `characters`."""
    _, images = looks.all_images(sorted(characters))
    candidates = rng.sample(sorted(pool), min(len(pool), wanted * 4))
    chosen = []
    for code in candidates:
        mirror = looks.image(code, mirrored=True)
        if mirror is not None and float((images @ mirror).max()) < MIRROR_LOOKALIKE:
            chosen.append(code)
            if len(chosen) == wanted:
                break
    return chosen


def random_choice(cmap, count, rng):
    by_block = {name: sorted(c for c in cmap if block_of(c) == name) for name, *_ in BLOCKS}
    mirrors = round(count * MIRROR_SHARE)
    picks = []
    shares = {}
    for name, _, _, share in BLOCKS:
        if by_block[name]:
            shares[name] = shares.get(name, 0) + share
    total = sum(shares.values())
    left = count - mirrors
    for name, share in shares.items():
        n = min(len(by_block[name]), round(left * share / total))
        picks += [(code, False) for code in rng.sample(by_block[name], n)]
    unified = set(by_block["Unified"])
    # What rounding left over goes to the Unified block, then to mirror images.
    spare = [c for c in by_block["Unified"] if (c, False) not in set(picks)]
    picks += [(code, False) for code in rng.sample(spare, count - mirrors - len(picks))]
    return picks, unified, mirrors


def parse_code(text):
    return (int(text[2:], 16), text.startswith("M+"))


def main(argv):
    if len(argv) < 5:
        sys.stderr.write(__doc__)
        return 2
    source, face_name, out_font, out_truth = argv[1:5]
    font, face_index = open_face(source, face_name)
    cmap = font.getBestCmap()
    looks = Looks(source, face_index)
    rng = random.Random(SEED)
    if len(argv) > 5 and argv[5].startswith(("U+", "M+")):
        picks = [parse_code(text) for text in argv[5:]]
    else:
        count = int(argv[5]) if len(argv) > 5 else bed.EUDC_CODE_COUNT
        picks, unified, mirrors = random_choice(cmap, count, rng)
        taken = {code for code, _ in picks}
        pool = [c for c in unified if c not in taken]
        picks += [(code, True) for code in lone_mirrors(looks, [c for c in cmap if block_of(c)], pool, mirrors,
                                                          rng)]
        rng.shuffle(picks)
    if len(picks) > bed.PUA_SLOTS:
        sys.exit("at most %d glyphs" % bed.PUA_SLOTS)

    names = [".notdef"] + ["uni%04X" % (bed.PUA_FIRST + i) for i in range(bed.PUA_SLOTS)]
    glyphs = {".notdef": bed.notdef_glyph()}
    lines = []
    for i in range(bed.PUA_SLOTS):
        if i < len(picks):
            code, mirrored = picks[i]
            glyphs[names[i + 1]] = copied_glyph(font, cmap[code], mirrored)
            truth = "none" if mirrored else "U+%04X" % code
            extra = "\tU+%04X" % code if mirrored else ""
            lines.append("U+%04X\t%s\t%s%s\n" % (bed.PUA_FIRST + i, truth,
                                                 "Mirrored" if mirrored else block_of(code),
                                                 extra))
        else:
            glyphs[names[i + 1]] = bed.empty_glyph()
    fb = FontBuilder(bed.UNITS_PER_EM, isTTF=True)
    fb.setupGlyphOrder(names)
    fb.setupCharacterMap({bed.PUA_FIRST + i: names[i + 1] for i in range(bed.PUA_SLOTS)})
    fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics({name: (bed.UNITS_PER_EM, 0) for name in names})
    fb.setupHorizontalHeader(ascent=bed.ASCENT, descent=-bed.DESCENT)
    fb.setupNameTable({"familyName": "Kestra Labelled " + face_name, "styleName": "Regular"})
    fb.setupOS2(sTypoAscender=bed.ASCENT, sTypoDescender=-bed.DESCENT,
                usWinAscent=bed.ASCENT, usWinDescent=bed.DESCENT,
                ulCodePageRange1=1 << bed.CODEPAGE_950_BIT, ulCodePageRange2=0)
    fb.setupPost()
    fb.setupMaxp()
    table = fb.font["cmap"]
    table.tables = [t for t in table.tables if (t.platformID, t.platEncID) == (3, 1)]
    fb.save(out_font)
    Path(out_truth).write_text("".join(lines))
    counts = {}
    for line in lines:
        block = line.rstrip("\n").split("\t")[2]
        counts[block] = counts.get(block, 0) + 1
    print("%s: %d glyphs from %s (%s)" % (out_font, len(lines), face_name,
                                           ", ".join("%s %d" % kv for kv in counts.items())))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
