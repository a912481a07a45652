#!/usr/bin/env bash
# Builds the libFuzzer targets (build/fuzz, clang with AddressSanitizer and
# UndefinedBehaviorSanitizer), makes their seeds, and runs every target in
# turn: first its saved regression inputs (fuzz/regressions/<target>/), then
# SECONDS of fuzzing (default 600) from its working corpus
# (build/fuzz/corpus/<target>/), the generated seeds and the committed ones
# (fuzz/seeds/<target>/, where there are any). Anything found is written to
# build/fuzz/findings/<target>/. Prints one summary line per target; exits 1
# when a regression input or the fuzzing found a crash, leak, timeout or
# out-of-memory.
#
#   scripts/fuzz.sh 30                                 # every target, 30 s each
#   FUZZ_TARGETS="archive mesh" scripts/fuzz.sh 60     # only these
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
  echo "usage: $0 [SECONDS]   (FUZZ_TARGETS=\"archive mesh ...\" selects targets)" >&2
  exit 2
fi
all_targets=(archive image mesh settings registry texture_cache obj config_options preview)
read -r -a targets <<< "${FUZZ_TARGETS:-${all_targets[*]}}"
for t in "${targets[@]}"; do
  [[ " ${all_targets[*]} " == *" $t "* ]] || { echo "$0: no fuzz target '$t' (${all_targets[*]})" >&2; exit 2; }
done

./scripts/install-deps.sh fuzz

build=build/fuzz
cmake --preset fuzz >/dev/null
nice cmake --build --preset fuzz -j"$(nproc)" >/dev/null

rm -rf "$build/seeds"
"$build/fuzzers/fuzz_make_seeds" "$build/seeds" "$build/bin/main.pak" "$build/bin/preview.ppk"

# The targets never read the registry, but the process-wide installation
# path does at start-up: keep the user's registry file out of it.
export CALVETRIN_REGISTRY="$PWD/$build/no-registry.reg"
export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# Memory: no allocation that the readers' limits allow comes near 512 MB
# (the largest is what the image decoder may take for a 4096 x 4096 picture,
# 272 MiB), so a single larger one is a finding even when its pages are never
# touched; 2 GB resident in all. Time: an input still running after 2 s is a
# finding (the slowest seeds take milliseconds).
limits=(-rss_limit_mb=2048 -malloc_limit_mb=512 -timeout=2)

failed=0
summary=()
for t in "${targets[@]}"; do
  fuzzer="$build/fuzzers/fuzz_$t"
  corpus="$build/corpus/$t"
  findings="$build/findings/$t"
  log="$build/logs/$t.log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  : > "$log"

  # Replaying: with files as arguments libFuzzer runs each once and stops at
  # the first that fails.
  replay="none"
  mapfile -t saved < <(find "fuzz/regressions/$t" -type f 2>/dev/null | sort)
  if [ ${#saved[@]} -gt 0 ]; then
    if nice "$fuzzer" "${limits[@]}" "${saved[@]}" >>"$log" 2>&1; then
      replay="${#saved[@]} passed"
    else
      replay="FAILED"
      failed=1
      echo "fuzz $t: a regression input fails; see $log" >&2
    fi
  fi

  before=$(find "$findings" -type f | wc -l)
  dict=()
  [ -f "fuzz/dict/$t.dict" ] && dict=(-dict="fuzz/dict/$t.dict")
  committed=()
  [ -d "fuzz/seeds/$t" ] && committed=("fuzz/seeds/$t")
  status=0
  nice "$fuzzer" -max_total_time="$seconds" "${limits[@]}" "${dict[@]}" \
    -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" "$build/seeds/$t" "${committed[@]}" >>"$log" 2>&1 ||
    status=$?
  found=$(( $(find "$findings" -type f | wc -l) - before ))
  if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
    failed=1
    echo "fuzz $t: finding (exit status $status); see $log and $findings/" >&2
    grep -E '^(==[0-9]+==ERROR|SUMMARY|fuzz property broken|.*runtime error)' "$log" | head -5 >&2 || true
  fi
  # A run that stopped at a finding prints no final statistics: its last
  # status line ("#EXECS ... cov: N ft: N ...") still tells.
  last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  [ -n "$execs" ] || execs=$(sed -n 's/^#\([0-9]*\).*/\1/p' <<< "$last")
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<< "$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<< "$last")
  summary+=("$(printf 'fuzz %-15s execs %-9s cov %-6s ft %-7s findings %-3s regressions %s' \
    "$t" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$found" "$replay")")
done

printf '%s\n' "${summary[@]}"
exit "$failed"
