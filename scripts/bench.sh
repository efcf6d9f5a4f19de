#!/usr/bin/env bash
# Builds and runs the benchmarks, one suite after another. Each suite is a
# function below; add new ones (Windows programs under Wine, for example) the
# same way and list them in "suites".
#   BENCH_BUILD_DIR       native build folder (default build/bench)
#   BENCH_WINE_BUILD_DIR  x86_64 cross build folder (default build/bench-x64)
set -euo pipefail
cd "$(dirname "$0")/.."

native_build=${BENCH_BUILD_DIR:-build/bench}
wine_build=${BENCH_WINE_BUILD_DIR:-build/bench-x64}

busy_loop=
stop_busy_loop() {
    [ -z "$busy_loop" ] || { kill "$busy_loop" 2>/dev/null; wait "$busy_loop" 2>/dev/null || true; }
    busy_loop=
}
trap stop_busy_loop EXIT

native_radicals() {
    cmake -S . -B "$native_build" -DCMAKE_BUILD_TYPE=Release -DKESTRA_BENCH=ON \
        -DKESTRA_TESTS=OFF >/dev/null
    cmake --build "$native_build" -j 2 --target radical_benchmarks >/dev/null
    "$native_build/ime/bench/radical_benchmarks" --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true
}

# Whole print jobs, each against the floor of the printer driver (the same
# pages printed with plain GDI in the benchmark's own process, taking turns
# with the program's jobs), a preview page and page turns through the whole preview,
# in a copy of the test-bed prefix; then the two jobs again with the whole
# Wine session held to core 0 while a busy loop keeps that core busy. The
# jobs' pages are compared after Wine exits (app/bench/compare_with_floor.sh).
#   BENCH_BUSY_NICE  niceness of the busy loop (default 0: it competes with
#                    the session for the core as any other program would; 19
#                    leaves the session the core whenever it wants it)
wine_printing() {
    cmake -S . -B "$wine_build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
        -DCMAKE_BUILD_TYPE=Release -DKESTRA_TESTS=OFF >/dev/null
    cmake --build "$wine_build" -j 2 --target print_wine_bench \
        kestra_bed_setup >/dev/null
    bash scripts/make-prefix.sh "$wine_build/testbed/prefix" "$wine_build" >/dev/null
    local template=$wine_build/testbed/bench-prefix
    rm -rf "$template"
    cp -a "$wine_build/testbed/prefix" "$template"
    # On a display of its own (Xvfb) no window manager runs, and Wine waits
    # 2 s for one each time a window is hidden, the printing box included;
    # told that windows are not managed, it does not wait.
    # BENCH_MANAGED_WINDOWS=1 keeps Wine's default, wait included.
    if [ -z "${DISPLAY:-}" ] && [ "${BENCH_MANAGED_WINDOWS:-0}" != 1 ]; then
        printf '\n[Software\\\\Wine\\\\X11 Driver]\n"Managed"="N"\n' >>"$template/user.reg"
        echo "(no window manager: Wine's windows unmanaged)"
    fi
    local ratios status=0
    ratios=$(mktemp)
    printing_session "$template" "all cores" | tee -a "$ratios" || status=1
    local niceness=${BENCH_BUSY_NICE:-0}
    echo "-- the two jobs again, the whole session on core 0 beside a busy loop at nice $niceness"
    taskset -c 0 nice -n "$niceness" bash -c 'while :; do :; done' &
    busy_loop=$!
    taskset -c 0 bash -c 'printing_session "$@"' _ "$template" "one core, busy nice $niceness" --jobs-only |
        tee -a "$ratios" || status=1
    stop_busy_loop
    echo "-- the four ratios against the floor"
    grep '^ratio ' "$ratios" || echo "(none: a session failed)"
    rm -f "$ratios"
    return $status
}

# One Wine session of the printing benchmark: template, configuration, args.
printing_session() {
    local template=$1 configuration=$2
    shift 2
    KESTRA_PREFIX_TEMPLATE="$(realpath "$template")" \
        KESTRA_AFTER_WINE="$PWD/app/bench/compare_with_floor.sh" \
        bash scripts/wine-test.sh "$wine_build/app/print_wine_bench.exe" \
        --configuration "$configuration" "$@"
}
export -f printing_session
export wine_build

# kestra-table against fntsample on the test bed's EUDC font and on a denser
# one shaped like a real office's (3715 different outlines).
native_table() {
    cmake -S . -B "$native_build" -DCMAKE_BUILD_TYPE=Release -DKESTRA_BENCH=ON \
        -DKESTRA_TESTS=OFF >/dev/null
    cmake --build "$native_build" -j 2 --target kestra-table >/dev/null
    local data="$native_build/table-bench"
    /usr/bin/python3 testbed/make_eudc_fonts.py "$data" >/dev/null
    /usr/bin/python3 testbed/make_dictionaries.py "$data" >/dev/null
    [ -f "$data/DENSE.TTE" ] ||
        /usr/bin/python3 table/bench/make_dense_eudc_font.py "$data/DENSE.TTE" >/dev/null
    /usr/bin/python3 table/bench/race_fntsample.py "$native_build/table/kestra-table" "$data"
}

suites=(native_radicals native_table wine_printing)

# Named suites only, when given: scripts/bench.sh wine_printing
[ $# -eq 0 ] || suites=("$@")

# Each suite's duration, and the whole run's, so a slow machine's can be read off.
started=$SECONDS
for suite in "${suites[@]}"; do
    echo "== bench: $suite"
    suite_started=$SECONDS
    "$suite"
    echo "== bench: $suite took $((SECONDS - suite_started)) s"
done
echo "== bench: all took $((SECONDS - started)) s"
