#!/usr/bin/python3
"""Runs kestra-table on the test bed's generated EUDC fonts and dictionaries
and reads its PDFs back with poppler-utils and qpdf; at the end every PDF it
made is read by qpdf, poppler, ghostscript and mutool, none of which may warn.

    check_table_pdf.py KESTRA_TABLE FONT_DIR DICT_DIR WORK_DIR MATCH_FONT_DIR

MATCH_FONT_DIR holds the matcher tests' fonts (match/tests/make_test_fonts.py).
The index of reference fonts is kept under WORK_DIR, never in the user's cache.

Ends with one line "N passed, N failed"; exit status 1 when any check failed.
"""
import os
import pty
import pwd
import random
import re
import resource
import shutil
import signal
import socket
import stat
import struct
import base64
import html
import io
import json
import subprocess
import sys
import tempfile
import threading
import time
from collections import namedtuple
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "testbed"))
from make_eudc_fonts import pua_index_to_code  # noqa: E402
from fontTools.ttLib import TTFont  # noqa: E402
from fontTools.ttLib.sfnt import calcChecksum  # noqa: E402

PROGRAM, FONTS, DICTS, WORK, MATCH = (Path(a).resolve() for a in sys.argv[1:6])
NOBODY = pwd.getpwnam("nobody")
EUDC = FONTS / "EUDC.TTE"
RING = FONTS / "EUDCRING.TTE"
REFERENCES = ["--match-font", MATCH / "REFS.TTF", "--match-font", MATCH / "REFS-B.TTF"]
results = {"passed": 0, "failed": 0}

# Page geometry (0.1 mm): A4 less 5 mm margins, 7 columns of 148 at 182 + 248 c,
# rows 84 apart from 300 down; boxes reach 66 below and right of the cell.
MARGIN = 50
DPI = 300


def check(name, ok, detail=""):
    results["passed" if ok else "failed"] += 1
    if not ok:
        print("FAILED: %s %s" % (name, detail))


def run(*args, lang="C.UTF-8", cwd=None, env=None):
    env = dict(os.environ, LC_ALL="", LC_MESSAGES="", LANG=lang, **(env or {}))
    return subprocess.run([str(PROGRAM), *map(str, args)], capture_output=True, text=True,
                          env=env, cwd=cwd)


def pages(pdf):
    info = subprocess.run(["pdfinfo", str(pdf)], capture_output=True, text=True).stdout
    fields = dict(line.split(":", 1) for line in info.splitlines() if ":" in line)
    return int(fields.get("Pages", "0")), fields.get("Page size", "").strip()


def text(pdf, page):
    """The page's text; poppler gives the full-width space as a plain one."""
    return subprocess.run(["pdftotext", "-f", str(page), "-l", str(page), str(pdf), "-"],
                          capture_output=True, text=True).stdout.replace("\u3000", " ")


def compact(page_text):
    """Without white space: where poppler breaks a line of radicals is its own choice."""
    return "".join(page_text.split())


READERS = ("poppler", "mutool", "ghostscript")
DARK = bytes(range(128))
_pages = {}


def read_pgm(path):
    """(width, pixels) of a P5 file: magic, width, height and maximum, each
    followed by white space (and comments), then a byte a pixel."""
    data = path.read_bytes()
    number = rb"\s+(?:#[^\n]*\n\s*)*(\d+)"
    header = re.match(rb"P5" + number * 3 + rb"\s", data)
    return int(header.group(1)), data[header.end():]


def page_image(pdf, page, reader):
    """(width, gray pixels) of the page as the reader draws it at DPI."""
    key = (str(pdf), page, reader)
    if key not in _pages:
        if len(_pages) > 6:
            _pages.clear()
        out = WORK / ("page-%s.pgm" % reader)
        command = {
            "poppler": ["pdftoppm", "-gray", "-r", str(DPI), "-f", str(page), "-l", str(page),
                        "-singlefile", str(pdf), str(out.with_suffix(""))],
            "mutool": ["mutool", "draw", "-N", "-q", "-r", str(DPI), "-c", "gray", "-o", str(out),
                       str(pdf), str(page)],
            "ghostscript": ["gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pgmraw",
                            "-r%d" % DPI, "-dFirstPage=%d" % page, "-dLastPage=%d" % page,
                            "-sOutputFile=%s" % out, str(pdf)],
        }[reader]
        subprocess.run(command, check=True, capture_output=True)
        _pages[key] = read_pgm(out)
    return _pages[key]


def px(units):
    return round((units + MARGIN) / 254 * DPI)


def ink(pdf, page, left, top, right, bottom, reader="poppler"):
    """(dark pixels, ink in whole pixels) of the area between page-unit edges
    (y counted downwards), as the reader draws it."""
    width, pixels = page_image(pdf, page, reader)
    dark, total = 0, 0
    for row in range(px(top), px(bottom)):
        line = pixels[row * width + px(left):row * width + px(right)]
        dark += len(line) - len(line.translate(None, DARK))
        total += 255 * len(line) - sum(line)
    return dark, total / 255


def dark_pixels(pdf, page, left, top, right, bottom, reader="poppler"):
    return ink(pdf, page, left, top, right, bottom, reader)[0]


def line_width(pdf, page, left, right, y, reader):
    """Width in millimetres of the horizontal line at page-unit y (downwards),
    from its ink between left and right."""
    pixels = ink(pdf, page, left, y - 5, right, y + 5, reader)[1] / (px(right) - px(left))
    return pixels / DPI * 25.4


def by_reader(measure):
    return {reader: measure(reader) for reader in READERS}


def points(units):
    """Points from the paper's left edge of a page-unit x."""
    return (units + MARGIN) * 72 / 254


def characters(pdf, page, reader):
    """(character, x, end, y) of what the reader finds on the page, in points
    from the top left, y the baseline. Poppler gives whole words, each one
    entry; Ghostscript gives characters past ASCII wrongly, so only where they
    stand counts."""
    if reader == "poppler":
        boxes = subprocess.run(["pdftotext", "-bbox", "-f", str(page), "-l", str(page), str(pdf),
                                "-"], capture_output=True, text=True).stdout
        return [(html.unescape(w), float(x), float(end), float(y)) for x, end, y, w in re.findall(
            r'xMin="([\d.]+)" yMin="[\d.]+" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<', boxes)]
    found = []
    if reader == "mutool":
        stext = subprocess.run(["mutool", "draw", "-N", "-q", "-F", "stext", "-o", "-", str(pdf),
                                str(page)], capture_output=True, text=True).stdout
        for quad, x, y, c in re.findall(
                r'<char quad="([^"]*)" x="([^"]*)" y="([^"]*)"[^>]* c="([^"]*)"', stext):
            found.append((html.unescape(c), float(x), float(quad.split()[2]), float(y)))
        return found
    xml = subprocess.run(["gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=txtwrite",
                          "-dTextFormat=4", "-dFirstPage=%d" % page, "-dLastPage=%d" % page,
                          "-sOutputFile=-", str(pdf)], capture_output=True, text=True).stdout
    for span in xml.split("<span ")[1:]:
        origin = [float(v) for v in re.search(r'\bctm="([^"]*)"', span).group(1).split()][4:]
        size = float(re.search(r'trm="([^"]*)"', span).group(1).split()[0])
        for x, c, advance in re.findall(
                r'<char x="([^"]*)" y="[^"]*" c="([^"]*)" ucs="[^"]*" adv="([^"]*)"', span):
            start = origin[0] + float(x)
            found.append((html.unescape(c), start, start + float(advance) * size, origin[1]))
    return found


def words(pdf, page, reader):
    """(word, x, end, y) of the runs of characters on one line between spaces."""
    if reader == "poppler":
        return characters(pdf, page, reader)
    made = []
    for c, x, end, y in characters(pdf, page, reader):
        follows = made and made[-1][0] and abs(made[-1][3] - y) < 0.01 \
            and abs(made[-1][2] - x) < 0.01
        if c != " " and follows:
            made[-1] = (made[-1][0] + c, made[-1][1], end, y)
        else:
            made.append(("" if c == " " else c, x, end, y))
    return [w for w in made if w[0]]


