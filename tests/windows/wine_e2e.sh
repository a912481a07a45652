#!/usr/bin/env bash
# The Windows folder under Wine on a private Xvfb, each case in its own copy of
# the folder: the three modes as the screensaver host starts them, a display
# mode the screen lacks, and start-up failures recorded for the settings dialog.
# usage: wine_e2e.sh DIST OUT_DIR LAUNCH_PROBE PREVIEW_PARENT
#   LAUNCH_PROBE: a stand-in config.exe that waits for "go" in the folder
#   CALVETRIN_PROBE_DIR names, then writes its directory to "out";
#   PREVIEW_PARENT: the stand-in for the settings page (preview_parent.cpp)
source "$(dirname "$0")/../harness/harness.sh"
dist=$1 launch_probe=$3 preview_parent=$4
harness_init "$2"
wine_prefix "$OUT/prefix"
start_xserver
key='HKLM\Software\Quorvane\Calvetrin\Settings'
user_folder=$WINE_PREFIX/drive_c/users/$(id -un)/AppData/Roaming/Calvetrin
# failure_recorded TEXT: the settings dialog's record of the last start-up
# failure (tests/windows/config_dialog_test.cpp reads it) says TEXT.
failure_recorded() { [ "$(sed -n 2p "$user_folder/startup-failure.txt" | tr -d '\r')" = "$1" ]; }

set_path() { wine_run reg add "$key" /v Path /t REG_SZ /d "$(winpath "$1")\\" /f >/dev/null 2>&1; }
clear_path() { wine_run reg delete "$key" /v Path /f >/dev/null 2>&1; }
# copy NAME: a fresh copy of the folder as $INSTALL.
copy() { INSTALL=$OUT/$1 && cp -r "$dist" "$INSTALL"; }
# run_scene NAME WHAT PROGRAM ARGS...: a full-screen run shows the scene; it
# goes on through Space, Enter and a click when CHECK_INPUT is set, and
# Escape ends it with 0.
run_scene() {
  local name=$1 what=$2
  start "$name" wine_run "${@:3}"
  expect "$what draws the scene" wait_scene "$name" 60 || { wait_exit "$PID" 0; return; }
  if [ -n "${CHECK_INPUT:-}" ]; then
    xdotool key space key Return mousedown 1 mouseup 1 && sleep 2
    expect "$what: Space, Enter and a click do not end the run" running "$PID"
  fi
  xdotool key Escape
  expect_exit "$what: Escape ends the run" 0 "$PID" 20
}

# Run from a folder of its own, as from the system folder: "Path" leads it home.
copy fullscreen-path
mkdir -p "$OUT/system"
mv "$INSTALL/calvetrin.scr" "$OUT/system/"
set_path "$INSTALL"
CHECK_INPUT=1 run_scene fullscreen-path "/s with Path" "$OUT/system/calvetrin.scr" /s

clear_path
copy beside
run_scene beside "/s without Path (files beside it)" "$INSTALL/calvetrin.scr" /s

# The user's own settings ask for 1600x1200, which the 1024x768 screen cannot
# show: the desktop's mode is used instead.
copy mode-lacking
wine_run "$INSTALL/config.exe" --mode 1600x1200x32 >"$OUT/mode-lacking-config.out" 2>&1
expect "config.exe stored the user's mode" [ -s "$user_folder/cfg" ]
run_scene mode-lacking "a mode the screen lacks (full screen in the desktop's mode)" "$INSTALL/calvetrin.scr" /s
expect "it says which mode it uses instead" \
  grep -q "^Video mode 1600x1200x32 cannot be shown (.*); using the desktop's 1024x768x" "$OUT/mode-lacking.err"
rm -f "$user_folder/cfg"

copy missing
rm "$INSTALL/main.pak"
start missing wine_run "$INSTALL/calvetrin.scr" /s
expect_exit "a missing main.pak ends the run" 1 "$PID" 60
expect "a missing main.pak ends it without a message" [ ! -s "$OUT/missing.out" -a ! -s "$OUT/missing.err" ]
expect "and is recorded for the settings dialog" failure_recorded "Cannot open archive: $(winpath "$INSTALL")\\main.pak"

copy corrupt
head -c 100 "$dist/main.pak" >"$INSTALL/main.pak"
start corrupt wine_run "$INSTALL/calvetrin.scr" /s
expect_exit "a corrupt main.pak ends the run" 1 "$PID" 60
expect "a corrupt main.pak is named in one line" \
  [ "$(cat "$OUT/corrupt.out" "$OUT/corrupt.err" | tr -d '\r')" = "Corrupt archive: $(winpath "$INSTALL")\\main.pak" ]
expect "and recorded for the settings dialog" failure_recorded "Corrupt archive: $(winpath "$INSTALL")\\main.pak"

for word in /c /c:1234; do
  copy "configure-${word//[\/:]/}"
  cp "$launch_probe" "$INSTALL/config.exe"
  set_path "$INSTALL"
  # Started from another folder; the stand-in writes "out" only after "go".
  (cd "$OUT" && CALVETRIN_PROBE_DIR=$(winpath "$INSTALL") wine_run "$INSTALL/calvetrin.scr" "$word" >"$INSTALL.out" 2>&1)
  code=$?
  expect "$word returns 0 (got $code)" [ "$code" = 0 ]
  expect "$word: config.exe still runs after the screensaver returned" [ ! -e "$INSTALL/out" ]
  touch "$INSTALL/go"
  wait_for 30 [ -e "$INSTALL/out" ]
  expect "$word: config.exe ran in the installation folder ($(cat "$INSTALL/out" 2>/dev/null))" \
    [ "$(cat "$INSTALL/out" 2>/dev/null)" = "$(winpath "$INSTALL")" ]
done
clear_path

copy preview
start preview wine_run "$preview_parent" "$(winpath "$INSTALL")\\calvetrin.scr" "$(winpath "$OUT")\\preview-report" \
  "$(winpath "$OUT")\\preview-go"
wait_for 60 grep -q child "$OUT/preview-report"
shot preview >/dev/null
touch "$OUT/preview-go"
wait_exit "$PID" 60
# Windows writes text lines ended by CR LF.
report=$(tr -d '\r' <"$OUT/preview-report" 2>/dev/null)
expect "/p: a 152x112 child window under the parent ($(head -n1 <<<"$report"))" grep -Eq '^child -?[0-9]+ -?[0-9]+ 152 112$' <<<"$report"
expect "/p: the screensaver ends with 0 when the parent is destroyed" grep -qx 'exit 0' <<<"$report"
expect "/p: the parent program saw all of it (exit $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
end_checks
