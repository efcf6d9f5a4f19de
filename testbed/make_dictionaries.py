#!/usr/bin/python3
"""Writes sample user radical dictionaries of the Phonetic, Cangjie and Quick
input methods, each in both code forms, into OUTDIR:

    phonetic_big5.dat  phonetic_pua.dat
    cangjie_big5.dat   cangjie_pua.dat
    quick_big5.dat     quick_pua.dat

File layout (little-endian): 258-byte header whose only meaningful field is
the signed 32-bit entry count at offset 12 (all other header bytes are zero),
then the entries. Phonetic entries are 8 bytes (code, 4 key indexes, 2 zero
bytes); Cangjie and Quick entries are 9 bytes (code, 5 key indexes, 2 zero
bytes). The *_big5 files record the Big5 code of each character (as on
Windows 95/98/Me); the *_pua files record U+E000 + PUA index (as on the NT
family). Both forms hold the same entries in the same order.

Keys: Phonetic 1-42 select a Bopomofo symbol (1 = ㄅ ... 21 = ㄙ, 22-24 =
ㄧㄨㄩ, 25-37 = ㄚ ... ㄦ, 38-42 = ˉˊˇˋ˙); Cangjie and Quick 1-26 select
the radicals of keys A-Z (1 = 日, 2 = 月 ... 26 = 重). Any other key index
stands for the full-width space.

Phonetic entries, in file order (code: key indexes):
    FA40: 1 25 0 38                 -> ㄅㄚ　ˉ
    FEFE: seven readings, reading r = 0..6 is (r+1, 22, 25+r, 38+r%5)
          -> ㄅㄧㄚˉ ㄆㄧㄛˊ ㄇㄧㄜˇ ㄈㄧㄝˋ ㄉㄧㄞ˙ ㄊㄧㄟˉ ㄋㄧㄠˊ
    8E40: 3 23 0 39, then 4 24 0 40 -> ㄇㄨ　ˊ and ㄈㄩ　ˇ (slots 0, 1)
    A0FE: 5 0 26 0, then 6 0 27 41  -> the first has no tone, so the second
                                       takes its slot: ㄊ　ㄜˋ alone
    8140: 7 22 28 42                -> ㄋㄧㄝ˙
    8DFE: 8 23 29 38                -> ㄌㄨㄞˉ
    C6A1: 9 24 30 39                -> ㄍㄩㄟˊ
    C740: 10 0 31 40                -> ㄎ　ㄠˇ
    C8FE: 11 22 32 41               -> ㄏㄧㄡˋ
    A440 (PUA form: U+DFFF): 1 22 33 38  -> not a user-defined code: the
                                       dictionary ends here
    FA41 (PUA form: U+E001): 2 23 34 39  -> never loaded
  Entry count 19 (all entries above).

Cangjie entries (code: keys):
    FA40: 1 2 0 0 0       -> 日月　　　
    FEFE: 26 25 24 23 22  -> 重卜難田女
    8E40: 3 4 5 6 7       -> 金木水火土
    A0FE: 27 128 8 0 0    -> 　　竹　　 (27 and 0x80 are no keys)
    8140: 9 10 11 12 13   -> 戈十大中一
    8DFE: 14 15 16 17 18  -> 弓人心手口
    C6A1: 19 20 21 0 0    -> 尸廿山　　
    C740: 2 2 0 0 0, then 12 13 0 0 0 -> the later one wins: 中一　　　
    C8FE: 1 1 1 1 1       -> 日日日日日
    A440 / U+DFFF: 1 1 0 0 0 -> ends the dictionary
    FA41 / U+E001: 2 2 0 0 0 -> never loaded
  Entry count 12 (all entries above).

Quick entries (code: keys):
    FA40: 8 12 0 0 0      -> 竹中　　　
    FEFE: 1 26 0 0 0      -> 日重　　　
    8E40: 17 18 0 0 0     -> 手口　　　
    8140: 4 5 0 0 0       -> 木水　　　
    C8FE: 22 23 0 0 0     -> 女田　　　
  Entry count 7 announced, but only the 5 entries above are in the file: a
  loader must load those five and read nothing beyond the end.

Deterministic: the same bytes on every run.
"""

import os
import struct
import sys

HEADER_SIZE = 258
COUNT_OFFSET = 12