def word_box(pdf, page, word, reader="poppler"):
    """(x, end, y) of the word on the page, as the reader places it."""
    for found, x, end, y in words(pdf, page, reader):
        if found == word:
            return x, end, y
    return 0.0, 0.0, 0.0


def inside_box(pdf, page, column, row, x0=182, reader="poppler"):
    """Dark pixels well inside the box of a cell, away from its outline."""
    x = x0 + 248 * column
    y = 300 + 84 * row
    return dark_pixels(pdf, page, x + 6, y + 6, x + 59, y + 59, reader)


def part_of_cell(pdf, page, column, where, reader):
    """Dark pixels of a part of the glyph cell in row 0: a half ("left",
    "right") or a quarter ("top left", ...)."""
    x, y = 182 + 248 * column, 300
    left, right = (x + 4, x + 28) if "left" in where else (x + 36, x + 60)
    top, bottom = (y + 36, y + 60) if "bottom" in where else (y + 4, y + 28)
    if "top" not in where and "bottom" not in where:
        top, bottom = y + 4, y + 60
    return dark_pixels(pdf, page, left, top, right, bottom, reader)


def code_text(index):
    return "%04X" % pua_index_to_code(index)


def check_whole_table():
    pdf = WORK / "all.pdf"
    result = run(EUDC, "-o", pdf)
    check("whole table runs", result.returncode == 0, result.stderr)
    count, size = pages(pdf)
    check("whole table has 32 A4 pages", count == 32 and "(A4)" in size, "%d %s" % (count, size))
    first, second, last = text(pdf, 1), text(pdf, 2), text(pdf, 32)
    check("header names the font's family and its path as given",
          "字型：Kestra EUDC Square" in first and "外字檔案：%s" % EUDC in first, first[:200])
    check("page 1 holds cells 0 to 195",
          all(code_text(i) in first for i in (0, 1, 195)) and code_text(196) not in first)
    check("page 2 starts at cell 196", code_text(196) in second and code_text(391) in second)
    check("last page ends at C8FE", "C8FE" in last and "第 32 頁" in last)
    check("headings on every page", first.count("內碼") == 7 and last.count("內碼") == 7)
    check("glyph cells copy as their PUA characters",
          "\ue000" in first and "\ue0c3" in first and "\ue0c4" not in first and "\ue0c4" in second)
    # Windows' code page 950 mapping of the user-defined area, at its seams.
    for code, page, character in [("8140", 20, "\ueeb8"), ("C6A1", 30, "\uf6b1"),
                                  ("C8FE", 32, "\uf848")]:
        check("%s copies as U+%04X" % (code, ord(character)), character in text(pdf, page))
    check_drawing(pdf)
    if shutil.which("qpdf"):
        qpdf = subprocess.run(["qpdf", "--check", str(pdf)], capture_output=True, text=True)
        check("qpdf finds the file sound", qpdf.returncode == 0, qpdf.stdout[-300:])
    every = subprocess.run(["pdftotext", str(pdf), "-"], capture_output=True, text=True).stdout
    glyphs = sorted(c for c in every if 0xE000 <= ord(c) <= 0xF848)
    check("every glyph cell copies as its own PUA character",
          glyphs == [chr(0xE000 + i) for i in range(6217)], len(glyphs))
    check_document(pdf)


def check_drawing(pdf):
    """Page 1 of the whole table as each reader draws it: the glyph cells
    (FA40 has a glyph, FA41 none), the codes where the layout puts them, the
    glyph boxes hairlines and the rules under the headings 0.3 mm wide."""
    cells = by_reader(lambda r: (inside_box(pdf, 1, 0, 0, reader=r), inside_box(pdf, 1, 1, 0, reader=r)))
    check("FA40 has glyph pixels in its box, FA41 none, in every reader",
          all(filled > 1000 and empty == 0 for filled, empty in cells.values()), cells)
    labels = by_reader(lambda r: dark_pixels(pdf, 1, 182 + 84, 316, 182 + 160, 348, r))
    check("the label font's codes have their pixels", all(n > 200 for n in labels.values()), labels)
    # Where the first and the last code of page 1 stand, in points from the top
    # left: a page scaled or moved by a fraction of a point shows here.
    codes = by_reader(lambda r: (word_box(pdf, 1, "FA40", r), word_box(pdf, 1, code_text(195), r)))
    check("codes stand where the layout puts them, in every reader",
          all(abs(first[0] - points(182 + 84)) < 0.05 and abs(last[0] - points(182 + 6 * 248 + 84)) < 0.05
              and abs(last[2] - first[2] - 27 * 84 * 72 / 254) < 0.05 for first, last in codes.values()),
          codes)
    # GDI's own pen draws the boxes one device pixel wide; the rule pen is 3 units.
    widths = by_reader(lambda r: (line_width(pdf, 1, 438, 488, 366, r), line_width(pdf, 1, 190, 260, 272, r)))
    check("glyph boxes are hairlines and rules 0.3 mm wide, in every reader",
          all(box < 1.6 * 25.4 / DPI and 0.2 < rule < 0.5 for box, rule in widths.values()), widths)


def check_document(pdf):
    """Each font embedded once, as a subset CID font that maps to Unicode; the
    information names the font's family; one bookmark a code range on the pages
    and one a lead byte beneath it."""
    fonts = subprocess.run(["pdffonts", str(pdf)], capture_output=True, text=True).stdout
    rows = [line.split() for line in fonts.splitlines()[2:]]
    check("two fonts, each a subset CID TrueType font with a Unicode map",
          len(rows) == 2 and all(r[1:7] == ["CID", "TrueType", "Identity-H", "yes", "yes", "yes"]
                                 for r in rows), fonts)
    info = subprocess.run(["pdfinfo", str(pdf)], capture_output=True, text=True).stdout
    fields = dict(line.split(":", 1) for line in info.splitlines() if ":" in line)
    check("information: title, the font's family, creator",
          fields.get("Title", "").strip() == "EUDC.TTE"
          and fields.get("Subject", "").strip() == "Kestra EUDC Square"
          and re.fullmatch(r"kestra-table \d+\.\d+\.\d+", fields.get("Creator", "").strip()),
          info)
    ranges = [tuple(int(x, 16) for x in found) for cmap in unicode_maps(pdf)
              for found in re.findall(r"<([0-9A-F]{4})> <([0-9A-F]{4})> <([0-9A-F]{4})>", cmap)]
    check("Unicode maps: each range within one last byte, on both sides",
          len(ranges) > 40 and all(a >> 8 == b >> 8 and (c & 0xFF) + b - a <= 0xFF
                                   for a, b, c in ranges), [r for r in ranges if r[0] >> 8 != r[1] >> 8][:3])
    outline = json.loads(subprocess.run(["qpdf", "--json", "--json-key=outlines", str(pdf)],
                                        capture_output=True, text=True).stdout)["outlines"]
    found = [(r["title"], r["destpageposfrom1"], len(r["kids"]), r["kids"][0]["title"],
              r["kids"][-1]["title"], r["kids"][-1]["destpageposfrom1"]) for r in outline]
    check("a bookmark for each code range, and beneath it one for each lead byte", found == [
        ("FA40-FEFE", 1, 5, "FA40-FAFE", "FE40-FEFE", 4),
        ("8E40-A0FE", 5, 19, "8E40-8EFE", "A040-A0FE", 19),
        ("8140-8DFE", 20, 13, "8140-81FE", "8D40-8DFE", 29),
        ("C6A1-C8FE", 30, 3, "C6A1-C6FE", "C840-C8FE", 31)], found)


def pdf_objects(pdf):
    """The PDF's objects by reference ("12 0 R"), as qpdf gives them, streams
    decoded."""
    objects = json.loads(subprocess.run(
        ["qpdf", "--json", "--json-key=qpdf", "--json-stream-data=inline",
         "--decode-level=generalized", str(pdf)], capture_output=True, text=True).stdout)["qpdf"][1]
    return {key[4:]: value for key, value in objects.items() if key.startswith("obj:")}


def unicode_maps(pdf):
    """The ToUnicode CMaps of the PDF, as text."""
    objects = pdf_objects(pdf).values()
    texts = (base64.b64decode(o["stream"].get("data") or "") for o in objects if "stream" in o)
    return [t.decode("latin-1") for t in texts if b"beginbfrange" in t]


