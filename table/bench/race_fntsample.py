#!/usr/bin/python3
"""Races kestra-table against fntsample on the same EUDC fonts, the two taking
turns (one warm-up each, then RUNS counted runs), on both cores and pinned to
one (taskset -c 0 for both programs), and prints each figure with its target
on one line: medians of CPU time (user + system of the run and every process
it waited for), wall time and peak memory, and the median of the run-by-run
ratios; the PDF's size against the table the cairo writer made before; the
223-page annotated table's wall time.

    race_fntsample.py KESTRA_TABLE DATA_DIR [RUNS]

DATA_DIR holds EUDC.TTE (the test bed's), DENSE.TTE (make_dense_eudc_font.py)
and the dictionaries of make_dictionaries.py. Both programs run as one process
each, so a run's peak is the peak summed over its processes.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

CPU_RATIO = 0.25
WALL_RATIO = 0.25
PEAK_RATIO = 0.65
SIZE_RATIO = 1.1
ANNOTATED_SECONDS = 0.25
# The same tables as written by the cairo writer with its worker processes
# (commit a25bd36), in bytes.
EARLIER_SIZES = {"EUDC.TTE": 251886, "DENSE.TTE": 1786615}


def load():
    return open("/proc/loadavg").read().split()[0]


def measure(command):
    """Wall seconds, CPU seconds and peak resident MiB of one run."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        sys.exit("failed (%d): %s\n%s" % (process.returncode, " ".join(map(str, command)),
                                          process.stderr.read().decode(errors="replace")))
    process.stderr.close()
    return {"wall": wall, "cpu": usage.ru_utime + usage.ru_stime, "peak": usage.ru_maxrss / 1024}


def verdict(value, target):
    return "met" if value <= target else "NOT MET"


def race(name, ours, theirs, runs):
    measure(ours)
    measure(theirs)
    a, b = [], []
    for _ in range(runs):
        a.append(measure(ours))
        b.append(measure(theirs))
    median = statistics.median
    for figure, unit, target in (("cpu", "s", CPU_RATIO), ("wall", "s", WALL_RATIO),
                                 ("peak", "MiB", PEAK_RATIO)):
        ratio = median(x[figure] / y[figure] for x, y in zip(a, b))
        print("%-34s %-4s kestra-table %7.3f %-3s fntsample %7.3f %-3s ratio %.2f "
              "(target <= %.2f: %s) load %s"
              % (name, figure, median(x[figure] for x in a), unit,
                 median(y[figure] for y in b), unit, ratio, target, verdict(ratio, target),
                 load()))


def main(argv):
    if len(argv) not in (3, 4):
        sys.stderr.write(__doc__)
        return 2
    program, data = argv[1], Path(argv[2])
    runs = int(argv[3]) if len(argv) == 4 else 7
    pinned = ["taskset", "-c", "0"]
    with tempfile.TemporaryDirectory() as out:
        ours_pdf, theirs_pdf = Path(out) / "table.pdf", Path(out) / "fntsample.pdf"
        for font in ("EUDC.TTE", "DENSE.TTE"):
            ours = [program, data / font, "-o", ours_pdf]
            theirs = ["fntsample", "-f", data / font, "-o", theirs_pdf, "-i", "0xE000-0xF848"]
            race("%s, 6217 codes, two cores" % font, ours, theirs, runs)
            race("%s, 6217 codes, one core" % font, pinned + ours, pinned + theirs, runs)
            ratio = ours_pdf.stat().st_size / EARLIER_SIZES[font]
            print("%-34s size kestra-table %d bytes, the cairo writer's %d: ratio %.2f "
                  "(target <= %.2f: %s)" % (font, ours_pdf.stat().st_size, EARLIER_SIZES[font],
                                            ratio, SIZE_RATIO, verdict(ratio, SIZE_RATIO)))
        annotated = [program, data / "DENSE.TTE", "--phonetic", data / "phonetic_pua.dat",
                     "--cangjie", data / "cangjie_pua.dat", "-o", Path(out) / "annotated.pdf"]
        measure(annotated)
        results = [measure(annotated) for _ in range(runs)]
        wall = statistics.median(r["wall"] for r in results)
        print("%-34s wall %.3f s, cpu %.3f s, peak %.1f MiB (target <= %.2f s: %s) load %s"
              % ("DENSE.TTE annotated, 223 pages", wall,
                 statistics.median(r["cpu"] for r in results),
                 statistics.median(r["peak"] for r in results), ANNOTATED_SECONDS,
                 verdict(wall, ANNOTATED_SECONDS), load()))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
