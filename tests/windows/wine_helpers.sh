# Helpers shared by the end-to-end scripts under Wine and Xvfb (wine_e2e.sh,
# installer_wine.sh), sourced by them. The script that sources this sets $out,
# the directory for logs and screenshots, and defines wine_run PROGRAM ARGS...
# for its own Wine prefix.

# Counted checks (expect, fail, pass, end_checks).
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"

# start LOG PROGRAM ARGS...: runs a Windows program in the background as $PID,
# its output in $out/LOG.out and $out/LOG.err.
start() {
  local log=$out/$1
  shift
  wine_run "$@" >"$log.out" 2>"$log.err" &
  PID=$!
}

# wait_exit PID SECONDS: the process's exit code in $EXIT_CODE, or "timeout"
# (the process is then killed).
wait_exit() {
  local deadline=$((SECONDS + $2))
  while kill -0 "$1" 2>/dev/null && [ "$(ps -o stat= -p "$1" 2>/dev/null)" != Z ]; do
    if [ $SECONDS -ge "$deadline" ]; then
      kill -KILL "$1" 2>/dev/null
      wait "$1" 2>/dev/null
      EXIT_CODE=timeout
      return 1
    fi
    sleep 0.1
  done
  wait "$1"
  EXIT_CODE=$?
}

lit_fraction() { convert "$1" -colorspace Gray -threshold 8% -format '%[fx:mean]' info:; }
colours() { convert "$1" -format '%k' info:; }
num_at_least() { awk -v v="$1" -v lo="$2" 'BEGIN { exit !(v >= lo) }'; }

# wait_scene NAME: waits (up to 60 s: Wine and llvmpipe start slowly) until a
# screenshot shows the scene; the last one is $out/NAME.png.
wait_scene() {
  local shot=$out/$1.png deadline=$((SECONDS + 60))
  while [ $SECONDS -lt $deadline ]; do
    import -window root "$shot" 2>/dev/null
    if num_at_least "$(lit_fraction "$shot")" 0.003 && num_at_least "$(colours "$shot")" 100; then return 0; fi
    sleep 0.5
  done
  return 1
}
