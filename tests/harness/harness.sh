# The end-to-end test harness, sourced by every end-to-end script (Linux full
# screen, preview, hack, xscreensaver, the Windows folder and installer under
# Wine) and by scripts/showcase.sh. It owns the script's output directory $OUT,
# the processes it starts and its private X servers, and ends them all on any
# exit, clients first. Checks are counted: each prints "ok: WHAT" or
# "FAIL: WHAT", and end_checks exits 1 when any failed. For example:
#   harness_init "$OUT_DIR"; start_xserver; start saver "$EXE" /s
#   expect "the scene shows" wait_scene saver 60; xdotool key Escape
#   expect_exit "Escape ends the run" 0 "$PID" 20; end_checks
# GL_PRELOAD (sanitizer builds): what `start` preloads into the program under
# test (see with-xvfb.sh). The functions also work under `set -e`.
set -u
trap "" PIPE
HARNESS_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
# expect WHAT COMMAND...: passes when the command succeeds; returns its verdict.
expect() { if "${@:2}"; then pass "$1"; else fail "$1" && return 1; fi; }
# num_between VALUE LOW HIGH: floating-point comparison of measured figures.
num_between() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v != "" && v >= lo && v <= hi) }'; }
end_checks() {
  [ "$failures" -eq 0 ] || { echo "$failures check(s) failed; output in $OUT" >&2 && exit 1; }
  echo "all checks passed; output in $OUT" && exit 0
}

