#!/usr/bin/python3
"""Races kestra-table against fntsample on the same EUDC fonts, the two taking
turns (one warm-up each, then RUNS counted runs), and reports the medians of
wall time and peak memory (the largest process of each run, its workers
included) and the median of the run-by-run ratios.

    race_fntsample.py KESTRA_TABLE DATA_DIR [RUNS]

DATA_DIR holds EUDC.TTE (the test bed's), DENSE.TTE (make_dense_eudc_font.py)
and the dictionaries of make_dictionaries.py.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

WHOLE_TABLE_RATIO = 0.5
ANNOTATED_SECONDS = 1.0


def measure(command):
    """Wall seconds and peak resident MiB of one run."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        sys.exit("failed (%d): %s\n%s" % (process.returncode, " ".join(map(str, command)),
                                          process.stderr.read().decode(errors="replace")))
    process.stderr.close()
    return wall, usage.ru_maxrss / 1024


def race(name, ours, theirs, runs):
    measure(ours)
    measure(theirs)
    a, b = [], []
    for _ in range(runs):
        a.append(measure(ours))
        b.append(measure(theirs))
    ratios = [x[0] / y[0] for x, y in zip(a, b)]
    median = statistics.median
    print("%s (medians of %d runs, taking turns)" % (name, runs))
    print("  kestra-table  wall %.3f s  peak %.1f MiB" % (median(r[0] for r in a),
                                                         median(r[1] for r in a)))
    print("  fntsample     wall %.3f s  peak %.1f MiB" % (median(r[0] for r in b),
                                                         median(r[1] for r in b)))
    print("  wall ratio    %.2f (run by run: min %.2f, max %.2f; target <= %.2f)"
          % (median(ratios), min(ratios), max(ratios), WHOLE_TABLE_RATIO))
    print("  peak ratio    %.2f (target <= 1.00)"
          % (median(r[1] for r in a) / median(r[1] for r in b)))


def main(argv):
    if len(argv) not in (3, 4):
        sys.stderr.write(__doc__)
        return 2
    program, data = argv[1], Path(argv[2])
    runs = int(argv[3]) if len(argv) == 4 else 7
    with tempfile.TemporaryDirectory() as out:
        for font in ("EUDC.TTE", "DENSE.TTE"):
            race("whole table of %s, 6217 codes" % font,
                 [program, data / font, "-o", Path(out) / "table.pdf"],
                 ["fntsample", "-f", data / font, "-o", Path(out) / "fntsample.pdf",
                  "-i", "0xE000-0xF848"], runs)
        annotated = [program, data / "DENSE.TTE", "--phonetic", data / "phonetic_pua.dat",
                     "--cangjie", data / "cangjie_pua.dat", "-o", Path(out) / "annotated.pdf"]
        measure(annotated)
        results = [measure(annotated) for _ in range(runs)]
        print("annotated table of DENSE.TTE, Phonetic and Cangjie, 223 pages")
        print("  kestra-table  wall %.3f s  peak %.1f MiB (target <= %.1f s)"
              % (statistics.median(r[0] for r in results),
                 statistics.median(r[1] for r in results), ANNOTATED_SECONDS))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
