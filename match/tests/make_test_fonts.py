#!/usr/bin/python3
"""Writes the matcher tests' fonts into OUTDIR:

    make_test_fonts.py OUTDIR

QUERY.TTE: an EUDC font whose codes from U+E000 hold glyphs copied from AR PL
UMing TW (see QUERIES; M+ a mirror image); REFS.TTF and REFS-B.TTF: a few
characters of TW-Sung and TW-Sung-Ext-B, the references, where 豈 is mapped
only from its compatibility ideograph U+F900.
"""
import subprocess
import sys
from pathlib import Path

from fontTools import subset
from fontTools.ttLib import TTFont

HERE = Path(__file__).resolve().parent
UMING = "/usr/share/fonts/truetype/arphic/uming.ttc"
SUNG = "/usr/share/fonts/truetype/cns11643/TW-Sung-98_1.ttf"
SUNG_B = "/usr/share/fonts/truetype/cns11643/TW-Sung-Ext-B-98_1.ttf"

QUERIES = ["U+6728", "U+672C", "U+672A", "U+672B", "U+571F", "U+58EB", "U+5DF1", "U+5DF2",
           "U+65E5", "U+66F0", "U+9451", "U+3401", "U+20021", "U+F900", "M+9451", "M+671D"]
REFERENCES = [0x6728, 0x672C, 0x672A, 0x672B, 0x571F, 0x58EB, 0x5DF1, 0x5DF2, 0x5DF3, 0x65E5,
              0x66F0, 0x9451, 0x671D, 0x3401, 0x3432, 0x8C48]
# Enough other characters that the first ranking has to shortlist and the
# prototypes fall into several clusters.
CROWD = list(range(0x4E00, 0x5100))
REFERENCES_B = [0x20021, 0x2003E]


def cut(source, codes, out, compatibility=None):
    options = subset.Options()
    options.layout_features = []
    options.name_IDs = ["*"]
    font = TTFont(source)
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=codes)
    subsetter.subset(font)
    for unified, code in (compatibility or {}).items():
        for table in font["cmap"].tables:
            if unified in table.cmap:
                table.cmap[code] = table.cmap.pop(unified)
    font.save(out)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    out = Path(argv[1])
    out.mkdir(parents=True, exist_ok=True)
    subprocess.run([sys.executable, str(HERE.parent / "bench" / "make_labelled_font.py"), UMING,
                    "AR PL UMing TW", str(out / "QUERY.TTE"), str(out / "QUERY.tsv")] + QUERIES,
                   check=True, stdout=subprocess.DEVNULL)
    cut(SUNG, REFERENCES + CROWD, out / "REFS.TTF", compatibility={0x8C48: 0xF900})
    cut(SUNG_B, REFERENCES_B, out / "REFS-B.TTF")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
