#!/usr/bin/env bash
# The full-screen mode end to end, one case per ctest test: the real
# screensaver on a private Xvfb, each run in a fresh installation directory,
# driven with xdotool and watched through screenshots, the pixel probe
# (fullscreen_probe.cpp) and its exit code. Environment: see fullscreen.cmake.
#   usage: fullscreen_e2e.sh CASE [SCREEN]     (default 1024x768x24)
source "$(dirname "$0")/../harness/harness.sh"
: "${CALVETRIN_EXE:?}" "${CALVETRIN_CONFIG:?}" "${CALVETRIN_PAK:?}" "${FULLSCREEN_PROBE:?}" "${FULLSCREEN_OUT:?}" \
  "${DEFAULT_MAIN_PAK:?}" "${DEFAULT_PREVIEW_PPK:?}" "${CUBE_MAIN_PAK:?}"
harness_init "$FULLSCREEN_OUT"
start_xserver "${2:-1024x768x24}"

# new_install NAME [MAIN_PAK]: a fresh installation directory $INSTALL with the
# content (MAIN_PAK "" leaves main.pak out) and config.exe, named by the registry
# file CALVETRIN_REGISTRY, and an empty user folder XDG_CONFIG_HOME.
new_install() {
  INSTALL=$OUT/$1 && mkdir -p "$INSTALL" "$OUT/$1.config" && cp "$CALVETRIN_CONFIG" "$INSTALL/config.exe"
  export XDG_CONFIG_HOME=$OUT/$1.config
  ln -s "$DEFAULT_PREVIEW_PPK" "$INSTALL/preview.ppk"
  [ -z "${2-$DEFAULT_MAIN_PAK}" ] || ln -s "${2-$DEFAULT_MAIN_PAK}" "$INSTALL/main.pak"
  write_registry "$OUT/$1.reg" "$INSTALL"
  export CALVETRIN_REGISTRY=$OUT/$1.reg
}
# set_cfg QUIT_ON_MOUSE_MOVE SPIN_LEVEL PHASE_SECONDS [DISPLAY_MODE_ROW]: the
# user's own settings as config.exe writes them.
set_cfg() {
  local options=(--mouse-quits "$([ "$1" = 1 ] && echo yes || echo no)" --spin "$2" --phase "$3" ${4:+--mode "$4"})
  "$INSTALL/config.exe" "${options[@]}" >/dev/null && [ -s "$XDG_CONFIG_HOME/calvetrin/cfg" ] ||
    fail "config.exe ${options[*]} wrote no settings file"
}
# start_saver NAME ARGS...: the screensaver as $SAVER_PID, its output in
# $SAVER_LOG.out and .err. SIGINT keeps its default action, as for a
# terminal's foreground program (a script's background job inherits it ignored).
start_saver() { start "$1" env --default-signal=INT "$CALVETRIN_EXE" "${@:2}" && SAVER_PID=$PID SAVER_LOG=$OUT/$1; }
# begin NAME MAIN_PAK [SETTINGS...]: a run with set_cfg's settings, once it draws.
begin() {
  new_install "$1" "$2" && { [ $# -lt 3 ] || set_cfg "${@:3}"; } && start_saver "$1"
  expect "$1: a frame appears within 60 s" wait_lit 60
}
# end_saver WHAT: the run still going, Escape ends it with exit code 0.
end_saver() {
  expect "$1: still running before Escape" running "$SAVER_PID" && xdotool key Escape
  expect_exit "$1: Escape ends the run" 0 "$SAVER_PID" 20
}
# wait_lit SECONDS: waits until the screen shows lit pixels; notes how long.
wait_lit() { local out rc=0; out=$("$FULLSCREEN_PROBE" wait-lit "$1") || rc=$?; echo "  (first frame after ${out#waited_ms=} ms)"; return $rc; }
# stat_of FILE KEY: a figure of a screenshot; figure FILE KEY: one of a file.
stat_of() { "$FULLSCREEN_PROBE" stats "$1" | sed -n "s/^$2=//p"; }
figure() { sed -n "s/^$2=//p" "$1"; }
# ppm_to_png FILE...: the probe's pictures as PNG files.
ppm_to_png() { local f; for f in "$@"; do [ ! -e "$f" ] || { convert "$f" "${f%.ppm}.png" && rm "$f"; }; done; }
# extent NAME SECONDS: the box of all lit over SECONDS; prints its file's path.
extent() { "$FULLSCREEN_PROBE" extent "$2" "$OUT/$1-lit.ppm" >"$OUT/$1.extent" && ppm_to_png "$OUT/$1-lit.ppm"; echo "$OUT/$1.extent"; }
# quiet WHAT: the run printed nothing, on stdout and on stderr.
quiet() { expect "$1: nothing on stdout" [ ! -s "$SAVER_LOG.out" ]; expect "$1: nothing on stderr" [ ! -s "$SAVER_LOG.err" ]; }

case ${1:?} in
# The default content and settings: textured, animated shapes (not an empty
# or flooded screen, not flat colours) around the centre of the screen.
default)
  begin default "$DEFAULT_MAIN_PAK"
  sleep 1
  previous=""
  for i in 1 2 3; do
    file=$(shot "default-$i")
    # A busy machine may show few frames a second: wait for the next one.
    moved() { changed=$(compare -metric AE "$previous" "$(shot "default-$i")" null: 2>&1 >/dev/null); num_between "${changed%% *}" 500 1e12; }
    [ -z "$previous" ] || expect "screenshot $i differs from the one before in 500 pixels or more" wait_for 20 moved
    lit=$(stat_of "$file" lit_share) colours=$(stat_of "$file" colours)
    cx=$(stat_of "$file" centroid_x) cy=$(stat_of "$file" centroid_y)
    expect "screenshot $i: lit share $lit within 0.5% .. 85%" num_between "$lit" 0.005 0.85
    expect "screenshot $i: $colours distinct colours (at least 8)" num_between "$colours" 8 100000
    expect "screenshot $i: content centred horizontally ($cx)" num_between "$cx" 0.4 0.6
    expect "screenshot $i: content centred vertically ($cy)" num_between "$cy" 0.4 0.6
    previous=$file && sleep 0.7
  done
  end_saver "default run"
  quiet "default run"
  ;;

# The default content's look at the screen size given: each group in its turn
# spans 55% to 90% of the screen height, centred, in the many colours of
# plasma textures and glows.
look)
  phase=3
  begin look "$DEFAULT_MAIN_PAK" 0 7 "$phase"
  # Two cycles: each group's whole turn, wherever in the cycle sampling starts.
  "$FULLSCREEN_PROBE" look $((6 * phase + 1)) "$phase" "$OUT" | tee "$OUT/look.txt"
  expect "a turn of each group was seen" [ "${PIPESTATUS[0]}" = 0 ]
  ppm_to_png "$OUT"/look-*.ppm
  for turn in before square after; do
    for f in grabs height centre_x centre_y colours; do declare "$f=$(figure "$OUT/look.txt" "${turn}_$f")"; done
    expect "$turn: at least 3 grabs in the middle of the turn (${grabs:-none})" num_between "$grabs" 3 1e9
    expect "$turn: spans ${height:-?} of the screen height (55% .. 90%)" num_between "$height" 0.55 0.90
    expect "$turn: centred horizontally (${centre_x:-?})" num_between "$centre_x" 0.45 0.55
    expect "$turn: centred vertically (${centre_y:-?})" num_between "$centre_y" 0.45 0.55
    expect "$turn: ${colours:-?} distinct colours (at least 150)" num_between "$colours" 150 1e9
  done
  end_saver "look run"
  ;;

