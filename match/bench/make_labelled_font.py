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
is taken only when it looks like no character: neither like the character
itself (a symmetric one such as 木 or 交) nor like any other (卍 is 卐
mirrored, and the later extensions hold mirrored forms of many characters),
in the source face or in any of LOOKALIKE_FONTS. "Looks like" is measured
plainly, apart from the matcher: the two glyphs drawn at 32 px, scaled into
their ink boxes at 16 x 16 and blurred, and their cosine; a mirror image
looks like a character when that cosine is at least what one character's
glyphs in two typefaces (TW-Sung and HanaMin A) reach for 75 % of the
characters.

Each line of OUT.tsv: the PUA code point, the source code point (U+XXXX), or
"none" for a mirror image, the block, and the mirrored character's code point
for a mirror image.
"""
import random
import sys
from pathlib import Path

import numpy as np
from fontTools.pens.recordingPen import DecomposingRecordingPen
from fontTools.pens.reverseContourPen import ReverseContourPen
from fontTools.pens.transformPen import TransformPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTCollection, TTFont
from PIL import Image, ImageFont
from scipy import ndimage

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
SEED = 20240521
LOOKALIKE_FONTS = [
    "/usr/share/fonts/truetype/cns11643/TW-Sung-98_1.ttf",
    "/usr/share/fonts/truetype/cns11643/TW-Sung-Ext-B-98_1.ttf",
    "/usr/share/fonts/truetype/hanazono/HanaMinA.ttf",
    "/usr/share/fonts/truetype/hanazono/HanaMinB.ttf",
    "/usr/share/fonts/truetype/babelstone/BabelStoneHan.ttf",
]
LOOKALIKE_SAMPLE = 1000
LOOKALIKE_PERCENTILE = 25


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
    """Glyphs drawn at 32 px, scaled into their ink boxes at 16 x 16 and
    blurred: what a glyph looks like, roughly, whatever its typeface."""

    SIZE = 32
    SCALED = 16

    def __init__(self, path, face_index=0):
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
        scaled = picture.crop(box).resize((self.SCALED, self.SCALED), Image.BILINEAR)
        pixels = ndimage.gaussian_filter(np.asarray(scaled, dtype=np.float32), 1.0)
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


def lookalike_level(rng):
    """The cosine one character's glyphs in TW-Sung and HanaMin A reach for
    75 % of the characters: how alike two typefaces draw the same character."""
    first, second = Looks(LOOKALIKE_FONTS[0]), Looks(LOOKALIKE_FONTS[2])
    first_cmap = TTFont(LOOKALIKE_FONTS[0], lazy=True).getBestCmap()
    second_cmap = TTFont(LOOKALIKE_FONTS[2], lazy=True).getBestCmap()
    shared = sorted(c for c in first_cmap if c in second_cmap and block_of(c) == "Unified")
    levels = []
    for code in rng.sample(shared, min(LOOKALIKE_SAMPLE, len(shared))):
        a, b = first.image(code), second.image(code)
        if a is not None and b is not None:
            levels.append(float(a @ b))
    return float(np.percentile(levels, LOOKALIKE_PERCENTILE))


def all_characters(looks, cmap):
    """The images of every standard character of the source face and of the
    lookalike fonts, each code point once."""
    codes, images = looks.all_images(sorted(c for c in cmap if block_of(c)))
    seen = set(codes)
    stacks = [images]
    for path in LOOKALIKE_FONTS:
        other = Looks(path)
        fresh = sorted(c for c in TTFont(path, lazy=True).getBestCmap()
                       if block_of(c) and c not in seen)
        more, rows = other.all_images(fresh)
        seen.update(more)
        stacks.append(rows)
    return np.concatenate(stacks)


def lone_mirrors(looks, cmap, pool, wanted, rng):
    """Up to `wanted` code points of `pool` whose mirror image looks like no
    character."""
    level = lookalike_level(rng)
    images = all_characters(looks, cmap)
    candidates = rng.sample(sorted(pool), min(len(pool), wanted * 8))
    mirrors = [(code, looks.image(code, mirrored=True)) for code in candidates]
    mirrors = [(code, image) for code, image in mirrors if image is not None]
    best = np.full(len(mirrors), -1.0, dtype=np.float32)
    stacked = np.stack([image for _, image in mirrors])
    for start in range(0, len(images), 8192):
        best = np.maximum(best, (stacked @ images[start:start + 8192].T).max(1))
    chosen = [code for (code, _), b in zip(mirrors, best) if b < level][:wanted]
    sys.stderr.write("mirror images: looking alike from %.3f on; %d of %d candidates kept\n"
                     % (level, int((best < level).sum()), len(mirrors)))
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
    picks += [(code, False) for code in rng.sample(spare, max(0, count - mirrors - len(picks)))]
    return picks[:count - mirrors], unified, mirrors


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
        picks += [(code, True) for code in lone_mirrors(looks, cmap, pool, mirrors, rng)]
        rng.shuffle(picks)
    if len(picks) > bed.PUA_SLOTS:
        sys.exit("at most %d glyphs" % bed.PUA_SLOTS)

    glyphs = []
    lines = []
    for i, (code, mirrored) in enumerate(picks):
        glyphs.append(copied_glyph(font, cmap[code], mirrored))
        truth = "none" if mirrored else "U+%04X" % code
        extra = "\tU+%04X" % code if mirrored else ""
        lines.append("U+%04X\t%s\t%s%s\n" % (bed.PUA_FIRST + i, truth,
                                             "Mirrored" if mirrored else block_of(code), extra))
    glyphs += [bed.empty_glyph()] * (bed.PUA_SLOTS - len(glyphs))
    bed.write_eudc_font(out_font, "Kestra Labelled " + face_name, glyphs)
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
