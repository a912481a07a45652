#!/usr/bin/env bash
# The screensaver as a hack of the real xscreensaver (Debian's package), under
# a private Xvfb: Calvetrin is the only program in the user's ~/.xscreensaver,
# "xscreensaver-command -activate" puts our scene on the screen, and
# "-deactivate" ends our process and gives the screen back.
#
# xscreensaver launches no hacks when it runs as root, so as root the test
# runs it as the unprivileged user calvetrin-xss (created when missing); run by
# anyone else, the test runs it as that same user. The program and main.pak
# are copied into a scratch directory under /tmp that this user can read,
# since the build tree may not be.
#
# usage: xscreensaver_e2e.sh PROGRAM MAIN_PAK LSAN_SUPPRESSIONS WORKDIR
# GL_PRELOAD: libraries preloaded into the screensaver only (sanitizer builds;
# ASAN_OPTIONS, LSAN_OPTIONS and UBSAN_OPTIONS are passed on to it then).
# Exit code 77: the machine gives no unprivileged user to run xscreensaver as.
set -u
trap "" PIPE
program=$1
main_pak=$2
lsan_supp=$3
work=$4
rm -rf "$work"
mkdir -p "$work"
source "$(dirname "$0")/../checks.sh"

for tool in xscreensaver xscreensaver-command Xvfb import convert setpriv; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (scripts/install-deps.sh installs it)" >&2; exit 1; }
done

# ---- The user xscreensaver runs as ------------------------------------------------------
if [ "$(id -u)" -eq 0 ]; then
  user=calvetrin-xss
  if ! id -u "$user" >/dev/null 2>&1; then
    # A concurrent run may have made it in the meantime: only its absence counts.
    useradd --system --user-group --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user" \
      2>"$work/useradd.err" || true
    if ! id -u "$user" >/dev/null 2>&1; then
      echo "SKIP: xscreensaver will not launch hacks as root, and no user to run it as could be created:" \
        "$(cat "$work/useradd.err")" >&2
      exit 77
    fi
  fi
  # setpriv execs (runuser would stay in between as the parent): $! is then
  # xscreensaver's own process id.
  as_user() { setpriv --reuid="$user" --regid="$(id -g "$user")" --init-groups "$@"; }
else
  user=$(id -un)
  as_user() { "$@"; }
fi

# ---- The scratch installation, home and logs ----------------------------------------------
scratch=$(mktemp -d /tmp/calvetrin-xss.XXXXXX)
chmod 755 "$scratch"
install=$scratch/install
home=$scratch/home
logs=$scratch/logs
mkdir -m 755 "$install" "$home" "$logs"
# The installation directory: main.pak beside the executable.
cp "$program" "$install/calvetrin"
cp "$main_pak" "$install/main.pak"
chmod 755 "$install/calvetrin"
chmod 644 "$install/main.pak"
hack=$install/calvetrin

preload=${GL_PRELOAD:-}
hack_command="$hack -root --show-fps"
if [ -n "$preload" ]; then
  cp "$lsan_supp" "$install/lsan.supp"
  chmod 644 "$install/lsan.supp"
  # The suppressions as a copy the user can read (the later setting wins).
  # No exact unwinder here: with it, ASan's malloc hook can deadlock inside
  # libgcc's unwinder when llvmpipe registers the frames of compiled shaders.
  lsan="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$install/lsan.supp:print_suppressions=0"
  hack_command="env LD_PRELOAD='$preload' ASAN_OPTIONS='${ASAN_OPTIONS:-}' LSAN_OPTIONS='$lsan' UBSAN_OPTIONS='${UBSAN_OPTIONS:-}' $hack_command"
fi
# xscreensaver runs the line through /bin/sh; the hack's stderr goes to a file
# of its own.
hack_command="$hack_command 2>>$logs/calvetrin.err"

# One program, the one mode, no idle activation, no locking, no fades, no
# splash, no desktop grabs: only the commands below change what is shown.
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
  GL: $hack_command \\n\\

EOF
chown -R "$user" "$home" "$logs"