# A damaged image in main.pak: the lattice texture replaced by a 79-byte PNG
# whose tRNS chunk declares 16 MiB (it once kept the decoder reading for
# minutes). The rest of the scene draws within a normal start's time, nothing
# is printed, and Escape ends the run with 0.
damaged)
  entries=$OUT/entries && mkdir -p "$entries" && "$CALVETRIN_PAK" extract "$DEFAULT_MAIN_PAK" "$entries/"
  expect "the default content has the lattice texture" [ -s "$entries/sn1_lattice" ]
  cp "$(dirname "$0")/../../fuzz/regressions/image/png-trns-chunk-longer-than-the-file.png" "$entries/sn1_lattice"
  mapfile -t args < <("$CALVETRIN_PAK" list "$DEFAULT_MAIN_PAK" | awk -v d="$entries" '{ print $2 "=" d "/" $2 }')
  "$CALVETRIN_PAK" create "$OUT/damaged.pak" "${args[@]}" >/dev/null || fail "create the damaged archive"
  # 2 s a group, so that all three are seen (the untextured lattice draws
  # white); a screenshot may fall between two turns, most show shapes.
  begin damaged "$OUT/damaged.pak" 0 7 2
  most=0 drawn=0
  for i in $(seq 10); do
    file=$(shot "damaged-$i") && lit=$(stat_of "$file" lit_share) colours=$(stat_of "$file" colours)
    echo "  screenshot $i: lit share $lit, $colours colours"
    ! num_between "$lit" 0.005 0.85 || drawn=$((drawn + 1))
    [ "$colours" -le "$most" ] || most=$colours
    sleep 0.7
  done
  expect "the scene draws: $drawn of 10 screenshots show shapes (at least 7)" [ "$drawn" -ge 7 ]
  expect "the rest of the scene is textured: up to $most colours in a screenshot (at least 8)" num_between "$most" 8 100000
  end_saver "damaged content"
  quiet "damaged content"
  ;;

