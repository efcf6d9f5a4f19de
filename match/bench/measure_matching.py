#!/usr/bin/python3
"""The matcher's benchmark: accuracy on labelled EUDC fonts made from AR PL
UMing TW (Ming style) and AR PL UKai TW (Kai style), against the default
reference fonts, and the speed and memory of `kestra-table --list --match`
against fntsample on the same font, the two taking turns, on both cores and
pinned to one (taskset -c 0), with the index cached and built from nothing.

    measure_matching.py KESTRA_TABLE DATA_DIR [RUNS]

KESTRA_TABLE is the built tool; DATA_DIR keeps the labelled fonts (made by
make_labelled_font.py when missing) and the caches. Each figure is printed on
one line with its target: medians of CPU time (user + system of the run and
every process it waited for) and peak memory, and the median of the
run-by-run ratios.
"""
import os
import statistics
import subprocess
import sys
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
import score_matches  # noqa: E402

SOURCES = {
    "Ming": ("/usr/share/fonts/truetype/arphic/uming.ttc", "AR PL UMing TW", 97.0),
    "Kai": ("/usr/share/fonts/truetype/arphic/ukai.ttc", "AR PL UKai TW", 75.0),
}
MIRRORS_SUGGESTED = 3.0
CACHED_CPU_RATIO = 2.0
BUILD_CPU_RATIO = 25.0
PEAK_RATIO = 4.0


def load():
    return open("/proc/loadavg").read().split()[0]


def labelled(data, style):
    font, truth = data / ("%s.tte" % style.lower()), data / ("%s.tsv" % style.lower())
    if not font.exists() or not truth.exists():
        source, face, _ = SOURCES[style]
        subprocess.run([sys.executable, str(HERE / "make_labelled_font.py"), source, face,
                        str(font), str(truth)], check=True)
    return font, truth


def timed(command, env=None):
    with tempfile.TemporaryFile() as out:
        process = subprocess.Popen(command, stdout=out, stderr=subprocess.PIPE, env=env)
        _, status, usage = os.wait4(process.pid, 0)
        error = process.stderr.read()
        process.stderr.close()
        if os.waitstatus_to_exitcode(status) != 0:
            sys.exit("failed: %s\n%s" % (" ".join(map(str, command)),
                                         error.decode(errors="replace")))
    return {"cpu": usage.ru_utime + usage.ru_stime, "peak": usage.ru_maxrss / 1024}


def listed(program, font):
    """The command that lists the font's codes with their suggestions."""
    return [program, "--list", "--match", "-o", "-", str(font)]


def accuracy(program, data, env):
    met = True
    mirrors = []
    for style, (_, _, target) in SOURCES.items():
        font, truth_path = labelled(data, style)
        with tempfile.NamedTemporaryFile("w+") as matches:
            subprocess.run(listed(program, font), stdout=matches, check=True, env=env)
            matches.flush()
            blocks = score_matches.score(score_matches.read_truth(truth_path),
                                         score_matches.read_matches(matches.name))
        right, known = score_matches.right_of_known(blocks)
        share = 100 * right / known
        met &= share >= target
        print("%-4s right first %5.1f %% of %d (target >= %.0f %%: %s)   %s" % (
            style, share, known, target, "met" if share >= target else "NOT MET",
            "  ".join(score_matches.block_shares(blocks))))
        mirrors.append(blocks["Mirrored"])
    suggested = 100 * sum(m[0] for m in mirrors) / sum(m[1] for m in mirrors)
    met &= suggested <= MIRRORS_SUGGESTED
    print("mirror images (no counterpart) given a suggestion: %.1f %% of %d "
          "(Ming %d, Kai %d) (target <= %.0f %%: %s)" % (
              suggested, sum(m[1] for m in mirrors), mirrors[0][0], mirrors[1][0],
              MIRRORS_SUGGESTED, "met" if suggested <= MIRRORS_SUGGESTED else "NOT MET"))
    return met


def race(name, ours, theirs, runs, target, cache_for_run, pinned):
    prefix = ["taskset", "-c", "0"] if pinned else []
    a, b = [], []
    for run in range(runs + 1):
        env = dict(os.environ, XDG_CACHE_HOME=str(cache_for_run(run)))
        x, y = timed(prefix + ours, env), timed(prefix + theirs)
        if run > 0:  # the first is a warm-up
            a.append(x)
            b.append(y)
    median = statistics.median
    cpu_ratio = median(x["cpu"] / y["cpu"] for x, y in zip(a, b))
    peak_ratio = median(x["peak"] / y["peak"] for x, y in zip(a, b))
    where = "one core" if pinned else "two cores"
    print("%-28s %-9s cpu  kestra-table %7.3f s   fntsample %6.3f s   ratio %5.2f (target <= %.0f: "
          "%s) load %s" % (name, where, median(x["cpu"] for x in a), median(y["cpu"] for y in b),
                       cpu_ratio, target, "met" if cpu_ratio <= target else "NOT MET", load()))
    print("%-28s %-9s peak kestra-table %7.1f MiB fntsample %6.1f MiB ratio %5.2f (target <= %.0f: "
          "%s)"
          % (name, where, median(x["peak"] for x in a), median(y["peak"] for y in b),
             peak_ratio, PEAK_RATIO, "met" if peak_ratio <= PEAK_RATIO else "NOT MET"))
    return cpu_ratio <= target and peak_ratio <= PEAK_RATIO


def main(argv):
    if len(argv) not in (3, 4):
        sys.stderr.write(__doc__)
        return 2
    program, data = argv[1], Path(argv[2])
    runs = int(argv[3]) if len(argv) == 4 else 3
    data.mkdir(parents=True, exist_ok=True)
    warm = data / "cache"
    env = dict(os.environ, XDG_CACHE_HOME=str(warm))
    met = accuracy(program, data, env)
    font, _ = labelled(data, "Ming")
    ours = listed(program, font)
    with tempfile.TemporaryDirectory() as out:
        theirs = ["fntsample", "-f", str(font), "-o", str(Path(out) / "fntsample.pdf"),
                  "-i", "0xE000-0xF848"]
        for pinned in (True, False):
            met &= race("6217 glyphs, index cached", ours, theirs, runs, CACHED_CPU_RATIO,
                        lambda run: warm, pinned)
            met &= race("6217 glyphs, index built", ours, theirs, runs, BUILD_CPU_RATIO,
                        lambda run: Path(out) / ("fresh-%d-%d" % (pinned, run)), pinned)
    print("matching: %s" % ("every target met" if met else "a target NOT MET"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