def font_faults(pdf):
    """What is wrong with the PDF's fonts: a descent not below the baseline, a
    CID given no width or two, a width not the program's own, a TrueType
    program whose table directory is unsound."""
    objects = pdf_objects(pdf)

    def value(item):
        item = objects[item] if isinstance(item, str) and item.endswith(" R") else item
        return item.get("value", item.get("stream", {}).get("dict")) if isinstance(item, dict) \
            and ("value" in item or "stream" in item) else item

    def data(reference):
        return base64.b64decode(objects[reference]["stream"].get("data") or "")

    faults = []
    for font in (value(o) for o in objects.values()):
        if not isinstance(font, dict) or font.get("/Subtype") != "/Type0":
            continue
        cid_font = value(value(font["/DescendantFonts"])[0])
        descriptor = value(cid_font["/FontDescriptor"])
        name = "%s %s" % (pdf.name, font["/BaseFont"])
        if not descriptor["/Descent"] < 0 < descriptor["/Ascent"]:
            faults.append("%s: ascent %s, descent %s" % (name, descriptor["/Ascent"],
                                                         descriptor["/Descent"]))
        widths, doubled = {}, []
        entries = value(cid_font["/W"])
        while entries:
            if isinstance(entries[1], list):
                given = [(entries[0] + i, w) for i, w in enumerate(entries[1])]
                entries = entries[2:]
            else:
                given = [(cid, entries[2]) for cid in range(entries[0], entries[1] + 1)]
                entries = entries[3:]
            doubled += [cid for cid, _ in given if cid in widths]
            widths.update(given)
        if doubled:
            faults.append("%s: CIDs given two widths: %s" % (name, doubled[:5]))
        if "/FontFile2" in descriptor:
            program = data(descriptor["/FontFile2"])
            glyphs = data(cid_font["/CIDToGIDMap"])
            glyphs = [int.from_bytes(glyphs[i:i + 2], "big") for i in range(0, len(glyphs), 2)]
            faults += directory_faults(name, program)
            truetype = TTFont(io.BytesIO(program))
            order, metrics = truetype.getGlyphOrder(), truetype["hmtx"]
            wanted = {cid: round(metrics[order[g]][0] * 1000 / truetype["head"].unitsPerEm, 3)
                      for cid, g in enumerate(glyphs) if cid > 0}
            if widths != wanted:
                faults.append("%s: widths %s, the program's %s" % (
                    name, sorted(set(widths.items()) ^ set(wanted.items()))[:4], len(wanted)))
    return faults


def directory_faults(name, program):
    """A table at an offset not a multiple of 4, empty, or with a wrong
    checksum; a wrong checksum of the whole file."""
    faults = []
    count = struct.unpack(">H", program[4:6])[0]
    head = 0
    for k in range(count):
        tag, checksum, offset, length = struct.unpack(">4sIII", program[12 + 16 * k:28 + 16 * k])
        table = bytearray(program[offset:offset + length])
        if tag == b"head":
            head, table[8:12] = offset, b"\0\0\0\0"
        if offset % 4 or not length or calcChecksum(bytes(table)) != checksum:
            faults.append("%s: table %s at %d, %d bytes, checksum %08X" % (
                name, tag, offset, length, checksum))
    whole = bytearray(program)
    whole[head + 8:head + 12] = b"\0\0\0\0"
    if head and (0xB1B0AFBA - calcChecksum(bytes(whole))) & 0xFFFFFFFF != struct.unpack(
            ">I", program[head + 8:head + 12])[0]:
        faults.append("%s: the file's checksum" % name)
    return faults


def check_fonts_of_unusual_make():
    pdf = WORK / "nofamily.pdf"
    run(FONTS / "NOFAMILY.TTE", "-r", "FA40-FA41", "-o", pdf)
    check("a font without a family is named by its file", "字型：NOFAMILY.TTE" in text(pdf, 1))
    pdf = WORK / "parts.pdf"
    run(FONTS / "PARTS.TTE", "-r", "FA40-FA42", "-o", pdf)
    check("a glyph made of parts has its pixels", inside_box(pdf, 1, 2, 0) > 50)
    check_fonts_made_as_real_ones()


# The glyph cells of fonts made as real ones, in every reader: the parts of
# the cell where each glyph has ink and where none (make_text_fonts.py), by
# column of row 0 (FA40 in column 0); a code the font does not map shows
# nothing, not even the font's .notdef mark.
CELLS = {
    "SHAPED.TTE": [(0, "right", "left"), (1, "bottom left", "top right"),
                   (2, "top left", "bottom left"), (3, None, "whole"), (4, "left", None),
                   (5, "left", None), (6, None, "whole")],
    "CFFEUDC.OTF": [(0, "left", None), (1, None, "whole"), (2, "right", "left"),
                    (3, "left", None), (4, "left", None)],
    "PAIR.TTC": [(0, "left", "right")],
    "PAIR.TTC --face 1": [(0, "right", "left")],
}


def check_fonts_made_as_real_ones():
    for case, cells in CELLS.items():
        name, *options = case.split()
        pdf = WORK / ("%s%s.pdf" % (name, "".join(options)))
        result = run(FONTS / name, "-r", "FA40-FA47", *options, "-o", pdf)
        check("%s: a table" % case, result.returncode == 0, result.stderr)
        for column, inked, blank in cells:
            found = by_reader(lambda r: (
                part_of_cell(pdf, 1, column, inked, r) if inked else 1000,
                inside_box(pdf, 1, column, 0, reader=r) if blank == "whole"
                else part_of_cell(pdf, 1, column, blank, r) if blank else 0))
            check("%s: FA4%d drawn where its glyph has ink and nowhere else" % (case, column),
                  all(ink > 500 and none == 0 for ink, none in found.values()), found)
    # One glyph for two codes: each copies as its own character; a code the
    # font does not map, as nothing. (mutool maps the text of a CFF font by
    # CID, so it copies the two codes of one CFF glyph alike.)
    for name, shared, unmapped, readers in (
            ("SHAPED.TTE", "\ue004\ue005", "\ue003\ue006", ("poppler", "mutool")),
            ("CFFEUDC.OTF", "\ue003\ue004", "\ue005\ue006", ("poppler",))):
        pdf = WORK / (name + ".pdf")
        copied = {"poppler": text(pdf, 1),
                  "mutool": "".join(c for c, *_ in characters(pdf, 1, "mutool"))}
        check("%s: two codes of one glyph copy as their own characters, unmapped ones as "
              "nothing" % name, all(c in copied[reader] for c in shared for reader in readers)
              and not any(c in found for c in unmapped for found in copied.values()), copied)
    fonts = subprocess.run(["pdffonts", str(WORK / "CFFEUDC.OTF.pdf")], capture_output=True,
                           text=True).stdout
    check("a CFF font embedded as a CFF CID font", "CID Type 0C" in fonts, fonts)


LABEL_FONTS = [("LABEL256.TTF", "Kestra Labels 256"), ("LABEL2048.TTF", "Kestra Labels 2048"),
               ("CFFLABEL.OTF", "Kestra CFF Labels")]