# The groups take 1000 ms turns (phaseSeconds 1) in a random order repeating
# every 3000 ms. With every shape the same cube, each group leaves a signature
# at the centre that the probe recognises.
phases)
  begin phases "$CUBE_MAIN_PAK" 0 7 1
  "$FULLSCREEN_PROBE" phases 9.5 "$OUT" | tee "$OUT/phases.txt"
  expect "the groups take 1000 ms turns in a repeating 3000 ms cycle" [ "${PIPESTATUS[0]}" = 0 ]
  awk '!/^#/ { n[$2]++ } END { for (g in n) printf "  %s: %d samples\n", g, n[g] }' "$OUT/phases.log"
  ppm_to_png "$OUT"/run-*.ppm
  end_saver "phase run"
  ;;

# Start-up failures: a missing "main.pak", or a directory in its place, ends
# the run with exit code 1 and no output; without a display it prints exactly
# one line, "Video initialization failed: ...", and ends with exit code 1.
# Either way config.exe, run as the same user, then tells of the failure.
failures)
  told_by_config() { [[ "$("$INSTALL/config.exe")" == *"The screensaver could not start at its last run ("*"): $1"* ]]; }
  for case in no-archive archive-is-directory; do
    new_install "$case" ""
    [ "$case" = no-archive ] || mkdir "$INSTALL/main.pak"
    start_saver "$case"
    expect_exit "$case: the run ends" 1 "$SAVER_PID" 60
    quiet "$case"
    expect "$case: config.exe tells of it" told_by_config "Cannot open archive: $INSTALL/main.pak"
  done
  new_install no-display
  start no-display env -u DISPLAY "$CALVETRIN_EXE" && SAVER_PID=$PID SAVER_LOG=$OUT/no-display
  expect_exit "no display: the run ends" 1 "$SAVER_PID" 60
  expect "no display: exactly one line on stderr (got $(wc -l <"$SAVER_LOG.err"))" [ "$(wc -l <"$SAVER_LOG.err")" = 1 ]
  expect "no display: the line starts with 'Video initialization failed: '" \
    grep -q '^Video initialization failed: ' "$SAVER_LOG.err"
  expect "no display: the line ends with a line break" [ "$(tail -c1 "$SAVER_LOG.err" | od -An -c | tr -d ' ')" = '\n' ]
  expect "no display: nothing on stdout" [ ! -s "$SAVER_LOG.out" ]
  expect "no display: config.exe tells of it" told_by_config "$(cat "$SAVER_LOG.err")"
  sed 's/^/  stderr: /' "$SAVER_LOG.err"
  ;;

