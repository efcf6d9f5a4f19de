#!/usr/bin/env bash
# Runs every test suite and ends with one summary line over all of them.
#   native   GoogleTest on Linux
#   asan     the same under AddressSanitizer and UndefinedBehaviorSanitizer
#   wine     the cross-built tests, each in its own Wine prefix
#   fuzz     a short smoke run of the dictionary-loader fuzzer
set -uo pipefail
cd "$(dirname "$0")/.."

passed=0
failed=0
failures=()

run_ctest() {  # name build-dir [ctest args...]
    local name=$1 dir=$2
    shift 2
    echo "== $name tests ($dir)"
    local log
    log=$(mktemp)
    ctest --test-dir "$dir" --output-on-failure "$@" 2>&1 | tee "$log"
    local line
    line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
    if [ -z "$line" ]; then
        failures+=("$name: ctest gave no summary")
        failed=$((failed + 1))
    else
        local total fail
        fail=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
        total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
        passed=$((passed + total - fail))
        failed=$((failed + fail))
        [ "$fail" -eq 0 ] || failures+=("$name: $fail failed")
    fi
    rm -f "$log"
}

run_ctest native build/native -j "$(nproc)"
run_ctest asan build/asan -j "$(nproc)"
run_ctest wine build/x64 -j 2

if [ -x scripts/fuzz.sh ] && [ -f ime/fuzz/CMakeLists.txt ]; then
    echo "== fuzz smoke"
    if FUZZ_SECONDS=${FUZZ_SMOKE_SECONDS:-45} bash scripts/fuzz.sh; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        failures+=("fuzz smoke")
    fi
fi

echo
for f in "${failures[@]}"; do echo "FAILED: $f"; done
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
