#!/usr/bin/env bash
# Builds and runs the benchmarks, one suite after another. Each suite is a
# function below; add new ones (Windows programs under Wine, for example) the
# same way and list them in "suites".
#   BENCH_BUILD_DIR       native build folder (default build/bench)
#   BENCH_WINE_BUILD_DIR  x86_64 cross build folder (default build/bench-x64)
#   BENCH_BUDGET_S        seconds the whole run should take (default 570); the
#                         print jobs take more turns than their least only
#                         while it leaves time
set -euo pipefail
cd "$(dirname "$0")/.."

# The one-core sessions and the loops they end in, stopped however the run ends.
sessions=()
stop_sessions() {
    local pid
    for pid in "${sessions[@]}"; do
        pkill -P "$pid" 2>/dev/null || true
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    sessions=()
}
trap stop_sessions EXIT

native_build=${BENCH_BUILD_DIR:-build/bench}
wine_build=${BENCH_WINE_BUILD_DIR:-build/bench-x64}

native_radicals() {
    cmake -S . -B "$native_build" -DCMAKE_BUILD_TYPE=Release -DKESTRA_BENCH=ON \
        -DKESTRA_TESTS=OFF >/dev/null
    cmake --build "$native_build" -j 2 --target radical_benchmarks >/dev/null
    "$native_build/ime/bench/radical_benchmarks" --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true
}

# Whole print jobs, each against the floor of the printer driver (the same
# pages printed with plain GDI in the benchmark's own process, taking turns
# with the program's jobs), a preview page and page turns through the whole
# preview, in a copy of the test-bed prefix; then the two jobs again with the
# whole Wine session held to core 0 while another process keeps that core
# busy. That other process is a second session doing the same, so the time
# the core is shared measures both; whichever finishes first keeps the core
# busy with a loop until the other has finished. Each starts with the
# program's job, as the session on all cores does: the first job a process
# prints grows its heap, which can shift the driver's block and with it the
# faults of every job after. The ratios are taken over each configuration's sessions
# (app/bench/floor_ratios.cpp); the jobs' pages are compared after each
# session (app/bench/compare_with_floor.sh). Past their least turns, the jobs
# take as many turns as the run's budget leaves time for.
wine_printing() {
    cmake -S . -B "$native_build" -DCMAKE_BUILD_TYPE=Release -DKESTRA_BENCH=ON \
        -DKESTRA_TESTS=OFF >/dev/null
    cmake --build "$native_build" -j 2 --target floor_ratios >/dev/null
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
    local logs ratios status=0
    logs=$(mktemp -d)
    ratios=$logs/ratios
    # Half of what is left for the jobs on all cores, the rest for one core.
    printing_session "$template" --budget-s "$(jobs_budget 2)" | tee "$logs/all" || status=1
    "$native_build/app/floor_ratios" "all cores" <"$logs/all" | tee -a "$ratios" || status=1
    echo "-- the two jobs again, two sessions side by side on core 0, each the other's competitor"
    local budget
    budget=$(jobs_budget 1)
    local tag
    for tag in 1 2; do
        # Apart, so that each finds a free display of its own.
        [ "$tag" = 1 ] || sleep 3
        one_core_session "$template" "$tag" "$logs/$tag" --ready-file "$logs/$tag.ready" \
            --go-file "$logs/go" --budget-s "$budget" &
        sessions+=($!)
    done
    # Their jobs start together, once both have started up (or one has failed).
    starting() { [ ! -f "$logs/$1.ready" ] && [ ! -f "$logs/$1.status" ]; }
    while starting 1 || starting 2; do sleep 0.2; done
    touch "$logs/go"
    while [ ! -f "$logs/1.status" ] || [ ! -f "$logs/2.status" ]; do sleep 1; done
    stop_sessions
    cat "$logs/1" "$logs/2"
    [ "$(cat "$logs/1.status" "$logs/2.status")" = "$(printf '0\n0')" ] || status=1
    cat "$logs/1" "$logs/2" | "$native_build/app/floor_ratios" "one core, two sessions" |
        tee -a "$ratios" || status=1
    echo "-- the four ratios against the floor"
    cat "$ratios"
    rm -rf "$logs"
    return $status
}

# Seconds the jobs of the sessions still to run may take, of what is left of
# the run's budget (BENCH_BUDGET_S), a minute kept for what follows them:
# shared among the given number of configurations.
jobs_budget() {
    local left=$((${BENCH_BUDGET_S:-570} - (SECONDS - started) - 60))
    echo $((left > 0 ? left / $1 : 0))
}

# One Wine session of the printing benchmark: template, then its arguments.
printing_session() {
    local template=$1
    shift
    KESTRA_PREFIX_TEMPLATE="$(realpath "$template")" \
        KESTRA_AFTER_WINE="$PWD/app/bench/compare_with_floor.sh" \
        bash scripts/wine-test.sh "$wine_build/app/print_wine_bench.exe" "$@"
}

# A jobs-only session on core 0 (template, tag, log, then its arguments): its
# output goes to the log and its exit status beside it; then it keeps the core
# busy until it is stopped.
one_core_session() {
    local template=$1 tag=$2 log=$3
    shift 3
    exec taskset -c 0 bash -c '
        printing_session "$1" --jobs-only --side-by-side --session "$2" "${@:4}" >"$3" 2>&1
        echo $? >"$3.status"
        exec taskset -c 0 bash -c "while :; do :; done"' _ "$template" "$tag" "$log" "$@"
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

# The matcher: accuracy on labelled fonts of two typefaces, and the speed and
# memory of kestra-table --list --match against fntsample on the same font
# (match/bench/measure_matching.py).
native_matching() {
    cmake -S . -B "$native_build" -DCMAKE_BUILD_TYPE=Release -DKESTRA_BENCH=ON \
        -DKESTRA_TESTS=OFF >/dev/null
    cmake --build "$native_build" -j 2 --target kestra-table >/dev/null
    /usr/bin/python3 match/bench/measure_matching.py "$native_build/table/kestra-table" \
        "$native_build/match-bench"
}

suites=(native_radicals native_table native_matching wine_printing)

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
took=$((SECONDS - started))
echo "== bench: all took $took s (budget ${BENCH_BUDGET_S:-570} s: $([ "$took" -le "${BENCH_BUDGET_S:-570}" ] && echo met || echo MISSED))"
