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

# Runs ctest in a build folder; leaves its counts in ctest_total and ctest_failed.
run_ctest() {  # name build-dir [ctest args...]
    local name=$1 dir=$2
    shift 2
    echo "== $name tests ($dir)"
    local log line
    log=$(mktemp)
    ctest --test-dir "$dir" --output-on-failure "$@" 2>&1 | tee "$log"
    line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
    rm -f "$log"
    if [ -z "$line" ]; then
        ctest_total=1
        ctest_failed=1
        failures+=("$name: ctest gave no summary")
        return
    fi
    ctest_failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    ctest_total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    [ "$ctest_failed" -eq 0 ] || failures+=("$name: $ctest_failed failed")
}

count_ctest() {
    passed=$((passed + ctest_total - ctest_failed))
    failed=$((failed + ctest_failed))
}

run_ctest native build/native -j "$(nproc)" && count_ctest
run_ctest asan build/asan -j "$(nproc)" && count_ctest

# The Wine programs each hold many GoogleTest cases: count those, from the XML
# reports the programs leave, plus the tests that are no GoogleTest program.
wine_results=build/x64/gtest-results
rm -rf "$wine_results"
run_ctest wine build/x64 -j 2
programs=$(find "$wine_results" -name '*.xml' 2>/dev/null | wc -l)
if [ "$programs" -gt 0 ]; then
    read -r cases case_failures failing_programs < <(/usr/bin/python3 - "$wine_results" <<'PY'
import sys, glob, xml.etree.ElementTree as ET
tests = failures = failing = 0
for path in glob.glob(sys.argv[1] + "/*.xml"):
    root = ET.parse(path).getroot()
    tests += int(root.get("tests", 0)) - int(root.get("disabled", 0)) - int(root.get("skipped", 0))
    bad = int(root.get("failures", 0)) + int(root.get("errors", 0))
    failures += bad
    failing += bad > 0
print(tests, failures, failing)
PY
)
    echo "wine: $cases GoogleTest cases in $programs programs, $case_failures failed"
    # Tests that left no report: the test-bed fixture, and any program that crashed.
    others=$((ctest_total - programs))
    others_failed=$((ctest_failed - failing_programs))
    passed=$((passed + cases - case_failures + others - others_failed))
    failed=$((failed + case_failures + others_failed))
else
    count_ctest
fi

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
