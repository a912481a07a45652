#!/usr/bin/env bash
# The look of the default content, measured: with short phases, each of the
# three groups in its turn fills the screen well (the bounding box of what it
# lights over its turn spans 55% to 90% of the screen height), sits centred,
# and shows the many colours of plasma textures and blended glows rather
# than a few flat ones. Run at the screen size of $XVFB_SCREEN.
source "$(dirname "$0")/fullscreen_lib.sh"

[ -e "${DEFAULT_MAIN_PAK:-}" ] || { echo "default content missing: ${DEFAULT_MAIN_PAK:-unset}" >&2; exit 1; }
phase=3
new_install look
set_cfg 0 7 "$phase"
start_saver look
expect "a frame appears within 60 s" wait_lit 60

# Two cycles: enough for a whole turn of the square with a whole turn of
# each other group around it, wherever in the cycle the sampling starts.
"$FULLSCREEN_PROBE" look $((6 * phase + 1)) "$phase" "$FULLSCREEN_OUT" | tee "$FULLSCREEN_OUT/look.txt"
expect "a turn of each group was seen" [ "${PIPESTATUS[0]}" = 0 ]
for ppm in "$FULLSCREEN_OUT"/look-*.ppm; do
  [ -e "$ppm" ] && convert "$ppm" "${ppm%.ppm}.png" && rm -f "$ppm"
done

figures="$FULLSCREEN_OUT/look.txt"
for turn in before square after; do
  grabs=$(figure "$figures" "${turn}_grabs")
  height=$(figure "$figures" "${turn}_height")
  cx=$(figure "$figures" "${turn}_centre_x")
  cy=$(figure "$figures" "${turn}_centre_y")
  colours=$(figure "$figures" "${turn}_colours")
  expect "$turn: at least 3 grabs in the middle of the turn (${grabs:-none})" num_between "${grabs:-0}" 3 1e9
  expect "$turn: spans ${height:-?} of the screen height (55% .. 90%)" num_between "${height:-0}" 0.55 0.90
  expect "$turn: centred horizontally (${cx:-?})" num_between "${cx:-0}" 0.45 0.55
  expect "$turn: centred vertically (${cy:-?})" num_between "${cy:-0}" 0.45 0.55
  expect "$turn: ${colours:-?} distinct colours (at least 150)" num_between "${colours:-0}" 150 1e9
done

expect "still running after the sampling" running "$SAVER_PID"
end_saver "look run"
finish
