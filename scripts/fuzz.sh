#!/usr/bin/env bash
# Builds the radical dictionary fuzzer (clang, libFuzzer with ASan and UBSan)
# and runs it for FUZZ_SECONDS seconds (default 600), starting from the sample
# dictionaries. Exits non-zero when the fuzzer finds a crash, leak or hang.
#   FUZZ_SECONDS    how long to run
#   FUZZ_BUILD_DIR  build folder (default build/fuzz); corpus and crash files go there
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-600}
build=${FUZZ_BUILD_DIR:-build/fuzz}
fuzzer=$build/ime/fuzz/radical_dictionary_fuzzer

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKESTRA_FUZZ=ON -DKESTRA_TESTS=OFF >/dev/null
cmake --build "$build" -j 2 --target radical_dictionary_fuzzer >/dev/null

# Seeds: every sample dictionary under each value of the first byte that the
# fuzzer reads as code form and layout (the loader never interprets it).
seeds=$build/seeds
corpus=$build/corpus
rm -rf "$seeds"
mkdir -p "$seeds" "$corpus" "$build/artifacts"
/usr/bin/python3 testbed/make_dictionaries.py "$seeds/samples"
/usr/bin/python3 - "$seeds" <<'PY'
import os, sys
seeds = sys.argv[1]
samples = os.path.join(seeds, "samples")
for name in sorted(os.listdir(samples)):
    data = open(os.path.join(samples, name), "rb").read()
    for selector in range(8):
        with open(os.path.join(seeds, "%s.%d" % (name, selector)), "wb") as f:
            f.write(bytes([selector]) + data[1:])
PY
rm -rf "$seeds/samples"

echo "fuzz: running for ${seconds}s"
"$fuzzer" -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/" "$corpus" "$seeds" >"$build/fuzz.log" 2>&1 && status=0 || status=$?
grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb|Done [0-9]+ runs' "$build/fuzz.log" || true
if [ $status -ne 0 ]; then
    tail -40 "$build/fuzz.log"
    echo "fuzz: FAILED (see $build/fuzz.log and $build/artifacts/)"
    exit 1
fi
echo "fuzz: no crash"