# Space, Enter and the mouse buttons leave the run going; Escape ends it with 0.
input)
  begin input "$CUBE_MAIN_PAK"
  for keys in "key space" "key Return" "key KP_Enter" "click 1" "click 2" "click 3" "keydown a keyup a"; do
    # shellcheck disable=SC2086
    xdotool $keys && sleep 1
    expect "still running a second after '$keys'" running "$SAVER_PID"
  done
  end_saver "input run"
  expect "nothing on stderr" [ ! -s "$SAVER_LOG.err" ]
  ;;

# SIGTERM and SIGINT end a run the way Escape does: exit code 0, no output.
signals)
  for signal in TERM INT; do
    begin "signal-$signal" "$CUBE_MAIN_PAK" 0 7 15
    kill -"$signal" "$SAVER_PID"
    expect_exit "SIG$signal ends the run" 0 "$SAVER_PID" 20
    expect "SIG$signal: nothing on stderr" [ ! -s "$SAVER_LOG.err" ]
  done
  ;;

# Mouse motion ends the run only when quitOnMouseMove is exactly 1, relative
# (a mouse) and absolute (a tablet, a virtual machine's pointer) alike; with 0,
# or 2 stored, never. It comes 5 s after the first frame, past the 3000 ms in
# which motion is ignored (pinned by app/tests/test_run_loop.cpp).
mouse)
  # shellcheck disable=SC2086
  wiggle() { local step; for step in "${@:2}"; do xdotool "$1" -- $step && sleep 0.05; done; }
  relative() { wiggle mousemove_relative "30 20" "-60 10" "20 -40" "10 10"; }
  absolute() { wiggle mousemove "200 150" "620 410" "300 520" "512 384"; }
  for kind in relative absolute; do
    begin "quit-1-$kind" "$CUBE_MAIN_PAK" 1 7 15
    sleep 5 && $kind
    expect_exit "quit 1: $kind motion ends the run" 0 "$SAVER_PID" 20
    expect "quit 1: nothing on stderr" [ ! -s "$SAVER_LOG.err" ]
  done
  for quit in 0 2; do
    # A cfg made byte by byte (2 is no value config.exe writes): version 3,
    # quitOnMouseMove, mode row 0, no text, spin level 7, 15 s phases.
    new_install "quit-$quit" "$CUBE_MAIN_PAK"
    printf "\\3\\0\\0\\0\\$quit\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\7\\0\\0\\0\\17\\0\\0\\0" >"$INSTALL/cfg"
    start_saver "quit-$quit"
    expect "quit $quit: a frame appears within 60 s" wait_lit 60
    sleep 5 && relative && absolute && sleep 1
    expect "quit $quit: still running a second after motion of both kinds" running "$SAVER_PID"
    end_saver "quit $quit"
  done
  ;;