def check_label_fonts():
    """Label faces of 256 and 2048 units to the em and of CFF outlines: in
    every reader, each code starts where the layout puts it and is as wide as
    the font's advances make it, each character of the header stands where
    the advances before it put it, and the codes have their pixels."""
    folder = WORK / "label-fonts"
    (folder / "fonts").mkdir(parents=True)
    for name, _ in LABEL_FONTS:
        shutil.copy(FONTS / name, folder / "fonts")
    (folder / "fonts.conf").write_text(
        "<fontconfig><dir>%s</dir><cachedir>%s</cachedir></fontconfig>"
        % (folder / "fonts", folder / "cache"))
    for name, family in LABEL_FONTS:
        pdf = WORK / ("labels-%s.pdf" % name)
        result = run(EUDC, "-r", "FA40-FA46", "--label-font", family, "-o", pdf,
                     env={"FONTCONFIG_FILE": str(folder / "fonts.conf")})
        check("%s: a table" % family, result.returncode == 0, result.stderr)
        advance = advances_of(FONTS / name)
        codes = by_reader(lambda r: [word_box(pdf, 1, "FA4%d" % c, r) for c in range(7)])
        check("%s: codes where the layout puts them, as wide as their advances" % family,
              all(abs(x - points(182 + 248 * c + 84)) < 0.05
                  and abs(end - x - sum(map(advance, "FA4%d" % c))) < 0.05
                  for boxes in codes.values() for c, (x, end, _) in enumerate(boxes)), codes)
        # mutool keeps widths in whole thousandths of the em: half of one off
        # for each character before.
        header = header_offsets(pdf, advance)
        check("%s: each character of the header where the advances put it" % family,
              all(abs(found - wanted) < 0.05 + 0.005 * i for offsets in header.values()
                  for i, (found, wanted) in enumerate(offsets)) and all(header.values()), header)
        labels = by_reader(lambda r: dark_pixels(pdf, 1, 182 + 84, 316, 182 + 160, 348, r))
        check("%s: the codes have their pixels" % family, all(n > 200 for n in labels.values()),
              labels)


def advances_of(path):
    """The advance of a character in points, at the labels' height (3.2 mm
    for the font's ascent and descent together)."""
    font = TTFont(str(path))
    cell = font["OS/2"].usWinAscent + font["OS/2"].usWinDescent
    em = 32 * 72 / 254 * font["head"].unitsPerEm / cell
    cmap, metrics = font.getBestCmap(), font["hmtx"]
    return lambda c: metrics[cmap[ord(c)]][0] / font["head"].unitsPerEm * em


def header_offsets(pdf, advance):
    """(found, wanted) offsets from the header's start of each character (of
    each word, for poppler), in each reader; the header's characters are
    mutool's, the only reader that gives all of them, spaces and codes."""
    line = characters(pdf, 1, "mutool")
    line = [c for c in line if abs(c[3] - line[0][3]) < 0.01]
    wanted = [sum(advance(c) for c, *_ in line[:i]) for i in range(len(line))]
    found = {}
    for reader in ("mutool", "ghostscript"):
        chars = characters(pdf, 1, reader)
        chars = [c for c in chars if abs(c[3] - chars[0][3]) < 0.01]
        found[reader] = [(c[1] - chars[0][1], w) for c, w in zip(chars, wanted)] \
            if len(chars) == len(line) else []
    starts = [i for i, c in enumerate(line) if c[0] != " " and (i == 0 or line[i - 1][0] == " ")]
    boxes = [w for w in words(pdf, 1, "poppler") if abs(w[3] - words(pdf, 1, "poppler")[0][3]) < 1]
    found["poppler"] = [(b[1] - boxes[0][1], wanted[i]) for b, i in zip(boxes, starts)] \
        if len(boxes) == len(starts) else []
    return found


def check_list():
    listed = run(EUDC, "--list", "--cangjie", DICTS / "cangjie_pua.dat", "--phonetic",
                 DICTS / "phonetic_pua.dat", "-o", "-")
    lines = listed.stdout.split("\n")
    check("list: a heading, then the 6217 codes", listed.returncode == 0 and
          lines[0] == "big5\tunicode\tglyph\tcangjie\tphonetic" and len(lines) == 6219
          and lines[-1] == "", lines[:2])
    check("list: code, code point, glyph, radicals in column order, unpadded",
          lines[1] == "FA40\tU+E000\tyes\t日月\tㄅㄚ\u3000ˉ" and lines[2] == "FA41\tU+E001\tno\t\t"
          and lines[785] == "FEFE\tU+E310\tyes\t重卜難田女\tㄅㄧㄚˉ ㄆㄧㄛˊ ㄇㄧㄜˇ ㄈㄧㄝˋ "
                            "ㄉㄧㄞ˙ ㄊㄧㄟˉ ㄋㄧㄠˊ", lines[1:3] + [lines[785]])
    defined = run(EUDC, "--list", "--defined-only", "-r", "8DFC-8E43", "-o", "-").stdout.split()
    check("list: the table's choice of codes",
          defined == "big5 unicode glyph 8DFC U+F6AE yes 8DFE U+F6B0 yes 8E40 U+E311 yes "
                     "8E41 U+E312 yes 8E43 U+E314 yes".split(), defined)
    check("list: the default name", run(EUDC, "--list", "-r", "FA40-FA40", cwd=WORK).returncode
          == 0 and (WORK / "EUDC.tsv").read_text().startswith("big5\t"))
    listed = run(FONTS / "CFF2.OTF", "--list", "-r", "FA40-FA41", "-o", "-").stdout.split("\n")
    check("list: a font whose outlines no PDF embeds is listed",
          listed[1:3] == ["FA40\tU+E000\tyes", "FA41\tU+E001\tno"], listed)
    version = run("--version")
    check("--version", re.fullmatch(r"kestra-table \d+\.\d+\.\d+\n", version.stdout),
          version.stdout)


# The suggestions for glyphs copied from AR PL UMing into QUERY.TTE, against
# cuts of TW-Sung and TW-Sung-Ext-B, in codes FA40-FA53 (four columns a page
# with --match): the code, its cell (column, row), its line of the list after
# the code (the similarity a group), the face the suggestion is drawn in and
# what the cell shows of it. --match-font alone implies --match.
MATCHES = [
    ("FA40", 0, 0, r"U\+E000\tyes\tU\+6728\t(.*)", "TW-Sung-98_1", ["木", "U+6728"]),
    ("FA4C", 0, 3, r"U\+E00C\tyes\tU\+20021\t(.*)", "TW-Sung-Ext-B-98_1", ["𠀡", "U+20021"]),
    # 豈, which the reference maps only from its compatibility ideograph U+F900.
    ("FA4D", 1, 3, r"U\+E00D\tyes\tU\+8C48\t(.*)", "TW-Sung-98_1", ["豈", "U+8C48"]),
    ("FA4E", 2, 3, r"U\+E00E\tyes\t\t(.*)", None, ["無相符字"]),  # 鑑 mirrored: none
    ("FA50", 0, 4, r"U\+E010\tno\t\t()", None, []),  # no glyph: nothing
]
THRESHOLD = 0.73


def check_matching():
    listed = run(MATCH / "QUERY.TTE", "--list", "-r", "FA40-FA53", *REFERENCES, "-o", "-")
    lines = {line[:4]: line[5:] for line in listed.stdout.splitlines()}
    check("match list: two more columns, and no word off a terminal", listed.stderr == ""
          and lines.get("big5") == "unicode\tglyph\tstandard\tsimilarity", listed.stderr)
    unmapped = run(FONTS / "SHAPED.TTE", "--list", "-r", "FA43-FA43", *REFERENCES, "-o", "-")
    check("match list: a code the font does not map has nothing to compare, not even .notdef",
          unmapped.stdout.splitlines()[1:] == ["FA43\tU+E003\tno\t\t"], unmapped.stdout)
    pdf = WORK / "match.pdf"
    made = run(MATCH / "QUERY.TTE", "-r", "FA40-FA53", *REFERENCES, "-o", pdf)
    page = text(pdf, 1)
    faces = {html.unescape(c): font for font, chars in re.findall(
        r'<font name="([^"]*)"[^>]*>(.*?)</font>', subprocess.run(
            ["mutool", "draw", "-N", "-q", "-F", "stext", "-o", "-", str(pdf), "1"],
            capture_output=True, text=True).stdout, re.S) for c in re.findall(r' c="([^"]*)"', chars)}
    check("match PDF: made, with the field's heading and the none mark where none is close",
          made.returncode == 0 and "建議標準字" in page and page.count("無相符字") == 2, made.stderr)
    for code, column, row, line, face, shown in MATCHES:
        found = re.fullmatch(line, lines.get(code, ""))
        similarity = found.group(1) if found else "?"
        close = re.fullmatch(r"[01]\.\d{3}", similarity) and float(similarity) >= THRESHOLD
        check("match list: %s" % code, found and (not similarity if "no" in line
                                                  else bool(close) == bool(face)), lines.get(code))
        x, y = 154 + 448 * column + 168, 300 + 84 * row
        drawn = by_reader(lambda r: (dark_pixels(pdf, 1, x + 4, y + 4, x + 60, y + 60, r),
                                     dark_pixels(pdf, 1, x, y, x + 200, y + 64, r)))
        check("match PDF: %s shows %s" % (code, shown or "nothing"),
              all(w in page for w in shown) and (not face or faces.get(shown[0]) == face) and all(
                  (glyph > 500 or not face) and (field > 0) == bool(shown)
                  for glyph, field in drawn.values()), (drawn, {c: faces.get(c) for c in shown}))


