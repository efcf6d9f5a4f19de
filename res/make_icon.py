#!/usr/bin/env python3
"""Writes kestra.ico, the program's icon: a white page with a table grid and
one dark cell, on a blue tile, in 16x16 and 32x32 with 32-bit colour.

Usage: make_icon.py OUTPUT.ico   (the committed res/kestra.ico is its output)
"""
import struct
import sys

BLUE = (0x2B, 0x5C, 0xA8, 0xFF)
WHITE = (0xFF, 0xFF, 0xFF, 0xFF)
GRID = (0x80, 0x80, 0x80, 0xFF)
INK = (0x20, 0x20, 0x20, 0xFF)
CLEAR = (0, 0, 0, 0)


def pixel(size, x, y):
    """Colour at (x, y), y from the top."""
    unit = size / 16.0
    page_left, page_right = 3 * unit, 13 * unit
    page_top, page_bottom = 2 * unit, 14 * unit
    if x < unit * 0.5 or x >= size - unit * 0.5 or y < unit * 0.5 or y >= size - unit * 0.5:
        return CLEAR
    if not (page_left <= x < page_right and page_top <= y < page_bottom):
        return BLUE
    cell = (x - page_left) / (2.5 * unit), (y - page_top) / (3 * unit)
    if int(cell[0]) == 0 and int(cell[1]) == 0:
        return INK
    on_vertical = abs((x - page_left) % (2.5 * unit)) < max(1, unit * 0.5)
    on_horizontal = abs((y - page_top) % (3 * unit)) < max(1, unit * 0.5)
    if on_vertical or on_horizontal:
        return GRID
    return WHITE


def image(size):
    """A BITMAPINFOHEADER, bottom-up BGRA rows and an all-zero AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in range(size - 1, -1, -1):
        row = bytearray()
        for x in range(size):
            r, g, b, a = pixel(size, x, y)
            row += bytes((b, g, r, a))
        rows.append(bytes(row))
    mask_row = ((size + 31) // 32) * 4
    return header + b"".join(rows) + bytes(mask_row * size)


def main():
    sizes = (16, 32)
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