def big5_to_pua_index(code):
    """PUA index of a user-defined Big5 code (U+E000 + index is its code point)."""
    lead, trail = code >> 8, code & 0xFF
    if 0x40 <= trail <= 0x7E:
        cell = trail - 0x40
    elif 0xA1 <= trail <= 0xFE:
        cell = trail - 0x62
    else:
        raise ValueError("not a Big5 cell: %04X" % code)
    if 0xFA <= lead <= 0xFE:
        return (lead - 0xFA) * 157 + cell
    if 0x8E <= lead <= 0xA0:
        return 785 + (lead - 0x8E) * 157 + cell
    if 0x81 <= lead <= 0x8D:
        return 3768 + (lead - 0x81) * 157 + cell
    if lead == 0xC6 and trail >= 0xA1:
        return 5809 + trail - 0xA1
    if 0xC7 <= lead <= 0xC8:
        return 5903 + (lead - 0xC7) * 157 + cell
    raise ValueError("not a user-defined code: %04X" % code)


# The entry that ends each dictionary, in Big5 and in PUA form, and the one
# after it that must never be loaded.
STOP = (0xA440, 0xDFFF)
AFTER_STOP = (0xFA41, 0xE001)

PHONETIC = (
    [(0xFA40, (1, 25, 0, 38))]
    + [(0xFEFE, (r + 1, 22, 25 + r, 38 + r % 5)) for r in range(7)]
    + [
        (0x8E40, (3, 23, 0, 39)),
        (0x8E40, (4, 24, 0, 40)),
        (0xA0FE, (5, 0, 26, 0)),
        (0xA0FE, (6, 0, 27, 41)),
        (0x8140, (7, 22, 28, 42)),
        (0x8DFE, (8, 23, 29, 38)),
        (0xC6A1, (9, 24, 30, 39)),
        (0xC740, (10, 0, 31, 40)),
        (0xC8FE, (11, 22, 32, 41)),
        (STOP, (1, 22, 33, 38)),
        (AFTER_STOP, (2, 23, 34, 39)),
    ]
)

CANGJIE = [
    (0xFA40, (1, 2, 0, 0, 0)),
    (0xFEFE, (26, 25, 24, 23, 22)),
    (0x8E40, (3, 4, 5, 6, 7)),
    (0xA0FE, (27, 128, 8, 0, 0)),
    (0x8140, (9, 10, 11, 12, 13)),
    (0x8DFE, (14, 15, 16, 17, 18)),
    (0xC6A1, (19, 20, 21, 0, 0)),
    (0xC740, (2, 2, 0, 0, 0)),
    (0xC740, (12, 13, 0, 0, 0)),
    (0xC8FE, (1, 1, 1, 1, 1)),
    (STOP, (1, 1, 0, 0, 0)),
    (AFTER_STOP, (2, 2, 0, 0, 0)),
]

QUICK = [
    (0xFA40, (8, 12, 0, 0, 0)),
    (0xFEFE, (1, 26, 0, 0, 0)),
    (0x8E40, (17, 18, 0, 0, 0)),
    (0x8140, (4, 5, 0, 0, 0)),
    (0xC8FE, (22, 23, 0, 0, 0)),
]
QUICK_ANNOUNCED = 7  # more than the file holds


def entry_code(code, pua_form):
    if isinstance(code, tuple):  # a code that is given in each form
        return code[1] if pua_form else code[0]
    return 0xE000 + big5_to_pua_index(code) if pua_form else code


def dictionary(entries, pua_form, announced=None):
    count = len(entries) if announced is None else announced
    header = bytearray(HEADER_SIZE)
    struct.pack_into("<i", header, COUNT_OFFSET, count)
    body = bytearray()
    for code, keys in entries:
        body += struct.pack("<H", entry_code(code, pua_form))
        body += bytes(keys) + b"\0\0"
    return bytes(header + body)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_dictionaries.py OUTDIR\n")
        return 2
    outdir = argv[1]
    os.makedirs(outdir, exist_ok=True)
    for name, entries, announced in (
        ("phonetic", PHONETIC, None),
        ("cangjie", CANGJIE, None),
        ("quick", QUICK, QUICK_ANNOUNCED),
    ):
        for form, pua_form in (("big5", False), ("pua", True)):
            path = os.path.join(outdir, "%s_%s.dat" % (name, form))
            with open(path, "wb") as f:
                f.write(dictionary(entries, pua_form, announced))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
