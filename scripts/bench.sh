#!/usr/bin/env bash
# Builds and runs the benchmarks, one suite after another. Each suite is a
# function below; add new ones (Windows programs under Wine, for example) the
# same way and list them in "suites".
#   BENCH_BUILD_DIR  native build folder (default build/bench)
set -euo pipefail
cd "$(dirname "$0")/.."

native_build=${BENCH_BUILD_DIR:-build/bench}

native_radicals() {
    cmake -S . -B "$native_build" -DCMAKE_BUILD_TYPE=Release -DKESTRA_BENCH=ON \
        -DKESTRA_TESTS=OFF >/dev/null
    cmake --build "$native_build" -j 2 --target radical_benchmarks >/dev/null
    "$native_build/ime/bench/radical_benchmarks" --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true
}

suites=(native_radicals)

for suite in "${suites[@]}"; do
    echo "== bench: $suite"
    "$suite"
done
