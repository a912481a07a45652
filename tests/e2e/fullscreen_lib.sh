# Shared helpers for the full-screen end-to-end tests (sourced, not run).
#
# Every case gets a fresh installation directory under the test's output
# directory, named by its own registry file, and a fresh user folder
# (XDG_CONFIG_HOME) for the user's own settings; the screensaver is started in
# the background with CALVETRIN_REGISTRY pointing at that file, driven with
# xdotool and watched through screenshots and its exit code.
#
# Environment (set by tests/e2e/fullscreen.cmake):
#   CALVETRIN_EXE     the screensaver
#   FULLSCREEN_PROBE  the pixel-check helper (fullscreen_probe.cpp)
#   FULLSCREEN_OUT    this test's output directory (screenshots, logs)
#   CALVETRIN_PAK     archive tool (optional)       CALVETRIN_CONFIG  config.exe (optional)
#   DEFAULT_MAIN_PAK  default content               DEFAULT_PREVIEW_PPK  default preview picture
#   CUBE_MAIN_PAK     the cube test archive (optional)
#   FULLSCREEN_GL_PRELOAD  libraries preloaded into the screensaver (sanitizer builds)
set -u

: "${CALVETRIN_EXE:?}" "${FULLSCREEN_PROBE:?}" "${FULLSCREEN_OUT:?}"
rm -rf "$FULLSCREEN_OUT"
mkdir -p "$FULLSCREEN_OUT"

# Counted checks (expect, fail, pass, num_between, end_checks).
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"
started_pids=()

# new_install NAME [MAIN_PAK]: a fresh installation directory $INSTALL holding
# links to the companions, the registry file $REGISTRY naming it, and an empty
# user folder: XDG_CONFIG_HOME is exported, so $USER_CFG is the user's own
# settings file.
new_install() {
  INSTALL="$FULLSCREEN_OUT/$1"
  rm -rf "$INSTALL" "$INSTALL.config"
  mkdir -p "$INSTALL" "$INSTALL.config"
  export XDG_CONFIG_HOME="$INSTALL.config"
  USER_CFG="$XDG_CONFIG_HOME/calvetrin/cfg"
  local pak=${2-${DEFAULT_MAIN_PAK:-}}
  [ -n "$pak" ] && ln -s "$pak" "$INSTALL/main.pak"
  [ -n "${DEFAULT_PREVIEW_PPK:-}" ] && [ -e "$DEFAULT_PREVIEW_PPK" ] && ln -s "$DEFAULT_PREVIEW_PPK" "$INSTALL/preview.ppk"
  # A copy, not a link: a test may replace it by a stand-in.
  [ -n "${CALVETRIN_CONFIG:-}" ] && [ -e "$CALVETRIN_CONFIG" ] && cp "$CALVETRIN_CONFIG" "$INSTALL/config.exe"
  REGISTRY="$FULLSCREEN_OUT/$1.reg"
  printf 'Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\Calvetrin\\Settings]\n"Path"="%s/"\n' \
    "$INSTALL" >"$REGISTRY"
}

# Little-endian field writers for the settings file.
le32() {
  local v=$(($1 & 0xffffffff))
  printf "\\x$(printf %02x $((v & 255)))\\x$(printf %02x $(((v >> 8) & 255)))"
  printf "\\x$(printf %02x $(((v >> 16) & 255)))\\x$(printf %02x $(((v >> 24) & 255)))"
}
le8() { printf "\\x$(printf %02x $(($1 & 255)))"; }