def check_names_in_header():
    """A font's name as given in any script, and a long path shortened in its
    middle so that the whole header stays within the margins. Of the fonts
    installed, only the label font and DejaVu Sans (which has 😀, and no font
    here Hangul)."""
    folder = WORK / "names"
    deep = folder.joinpath(*["深層的資料夾"] * 30)
    deep.mkdir(parents=True)
    for font in (folder / "かな한글😀.TTE", deep / "EUDC.TTE"):
        shutil.copy(EUDC, font)
    (folder / "fonts").mkdir()
    for installed in ("arphic/uming.ttc", "dejavu/DejaVuSans.ttf"):
        (folder / "fonts" / Path(installed).name).symlink_to("/usr/share/fonts/truetype/" + installed)
    (folder / "fonts.conf").write_text("<fontconfig><dir>%s</dir><cachedir>%s</cachedir></fontconfig>"
                                       % (folder / "fonts", folder / "cache"))
    run("かな한글😀.TTE", "-r", "FA40-FA40", "-o", "names.pdf", cwd=folder,
        env={"FONTCONFIG_FILE": str(folder / "fonts.conf")})
    run(deep / "EUDC.TTE", "-r", "FA40-FA40", "-o", folder / "deep.pdf")
    first, deep_first = text(folder / "names.pdf", 1), text(folder / "deep.pdf", 1)
    fallback = re.findall(r'<font name="([^"]*)"[^>]*>\s*<char [^>]* c="&#x1f600;"', subprocess.run(
        ["mutool", "draw", "-N", "-q", "-F", "stext", "-o", "-", str(folder / "names.pdf"), "1"],
        capture_output=True, text=True).stdout)
    check("a name outside Big5 as given, what the label font lacks from an installed font that "
          "has it, else as its code point", "外字檔案：かなU+D55CU+AE00😀.TTE" in first
          and fallback == ["DejaVuSans"], (first[:120], fallback))
    check("a long path shortened in its middle",
          "字型：KestraEUDCSquare" in compact(deep_first)
          and re.search("外字檔案：/.{20,}….{20,}/EUDC.TTE", compact(deep_first)),
          deep_first[:300])


def check_readers():
    """Every PDF the checks made, read by four readers without a warning."""
    pdfs = sorted(p for p in WORK.rglob("*.pdf") if p.read_bytes()[:5] == b"%PDF-")
    readers = {
        "qpdf": ["qpdf", "--check"],
        "pdfinfo": ["pdfinfo"],
        "pdffonts": ["pdffonts"],
        "pdftotext": ["pdftotext", "-q"],
        "ghostscript": ["gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=nullpage"],
        "mutool": ["mutool", "draw", "-N", "-q", "-F", "txt", "-o", "/dev/null"],
    }
    complaints = []
    for pdf in pdfs:
        for name, command in readers.items():
            result = subprocess.run(command + [str(pdf)], capture_output=True, text=True)
            said = result.stderr if name not in ("qpdf", "ghostscript") else \
                result.stderr + (result.stdout if name == "ghostscript" else "")
            if result.returncode != 0 or said.strip() or "WARNING" in result.stdout:
                complaints.append("%s %s: %s" % (name, pdf.name, (said or result.stdout)[:200]))
    check("%d PDFs read by qpdf, poppler, ghostscript and mutool without a warning" % len(pdfs),
          len(pdfs) >= 10 and not complaints, complaints[:4])
    faults = [fault for pdf in pdfs for fault in font_faults(pdf)]
    check("%d PDFs: fonts of sound programs, descents below the baseline and the programs' "
          "widths" % len(pdfs), not faults, faults[:4])


def check_ring_font():
    pdf = WORK / "ring.pdf"
    run(RING, "--range", "FA40-FA41", "-o", pdf)
    check("ring font: glyph in FA40, none in FA41",
          inside_box(pdf, 1, 0, 0) > 50 and inside_box(pdf, 1, 1, 0) == 0)


def check_annotations():
    pua = WORK / "pua.pdf"
    result = run(EUDC, "--phonetic", DICTS / "phonetic_pua.dat", "--cangjie",
                 DICTS / "cangjie_pua.dat", "-o", pua)
    check("annotated table runs", result.returncode == 0, result.stderr)
    check("both input methods give 223 pages", pages(pua)[0] == 223)
    first = text(pua, 1)
    check("Phonetic column before Cangjie", 0 <= first.find("注音") < first.find("倉頡"))
    check("radicals of FA40", "ㄅㄚˉ" in compact(first) and "日月" in first, first[:400])
    # FEFE is PUA index 784: page 29 at 28 cells a page.
    fefe = text(pua, 29)
    check("seven readings of FEFE", "ㄅㄧㄚˉ ㄆㄧㄛˊ" in fefe and "ㄋㄧㄠˊ" in fefe and "重卜難田女" in fefe)

    big5 = WORK / "big5.pdf"
    run(EUDC, "--cangjie", DICTS / "cangjie_big5.dat", "--phonetic", DICTS / "phonetic_big5.dat",
        "--codes", "big5", "-o", big5)
    first = text(big5, 1)
    check("Cangjie column first when given first", 0 <= first.find("倉頡") < first.find("注音"))
    check("Big5 dictionaries give the same radicals",
          "ㄅㄚˉ" in compact(first) and "日月" in first and "重卜難田女" in text(big5, 29))
    # One column of 1588 at (2000 - 1588) / 2; the glyph box stays in place.
    check("annotated cell keeps its glyph", inside_box(pua, 1, 0, 0, x0=206) > 50)


def check_choices():
    pdf = WORK / "defined.pdf"
    run(EUDC, "--defined-only", "-o", pdf)
    first = text(pdf, 1)
    check("defined only: 3112 codes on 16 pages", pages(pdf)[0] == 16)
    check("defined only leaves out empty codes", "FA41" not in first and "FA42" in first)
    check("defined only: cell 1 is FA42 and has its glyph", inside_box(pdf, 1, 1, 0) > 50)
    check("defined only keeps the last code", "C8FE" in text(pdf, 16))

    pdf = WORK / "range.pdf"
    run(EUDC, "--range", "fa40-FA4F", "-o", pdf)
    page = text(pdf, 1)
    check("range: one page of 16 codes", pages(pdf)[0] == 1 and "FA4F" in page and "FA50" not in page)

    pdf = WORK / "landscape.pdf"
    run(EUDC, "--paper", "letter", "--landscape", "--range", "8140-8140", "-o", pdf)
    check("letter landscape", pages(pdf)[1].startswith("792 x 612"), pages(pdf)[1])

    help_en, help_zh = run("--help"), run("--help", lang="zh_TW.UTF-8")
    check("help in the user's language", help_en.returncode == 0 and "Usage:" in help_en.stdout
          and "用法：" in help_zh.stdout)


# The runs of the program that must never harm a user's file nor call a
# broken table a success. Each runs in a folder of its own holding v.TTE (the
# test bed's font), phon.tbl (its Phonetic dictionary) and kept.pdf (an
# earlier table), plus what its set-up adds; afterwards the folder must hold
# the same files, with their modes and owners, but for those named in `after`,
# which must now be PDFs. A run as "nobody" runs unprivileged; as "root", as root.
Run = namedtuple("Run", "name args status message after setup how lang env user",
                 defaults=(None, None, "C.UTF-8", None, None))
SAME = {}
KEPT = "old table"


def glyph_ends():
    """(PUA index, end of its outline in the file) of each glyph with an outline."""
    font = TTFont(str(EUDC))
    glyf = table_offset(EUDC.read_bytes(), b"glyf")
    loca = font["loca"]
    return [(int(name[3:], 16) - 0xE000, glyf + loca[g + 1])
            for g, name in enumerate(font.getGlyphOrder())
            if name.startswith("uni") and loca[g + 1] > loca[g]]


