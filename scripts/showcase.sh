#!/usr/bin/env bash
# Shows the screensaver on a machine without a display. Starts a private Xvfb,
# runs the installed screensaver full-screen on it until each of the three
# groups of shapes has had its turn, saves a screenshot of each group and one
# of the preview pane as PNG files, ends everything it started and prints the
# files' paths. scripts/run.sh calls it when no X display can be opened.
#
# usage: scripts/showcase.sh [INSTALL_DIR [OUT_DIR]]
#   INSTALL_DIR  an installation directory (calvetrin, config.exe, main.pak,
#                preview.ppk); default build/install/lib/calvetrin
#   OUT_DIR      where group-1.png, group-2.png, group-3.png (in the order
#                shown) and preview.png go; default build/showcase
#
# The installation directory is only read: the run uses a directory of links
# to its files, its own registry file and its own user folder for settings.
# Exit status: 0 when every picture was taken and the screensaver ended with
# 0, 1 on any failure, 2 for wrong usage.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
project=$(dirname "$here")
usage="usage: showcase.sh [INSTALL_DIR [OUT_DIR]] (default build/install/lib/calvetrin build/showcase)"
case "${1:-}" in
  --help | -h)
    echo "$usage"
    exit 0
    ;;
esac
if [ $# -gt 2 ]; then
  echo "$usage" >&2
  exit 2
fi
source_dir=$(realpath -m "${1:-$project/build/install/lib/calvetrin}")
out=$(realpath -m "${2:-$project/build/showcase}")

# Seconds each group is in view. Short, so that the whole tour takes about
# ten seconds; the screenshots are taken half a turn into each turn, which
# leaves 1.5 s either side for the uncertainty of when the first frame came.
phase=3
screen=1280x1024x24
pane=152x112+0+0

say() { echo "showcase: $*"; }
die() {
  echo "showcase: $*" >&2
  exit 1
}

for f in calvetrin config.exe; do
  [ -x "$source_dir/$f" ] || die "$source_dir/$f is missing (build and install first: scripts/run.sh)"
done
tools=(Xvfb xdotool xwininfo import convert identify)
for t in "${tools[@]}"; do
  command -v "$t" >/dev/null || { "$here/install-deps.sh" showcase; break; }
done
for t in "${tools[@]}"; do
  command -v "$t" >/dev/null || die "$t is not installed"
done

# The harness (tests/harness/harness.sh) keeps the private X server and the
# processes, and ends them on every exit, including Ctrl+C.
source "$project/tests/harness/harness.sh"
harness_init
work=$OUT

now_ms() { date +%s%3N; }

# sleep_until MS: sleeps until the time now_ms would give MS.
sleep_until() {
  local left=$(($1 - $(now_ms)))
  [ "$left" -le 0 ] || sleep "$((left / 1000)).$(printf %03d $((left % 1000)))"
}

# "Lit": a pixel brighter than a tenth of full scale in any channel, which
# is all that is assumed about the shapes.
brightest='%[fx:max(maxima.r,maxima.g,maxima.b)]'
above_tenth() { awk -v m="$1" 'BEGIN { exit !(m > 0.1) }'; }
screen_lit() { above_tenth "$(import -window root -format "$brightest" info:-)"; }
file_lit() { above_tenth "$(convert "$1" -format "$brightest" info:-)"; }

# saver_failed WHAT: reports that the screensaver ended too early, with the
# end of what it printed, and ends the script.
saver_failed() {
  local rc=0
  wait "$saver_pid" || rc=$?
  echo "showcase: the screensaver ended $1 (exit code $rc); its last output:" >&2
  if [ -s "$work/calvetrin.err" ] || [ -s "$work/calvetrin.out" ]; then
    cat "$work/calvetrin.out" "$work/calvetrin.err" | tail -n 20 | sed 's/^/  /' >&2
  else
    echo "  (nothing)" >&2
  fi
  exit 1
}

# Old pictures go first, so that a failed run cannot leave them looking new.
mkdir -p "$out"
rm -f "$out"/group-[123].png "$out"/preview.png

# A black root window: nothing on the screen is lit until the screensaver draws.
start_xserver "$screen"

# The private installation directory: links to the installed files, and a
# registry file naming it. The settings config.exe writes go to a private user
# folder, never to the caller's own.
install="$work/install"
mkdir "$install"
for f in calvetrin config.exe main.pak preview.ppk; do
  [ -e "$source_dir/$f" ] && ln -s "$source_dir/$f" "$install/$f"
done
export CALVETRIN_REGISTRY="$work/calvetrin.reg" XDG_CONFIG_HOME="$work/config"
write_registry "$CALVETRIN_REGISTRY" "$install"
"$install/config.exe" --mouse-quits no --spin 7 --phase "$phase" >"$work/config.log" 2>&1 ||
  die "config.exe could not write the settings: $(tail -n 3 "$work/config.log")"
[ -s "$XDG_CONFIG_HOME/calvetrin/cfg" ] || die "config.exe wrote no settings file in $XDG_CONFIG_HOME/calvetrin"

say "running the screensaver on a private X server ($DISPLAY, ${screen%x*}), $phase s per group"
start calvetrin "$install/calvetrin"
saver_pid=$PID

# The animation clock starts at about the first frame, so the turns are
# timed from it: the middle between the last dark screenshot and the first
# lit one.
dark=$(now_ms)
deadline=$((dark + 60000))
while :; do
  polled=$(now_ms)
  running "$saver_pid" || saver_failed "before it drew anything"
  screen_lit && break
  dark=$polled
  [ "$polled" -lt "$deadline" ] || die "the screensaver drew nothing within 60 s"
  sleep 0.1
done
first_frame=$(((dark + polled) / 2))

for k in 0 1 2; do
  sleep_until $((first_frame + k * phase * 1000 + phase * 500))
  running "$saver_pid" || saver_failed "during the turn of group $((k + 1))"
  import -window root "$out/group-$((k + 1)).png"
  file_lit "$out/group-$((k + 1)).png" || say "warning: group-$((k + 1)).png shows nothing lit"
done

# Escape ends the run with exit code 0; SIGTERM is the fallback, then SIGKILL.
xdotool key Escape
saver_ended() { ! running "$saver_pid"; }
if ! wait_for 15 saver_ended; then
  say "the screensaver did not end within 15 s of Escape; ending it with SIGTERM"
  stop "$saver_pid"
fi
wait_exit "$saver_pid" 0
saver_rc=$EXIT_CODE

# The preview pane is a child window at the top left of the window whose id
# /p names; the root window serves as that window here. The picture is
# painted pixel by pixel, so it is taken once two screenshots agree.
root_id=$(xwininfo -root | awk '/Window id:/ { print $4 }')
start preview "$install/calvetrin" /p "$((root_id))"
preview_pid=$PID
previous=""
deadline=$(($(now_ms) + 30000))
while :; do
  if ! running "$preview_pid"; then
    rc=0
    wait "$preview_pid" || rc=$?
    die "the preview ended by itself (exit code $rc): $(tail -n 3 "$work/preview.err")"
  fi
  import -window root -crop "$pane" +repage "$work/pane.png"
  signature=$(identify -format '%k %#' "$work/pane.png")
  # More than one colour: the picture, not just the background.
  [ "${signature%% *}" -gt 1 ] && [ "$signature" = "$previous" ] && break
  previous=$signature
  [ "$(now_ms)" -lt "$deadline" ] || die "the preview pane showed no picture within 30 s"
  sleep 0.2
done
mv "$work/pane.png" "$out/preview.png"
# The root window is never destroyed, which is what would end the preview on
# its own; SIGTERM ends it instead.
stop "$preview_pid"

say "pictures of the screensaver:"
for f in group-1 group-2 group-3 preview; do
  echo "  $out/$f.png"
done
if [ "$saver_rc" != 0 ]; then
  die "the screensaver ended with exit code $saver_rc instead of 0"
fi
say "the screensaver ended with exit code 0"
