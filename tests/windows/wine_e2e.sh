#!/usr/bin/env bash
# End-to-end tests of the Windows folder under Wine and Xvfb (run through
# tests/with-xvfb.sh): the screensaver's three modes as the screensaver host
# starts them, a display mode the screen lacks, and start-up failures recorded
# for the settings dialog. Every case runs in its own copy of the folder, in a Wine prefix
# of its own that no other test uses (the registry value "Path" is set and
# removed here). Screenshots and logs stay in $WINE_E2E_OUT.
#
# Environment (set by tests/windows/CMakeLists.txt):
#   WINE_E2E_DIST     the folder as built (calvetrin.scr, config.exe, main.pak, ...)
#   WINE_E2E_PREFIX   the Wine prefix
#   WINE_E2E_OUT      output directory
#   WINE_RUN          tests/windows/wine.sh
#   LAUNCH_PROBE      a stand-in config.exe: waits for the file "go" in the folder
#                     CALVETRIN_PROBE_DIR names, then writes its directory to "out"
#   PREVIEW_PARENT    the stand-in for the settings page (preview_parent.cpp)
set -u
: "${WINE_E2E_DIST:?}" "${WINE_E2E_PREFIX:?}" "${WINE_E2E_OUT:?}" "${WINE_RUN:?}" "${LAUNCH_PROBE:?}" "${PREVIEW_PARENT:?}"
rm -rf "$WINE_E2E_OUT"
mkdir -p "$WINE_E2E_OUT"
out=$WINE_E2E_OUT
key='HKLM\Software\Quorvane\Calvetrin\Settings'

. "$(dirname "$0")/wine_helpers.sh"

wine_run() { "$WINE_RUN" "$WINE_E2E_PREFIX" "$@"; }
# The Windows name of a path on this machine (Wine maps / to drive Z:).
winpath() { printf 'Z:%s' "${1//\//\\}"; }
set_path() { wine_run reg add "$key" /v Path /t REG_SZ /d "$(winpath "$1")\\" /f >/dev/null 2>&1; }
clear_path() { wine_run reg delete "$key" /v Path /f >/dev/null 2>&1; }

cleanup() { WINEPREFIX=$WINE_E2E_PREFIX "${WINE_SERVER:-/usr/lib/wine/wineserver}" -k 2>/dev/null; }
trap cleanup EXIT

# install NAME: a fresh copy of the folder as $INSTALL.
install() {
  INSTALL="$out/$1"
  rm -rf "$INSTALL"
  cp -r "$WINE_E2E_DIST" "$INSTALL"
}

# ---- Full-screen run, content found through "Path" -----------------------------
# The screensaver runs from a folder of its own, as from the system folder:
# only "Path" leads it to its files.
install fullscreen-path
mkdir -p "$out/system"
mv "$INSTALL/calvetrin.scr" "$out/system/"
set_path "$INSTALL"
start fullscreen-path "$out/system/calvetrin.scr" /s
if wait_scene fullscreen-path; then
  pass "/s with Path draws the scene ($(colours "$out/fullscreen-path.png") colours, lit $(lit_fraction "$out/fullscreen-path.png"))"
  xdotool key space
  xdotool key Return
  xdotool mousedown 1 mouseup 1
  sleep 2
  expect "Space, Enter and a click do not end the run" kill -0 "$PID"
  xdotool key Escape
  wait_exit "$PID" 20
  expect "Escape ends the run with 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
else
  fail "/s with Path: no scene on the screen within 60 s (see $out/fullscreen-path.png)"
  wait_exit "$PID" 0
fi

# ---- Without "Path": the files beside the screensaver ------------------------------
clear_path
install beside
start beside "$INSTALL/calvetrin.scr" /s
if wait_scene beside; then
  pass "/s without Path finds its files beside itself"
  xdotool key Escape
  wait_exit "$PID" 20
  expect "Escape ends it with 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
else
  fail "/s without Path: no scene within 60 s"
  wait_exit "$PID" 0
fi

# ---- A display mode the screen lacks: the desktop's own mode instead -------------------
# The user's own settings (config.exe writes them into the prefix's profile)
# ask for 1600x1200, which the 1024x768 screen cannot show.
user_folder=$WINE_E2E_PREFIX/drive_c/users/$(id -un)/AppData/Roaming/Calvetrin
install mode-lacking
wine_run "$INSTALL/config.exe" --mode 1600x1200x32 >"$out/mode-lacking-config.out" 2>&1
expect "config.exe stored the user's mode" [ -s "$user_folder/cfg" ]
start mode-lacking "$INSTALL/calvetrin.scr" /s
if wait_scene mode-lacking; then
  pass "a mode the screen lacks still draws the scene, full screen in the desktop's mode"
  xdotool key Escape
  wait_exit "$PID" 20
  expect "Escape ends it with 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