def cut_font(folder):
    """The font cut right after the last outline that ends within 100 KB."""
    (folder / "cut.TTE").write_bytes(EUDC.read_bytes()[:CUT])


def cut_font_message():
    lost = [index for index, end in glyph_ends() if end > CUT]
    return ("cut.TTE: the file is cut short: it ends before the glyphs of %d codes (%s, "
            % (len(lost), code_text(lost[0])))


def table_offset(data, tag):
    for k in range(struct.unpack(">H", data[4:6])[0]):
        record = data[12 + 16 * k:28 + 16 * k]
        if record[:4] == tag:
            return struct.unpack(">I", record[8:12])[0]
    raise ValueError(tag)


def damaged_font(folder):
    """4 KB in the middle of the glyph table overwritten with noise."""
    data = bytearray(EUDC.read_bytes())
    start = table_offset(data, b"glyf") + 20000
    noise = random.Random(14)
    data[start:start + 4096] = bytes(noise.randrange(256) for _ in range(4096))
    (folder / "damaged.TTE").write_bytes(bytes(data))


def only_font(name):
    """A fontconfig that knows no font but the one named."""
    def set_up(folder):
        only(folder, name)
    return set_up


def no_chinese_fonts(folder):
    only(folder, "NOPUA.TTF")


def only(folder, name):
    """fontconfig's cache goes outside the run's folder, which must hold only
    what the run was given and made."""
    fonts = folder / "fonts"
    fonts.mkdir()
    shutil.copy(FONTS / name, fonts)
    (folder / "fonts.conf").write_text(
        "<fontconfig><dir>%s</dir><cachedir>%s</cachedir></fontconfig>"
        % (fonts, WORK / "fontconfig-cache" / folder.name))


def linked_in_folder(folder):
    (folder / "d").mkdir()
    (folder / "d" / "old.pdf").write_text(KEPT)
    (folder / "d" / "link.pdf").symlink_to("old.pdf")
    (folder / "old.pdf").write_text(KEPT)


def socket_at(folder):
    sock = socket.socket(socket.AF_UNIX)
    sock.bind(str(folder / "sock"))
    sock.close()


CUT = max(end for _, end in glyph_ends() if end <= 100 * 1024)
RUNS = [
    Run("range in the wrong order", ["v.TTE", "-r", "FA41-FA40", "-o", "kept.pdf"], 2,
        "the start code is greater than the end code", SAME),
    Run("range in the wrong order, Chinese", ["v.TTE", "-r", "FA41-FA40", "-o", "kept.pdf"], 2,
        "起始碼大於結束碼！", SAME, lang="zh_TW.UTF-8"),
    Run("range of no EUDC code", ["v.TTE", "-r", "FF40-FF41", "-o", "kept.pdf"], 2,
        "不是正確的外字字碼！（起始碼 FF40）", SAME, lang="zh_TW.UTF-8"),
    Run("missing dictionary", ["v.TTE", "--phonetic", "missing.dat", "-o", "kept.pdf"], 1,
        "missing.dat: the radical dictionary cannot be read", SAME),
    Run("folder as dictionary", ["v.TTE", "--cangjie", "sub", "-o", "kept.pdf"], 1,
        "sub: the radical dictionary cannot be read", SAME, lambda f: (f / "sub").mkdir()),
    Run("page too small", ["v.TTE", "--paper", "a5", "--phonetic", "phon.tbl", "-o", "kept.pdf"],
        1, "too small", SAME),
    Run("dictionary as font", ["phon.tbl", "-o", "new.pdf"], 1, "phon.tbl: not a font file", SAME),
    Run("font without PUA", [FONTS / "NOPUA.TTF", "-o", "new.pdf"], 1, "maps no character", SAME),
    Run("missing font", ["none.TTE", "-o", "new.pdf"], 1, "none.TTE: cannot be read: No such file",
        SAME),
    Run("unwritable folder", ["v.TTE", "-o", "no-folder/x.pdf"], 1, "cannot write", SAME),
    # Inputs are never outputs.
    Run("font as output", ["v.TTE", "-o", "v.TTE"], 1, "the output v.TTE is the input v.TTE",
        SAME),
    Run("link to the font as output", ["v.TTE", "-o", "link.TTE"], 1,
        "the output link.TTE is the input v.TTE", SAME,
        lambda f: (f / "link.TTE").symlink_to("v.TTE")),
    Run("font named as its own table", ["t.pdf"], 1, "the output t.pdf is the input t.pdf", SAME,
        lambda f: shutil.copy(EUDC, f / "t.pdf")),
    Run("dictionary as output", ["v.TTE", "--phonetic", "phon.tbl", "-o", "phon.tbl"], 1,
        "the output phon.tbl is the input phon.tbl", SAME),
    # Only a regular file, or a link to one, is replaced.
    Run("FIFO as output", ["v.TTE", "-o", "fifo"], 1, "fifo: is not a regular file", SAME,
        lambda f: os.mkfifo(f / "fifo")),
    Run("socket as output", ["v.TTE", "-o", "sock"], 1, "sock: is not a regular file", SAME,
        socket_at),
    Run("folder as output", ["v.TTE", "-o", "sub"], 1, "sub: is not a regular file", SAME,
        lambda f: (f / "sub").mkdir()),
    Run("link followed, and kept", ["v.TTE", "-r", "FA40-FA4F", "-o", "link.pdf"], 0, "",
        {"kept.pdf"}, lambda f: (f / "link.pdf").symlink_to("kept.pdf")),
    Run("standard output", ["v.TTE", "-r", "FA40-FA4F", "-o", "-"], 0, "", SAME, how="pipe"),
    Run("standard output on a terminal", ["v.TTE", "-o", "-"], 1,
        "standard output is a terminal", SAME, how="terminal"),
    # Damaged fonts are refused, not drawn as empty boxes.
    Run("cut font", ["cut.TTE"], 1, cut_font_message(), SAME, cut_font),
    Run("damaged font", ["damaged.TTE"], 1,
        re.compile(r"damaged\.TTE: the font is damaged: the glyphs of \d+ codes cannot be read "
                   r"\((FE|FD)[0-9A-F]{2}, "), SAME, damaged_font),
    Run("text font", [FONTS / "TEXTPUA.TTF", "-o", "new.pdf"], 0,
        "maps characters outside the private-use area (1 of them, the first U+0041)", {"new.pdf"}),
    # Dictionaries that annotate nothing.
    Run("Windows 95 dictionary read as NT's",
        ["v.TTE", "--phonetic", DICTS / "phonetic_big5.dat", "-o", "new.pdf"], 0,
        "phonetic_big5.dat gives no code of the table its radicals with --codes pua; "
        "with --codes big5 it would", {"new.pdf"}),
    Run("a dictionary of no code", ["v.TTE", "--cangjie", "none.tbl", "-o", "new.pdf"], 0,
        "none.tbl gives no code of the table its radicals: is it the right dictionary?",
        {"new.pdf"}, lambda f: (f / "none.tbl").write_bytes(bytes(258))),
    # The label font.
    Run("unknown label font", ["v.TTE", "--label-font", "No Such Family Anywhere"], 1,
        '"No Such Family Anywhere" is installed', SAME),
    Run("unknown label font, Chinese", ["v.TTE", "--label-font", "No Such Family Anywhere"], 1,
        "沒有安裝「No Such Family Anywhere」", SAME, lang="zh_TW.UTF-8"),
    Run("no Chinese font at all", ["v.TTE"], 1,
        "no font with Chinese characters is installed: install one (such as AR PL UMing TW) "
        "and name its family with --label-font", SAME, no_chinese_fonts,
        env={"FONTCONFIG_FILE": "{folder}/fonts.conf"}),
    Run("label font of CFF outlines", ["v.TTE", "-r", "FA40-FA4F", "--label-font",
                                       "Kestra CFF Labels"], 0, "", {"v.pdf"},
        only_font("CFFLABEL.OTF"), env={"FONTCONFIG_FILE": "{folder}/fonts.conf"}),
    # Ends of a run other than its own.
    Run("killed while writing", ["v.TTE", "--phonetic", "phon.tbl", "--cangjie", "cj.tbl",
                                 "-o", "kept.pdf"], -signal.SIGKILL, "", SAME,
        lambda f: shutil.copy(DICTS / "cangjie_pua.dat", f / "cj.tbl"), how="kill"),
    Run("terminal closed under nohup", ["v.TTE", "--phonetic", "phon.tbl", "-o", "kept.pdf"], 0,
        "", {"kept.pdf"}, how="hangup"),
    Run("write fails at the last byte", ["v.TTE", "-r", "FA40-FA4F", "-o", "kept.pdf"], 1,
        "kept.pdf: writing the PDF failed: File too large", SAME, how=lambda size: size - 1),
    Run("write fails early", ["v.TTE", "-r", "FA40-FA4F", "-o", "kept.pdf"], 1,
        "kept.pdf: writing the PDF failed: File too large", SAME, how=lambda size: 8192),
    # A link in another folder names a file of that folder; standard output
    # may be the font itself.
    Run("link in a folder followed from there", ["v.TTE", "-r", "FA40-FA4F", "-o", "d/link.pdf"],
        0, "", {"d/old.pdf"}, linked_in_folder),
    Run("standard output appending to the font", ["v.TTE", "-r", "FA40-FA4F", "-o", "-"], 1,
        "v.TTE", SAME, how="append v.TTE"),
    Run("standard output opened on the font", ["v.TTE", "-r", "FA40-FA4F", "-o", "-"], 1,
        "v.TTE", SAME, how="read-write v.TTE"),
    # Fonts of every make.
    Run("font read from a pipe", ["/dev/stdin", "-r", "FA40-FA4F", "-o", "new.pdf"], 0, "",
        {"new.pdf"}, how="stdin v.TTE"),
    Run("font read from a process substitution", ["/dev/fd/3", "-r", "FA40-FA4F", "-o", "new.pdf"],
        0, "", {"new.pdf"}, how="fd 3 v.TTE"),
    Run("CFF EUDC font", [FONTS / "CFFEUDC.OTF", "-o", "new.pdf"], 0, "", {"new.pdf"}),
    Run("outlines no PDF embeds", [FONTS / "CFF2.OTF", "-o", "new.pdf"], 1,
        "CFF2.OTF: the font's outlines are neither TrueType nor CFF", SAME),
    Run("glyphs past the last code", [FONTS / "SHAPED.TTE", "-o", "new.pdf"], 0,
        "SHAPED.TTE draws the glyphs of 2 characters of U+F849 to U+F8FF", {"new.pdf"}),
    Run("a collection's face named", [FONTS / "PAIR.TTC", "-o", "new.pdf"], 0,
        'PAIR.TTC is a collection of 2 faces: drawing face 0, "Kestra Pair Left"', {"new.pdf"}),
    Run("a collection's face past the last", [FONTS / "PAIR.TTC", "--face", "2", "-o", "new.pdf"],
        1, "PAIR.TTC: the file holds 2 faces: --face takes 0 to 1", SAME),
    Run("a face that is no number", ["v.TTE", "--face", "first", "-o", "new.pdf"], 2,
        "--face takes the number of a face, 0 for the first: first", SAME),
]


