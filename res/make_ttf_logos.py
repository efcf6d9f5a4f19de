#!/usr/bin/env python3
"""Writes ttflogo1.bmp and ttflogo2.bmp, the TrueType mark of the font list's
rows: a light grey serif T and a black one over it, lower right, 20x20 pixels,
4 bits per pixel with the standard 16-colour palette. TTFLOGO1 has a white
background (plain rows), TTFLOGO2 a navy one (the highlighted row).

Usage: make_ttf_logos.py OUTPUT_DIR   (the committed res/ttflogo*.bmp are its output)
"""
import os
import struct
import sys

SIZE = 20

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, GREY, WHITE = 0, 4, 7, 15


def letter_t(left, top):
    """The pixels of one serif T whose crossbar starts at (left, top)."""
    pixels = set()
    for x in range(left, left + 8):
        pixels.add((x, top))              # crossbar
    for y in range(top, top + 3):
        pixels.add((left, y))             # serifs
        pixels.add((left + 7, y))
    for y in range(top, top + 11):
        pixels.add((left + 3, y))         # stem, two pixels thick
        pixels.add((left + 4, y))
    for x in range(left + 1, left + 7):
        pixels.add((x, top + 10))         # foot
    return pixels


def logo(background):
    """Palette indices, rows from the top."""
    grey_t = letter_t(3, 3)
    black_t = letter_t(8, 6)
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            if (x, y) in black_t:
                row.append(BLACK)
            elif (x, y) in grey_t:
                row.append(GREY)
            else:
                row.append(background)
        rows.append(row)
    return rows


def bmp(rows):
    """A 4-bit BMP file: file header, info header, palette, bottom-up rows."""
    stride = ((SIZE * 4 + 31) // 32) * 4
    pixels = b""
    for row in reversed(rows):
        packed = bytes((row[x] << 4) | row[x + 1] for x in range(0, SIZE, 2))
        pixels += packed + bytes(stride - len(packed))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 4, 0, len(pixels), 0, 0, 16, 16)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + palette + pixels


def main():
    out_dir = sys.argv[1]
    for name, background in (("ttflogo1.bmp", WHITE), ("ttflogo2.bmp", NAVY)):
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(bmp(logo(background)))


if __name__ == "__main__":
    main()