harness_pids=() harness_servers=() harness_at_exit=() harness_tmp=""
# harness_init [DIR]: $OUT is DIR, made empty, or else a scratch directory
# removed on exit.
harness_init() {
  if [ -n "${1:-}" ]; then rm -rf "$1" && mkdir -p "$1" && OUT=$(cd "$1" && pwd)
  else OUT=$(mktemp -d "${TMPDIR:-/tmp}/calvetrin-test.XXXXXX") && harness_tmp=$OUT; fi
}
# at_exit COMMAND: a shell command run on exit, before the processes end.
at_exit() { harness_at_exit+=("$1"); }
harness_cleanup() {
  local c pid
  for c in "${harness_at_exit[@]}"; do eval "$c" >/dev/null 2>&1 || true; done
  [ ${#harness_pids[@]} -eq 0 ] || stop "${harness_pids[@]}"
  [ ${#harness_servers[@]} -eq 0 ] || stop "${harness_servers[@]}"
  for pid in "${harness_pids[@]}" "${harness_servers[@]}"; do [ ! -e "/proc/$pid" ] || wait "$pid" 2>/dev/null || true; done
  [ -z "$harness_tmp" ] || rm -rf "$harness_tmp"
}
trap harness_cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# running PID: the process exists and has not ended (a zombie has ended).
running() { [[ "$(sed -n 's/^.*) \(.\).*/\1/p' "/proc/${1:-none}/stat" 2>/dev/null)" == [^Z] ]]; }
# start NAME COMMAND...: COMMAND in the background as $PID, with $GL_PRELOAD;
# its output goes to $OUT/NAME.out and $OUT/NAME.err.
start() { LD_PRELOAD="${GL_PRELOAD:-${LD_PRELOAD:-}}" "${@:2}" >"$OUT/$1.out" 2>"$OUT/$1.err" & PID=$! && harness_pids+=("$PID"); }
# ended PID...: none of the processes runs any more.
ended() { local pid; for pid in "$@"; do ! running "$pid" || return 1; done; }
# wait_for SECONDS COMMAND...: polls COMMAND until it succeeds, for SECONDS.
wait_for() {
  local deadline=$((SECONDS + $1))
  until "${@:2}"; do [ "$SECONDS" -lt "$deadline" ] && sleep 0.1 || return 1; done
}
# wait_exit PID SECONDS: waits for the process to end and sets EXIT_CODE; one
# still running after SECONDS is killed (EXIT_CODE=timeout, status 1).
wait_exit() {
  EXIT_CODE=timeout
  wait_for "$2" ended "$1" || { kill -KILL "$1" 2>/dev/null; wait "$1" 2>/dev/null; return 1; } || return 1
  EXIT_CODE=0 && wait "$1" 2>/dev/null || EXIT_CODE=$?
}
# expect_exit WHAT CODE PID SECONDS: the process ends within SECONDS with CODE.
expect_exit() { wait_exit "$3" "$4"; expect "$1 (exit code $EXIT_CODE after at most $4 s, expected $2)" [ "$EXIT_CODE" = "$2" ]; }
# stop PID...: SIGTERM, then SIGKILL to what still runs 10 s later.
stop() {
  kill -TERM "$@" 2>/dev/null || true
  wait_for 10 ended "$@" || kill -KILL "$@" 2>/dev/null || true
}

# start_xserver [SIZE [XVFB OPTION...]]: a private Xvfb (default 1024x768x24,
# black root window, GLX) as $XVFB_PID; exports DISPLAY and Mesa's software
# renderer. Ends the script when no server answers within 30 s.
start_xserver() {
  local fd_file
  fd_file=$(mktemp "$OUT/xvfb-display.XXXXXX")
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768x24}" -nolisten tcp -br +extension GLX "${@:2}" \
    3>"$fd_file" 2>>"$OUT/xvfb.log" &
  XVFB_PID=$!
  harness_servers+=("$XVFB_PID")
  # A machine busy with other tests can be slow to start a server.
  wait_for 30 eval '[ -s "$fd_file" ] || ! running "$XVFB_PID"'
  [ -s "$fd_file" ] || { echo "FAIL: Xvfb did not start:" >&2 && cat "$OUT/xvfb.log" >&2 && exit 1; }
  export DISPLAY=":$(head -n1 "$fd_file")" LIBGL_ALWAYS_SOFTWARE=1 && rm "$fd_file"
  unset XSCREENSAVER_WINDOW
}

# shot NAME: a screenshot of the whole screen as $OUT/NAME.png; prints its path.
shot() { import -window root "$OUT/$1.png" 2>/dev/null && echo "$OUT/$1.png"; }
# colours FILE [CROP], lit_share FILE [CROP]: the number of distinct colours,
# and the share of pixels brighter than 8% grey, of the picture or of the
# crop WxH+X+Y of it.
colours() { convert "$1" ${2:+-crop "$2" +repage} -format '%k' info:; }
lit_share() { convert "$1" ${2:+-crop "$2" +repage} -colorspace Gray -threshold 8% -format '%[fx:mean]' info:; }
# scene_in FILE [CROP]: a scene on black: at least $SCENE_COLOURS colours
# (default 100), some pixels lit but not nearly all (a window's own
# background lights all).
scene_in() {
  num_between "$(colours "$1" "${2:-}")" "${SCENE_COLOURS:-100}" 1e12 &&
    num_between "$(lit_share "$1" "${2:-}")" 0.002 0.85
}
# fps_shown FILE X Y H: white text (the frame rate) in the lower left corner of
# the area at X,Y that is H high.
fps_shown() { num_between "$(convert "$1" -crop "130x26+$2+$(($3 + $4 - 26))" +repage -fill black +opaque white -format '%[fx:mean]' info:)" 0.01 1; }
# wait_scene NAME SECONDS [CROP]: screenshots until one shows a scene; the
# last is $OUT/NAME.png.
wait_scene() {
  local deadline=$((SECONDS + $2))
  until scene_in "$(shot "$1")" "${3:-}"; do [ "$SECONDS" -lt "$deadline" ] && sleep 0.3 || return 1; done
}

# write_registry FILE DIR: the Linux registry file whose value "Path" names DIR.
write_registry() {
  printf 'Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\Calvetrin\\Settings]\n"Path"="%s/"\n' \
    "${2%/}" >"$1"
}
# wine_prefix DIR: wine_run's prefix, made afresh; its programs end with the script.
wine_prefix() {
  WINE_PREFIX=$1
  rm -rf "$WINE_PREFIX"
  at_exit "WINEPREFIX='$WINE_PREFIX' ${WINE_SERVER:-/usr/lib/wine/wineserver} -k"
}
# wine_run PROGRAM ARGS...: a Windows program under 64-bit Wine in that prefix.
wine_run() { "$HARNESS_DIR/wine.sh" "$WINE_PREFIX" "$@"; }
# winpath PATH: the Windows name of a path on this machine (drive Z:).
winpath() { printf 'Z:%s' "${1//\//\\}"; }
# wine_wait: waits (up to 120 s) until the prefix's programs have all ended.
wine_wait() { WINEPREFIX=$WINE_PREFIX timeout 120 "${WINE_SERVER:-/usr/lib/wine/wineserver}" -w; }
