#!/usr/bin/env bash
# The screensaver in a window that another program owns, on a private Xvfb;
# xparent (xparent.cpp) plays the owner, commands in, one answer line out.
#   preview  "/p" and xparent's window: what it paints, read back from the X
#            server; one more Xvfb goes away under a running preview.
#   hack     as xscreensaver uses it: draws in the window only, shows the frame
#            rate, follows its size, ignores input, ends with 0 on SIGTERM and
#            when the window goes; --help, --version, a typo and a missing
#            window leave the screen alone; no main.pak, no GLX say why;
#            --window, and the second X screen.
# usage: window_e2e.sh preview|hack PROGRAM XPARENT MAIN_PAK OUT_DIR
source "$(dirname "$0")/../harness/harness.sh"
program=$2 xparent=$3 main_pak=$4
harness_init "$5"
start_xserver

# start_xparent: a new xparent on $DISPLAY; its window id is $window (0 when
# it did not start). xparent_ask COMMAND...: its answer is $REPLY.
start_xparent() {
  coproc XPARENT { exec "$xparent"; }
  harness_pids+=("$XPARENT_PID")
  read -r -t 20 window <&"${XPARENT[0]}" || { fail "xparent did not start" && window=0; }
}
xparent_ask() { REPLY="" && echo "$*" >&"${XPARENT[1]}" && read -r -t 120 REPLY <&"${XPARENT[0]}" || REPLY="no answer"; }
stop_xparent() { { echo quit >&"${XPARENT[1]}"; } 2>/dev/null; wait "$XPARENT_PID" 2>/dev/null; }
# new_case NAME: an installation directory $install named by its registry file.
new_case() {
  name=$1 install=$OUT/$1 && mkdir -p "$install" && write_registry "$OUT/$1.reg" "$install"
  export CALVETRIN_REGISTRY=$OUT/$1.reg
}

case ${1:?} in
preview)
  # picture PATTERN W H: xparent's test picture as the case's preview.ppk.
  picture() { "$xparent" picture "$install/preview.ppk" "$@" || fail "$name: cannot write the test picture"; }
  # shows PATTERN W H: the parent shows that picture on the background colour
  # (within 20 s: a sanitizer build paints slowly).
  shows() { xparent_ask expect "$1" "$2" "$3" 20000 && [ "$REPLY" = ok ] || { echo "  xparent: $REPLY" >&2 && return 1; }; }
  # ends_quietly WHY: the preview ends with 0 within 30 s and prints nothing.
  ends_quietly() {
    expect_exit "$name: $1 ends the preview" 0 "$PID" 30
    expect "$name: nothing on stdout" [ ! -s "$OUT/$name.out" ]
  }
  # Paints, repaints from the file when uncovered, ends with the parent.
  new_case full
  picture gradient 152 112
  start_xparent
  start full "$program" /p "$window"
  expect "full: first paint" shows gradient 152 112
  xparent_ask children
  expect "full: one child window in the parent (got $REPLY)" [ "$REPLY" = 1 ]
  xparent_ask cover
  picture alternate 152 112
  xparent_ask uncover
  expect "full: repaint after uncovering" shows alternate 152 112
  xparent_ask destroy
  ends_quietly "destroying the parent"
  stop_xparent
  # Upper-case /P and a picture smaller than the window (an odd width, so its
  # rows are padded); a larger one, cut off at the window's edges; a paletted
  # one, in its palette's colours; none at all: the background only.
  for c in "small /P gradient 101 77" "large /p gradient 190 140" "palette /p palette 152 112" "missing /p none 0 0"; do
    read -r name word pattern w h <<<"$c"
    new_case "$name"
    [ "$pattern" = none ] || picture "$pattern" "$w" "$h"
    start_xparent
    start "$name" "$program" "$word" "$window"
    expect "$name: shows the $pattern picture of ${w}x$h" shows "$pattern" "$w" "$h"
    xparent_ask destroy
    ends_quietly "destroying the parent"
    stop_xparent
  done
  # A parent that no longer exists, no handle, a handle that is no number.
  start_xparent
  xparent_ask stale
  for c in "stale $REPLY" nohandle "notanumber window"; do
    read -r name handle <<<"$c"
    new_case "$name"
    start "$name" "$program" /p ${handle:+"$handle"}
    ends_quietly "a parent it cannot have"
  done
  stop_xparent
  # No X display: the window class is refused.
  new_case nodisplay
  start nodisplay env -u DISPLAY "$program" /p 4660
  expect_exit "nodisplay: the preview ends" 0 "$PID" 30
  expect "nodisplay: it prints the one line 'dermo'" [ "$(cat "$OUT/nodisplay.out")" = dermo -a "$(wc -l <"$OUT/nodisplay.out")" = 1 ]
  # The X server goes away while the preview runs: the mode ends.
  new_case lost
  picture gradient 152 112
  main_display=$DISPLAY
  start_xserver 640x480x24
  start_xparent
  start lost "$program" /p "$window"
  expect "lost: first paint" shows gradient 152 112
  stop "$XVFB_PID"
  expect_exit "lost: the X server ending ends the preview" 0 "$PID" 30
  stop_xparent
  export DISPLAY=$main_display
  ;;
