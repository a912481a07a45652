#!/usr/bin/env bash
# Hack mode end to end, as xscreensaver uses it: the screensaver draws into a
# window the test owns (made by xparent), under Xvfb. It draws there and
# nowhere else, follows the window's size, ignores keys and clicks, paces its
# frames, and ends with 0 on SIGTERM and when the window is destroyed.
#
# usage: hack_e2e.sh PROGRAM XPARENT MAIN_PAK WORKDIR
# GL_PRELOAD: libraries preloaded into the screensaver only (sanitizer builds).
set -u
trap "" PIPE
program=$1
xparent=$2
main_pak=$3
work=$4
rm -rf "$work"
mkdir -p "$work"
source "$(dirname "$0")/../checks.sh"

preload=${GL_PRELOAD:-${LD_PRELOAD:-}}

# The installation directory: the content beside a registry file naming it.
mkdir -p "$work/install"
ln -s "$main_pak" "$work/install/main.pak"
printf '%s\n' 'Windows Registry Editor Version 5.00' '' \
  '[HKEY_LOCAL_MACHINE\Software\Quorvane\Calvetrin\Settings]' "\"Path\"=\"$work/install/\"" >"$work/registry.reg"
export CALVETRIN_REGISTRY=$work/registry.reg
export XDG_CONFIG_HOME=$work/config

# xparent through two named pipes: its window id comes first.
start_window() {
  rm -f "$work/to-xparent" "$work/from-xparent"
  mkfifo "$work/to-xparent" "$work/from-xparent"
  "$xparent" <"$work/to-xparent" >"$work/from-xparent" &
  xparent_pid=$!
  exec {to_xparent}>"$work/to-xparent" {from_xparent}<"$work/from-xparent"
  read -r -t 20 window <&"$from_xparent" || { fail "xparent did not start"; window=0; }
}
stop_window() {
  echo quit >&"$to_xparent" 2>/dev/null
  exec {to_xparent}>&- {from_xparent}<&-
  wait "$xparent_pid" 2>/dev/null
}
destroy_window() {
  echo destroy >&"$to_xparent" 2>/dev/null
  read -r -t 20 _ <&"$from_xparent"
}

# rect: the window's place on the screen as "X Y W H".
rect() {
  xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF} END {print x, y, w, h}'
}

# lit_in SHOT X Y W H: colours and lit share inside the rectangle, and the lit
# share outside it, as "COLOURS INSIDE OUTSIDE".
lit_in() {
  local shot=$1 x=$2 y=$3 w=$4 h=$5
  local inside outside colours
  colours=$(convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage -format '%k' info:)
  inside=$(convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage -colorspace Gray -threshold 8% -format '%[fx:mean]' info:)
  outside=$(convert "$shot" -fill black -draw "rectangle $x,$y $((x + w - 1)),$((y + h - 1))" \
    -colorspace Gray -threshold 8% -format '%[fx:mean]' info:)
  echo "$colours $inside $outside"
}

# centre_of_lit SHOT: the centre of the lit pixels' bounding box as "X Y".
centre_of_lit() {
  convert "$1" -threshold 8% -trim -format '%[fx:page.x + w / 2] %[fx:page.y + h / 2]' info:
}

# wait_drawn NAME X Y W H: waits (60 s) until the rectangle shows the scene
# on black: many colours and a lit share well below the window's own
# background (which is lit everywhere).
wait_drawn() {
  local name=$1 deadline=$((SECONDS + 60))
  shift
  while [ $SECONDS -lt $deadline ]; do
    import -window root "$work/$name.png" 2>/dev/null
    read -r colours inside outside <<<"$(lit_in "$work/$name.png" "$@")"
    if [ "$colours" -gt 50 ] && awk -v v="$inside" 'BEGIN { exit !(v > 0.002 && v < 0.6) }'; then return 0; fi
    sleep 0.3
  done
  return 1
}

running() { kill -0 "$1" 2>/dev/null && [ "$(ps -o stat= -p "$1")" != Z ]; }
wait_exit() { # PID SECONDS: sets EXIT_CODE, or "timeout" after killing it
  local deadline=$((SECONDS + $2))
  while running "$1"; do
    if [ $SECONDS -ge "$deadline" ]; then kill -KILL "$1"; wait "$1" 2>/dev/null; EXIT_CODE=timeout; return 1; fi
    sleep 0.05
  done
  wait "$1"
  EXIT_CODE=$?
}