else
  fail "a mode the screen lacks: no scene within 60 s"
  wait_exit "$PID" 0
fi
expect "it says which mode it uses instead" \
  grep -q "^Video mode 1600x1200x32 cannot be shown (.*); using the desktop's 1024x768x" "$out/mode-lacking.err"
rm -f "$user_folder/cfg"

# ---- Missing and corrupt main.pak -------------------------------------------------------
install missing
rm "$INSTALL/main.pak"
start missing "$INSTALL/calvetrin.scr" /s
wait_exit "$PID" 60
expect "a missing main.pak ends the run with 1 (got $EXIT_CODE)" [ "$EXIT_CODE" = 1 ]
expect "a missing main.pak ends it without a message" [ ! -s "$out/missing.out" -a ! -s "$out/missing.err" ]
# What the settings dialog tells of the last failure (tests/windows/config_dialog_test.cpp).
expect "and is recorded for the settings dialog" \
  [ "$(sed -n 2p "$user_folder/startup-failure.txt" | tr -d '\r')" = "Cannot open archive: $(winpath "$INSTALL")\\main.pak" ]

install corrupt
head -c 100 "$WINE_E2E_DIST/main.pak" >"$INSTALL/main.pak"
start corrupt "$INSTALL/calvetrin.scr" /s
wait_exit "$PID" 60
expect "a corrupt main.pak ends the run with 1 (got $EXIT_CODE)" [ "$EXIT_CODE" = 1 ]
expect "a corrupt main.pak is named in one line" \
  [ "$(cat "$out/corrupt.out" "$out/corrupt.err" | tr -d '\r')" = "Corrupt archive: $(winpath "$INSTALL")\\main.pak" ]
expect "and recorded for the settings dialog" \
  [ "$(sed -n 2p "$user_folder/startup-failure.txt" | tr -d '\r')" = "Corrupt archive: $(winpath "$INSTALL")\\main.pak" ]

# ---- Configure: "/c" and "/c:1234" start config.exe and return at once ----------------
for word in /c /c:1234; do
  name=configure-${word//[\/:]/}
  install "$name"
  cp "$LAUNCH_PROBE" "$INSTALL/config.exe"
  set_path "$INSTALL"
  # The screensaver is started from another folder; config.exe must still
  # start in the installation folder.
  (cd "$out" && CALVETRIN_PROBE_DIR=$(winpath "$INSTALL") wine_run "$INSTALL/calvetrin.scr" "$word" \
    >"$out/$name.out" 2>&1)
  code=$?
  expect "$word returns 0 (got $code)" [ "$code" = 0 ]
  # The stand-in config.exe waits for "go" before it writes "out": had the
  # screensaver waited for it, it would not have returned above.
  expect "$word: config.exe still runs after the screensaver returned" [ ! -e "$INSTALL/out" ]
  touch "$INSTALL/go"
  for _ in $(seq 300); do [ -e "$INSTALL/out" ] && break; sleep 0.1; done
  expect "$word: config.exe ran in the installation folder ($(cat "$INSTALL/out" 2>/dev/null))" \
    [ "$(cat "$INSTALL/out" 2>/dev/null)" = "$(winpath "$INSTALL")" ]
done
clear_path

# ---- Preview: a 152 x 112 child window of the given parent ----------------------------
install preview
rm -f "$out/preview-report" "$out/preview-go"
start preview "$PREVIEW_PARENT" "$(winpath "$INSTALL")\\calvetrin.scr" "$(winpath "$out")\\preview-report" \
  "$(winpath "$out")\\preview-go"
for _ in $(seq 600); do grep -q child "$out/preview-report" 2>/dev/null && break; sleep 0.1; done
import -window root "$out/preview.png" 2>/dev/null
touch "$out/preview-go"
wait_exit "$PID" 60
# Windows writes text lines ended by CR LF.
report=$(tr -d '\r' <"$out/preview-report" 2>/dev/null)
expect "/p: a 152x112 child window under the parent ($(head -n1 <<<"$report"))" grep -Eq '^child -?[0-9]+ -?[0-9]+ 152 112$' <<<"$report"
expect "/p: the screensaver ends with 0 when the parent is destroyed" grep -qx 'exit 0' <<<"$report"
expect "/p: the parent program saw all of it (exit $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]

end_checks "$out"
