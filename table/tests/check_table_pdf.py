#!/usr/bin/python3
"""Runs kestra-table on the test bed's generated EUDC fonts and dictionaries
and reads its PDFs back with poppler-utils (and qpdf, when present).

    check_table_pdf.py KESTRA_TABLE FONT_DIR DICT_DIR WORK_DIR

Ends with one line "N passed, N failed"; exit status 1 when any check failed.
"""
import os
import shutil
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "testbed"))
from make_eudc_fonts import pua_index_to_code  # noqa: E402

PROGRAM, FONTS, DICTS, WORK = (Path(a) for a in sys.argv[1:5])
EUDC = FONTS / "EUDC.TTE"
RING = FONTS / "EUDCRING.TTE"
results = {"passed": 0, "failed": 0}

# Page geometry (0.1 mm): A4 less 5 mm margins, 7 columns of 148 at 182 + 248 c,
# rows 84 apart from 300 down; boxes reach 66 below and right of the cell.
MARGIN = 50
DPI = 150


def check(name, ok, detail=""):
    results["passed" if ok else "failed"] += 1
    if not ok:
        print("FAILED: %s %s" % (name, detail))


def run(*args, lang="C.UTF-8"):
    env = dict(os.environ, LC_ALL="", LC_MESSAGES="", LANG=lang)
    return subprocess.run([str(PROGRAM), *map(str, args)], capture_output=True, text=True,
                          env=env)


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


def dark_pixels(pdf, page, left, top, right, bottom):
    """Dark pixels of the area between page-unit edges (y counted downwards)."""
    def px(units):
        return round((units + MARGIN) / 254 * DPI)
    out = WORK / "crop"
    subprocess.run(["pdftoppm", "-gray", "-r", str(DPI), "-f", str(page), "-l", str(page),
                    "-x", str(px(left)), "-y", str(px(top)), "-W", str(px(right) - px(left)),
                    "-H", str(px(bottom) - px(top)), "-singlefile", str(pdf), str(out)],
                   check=True)
    data = (WORK / "crop.pgm").read_bytes()
    # P5 header: magic, width, height, maximum, each followed by one space.
    fields, offset = [], 0
    while len(fields) < 4:
        end = offset
        while data[end:end + 1].isspace():
            end += 1
        start = end
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[start:end])
        offset = end
    pixels = data[offset + 1:]
    return sum(1 for p in pixels if p < 128)


def inside_box(pdf, page, column, row, x0=182):
    """Dark pixels well inside the box of a cell, away from its outline."""
    x = x0 + 248 * column
    y = 300 + 84 * row
    return dark_pixels(pdf, page, x + 6, y + 6, x + 59, y + 59)


def code_text(index):
    return "%04X" % pua_index_to_code(index)


def check_whole_table():
    pdf = WORK / "all.pdf"
    result = run(EUDC, "-o", pdf)
    check("whole table runs", result.returncode == 0, result.stderr)
    count, size = pages(pdf)
    check("whole table has 32 A4 pages", count == 32 and "(A4)" in size, "%d %s" % (count, size))
    first, second, last = text(pdf, 1), text(pdf, 2), text(pdf, 32)
    check("header names the file and its path",
          "字型：EUDC.TTE" in first and "外字檔案：%s" % EUDC.resolve() in first, first[:200])
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
    check("FA40 has glyph pixels in its box", inside_box(pdf, 1, 0, 0) > 50)
    check("FA41 has none", inside_box(pdf, 1, 1, 0) == 0)
    if shutil.which("qpdf"):
        qpdf = subprocess.run(["qpdf", "--check", str(pdf)], capture_output=True, text=True)
        check("qpdf finds the file sound", qpdf.returncode == 0, qpdf.stdout[-300:])


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


def check_refusals():
    target = WORK / "kept.pdf"
    missing = WORK / "missing.dat"
    cases = [
        (["--range", "FA41-FA40"], "C.UTF-8", 2, "The start code is greater than the end code!"),
        (["--range", "FA41-FA40"], "zh_TW.UTF-8", 2, "起始碼大於結束碼！"),
        (["--range", "FF40-FF41"], "zh_TW.UTF-8", 2, "不是正確的外字字碼！"),
        (["--phonetic", missing], "C.UTF-8", 1, "%s: the radical dictionary cannot be read" % missing),
        (["--cangjie", WORK], "C.UTF-8", 1, "%s: the radical dictionary cannot be read" % WORK),
        (["--paper", "a5", "--phonetic", DICTS / "phonetic_pua.dat"], "C.UTF-8", 1, "too small"),
        (["--label-font", "No Such Family Anywhere"], "C.UTF-8", 1, "No Such Family Anywhere"),
    ]
    for args, lang, status, message in cases:
        target.write_text("old table")
        result = run(EUDC, *args, "-o", target, lang=lang)
        check("refused %s" % args, result.returncode == status and message in result.stderr,
              "%d %r" % (result.returncode, result.stderr))
        check("old file kept after %s" % args, target.read_text() == "old table")

    for font, message in [(DICTS / "cangjie_pua.dat", "not a font file"),
                          (FONTS / "NOPUA.TTF", "maps no character"),
                          (WORK / "none.TTE", "No such file")]:
        fresh = WORK / "fresh.pdf"
        result = run(font, "-o", fresh)
        check("refused font %s" % font.name, result.returncode == 1
              and str(font) in result.stderr and message in result.stderr, result.stderr)
        check("no output for %s" % font.name, not fresh.exists())

    result = run(EUDC, "-o", WORK / "no-folder" / "x.pdf")
    check("unwritable folder", result.returncode == 1 and "cannot write" in result.stderr,
          result.stderr)
    leftovers = [p.name for p in WORK.iterdir() if p.name.startswith(".kestra-table-")]
    check("no temporary file left behind", not leftovers, leftovers)


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    WORK.mkdir(parents=True)
    check_whole_table()
    check_ring_font()
    check_annotations()
    check_choices()
    check_refusals()
    print("table_pdf: %d passed, %d failed" % (results["passed"], results["failed"]))
    return 1 if results["failed"] else 0


if __name__ == "__main__":
    sys.exit(main())
