#!/usr/bin/env bash
# Mode words. A first word whose second character is 'c' or 'C' starts
# "config.exe" from the installation directory, with that directory as its
# working directory, and returns 0 without waiting for it. "/s", an empty
# command line, "/p:123" and the one-character word "c" run the full-screen
# mode.
#
# Display modes. Every row of the display-mode table shows the whole scene,
# centred on the screen and scaled to fill it as far as the mode's shape
# allows: rows smaller and larger than the screen, and one of another shape,
# against the desktop's own mode (row 0).
source "$(dirname "$0")/fullscreen_lib.sh"

# A stand-in configuration program: it notes where it runs and that it
# started, then stays until the test lets it go.
write_stand_in() {
  rm -f "$INSTALL/config.exe"
  cat >"$INSTALL/config.exe" <<'SH'
#!/bin/sh
pwd >working-directory
echo $$ >pid
echo "config started" >>events
i=0
while [ ! -e release ] && [ $i -lt 600 ]; do sleep 0.1; i=$((i + 1)); done
echo "config finished" >>events
SH
  chmod +x "$INSTALL/config.exe"
}

n=0
for word in /c /C -c /c:123; do
  n=$((n + 1))
  new_install "configure-$n" ""
  write_stand_in
  start_saver "configure-$n" "$word"
  if wait_exit "$SAVER_PID" 30; then
    echo "saver exited $EXIT_CODE" >>"$INSTALL/events"
    expect "'$word': exit code 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
  else
    fail "'$word': still running after 30 s"
    continue
  fi
  for _ in $(seq 100); do [ -s "$INSTALL/pid" ] && break; sleep 0.1; done
  expect "'$word': config.exe was started" [ -s "$INSTALL/pid" ]
  [ -s "$INSTALL/pid" ] || continue
  expect "'$word': config.exe runs in the installation directory" \
    [ "$(cat "$INSTALL/working-directory")" = "$INSTALL" ]
  # The screensaver has ended while its configuration program still runs:
  # the program ends only when released below, after the screensaver's exit.
  expect "'$word': config.exe still running after the screensaver ended" running "$(cat "$INSTALL/pid")"
  touch "$INSTALL/release"
  for _ in $(seq 100); do grep -q "config finished" "$INSTALL/events" && break; sleep 0.1; done
  echo "  events: $(tr '\n' ';' <"$INSTALL/events")"
  expect "'$word': the screensaver ended before config.exe did" \
    awk '/saver exited/ { s = NR } /config finished/ { f = NR } END { exit !(s && f && s < f) }' "$INSTALL/events"
  expect "'$word': nothing on stderr" [ ! -s "$SAVER_LOG.err" ]
done

[ -e "${CUBE_MAIN_PAK:-}" ] || { echo "cube test archive missing: ${CUBE_MAIN_PAK:-unset}" >&2; exit 1; }
n=0
for word in /s "" /p:123 c; do
  n=$((n + 1))
  new_install "fullscreen-$n" "$CUBE_MAIN_PAK"
  # No config.exe of any kind: a configure mode chosen by mistake shows up
  # as an early exit without frames.
  rm -f "$INSTALL/config.exe"
  if [ -n "$word" ]; then start_saver "fullscreen-$n" "$word"; else start_saver "fullscreen-$n"; fi
  expect "'$word': a full-screen frame appears within 60 s" wait_lit 60
  file=$(shot "fullscreen-$n") && expect "'$word': the screenshot shows lit pixels" \
    num_between "$(stat_of "$file" lit_share)" 0.001 1
  end_saver "'$word'"
done

# The cube test archive stands still at spin level -11, and with 1 s phases
# the screen shows every group within 3 s: the extent of what lights up over
# 7 s is the whole scene. The scene is drawn for the mode's height, so a mode
# w x h shown on a W x H screen makes it h * min(W / w, H / h) / H times as
# high and as wide as the desktop's mode does (aspect kept, black bars where
# the shapes differ).
ref_width="" ref_height=""
for mode in "0 0 0" "2 640 480" "18 1600 1200" "10 1280 800"; do
  read -r row mode_w mode_h <<<"$mode"
  name="display-mode-$row"
  new_install "$name" "$CUBE_MAIN_PAK"
  set_cfg 0 -11 1 "$row"
  start_saver "$name" /s
  if ! wait_lit 60; then
    fail "row $row: no frame within 60 s"
    end_saver "row $row"
    continue
  fi
  ext=$(extent "$name" 7)
  shot "$name" >/dev/null
  end_saver "row $row"
  echo "  row $row (${mode_w}x${mode_h}): $(tr '\n' ' ' <"$ext")"
  if [ -z "$(figure "$ext" centre_x)" ]; then
    fail "row $row: nothing lit during the sampling"
    continue
  fi
  expect "row $row: the scene is centred across (centre at $(figure "$ext" centre_x) of the width)" \
    num_between "$(figure "$ext" centre_x)" 0.47 0.53
  expect "row $row: the scene is centred up and down (centre at $(figure "$ext" centre_y) of the height)" \
    num_between "$(figure "$ext" centre_y)" 0.47 0.53
  if [ "$row" = 0 ]; then
    ref_width=$(figure "$ext" width) ref_height=$(figure "$ext" height)
    continue
  fi
  [ -n "$ref_width" ] || { fail "row $row: no desktop-mode extent to compare with"; continue; }
  size=$(figure "$ext" size)
  scale=$(awk -v w="$mode_w" -v h="$mode_h" -v W="${size%x*}" -v H="${size#*x}" \
    'BEGIN { s = W / w; if (H / h < s) s = H / h; printf "%.4f", h * s / H }')
  for axis in width height; do
    if [ "$axis" = width ]; then ref=$ref_width; else ref=$ref_height; fi
    ratio=$(awk -v a="$(figure "$ext" "$axis")" -v b="$ref" 'BEGIN { printf "%.4f", a / b }')
    expect "row $row: the scene's $axis is $ratio of the desktop mode's, expected $scale" \
      num_between "$ratio" "$(awk -v s="$scale" 'BEGIN { print s * 0.9 }')" "$(awk -v s="$scale" 'BEGIN { print s * 1.1 }')"
  done
done
finish
