#!/usr/bin/env bash
# Installs what is missing, builds the test configurations and runs the whole suite:
#   1. every unit and end-to-end test under AddressSanitizer and UndefinedBehaviorSanitizer;
#   2. the threaded tests again under ThreadSanitizer (built with CMake's default generator);
#   3. every fuzz target for a bounded time, starting from its seed corpus;
#   4. the runtime folder for 64-bit ARM: the loader finds every library in its lib/ folder and
#      the unit tests (all but the end-to-end ones, which need a window) pass under qemu-aarch64
#      with those libraries (ARM64_TESTS=0 skips this step).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
FUZZ_SECONDS="${FUZZ_SECONDS:-30}"
ARM64_TESTS="${ARM64_TESTS:-1}"
JOBS="$(nproc)"

"$ROOT/tools/setup.sh" build asan
(cd "$ROOT/build/asan" && ctest --output-on-failure -j "$JOBS")

"$ROOT/tools/setup.sh" build tsan
(cd "$ROOT/build/tsan" && ctest --output-on-failure -j "$JOBS" -L threaded)

"$ROOT/tools/setup.sh" build fuzz
shopt -s nullglob
fuzzers=("$ROOT"/build/fuzz/tests/fuzz/*Fuzzer)
if ((${#fuzzers[@]} == 0)); then
    echo "No fuzz target was built in build/fuzz/tests/fuzz" >&2
    exit 1
fi
for fuzzer in "${fuzzers[@]}"; do
    name="$(basename "$fuzzer")"
    corpus="$ROOT/tests/fuzz/corpus/$name"
    work="$ROOT/build/fuzz/corpus-work/$name"
    mkdir -p "$work"
    echo "Fuzzing $name for ${FUZZ_SECONDS}s"
    (cd "$ROOT/build/fuzz" && "$fuzzer" -max_total_time="$FUZZ_SECONDS" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 "$work" "$corpus")
done

if [[ "$ARM64_TESTS" != 0 ]]; then
    "$ROOT/tools/setup.sh" build arm64
    (cd "$ROOT/build/arm64" && ctest --output-on-failure -j "$JOBS" -LE '^e2e$')
fi
echo "All tests passed."
