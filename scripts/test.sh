#!/usr/bin/env bash
# Builds Calvetrin with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every test (unit tests, the replays of the fuzz targets' saved inputs,
# real-OpenGL tests and end-to-end tests under Xvfb), cross-builds the Windows
# folder and runs its tests under Wine, and builds the Debian package.
# Installs the Debian packages it needs first. Arguments go to the Linux ctest.
#
# Every stage runs whatever became of the ones before it; the output ends with
# one line per stage, and the command fails when any stage failed. No random
# fuzzing happens here (scripts/fuzz.sh does that), so the verdict depends only
# on the sources.
set -uo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh || exit 1

build=build/test
summary=()
failed=0

# stage NAME COMMAND...: runs one stage and records how it ended.
stage() {
  local name=$1 start=$SECONDS
  shift
  echo "==== $name"
  if "$@"; then
    summary+=("$(printf '%-14s passed in %d s' "$name" $((SECONDS - start)))")
  else
    summary+=("$(printf '%-14s FAILED after %d s' "$name" $((SECONDS - start)))")
    failed=1
  fi
}

linux_build() {
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCALVETRIN_SANITIZE=ON >/dev/null &&
    cmake --build "$build" -j"$(nproc)"
}

windows() {
  ./scripts/build-windows.sh && ctest --test-dir build/windows/cross --output-on-failure -j"$(nproc)"
}

linux_tests() {
  ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1" \
    LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@"
}

stage "linux build" linux_build
stage "windows" windows
# The Debian package (build/deb), which the Linux tests check.
stage "debian package" ./scripts/build-deb.sh
stage "linux tests" linux_tests "$@"

echo
printf '%s\n' "${summary[@]}"
exit "$failed"
