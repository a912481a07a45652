#!/usr/bin/env bash
# The test command. Without arguments it runs every stage; with stage names,
# only those, in the order given:
#
#   unit     the unit tests of the sanitizer tree (build/test), with the fuzz
#            targets' saved inputs replayed: fast, no display
#   linux    every test of the sanitizer tree: the unit tests, real OpenGL,
#            X11 and the end-to-end tests under Xvfb, the benchmark smoke tests
#   windows  the Windows programs, folder and installer (build/windows) and
#            their tests under Wine
#   package  the Debian package made and checked (build/deb)
#
#   ./scripts/test.sh                 # everything (linux windows package)
#   ./scripts/test.sh unit            # after changing a reader or the maths
#   ./scripts/test.sh linux package   # stages in turn
#
# Each stage installs the Debian packages it needs, builds its own tree
# (CMakePresets.json names them) and runs that tree's tests. Every stage runs
# even when an earlier one failed; the command ends with one line per stage
# and fails when any stage did. No random fuzzing happens here
# (scripts/fuzz.sh does that), so the verdict depends only on the sources.
set -uo pipefail
cd "$(dirname "$0")/.."

all_stages=(linux windows package)
known_stages=(unit "${all_stages[@]}")
usage="usage: scripts/test.sh [STAGE...]   (stages: ${known_stages[*]}; none: ${all_stages[*]})"
case "${1:-}" in
  -h | --help)
    echo "$usage"
    exit 0
    ;;
esac
stages=("$@")
[ ${#stages[@]} -gt 0 ] || stages=("${all_stages[@]}")
for s in "${stages[@]}"; do
  [[ " ${known_stages[*]} " == *" $s "* ]] || { echo "test.sh: no stage '$s'" >&2; echo "$usage" >&2; exit 2; }
done
jobs=$(nproc)

# The sanitizer tree, built whole or only as far as the unit tests need.
sanitizer_tree() {
  ./scripts/install-deps.sh test &&
    cmake --preset test >/dev/null &&
    cmake --build --preset "$1" -j"$jobs"
}
stage_unit() { sanitizer_tree unit && ctest --preset unit -j"$jobs"; }
stage_linux() { sanitizer_tree test && ctest --preset linux -j"$jobs"; }
stage_windows() { ./scripts/build-windows.sh && ctest --preset windows -j"$jobs"; }
stage_package() {
  ./scripts/install-deps.sh package && cmake --preset deb >/dev/null && ctest --preset package
}

summary=()
failed=0
for s in "${stages[@]}"; do
  echo "==== stage $s"
  start=$SECONDS
  if "stage_$s"; then
    verdict=passed
  else
    verdict=FAILED
    failed=$((failed + 1))
  fi
  summary+=("$(printf 'stage %-8s %-6s in %4d s' "$s" "$verdict" $((SECONDS - start)))")
  echo "==== stage $s $verdict"
done

echo
printf '%s\n' "${summary[@]}"
echo "stages: $((${#stages[@]} - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
