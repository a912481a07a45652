# Counted checks for the test scripts (sourced, not run): each check prints
# "ok: ..." or "FAIL: ..." and the script ends with end_checks, which exits 1
# when any check failed.
#
#   source "$(dirname "$0")/../checks.sh"
#   expect "the window appears" wait_for_window 10
#   end_checks "$work"

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# expect WHAT COMMAND...: passes when the command succeeds.
expect() {
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

# Floating-point comparison of measured figures: num_between VALUE LOW HIGH.
num_between() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v >= lo && v <= hi) }'; }

# end_checks [OUTPUT_DIR]: exits 1 with a count when a check failed, naming
# where the test left its output.
end_checks() {
  if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed${1:+; output in $1}" >&2
    exit 1
  fi
  echo "all checks passed${1:+; output in $1}"
}