def protect(folder):
    """Every file read-only to all, as chmod 444 leaves it, KAI.TTE a font too."""
    shutil.copy(EUDC, folder / "KAI.TTE")
    for name in ("KAI.TTE", "v.TTE", "kept.pdf"):
        (folder / name).chmod(0o444)


# Files the program must not harm, and inputs it must not read wrong.
RUNS += [
    Run("a write-protected font named as output", ["v.TTE", "-o", "KAI.TTE"], 1,
        "KAI.TTE: cannot be replaced: Permission denied", SAME, protect, user="nobody"),
    Run("a write-protected list", ["v.TTE", "--list", "-o", "kept.pdf"], 1,
        "kept.pdf: cannot be replaced: Permission denied", SAME, protect, user="nobody"),
    Run("a private table stays private", ["v.TTE", "-r", "FA40-FA4F", "-o", "kept.pdf"], 0, "",
        {"kept.pdf"}, lambda f: (f / "kept.pdf").chmod(0o600), user="nobody"),
    Run("another user's table keeps its owner", ["v.TTE", "-r", "FA40-FA4F", "-o", "kept.pdf"], 0,
        "", {"kept.pdf"}, lambda f: os.chown(f / "kept.pdf", NOBODY.pw_uid, NOBODY.pw_gid),
        user="root"),
    Run("a label font without Latin letters", ["v.TTE", "--label-font", "Droid Sans Fallback"], 1,
        'the font "Droid Sans Fallback" lacks characters the labels need', SAME),
    Run("a Phonetic dictionary given as Cangjie", ["v.TTE", "--cangjie", "phon.tbl"], 1,
        "phon.tbl: a Phonetic dictionary, not a Cangjie one: give it with --phonetic", SAME),
    Run("a font given as dictionary", ["v.TTE", "--phonetic", "v.TTE", "-o", "new.pdf"], 1,
        "v.TTE: a font file, not a radical dictionary", SAME),
    Run("an empty dictionary", ["v.TTE", "--cangjie", "empty.tbl"], 1,
        "empty.tbl: not a radical dictionary: it holds 0 bytes", SAME,
        lambda f: (f / "empty.tbl").write_bytes(b"")),
    # The reference fonts of --match, and their index.
    Run("a reference font that is not a font", ["v.TTE", "--list", "--match-font", "phon.tbl"],
        1, "phon.tbl: not a font file", SAME),
    Run("a reference font without Han characters", ["v.TTE", "--match-font", FONTS / "NOPUA.TTF"],
        1, "NOPUA.TTF: holds no standard Han character", SAME),
    Run("a reference font named as output", ["v.TTE", "--match-font", "r.TTF", "-o", "r.TTF"], 1,
        "the output r.TTF is the input r.TTF", SAME, lambda f: shutil.copy(REFERENCES[1], f / "r.TTF")),
    Run("an index that cannot be kept", ["v.TTE", "-r", "FA40-FA4F", *REFERENCES, "-o", "new.pdf"],
        0, re.compile(r"^kestra-table: warning: the index of the reference fonts cannot be kept "
                      r"in /\S+/v\.TTE/kestra/reference-index: the next run builds it again\n$"),
        {"new.pdf"},
        env={"XDG_CACHE_HOME": "{folder}/v.TTE"}),
    Run("an index built before a person's eyes",
        ["v.TTE", "-r", "FA40-FA4F", *REFERENCES, "-o", "new.pdf"], 0,
        re.compile(r"^\rkestra-table: indexing the reference fonts \(once\): 786 glyphs, 100% "
                   r"done\x1b\[K\r\x1b\[K$"), {"new.pdf"}, how="terminal stderr",
        env={"XDG_CACHE_HOME": str(WORK / "terminal-cache")}),
]


def files_in(folder, within=""):
    """Each entry, and those of its folders, as what it is: a file's bytes (or
    "PDF") with its mode, owner and group, a link's target, or its type."""
    state = {}
    for entry in os.scandir(folder):
        info = os.lstat(entry.path)
        name = within + entry.name
        if stat.S_ISLNK(info.st_mode):
            state[name] = ("link", os.readlink(entry.path))
        elif stat.S_ISREG(info.st_mode):
            content = Path(entry.path).read_bytes()
            pdf = content.startswith(b"%PDF-") and content.rstrip().endswith(b"%%EOF")
            owner = (stat.S_IMODE(info.st_mode), info.st_uid, info.st_gid)
            state[name] = ("PDF" if pdf else ("file", content), owner)
        else:
            state[name] = ("other", stat.S_IFMT(info.st_mode))
            if stat.S_ISDIR(info.st_mode):
                state.update(files_in(entry.path, name + "/"))
    return state


def writing(pid, folder, before):
    """Whether the run holds open a file of folder that was not there before."""
    try:
        for fd in os.scandir("/proc/%d/fd" % pid):
            target = Path(os.readlink(fd.path))
            if target.parent == folder and target.name not in before:
                return True
    except OSError:
        pass
    return False


