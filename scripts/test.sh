#!/usr/bin/env bash
# Builds Calvetrin with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every test (unit tests, real-OpenGL tests and end-to-end tests under Xvfb).
# Installs the Debian packages it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

build=build/test
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCALVETRIN_SANITIZE=ON >/dev/null
cmake --build "$build" -j"$(nproc)"

# Fuzz smoke test: every fuzz target replays its saved regression inputs and
# fuzzes for 15 s (its own clang build, build/fuzz). Before ctest, so that
# ctest's summary stays the last lines.
./scripts/fuzz.sh 15

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@"