# ---- Drawing in the window, resize, input, SIGTERM ----------------------------------
start_window
LD_PRELOAD="$preload" "$program" --window-id "$window" --show-fps >"$work/run.out" 2>"$work/run.err" &
pid=$!
read -r x y w h <<<"$(rect)"
if wait_drawn first "$x" "$y" "$w" "$h"; then
  read -r colours inside outside <<<"$(lit_in "$work/first.png" "$x" "$y" "$w" "$h")"
  pass "draws in the ${w}x${h} window ($colours colours)"
  expect "draws nowhere else on the screen (lit outside: $outside)" [ "$outside" = 0 ]
else
  fail "no scene in the window within 60 s (see $work/first.png)"
fi

xdotool windowsize "$window" 600 440
read -r x y w h <<<"$(rect)"
centred=0
for _ in $(seq 100); do
  import -window root "$work/resized.png" 2>/dev/null
  read -r cx cy <<<"$(centre_of_lit "$work/resized.png")"
  if awk -v cx="$cx" -v cy="$cy" -v x="$x" -v y="$y" -v w="$w" -v h="$h" \
    'BEGIN { exit !(cx > x + w * 0.35 && cx < x + w * 0.65 && cy > y + h * 0.35 && cy < y + h * 0.65) }'; then
    centred=1
    break
  fi
  sleep 0.2
done
expect "follows a resize to ${w}x${h}: the scene is centred in it (centre $cx,$cy)" [ "$centred" = 1 ]
read -r colours inside outside <<<"$(lit_in "$work/resized.png" "$x" "$y" "$w" "$h")"
expect "after the resize still nothing outside the window (lit outside: $outside)" [ "$outside" = 0 ]

xdotool mousemove $((x + 20)) $((y + 20)) click 1
xdotool key Escape key space key Return
sleep 1
expect "keys and clicks do not end it" running "$pid"

sleep 3  # a few more seconds of frames for the rate below
kill -TERM "$pid"
wait_exit "$pid" 10
expect "SIGTERM ends it with 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
rate=$(sed -n 's/^calvetrin: \([0-9.]*\) frames per second$/\1/p' "$work/run.err" | tail -n1)
expect "frames are paced to about 30 per second by default (last reported: ${rate:-none})" \
  awk -v r="${rate:-0}" 'BEGIN { exit !(r > 3 && r <= 33) }'
stop_window

# ---- --fps, and the window given the xscreensaver way ----------------------------------
start_window
read -r x y w h <<<"$(rect)"
XSCREENSAVER_WINDOW=$(printf '0x%X' "$window") LD_PRELOAD="$preload" "$program" -root -fps 8 -show-fps >"$work/env.out" 2>"$work/env.err" &
pid=$!
expect "-root with XSCREENSAVER_WINDOW in hexadecimal draws in that window" wait_drawn env "$x" "$y" "$w" "$h"
for _ in $(seq 200); do [ "$(grep -c 'frames per second' "$work/env.err")" -ge 2 ] && break; sleep 0.1; done
rate=$(sed -n 's/^calvetrin: \([0-9.]*\) frames per second$/\1/p' "$work/env.err" | tail -n1)
expect "-fps 8 paces it to about 8 frames per second (last reported: ${rate:-none})" \
  awk -v r="${rate:-0}" 'BEGIN { exit !(r > 2 && r <= 9) }'

# ---- The window destroyed -------------------------------------------------------------
destroy_window
wait_exit "$pid" 10
expect "the window's destruction ends it with 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
stop_window
expect "nothing unexpected on stderr" [ -z "$(grep -hv 'frames per second' "$work/run.err" "$work/env.err")" ]

# ---- A window that does not exist -------------------------------------------------------------
LD_PRELOAD="$preload" "$program" --window-id 0x7FFFFFF >"$work/none.out" 2>"$work/none.err"
code=$?
expect "a window that does not exist: exit 1 and one line (got $code)" \
  [ "$code" = 1 -a "$(wc -l <"$work/none.err")" = 1 ]

end_checks "$work"