# ---- Xvfb and xscreensaver, ended on any exit ------------------------------------------------
xvfb=""
daemon=""
running() { kill -0 "$1" 2>/dev/null && [ "$(ps -o stat= -p "$1")" != Z ]; }
# hack_pids: the processes running our copy of the program.
hack_pids() {
  local p
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/exe" 2>/dev/null)" = "$hack" ] && echo "${p#/proc/}"
  done
}
descendants() {
  local child
  for child in $(ps -o pid= --ppid "$1"); do
    echo "$child"
    descendants "$child"
  done
}
# stop PID...: SIGTERM, then SIGKILL to what still runs after 10 s.
stop() {
  local deadline=$((SECONDS + 10)) pid alive
  kill -TERM "$@" 2>/dev/null
  while [ $SECONDS -lt $deadline ]; do
    alive=0
    for pid in "$@"; do running "$pid" && alive=1; done
    [ "$alive" = 0 ] && return
    sleep 0.1
  done
  kill -KILL "$@" 2>/dev/null
}
cleanup() {
  cd / || true
  if [ -n "$daemon" ] && running "$daemon"; then
    local left
    left=$(descendants "$daemon")
    xsc -exit >/dev/null 2>&1
    for _ in $(seq 100); do running "$daemon" || break; sleep 0.1; done
    # shellcheck disable=SC2086
    stop "$daemon" $left
    wait "$daemon" 2>/dev/null
  fi
  local pids
  pids=$(hack_pids)
  # shellcheck disable=SC2086
  [ -z "$pids" ] || stop $pids
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
  fi
  cp -r "$logs/." "$home/.xscreensaver" "$work/" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

# -ac: xscreensaver, running as another user, may connect. -noreset: the
# server would otherwise reset when its last client leaves, and a poll of
# ours that ends while xscreensaver is still connecting would take that
# connection down with it (xscreensaver then exits with 1 at once).
Xvfb -displayfd 3 -ac -noreset -screen 0 1024x768x24 -nolisten tcp +extension GLX 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 600); do
  [ -s "$work/display" ] && break
  running "$xvfb" || break
  sleep 0.05
done
if [ ! -s "$work/display" ]; then
  echo "FAIL: Xvfb did not start" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
display=$(head -n1 "$work/display")
export DISPLAY=":$display"

# xsc ARGS: xscreensaver-command as that user, on this display.
xsc() { as_user env -i HOME="$home" PATH=/usr/bin:/bin DISPLAY="$DISPLAY" timeout 20 xscreensaver-command "$@"; }

# shot NAME: a screenshot as "COLOURS LIT-SHARE".
shot() {
  import -window root "$work/$1.png" 2>/dev/null
  echo "$(convert "$work/$1.png" -format '%k' info:)" \
    "$(convert "$work/$1.png" -colorspace Gray -threshold 8% -format '%[fx:mean]' info:)"
}

# wait_for SECONDS COMMAND...: polls the command until it succeeds.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.2
  done
}
no_hack() { [ -z "$(hack_pids)" ]; }
# scene_shown: our process runs and the screen shows a scene on black: many
# colours and some lit pixels (xscreensaver's own window is black).
scene_shown() {
  [ -n "$(hack_pids)" ] || return 1
  read -r colours lit <<<"$(shot active)"
  [ "${colours:-0}" -gt 50 ] && awk -v v="$lit" 'BEGIN { exit !(v > 0.002 && v < 0.6) }'
}
screen_black() {
  read -r colours lit <<<"$(shot inactive)"
  [ "${colours:-99}" -le 2 ]
}
# fps_reported: a second frame rate reported (the first one includes the
# start), as rate.
fps_reported() {
  rate=$(sed -n 's/^calvetrin: \([0-9.]*\) frames per second$/\1/p' "$logs/calvetrin.err" 2>/dev/null | tail -n2)
  [ "$(wc -l <<<"$rate")" = 2 ] || return 1
  rate=$(tail -n1 <<<"$rate")
}

cd "$scratch" || exit 1
as_user env -i HOME="$home" USER="$user" LOGNAME="$user" PATH=/usr/bin:/bin DISPLAY="$DISPLAY" LIBGL_ALWAYS_SOFTWARE=1 \
  xscreensaver --no-splash --log "$logs/xscreensaver.log" >"$work/xscreensaver.out" 2>&1 &
daemon=$!
started=$SECONDS
if ! wait_for 60 xsc -time >"$work/time.out" 2>&1; then
  state="no longer runs"
  running "$daemon" && state="runs"
  echo "FAIL: xscreensaver did not answer within 60 s; it $state, and xscreensaver-command said:" \
    "$(tail -n2 "$work/time.out")" >&2
  exit 1
fi
pass "xscreensaver runs as $user (answered after $((SECONDS - started)) s)"
expect "no hack runs before activation" no_hack

# ---- Activation: our scene on the screen ------------------------------------------------------
xsc -activate >"$work/activate.out" 2>&1
expect "xscreensaver-command -activate succeeds" [ $? = 0 ]
if wait_for 150 scene_shown; then
  pass "calvetrin runs (pid $(hack_pids | tr '\n' ' ')) and its scene shows in xscreensaver's window ($colours colours, lit share $lit)"
else
  fail "no calvetrin scene on the screen within 150 s (hack: $(hack_pids | tr '\n' ' '); see $work/active.png)"
fi
if wait_for 30 fps_reported; then
  pass "it keeps drawing frames there ($rate frames per second)"
else
  fail "no second frame rate on calvetrin's stderr within 30 s: it does not keep drawing"
fi

# ---- Deactivation: our process ends, the screen is given back -----------------------------------
xsc -deactivate >"$work/deactivate.out" 2>&1
expect "xscreensaver-command -deactivate succeeds" [ $? = 0 ]
expect "deactivation ends calvetrin within 30 s, and none is left running" wait_for 30 no_hack
expect "the screen no longer shows the scene" wait_for 20 screen_black
expect "nothing unexpected on calvetrin's stderr" [ -z "$(grep -v 'frames per second' "$logs/calvetrin.err")" ]

end_checks "$work"
