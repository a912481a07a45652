#!/usr/bin/env bash
# Builds Calvetrin with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every test (unit tests, real-OpenGL tests and end-to-end tests under Xvfb),
# then cross-builds the Windows folder and runs its tests under Wine.
# Installs the Debian packages it needs first. Arguments go to the Linux ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

build=build/test
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCALVETRIN_SANITIZE=ON >/dev/null
cmake --build "$build" -j"$(nproc)"

# Fuzz smoke test: every fuzz target replays its saved regression inputs and
# fuzz for 15 s (its own clang build, build/fuzz).
./scripts/fuzz.sh 15

# The Windows stage: build/windows/dist/ and its tests under Wine and Xvfb.
# Its failure is reported, and the Linux tests still run.
windows_status=0
start=$SECONDS
if ./scripts/build-windows.sh && ctest --test-dir build/windows/cross --output-on-failure -j"$(nproc)"; then
  echo "Windows stage passed in $((SECONDS - start)) s"
else
  windows_status=1
  echo "Windows stage FAILED after $((SECONDS - start)) s" >&2
fi

# The Debian package (build/deb), which the Linux ctest checks; a failed
# build leaves no package, so that test fails too.
./scripts/build-deb.sh || echo "The Debian package build FAILED" >&2

# The Linux tests last, so that ctest's summary ends the output.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
linux_status=0
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@" || linux_status=$?
[ "$windows_status" -eq 0 ] || echo "The Windows stage failed (see above)." >&2
[ "$linux_status" -eq 0 ] && [ "$windows_status" -eq 0 ]
