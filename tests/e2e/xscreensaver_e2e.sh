#!/usr/bin/env bash
# The screensaver as a hack of the real xscreensaver (Debian's package), on a
# private Xvfb: Calvetrin is the only program in the user's ~/.xscreensaver,
# "xscreensaver-command -activate" puts our scene, with the frame rate, on the
# screen, and "-deactivate" ends our process and gives the screen back.
# xscreensaver launches no hacks as root: as root the test runs it as the
# account "nobody" that every Debian system has, changing nothing on the
# machine; else as the caller. Program and main.pak are copied where it can read.
# usage: xscreensaver_e2e.sh PROGRAM MAIN_PAK LSAN_SUPPRESSIONS OUT_DIR, GL_PRELOAD.
source "$(dirname "$0")/../harness/harness.sh"
program=$1 main_pak=$2 lsan_supp=$3
harness_init "$4"

if [ "$(id -u)" -eq 0 ]; then
  user=nobody
  # setpriv execs (runuser would stay in between as the parent): $! is then
  # xscreensaver's own process id.
  as_user() { setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups "$@"; }
else
  user=$(id -un)
  as_user() { "$@"; }
fi

scratch=$(mktemp -d /tmp/calvetrin-xss.XXXXXX)
chmod 755 "$scratch"
install=$scratch/install home=$scratch/home logs=$scratch/logs
mkdir -m 755 "$install" "$home" "$logs"
install -m 755 "$program" "$install/calvetrin"
install -m 644 "$main_pak" "$install/main.pak"
hack=$install/calvetrin

# As the settings dialog writes it with "Show frame rate" on and a frame delay chosen.
hack_command="$hack -root --delay 20000 --fps"
if [ -n "${GL_PRELOAD:-}" ]; then
  install -m 644 "$lsan_supp" "$install/lsan.supp"
  # The suppressions where the user can read them. No exact unwinder here: with
  # it, ASan's malloc hook can deadlock inside libgcc's unwinder when llvmpipe
  # registers the frames of compiled shaders.
  lsan="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$install/lsan.supp:print_suppressions=0"
  hack_command="env LD_PRELOAD='$GL_PRELOAD' ASAN_OPTIONS='${ASAN_OPTIONS:-}' LSAN_OPTIONS='$lsan' UBSAN_OPTIONS='${UBSAN_OPTIONS:-}' $hack_command"
fi
# xscreensaver runs the line through /bin/sh. One program, the one mode, no
# idle activation, locking, fades, splash or grabs: only the commands below
# change what is shown.
cat >"$home/.xscreensaver" <<EOF
mode:		one
selected:	0
timeout:	8:00:00
cycle:		0:00:00
lock:		False
lockTimeout:	0:00:00
fade:		False
unfade:		False
splash:		False
dpmsEnabled:	False
grabDesktopImages:	False
grabVideoFrames:	False
programs:	\\
  GL: $hack_command 2>>$logs/calvetrin.err \\n\\

EOF
chown -R "$user" "$home" "$logs"

# hack_pids: the processes running our copy of the program.
hack_pids() { local p; for p in /proc/[0-9]*; do [ "$(readlink "$p/exe" 2>/dev/null)" != "$hack" ] || echo "${p#/proc/}"; done; }
no_hack() { [ -z "$(hack_pids)" ]; }
# xsc ARGS: xscreensaver-command as that user, on this display.
xsc() { as_user env -i HOME="$home" PATH=/usr/bin:/bin DISPLAY="$DISPLAY" timeout 20 xscreensaver-command "$@"; }
# On exit xscreensaver is asked to end, and what still runs is stopped.
at_exit 'xsc -exit; wait_for 10 ended "$daemon"; pids=$(hack_pids); [ -z "$pids" ] || stop $pids'
at_exit 'cp -r "$logs/." "$home/.xscreensaver" "$OUT/"; cd /; rm -rf "$scratch"'

# -ac: xscreensaver, as another user, may connect. -noreset: else the server
# resets when its last client leaves, and a poll of ours ending while
# xscreensaver connects would take that connection down (it exits with 1).
start_xserver 1024x768x24 -ac -noreset

# scene_shown: our process runs, and a scene on xscreensaver's black window.
SCENE_COLOURS=50
scene_shown() { [ -n "$(hack_pids)" ] && scene_in "$(shot active)"; }
screen_black() { [ "$(colours "$(shot inactive)")" -le 2 ]; }

cd "$scratch" || exit 1
as_user env -i HOME="$home" USER="$user" LOGNAME="$user" PATH=/usr/bin:/bin DISPLAY="$DISPLAY" LIBGL_ALWAYS_SOFTWARE=1 \
  xscreensaver --no-splash --log "$logs/xscreensaver.log" >"$OUT/xscreensaver.out" 2>&1 &
daemon=$!
harness_pids+=("$daemon")
started=$SECONDS
if ! wait_for 60 eval 'xsc -time >"$OUT/time.out" 2>&1'; then
  state="no longer runs"
  running "$daemon" && state="runs"
  echo "FAIL: xscreensaver did not answer within 60 s; it $state, and xscreensaver-command said:" \
    "$(tail -n2 "$OUT/time.out")" >&2
  exit 1
fi
pass "xscreensaver runs as $user (answered after $((SECONDS - started)) s)"
expect "no hack runs before activation" no_hack

expect "xscreensaver-command -activate succeeds" eval 'xsc -activate >"$OUT/activate.out" 2>&1'
expect "calvetrin runs and its scene shows in xscreensaver's window within 150 s (see $OUT/active.png)" \
  wait_for 150 scene_shown
expect "the frame rate shows in the lower left corner (see $OUT/fps.png)" wait_for 30 eval 'fps_shown "$(shot fps)" 0 0 768'
expect "the delay reaches the program" eval 'tr "\0" " " <"/proc/$(hack_pids | head -n1)/cmdline" | grep -q -- "--delay 20000 --fps"'

expect "xscreensaver-command -deactivate succeeds" eval 'xsc -deactivate >"$OUT/deactivate.out" 2>&1'
expect "deactivation ends calvetrin within 30 s, and none is left running" wait_for 30 no_hack
expect "the screen no longer shows the scene" wait_for 20 screen_black
expect "nothing on calvetrin's stderr" [ ! -s "$logs/calvetrin.err" ]
end_checks