# write_cfg QUIT_ON_MOUSE_MOVE SPIN_LEVEL PHASE_SECONDS [DISPLAY_MODE]: the
# settings file "cfg" of $INSTALL (the default for users without their own),
# version 3, built byte by byte.
write_cfg() {
  local textB="made by the e2e test" textA=""
  {
    le32 3
    le8 "$1"
    le32 0
    le32 "${4:-0}"
    le32 ${#textB}
    printf '%s' "$textB"
    le32 ${#textA}
    printf '%s' "$textA"
    le32 "$2"
    le32 "$3"
  } >"$INSTALL/cfg"
}

# set_cfg QUIT_ON_MOUSE_MOVE SPIN_LEVEL PHASE_SECONDS [DISPLAY_MODE]: the
# user's own settings file written by the real configuration program when
# there is one, else the installation's byte by byte. DISPLAY_MODE is a row of
# the display-mode table (default 0).
set_cfg() {
  if [ -n "${CALVETRIN_CONFIG:-}" ] && [ -x "$CALVETRIN_CONFIG" ]; then
    local quits=no
    [ "$1" = 1 ] && quits=yes
    local options=(--mouse-quits "$quits" --spin "$2" --phase "$3")
    [ -n "${4:-}" ] && options+=(--mode "$4")
    CALVETRIN_REGISTRY="$REGISTRY" "$CALVETRIN_CONFIG" "${options[@]}" >/dev/null ||
      fail "config.exe ${options[*]} failed"
    [ -s "$USER_CFG" ] || fail "config.exe wrote no settings file $USER_CFG"
  else
    write_cfg "$@"
  fi
}

# start_saver LOGNAME ARGS...: starts the screensaver with ARGS in the
# background; its pid is $SAVER_PID, its output goes to LOGNAME.out/.err.
start_saver() {
  local log="$FULLSCREEN_OUT/$1"
  shift
  LD_PRELOAD="${FULLSCREEN_GL_PRELOAD:-${LD_PRELOAD:-}}" CALVETRIN_REGISTRY="$REGISTRY" "$CALVETRIN_EXE" "$@" \
    >"$log.out" 2>"$log.err" &
  SAVER_PID=$!
  SAVER_LOG=$log
  started_pids+=("$SAVER_PID")
}

# running PID: the process exists and has not ended (a zombie has ended).
running() {
  local state
  state=$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ]
}

# wait_exit PID SECONDS: waits for the process to end and sets EXIT_CODE;
# fails (and kills it) when it is still running after SECONDS.
wait_exit() {
  local pid=$1 deadline=$((SECONDS + $2))
  while running "$pid"; do
    if [ $SECONDS -ge $deadline ]; then
      # SIGKILL: SDL turns SIGTERM into a quit request, which the run ignores.
      kill -KILL "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
      EXIT_CODE=timeout
      return 1
    fi
    sleep 0.1
  done
  wait "$pid"
  EXIT_CODE=$?
  return 0
}

# wait_lit SECONDS: waits until the screen shows lit pixels; notes how long
# that took.
wait_lit() {
  local out rc
  out=$("$FULLSCREEN_PROBE" wait-lit "$1")
  rc=$?
  echo "  (first frame seen after ${out#waited_ms=} ms)"
  return $rc
}

# shot NAME: a screenshot of the whole screen as NAME.png in the output
# directory; prints the file name.
shot() {
  local file="$FULLSCREEN_OUT/$1.png"
  import -window root "$file" && echo "$file"
}

# stat_of FILE KEY: one figure of the probe's stats for a screenshot.
stat_of() { "$FULLSCREEN_PROBE" stats "$1" | sed -n "s/^$2=//p"; }

# extent NAME SECONDS: the bounding box of everything lit on the screen over
# SECONDS (the probe's extent), kept as NAME.extent with the lit pixels as
# NAME-lit.png in the output directory; prints the file name of the figures.
extent() {
  local base="$FULLSCREEN_OUT/$1"
  "$FULLSCREEN_PROBE" extent "$2" "$base-lit.ppm" >"$base.extent"
  [ -e "$base-lit.ppm" ] && convert "$base-lit.ppm" "$base-lit.png" && rm -f "$base-lit.ppm"
  echo "$base.extent"
}

# figure FILE KEY: one key=value figure from a file of the probe's output.
figure() { sed -n "s/^$2=//p" "$1"; }

# end_saver: ends the screensaver with Escape and expects exit code 0.
end_saver() {
  if ! running "$SAVER_PID"; then
    wait "$SAVER_PID"
    fail "$1: the run had already ended (exit code $?) before Escape"
    return
  fi
  xdotool key Escape
  if wait_exit "$SAVER_PID" 20; then
    expect "$1: Escape ends the run with exit code 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
  else
    fail "$1: still running 20 s after Escape"
  fi
}

cleanup() {
  for pid in "${started_pids[@]}"; do
    if running "$pid"; then kill -KILL "$pid" 2>/dev/null; fi
  done
}
trap cleanup EXIT

# finish: the test's exit status.
finish() {
  end_checks "$FULLSCREEN_OUT"
  exit 0
}