hack)
  new_case install && ln -s "$main_pak" "$install/main.pak"
  export XDG_CONFIG_HOME=$OUT/config
  # rect: the window as a crop geometry "WxH+X+Y", and X Y W H.
  rect() {
    read -r x y w h < <(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
      /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF} END {print x, y, w, h}')
    crop=${w}x${h}+${x}+${y}
  }
  # lit_outside FILE: the lit share of the screen outside the window.
  lit_outside() { convert "$1" -fill black -draw "rectangle $x,$y $((x + w - 1)),$((y + h - 1))" png:- | lit_share png:-; }
  # centred FILE: the lit pixels' bounding box is centred in the window.
  centred() {
    read -r cx cy < <(convert "$1" -threshold 8% -trim -format '%[fx:page.x + w / 2] %[fx:page.y + h / 2]' info:)
    awk -v cx="$cx" -v cy="$cy" -v x="$x" -v y="$y" -v w="$w" -v h="$h" \
      'BEGIN { exit !(cx > x + w * 0.35 && cx < x + w * 0.65 && cy > y + h * 0.35 && cy < y + h * 0.65) }'
  }
  SCENE_COLOURS=50
  start_xparent
  start run "$program" --window-id "$window" --fps && pid=$PID
  rect
  expect "draws in the ${w}x${h} window within 60 s" wait_scene first 60 "$crop"
  outside=$(lit_outside "$OUT/first.png")
  expect "draws nowhere else on the screen (lit outside: $outside)" [ "$outside" = 0 ]
  expect "--fps: the frame rate shows in the window's lower left corner" wait_for 20 eval 'fps_shown "$(shot fps)" $x $y $h'
  xdotool windowsize "$window" 600 440
  rect
  resized_centred() { centred "$(shot resized)"; }
  expect "follows a resize to ${w}x${h}: the scene is centred in it" wait_for 20 resized_centred
  outside=$(lit_outside "$OUT/resized.png")
  expect "after the resize still nothing outside the window (lit outside: $outside)" [ "$outside" = 0 ]
  xdotool mousemove $((x + 20)) $((y + 20)) click 1
  xdotool key Escape key space key Return
  sleep 1
  expect "keys and clicks do not end it" running "$pid"
  kill -TERM "$pid"
  expect_exit "SIGTERM ends it" 0 "$pid" 10
  stop_xparent
  start_xparent
  rect
  XSCREENSAVER_WINDOW=$(printf '0x%X' "$window") start env "$program" -root --delay=100000 && pid=$PID
  expect "-root with XSCREENSAVER_WINDOW in hexadecimal draws in that window" wait_scene env 60 "$crop"
  xparent_ask destroy
  expect_exit "the window's destruction ends it" 0 "$pid" 10
  stop_xparent
  expect "nothing on stdout or stderr" [ -z "$(cat "$OUT"/{run,env}.{out,err})" ]
  # Answered before any display is opened: the screen stays black.
  for c in "help 0 --help" "version 0 --version" "typo 2 --window 0x1234" "gone 0 --window-id 0x7FFFFFF"; do
    read -r name code args <<<"$c" && start "$name" "$program" $args
    expect_exit "$name: $args ends by itself" "$code" "$PID" 30
  done
  expect "--help and --version print on stdout, a typo one line on stderr" [ "$(head -c6 "$OUT/help.out")" = Usage: \
    -a "$(grep -c '^calvetrin [0-9.]*$' "$OUT/version.out")" = 1 -a "$(wc -l <"$OUT/typo.err")" = 1 -a -z "$(cat "$OUT/gone.err")" ]
  expect "none of them touched the screen" [ "$(colours "$(shot words)")" = 1 ]
  new_case nopak
  start nopak "$program" -root && wait_exit "$PID" 30
  expect "no main.pak: exit 1 and one line why (got $EXIT_CODE)" [ "$EXIT_CODE" = 1 -a "$(grep -c 'cannot run' "$OUT/nopak.err")" = 1 ]
  # A window of its own; the hack on the second X screen; no GLX at all.
  export CALVETRIN_REGISTRY=$OUT/install.reg
  start_xserver 800x600x24 -screen 1 640x480x24
  start own "$program" --window && pid=$PID
  expect "--window draws in a window of its own" wait_scene own 60 800x600+0+0
  xdotool key --window "$(xdotool search --name '^Calvetrin$' | head -n1)" q
  expect_exit "q in that window ends it" 0 "$pid" 20
  DISPLAY=$DISPLAY.1 start second "$program" -root && pid=$PID
  expect "the hack draws on the second X screen" eval 'DISPLAY=$DISPLAY.1 wait_scene second 60'
  kill -TERM "$pid" && expect_exit "SIGTERM ends it there" 0 "$pid" 10
  start_xserver 640x480x24 -extension GLX
  start noglx "$program" -root && wait_exit "$PID" 30
  expect "no GLX: exit 1 and one line why (got $EXIT_CODE)" [ "$EXIT_CODE" = 1 -a "$(grep -c 'cannot draw' "$OUT/noglx.err")" = 1 ]
  ;;
esac
end_checks