def children(pid):
    try:
        return [int(c) for c in Path("/proc/%d/task/%d/children" % (pid, pid)).read_text().split()]
    except OSError:
        return []


def ended(pid):
    try:
        return Path("/proc/%d/stat" % pid).read_text().rsplit(")", 1)[1].split()[0] == "Z"
    except OSError:
        return True


def wait_for(condition, seconds=10):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.002)
    return True


def start_writing(command, folder, options, before, **popen):
    """Starts the run and stops it as soon as it writes its table, so that what
    comes next (a kill, a hang-up) finds it writing however fast it is."""
    proc = subprocess.Popen(command, cwd=folder, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, **options, **popen)
    if wait_for(lambda: proc.poll() is not None or writing(proc.pid, folder, before)):
        try:
            os.kill(proc.pid, signal.SIGSTOP)
        except ProcessLookupError:
            pass
    return proc


def kill_while_writing(command, folder, options, before):
    """SIGKILL while it writes: nothing may be left, not even a child of it."""
    proc = start_writing(command, folder, options, before)
    stray = children(proc.pid)
    proc.kill()
    proc.wait()
    left = [pid for pid in stray if not wait_for(lambda: ended(pid), 5)]
    for pid in left:
        os.kill(pid, signal.SIGKILL)
    err = proc.stderr.read().decode()
    proc.stderr.close()
    return proc.returncode, err, ["children outlived the run: %s" % left] if left else []


def hang_up_while_writing(command, folder, options, before):
    """As nohup starts it: SIGHUP ignored, then the terminal's hang-up arrives."""
    proc = start_writing(command, folder, options, before, start_new_session=True,
                         preexec_fn=lambda: signal.signal(signal.SIGHUP, signal.SIG_IGN))
    problems = [] if proc.poll() is None else ["the run ended before the hang-up"]
    if not problems:
        os.killpg(proc.pid, signal.SIGHUP)
        os.killpg(proc.pid, signal.SIGCONT)
    _, err = proc.communicate()
    return proc.returncode, err.decode(), problems


def run_with_file_size_limit(limit_of, command, folder, options):
    """The table's size measured first, then written under a limit of limit_of(size)."""
    size = len(subprocess.run(command[:-1] + ["-"], cwd=folder, capture_output=True,
                              **options).stdout)

    def limit():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit_of(size), limit_of(size)))
    result = subprocess.run(command, cwd=folder, capture_output=True, text=True,
                            preexec_fn=limit, **options)
    return result.returncode, result.stderr, []


def feed(fd, path):
    try:
        os.write(fd, path.read_bytes())
    except OSError:
        pass
    os.close(fd)


def drain(fd, shown=None):
    try:
        while chunk := os.read(fd, 1 << 16):
            shown is not None and shown.append(chunk)
    except OSError:
        pass


def run_plainly(how, command, folder, options):
    problems = []
    if how in ("terminal", "terminal stderr"):
        primary, secondary = pty.openpty()
        # Whatever reaches the terminal is read, so that a run that writes there ends.
        shown = []
        reader = threading.Thread(target=drain, args=(primary, shown))
        reader.start()
        streams = {"stdout": secondary, "stderr": subprocess.PIPE} if how == "terminal" else \
            {"stdout": subprocess.DEVNULL, "stderr": secondary}
        result = subprocess.run(command, cwd=folder, text=True, **streams, **options)
        os.close(secondary)
        reader.join()
        os.close(primary)
        said = result.stderr if how == "terminal" else b"".join(shown).decode()
        return result.returncode, said, problems
    if how and how.startswith(("append ", "read-write ")):
        # Standard output opened on a file of the folder, as ">>" and "1<>" open it.
        mode, name = how.split()
        flags = os.O_WRONLY | os.O_APPEND if mode == "append" else os.O_RDWR
        out = os.open(folder / name, flags)
        result = subprocess.run(command, cwd=folder, stdout=out, stderr=subprocess.PIPE, **options)
        os.close(out)
        return result.returncode, result.stderr.decode(), problems
    if how and how.startswith(("stdin ", "fd 3 ")):
        # The font through a pipe, as "cat v.TTE |" and "<(cat v.TTE)" give it.
        read, write = os.pipe()
        feeder = threading.Thread(target=feed, args=(write, folder / how.split()[-1]))
        feeder.start()
        streams = {"stdin": read} if how.startswith("stdin") else \
            {"pass_fds": (3,), "preexec_fn": lambda: os.dup2(read, 3)}
        result = subprocess.run(command, cwd=folder, capture_output=True, **streams, **options)
        os.close(read)
        feeder.join()
        return result.returncode, result.stderr.decode(), problems
    result = subprocess.run(command, cwd=folder, capture_output=True, **options)
    if how == "pipe" and not (result.stdout.startswith(b"%PDF-") and b"%%EOF" in result.stdout[-8:]):
        problems.append("standard output holds no PDF")
    return result.returncode, result.stderr.decode(), problems


def run_case(case, folder, before, program=PROGRAM):
    command = [str(program), *map(str, case.args)]
    if case.user == "nobody" and os.geteuid() == 0:
        command = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"] + command
    env = dict(os.environ, LC_ALL="", LC_MESSAGES="", LANG=case.lang)
    env.update({name: value.format(folder=folder) for name, value in (case.env or {}).items()})
    options = {"env": env}
    if case.how == "kill":
        return kill_while_writing(command, folder, options, before)
    if case.how == "hangup":
        return hang_up_while_writing(command, folder, options, before)
    if callable(case.how):
        return run_with_file_size_limit(case.how, command, folder, options)
    return run_plainly(case.how, command, folder, options)


def check_runs():
    # Where nobody may reach the program and its folders, whatever folder the
    # build is in.
    unprivileged = Path(tempfile.mkdtemp(prefix="kestra-table-runs-"))
    unprivileged.chmod(0o755)
    shutil.copy(PROGRAM, unprivileged / "kestra-table")
    mask = os.umask(0)
    os.umask(mask)
    for number, case in enumerate(RUNS):
        if case.user == "root" and os.geteuid() != 0:
            print("SKIPPED: %s: needs root, to give a file to another user" % case.name)
            continue
        as_nobody = case.user == "nobody" and os.geteuid() == 0
        folder = ((unprivileged if as_nobody else WORK / "runs") / str(number)).resolve()
        folder.mkdir(parents=True)
        shutil.copy(EUDC, folder / "v.TTE")
        shutil.copy(DICTS / "phonetic_pua.dat", folder / "phon.tbl")
        (folder / "kept.pdf").write_text(KEPT)
        if case.setup:
            case.setup(folder)
        if as_nobody:
            for path in [folder, *folder.iterdir()]:
                os.chown(path, NOBODY.pw_uid, NOBODY.pw_gid, follow_symlinks=False)
        runner = (NOBODY.pw_uid, NOBODY.pw_gid) if as_nobody else (os.geteuid(), os.getegid())
        before = files_in(folder)
        status, err, problems = run_case(case, folder, before,
                                         unprivileged / "kestra-table" if as_nobody else PROGRAM)
        found = (case.message.search(err) if hasattr(case.message, "search")
                 else case.message in err)
        check(case.name, status == case.status and found and not problems,
              "status %d, %r %s" % (status, err, problems))
        new_file = (0o666 & ~mask, *runner)
        expected = dict(before, **{name: ("PDF", before[name][1] if name in before else new_file)
                                   for name in case.after})
        after = files_in(folder)
        check("%s: files afterwards" % case.name, after == expected,
              sorted(set(after.items()) ^ set(expected.items()), key=str)[:4])
    shutil.rmtree(unprivileged)


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    WORK.mkdir(parents=True)
    os.environ["XDG_CACHE_HOME"] = str(WORK / "cache")
    check_whole_table()
    check_ring_font()
    check_annotations()
    check_choices()
    check_fonts_of_unusual_make()
    check_label_fonts()
    check_list()
    check_matching()
    check_names_in_header()
    check_runs()
    check_readers()
    print("table_pdf: %d passed, %d failed" % (results["passed"], results["failed"]))
    return 1 if results["failed"] else 0


if __name__ == "__main__":
    sys.exit(main())
