#!/usr/bin/env bash
# Builds Vocamint and runs every test headless: a normal build, an AddressSanitizer +
# UndefinedBehaviorSanitizer build, and each fuzzer for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

echo "== include circles"
bash scripts/folder-includes.sh

echo "== normal build"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVOCAMINT_BENCH=ON >/dev/null
cmake --build build/test -j"$jobs"
ctest --test-dir build/test --output-on-failure -j"$jobs" --timeout 300

echo "== sanitizer build"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVOCAMINT_SANITIZE=ON >/dev/null
cmake --build build/asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp":print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build/asan --output-on-failure -j"$jobs" --timeout 600

echo "== fuzzers"
CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVOCAMINT_FUZZ=ON -DVOCAMINT_TESTS=OFF >/dev/null
cmake --build build/fuzz -j"$jobs"
for fuzzer in build/fuzz/fuzz/*_fuzzer; do
    name="$(basename "$fuzzer" _fuzzer)"
    work="$(mktemp -d)"
    cp -r "fuzz/corpus/$name/." "$work/"
    # A fuzzer's own options (its longest input, its dictionary) are in fuzz/NAME_fuzzer.options.
    options=()
    if [ -f "fuzz/${name}_fuzzer.options" ]; then
        read -r -a options <"fuzz/${name}_fuzzer.options"
    fi
    "$fuzzer" -max_total_time=30 -print_final_stats=1 "${options[@]}" "$work" 2>&1 | tail -n 12
    rm -rf "$work"
done
