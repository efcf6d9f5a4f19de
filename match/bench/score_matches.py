#!/usr/bin/python3
"""Scores the matcher's suggestions for a labelled EUDC font against its
truth (make_labelled_font.py):

    score_matches.py TRUTH.tsv MATCHES.tsv STYLE

MATCHES.tsv is the output of kestra-table --list --match. A suggestion is right when it is the
source character or canonically equivalent to it (a compatibility ideograph's
unified counterpart). Prints, per block, the share suggested right, and for
the mirror images the share that got any suggestion.
"""
import collections
import sys
import unicodedata


def canonical(code):
    decomposed = unicodedata.normalize("NFD", chr(code))
    return ord(decomposed) if len(decomposed) == 1 else code


def read_truth(path):
    truth = {}
    for line in open(path, encoding="ascii"):
        fields = line.rstrip("\n").split("\t")
        source = None if fields[1] == "none" else canonical(int(fields[1][2:], 16))
        truth[int(fields[0][2:], 16)] = (source, fields[2])
    return truth


def read_matches(path):
    """The suggestion (None for none) by PUA code point."""
    lines = open(path, encoding="utf-8").read().splitlines()
    heading = lines[0].split("\t")
    code_at, standard_at = heading.index("unicode"), heading.index("standard")
    matches = {}
    for line in lines[1:]:
        fields = line.split("\t")
        standard = fields[standard_at]
        matches[int(fields[code_at][2:], 16)] = int(standard[2:], 16) if standard else None
    return matches


def score(truth, matches):
    blocks = collections.defaultdict(lambda: [0, 0])
    for code, (source, block) in truth.items():
        suggested = matches.get(code)
        if source is None:
            blocks[block][0] += suggested is not None
        else:
            blocks[block][0] += suggested is not None and canonical(suggested) == source
        blocks[block][1] += 1
    return blocks


def right_of_known(blocks):
    """How many were suggested right, of the characters with a counterpart."""
    known = [v for b, v in blocks.items() if b != "Mirrored"]
    return sum(v[0] for v in known), sum(v[1] for v in known)


def block_shares(blocks):
    """Each block's share suggested right, as "Ext A 93.1 % of 683"."""
    return ["%s %.1f %% of %d" % (b, 100 * v[0] / v[1], v[1])
            for b, v in sorted(blocks.items()) if b != "Mirrored"]


def main(argv):
    if len(argv) != 4:
        sys.stderr.write(__doc__)
        return 2
    blocks = score(read_truth(argv[1]), read_matches(argv[2]))
    right, known = right_of_known(blocks)
    print("%-5s right %5.1f %% of %d" % (argv[3], 100 * right / known, known) +
          "".join("  " + share for share in block_shares(blocks)) +
          "  | mirror images with a suggestion %.1f %% of %d" %
          (100 * blocks["Mirrored"][0] / max(1, blocks["Mirrored"][1]), blocks["Mirrored"][1]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