# A first word whose second character is 'c' or 'C' starts "config.exe" in
# the installation directory and returns 0 without waiting for it; "/s", no
# word, "/p:123" and the one-character word "c" run full screen.
mode_words)
  n=0
  for word in /c /C -c /c:123; do
    n=$((n + 1))
    new_install "configure-$n" ""
    # A stand-in config.exe: notes where it runs, stays until let go.
    printf '%s\n' '#!/bin/sh' 'pwd >working-directory; echo $$ >pid' \
      'i=0; while [ ! -e release ] && [ $i -lt 600 ]; do sleep 0.1; i=$((i + 1)); done' \
      'echo "config finished" >>events' >"$INSTALL/config.exe"
    start_saver "configure-$n" "$word"
    expect_exit "'$word': the screensaver returns" 0 "$SAVER_PID" 30
    echo "saver exited $EXIT_CODE" >>"$INSTALL/events"
    expect "'$word': config.exe was started" wait_for 10 [ -s "$INSTALL/pid" ] || continue
    expect "'$word': config.exe runs in the installation directory" \
      [ "$(cat "$INSTALL/working-directory")" = "$INSTALL" ]
    expect "'$word': config.exe still running after the screensaver ended" running "$(cat "$INSTALL/pid")"
    touch "$INSTALL/release"
    wait_for 10 grep -q "config finished" "$INSTALL/events"
    expect "'$word': the screensaver ended before config.exe did ($(tr '\n' ';' <"$INSTALL/events"))" \
      awk '/saver exited/ { s = NR } /config finished/ { f = NR } END { exit !(s && f && s < f) }' "$INSTALL/events"
    expect "'$word': nothing on stderr" [ ! -s "$SAVER_LOG.err" ]
  done
  n=0
  for word in /s "" /p:123 c; do
    n=$((n + 1))
    # No config.exe: a configure mode chosen by mistake ends without frames.
    new_install "fullscreen-$n" "$CUBE_MAIN_PAK" && rm "$INSTALL/config.exe"
    start_saver "fullscreen-$n" ${word:+"$word"}
    expect "'$word': a full-screen frame appears within 60 s" wait_lit 60
    expect "'$word': the screenshot shows lit pixels" num_between "$(stat_of "$(shot "fullscreen-$n")" lit_share)" 0.001 1
    end_saver "'$word'"
  done
  ;;

# Display modes: rows smaller and larger than the screen, and one of another
# shape, each show the whole scene centred, against the desktop's own mode (row
# 0). The cube archive stands still at spin level -11 and every group shows
# within 3 s of 1 s phases, so what lights up over 7 s is the whole scene. A
# mode w x h on a W x H screen draws it h * min(W / w, H / h) / H times as
# high and as wide as the desktop's mode (aspect kept, black bars).
display_modes)
  ref=/dev/null
  for mode in "0 0 0" "2 640 480" "18 1600 1200" "10 1280 800"; do
    read -r row mode_w mode_h <<<"$mode"
    name="display-mode-$row" ext=/dev/null
    begin "$name" "$CUBE_MAIN_PAK" 0 -11 1 "$row" && ext=$(extent "$name" 7) && shot "$name" >/dev/null
    end_saver "row $row"
    echo "  row $row (${mode_w}x${mode_h}): $(tr '\n' ' ' <"$ext")"
    expect "row $row: something lit during the sampling" [ -n "$(figure "$ext" centre_x)" ] || continue
    for axis in x y; do
      expect "row $row: the scene is centred along $axis (centre at $(figure "$ext" centre_$axis))" \
        num_between "$(figure "$ext" centre_$axis)" 0.47 0.53
    done
    [ "$row" != 0 ] || { ref=$ext && continue; }
    size=$(figure "$ext" size)
    scale=$(awk -v w="$mode_w" -v h="$mode_h" -v W="${size%x*}" -v H="${size#*x}" \
      'BEGIN { s = W / w; if (H / h < s) s = H / h; printf "%.4f", h * s / H }')
    for axis in width height; do
      ratio=$(awk -v a="$(figure "$ext" "$axis")" -v b="$(figure "$ref" "$axis")" 'BEGIN { if (b > 0) printf "%.4f", a / b }')
      expect "row $row: the scene's $axis is ${ratio:-?} of the desktop mode's, expected $scale (10%)" \
        num_between "$ratio" "$(awk "BEGIN { print $scale * 0.9 }")" "$(awk "BEGIN { print $scale * 1.1 }")"
    done
  done
  ;;
esac
end_checks
