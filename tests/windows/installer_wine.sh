#!/usr/bin/env bash
# The Windows installer, calvetrin-setup.exe, under Wine and Xvfb (run through
# tests/with-xvfb.sh), as an administrator and a user would meet it, into a
# folder named outside the ANSI code page:
#   - on a Windows older than 10 version 1903 that folder is refused;
#   - a silent install there; the installed screensaver run from the system
#     folder; its settings dialog started by /c, saving the user's own settings
#     while the installation folder cannot be written, and the next run using
#     them;
#   - setup over the installation: its page, cancelled; a silent upgrade while
#     the screensaver runs; a silent upgrade while another program holds a
#     file (exit code 3010, the file replaced at the next start);
#   - a silent uninstall while the screensaver runs, leaving nothing behind;
#     one while another program holds a file (3010, removed at the next start).
# Logs and screenshots stay in $INSTALLER_OUT.
#
# Environment (set by tests/windows/CMakeLists.txt):
#   INSTALLER_SETUP    build/windows/calvetrin-setup.exe (scripts/build-windows.sh
#                      makes it after the cross build)
#   INSTALLER_DIST     the folder it was made from (build/windows/dist)
#   INSTALLER_VERSION  the project's version, as Add/Remove Programs should show it
#   INSTALLER_HELPER   installer_helper.exe (run, hold, show, press)
#   INSTALLER_PREFIX   the Wine prefix, removed and made again on every run
#   INSTALLER_OUT      output directory
#   WINE_RUN           tests/windows/wine.sh
set -u
: "${INSTALLER_SETUP:?}" "${INSTALLER_DIST:?}" "${INSTALLER_VERSION:?}" "${INSTALLER_HELPER:?}" \
  "${INSTALLER_PREFIX:?}" "${INSTALLER_OUT:?}" "${WINE_RUN:?}"
if [ ! -f "$INSTALLER_SETUP" ]; then
  echo "FAIL: $INSTALLER_SETUP not found: scripts/build-windows.sh makes it after the cross build" >&2
  exit 1
fi
out=$INSTALLER_OUT
prefix=$INSTALLER_PREFIX
# Wine turns the command line's UTF-8 into the Windows programs' text.
export LANG=C.UTF-8

. "$(dirname "$0")/wine_helpers.sh"

wine_run() { "$WINE_RUN" "$prefix" "$@"; }
wineserver=${WINE_SERVER:-/usr/lib/wine/wineserver}
drive=$prefix/drive_c
# "Calvetrin Ω 日本": its name cannot be written in the ANSI code page.
win_folder='C:\Screen Savers\Calvetrin Ω 日本'
folder="$drive/Screen Savers/Calvetrin Ω 日本"
system=$drive/windows/system32
user_cfg=$drive/users/$(id -un)/AppData/Roaming/Calvetrin/cfg
settings_key='HKLM\Software\Quorvane\Calvetrin\Settings'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Calvetrin'
pending_key='HKLM\System\CurrentControlSet\Control\Session Manager'
files=(calvetrin.scr config.exe calvetrin-pak.exe main.pak preview.ppk README.txt NOTICES.txt LGPL-2.1.txt MINGW-W64.txt)

# An installation folder that cannot be written: immutable for root (whom
# file modes do not stop), without write permission otherwise.
lock_folder() { if [ "$(id -u)" = 0 ]; then chattr +i "$1"; else chmod a-w "$1"; fi; }
unlock_folder() { if [ "$(id -u)" = 0 ]; then chattr -i "$1" 2>/dev/null; else chmod u+w "$1" 2>/dev/null; fi; }
cleanup() {
  [ -d "$folder" ] && unlock_folder "$folder"
  WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null
}
trap cleanup EXIT
[ -d "$folder" ] && unlock_folder "$folder"
rm -rf "$out" "$prefix"
mkdir -p "$out"
cp "$INSTALLER_SETUP" "$INSTALLER_HELPER" "$out/"
setup="$(printf 'Z:%s' "${out//\//\\}")\\calvetrin-setup.exe"

# helper ARGS...: installer_helper.exe in the prefix.
helper() { wine_run "$out/installer_helper.exe" "$@"; }
# run NAME COMMAND_LINE: runs a Windows command line exactly as given and sets
# EXIT_CODE to its whole exit code (Unix keeps only its low 8 bits).
run() {
  helper run "$2" >"$out/$1.out" 2>"$out/$1.err"
  EXIT_CODE=$(tr -d '\r' <"$out/$1.out" | sed -n 's/^exit code: //p')
}
# reg_value KEY NAME: a text value as `reg export` writes it (in UTF-16, which
# holds every name), without its quotes and escapes; dword:XXXXXXXX for a
# number; nothing when there is no such value.
reg_value() {
  rm -f "$out/export.reg"
  wine_run reg export "$1" "$(printf 'Z:%s' "${out//\//\\}")\\export.reg" /reg:64 /y >/dev/null 2>&1
  [ -f "$out/export.reg" ] || return 0
  iconv -f UTF-16LE -t UTF-8 "$out/export.reg" | tr -d '\r' | sed -n "s/^\"$2\"=//p" |
    sed -E 's/^"(.*)"$/\1/; s/\\(.)/\1/g'
}
key_absent() { ! wine_run reg query "$1" /reg:64 >/dev/null 2>&1; }
# The files waiting to be moved or deleted at the next start, as reg query
# shows them (names outside ASCII garbled, the rest readable).
pending() { wine_run reg query "$pending_key" /v PendingFileRenameOperations /reg:64 2>/dev/null | tr -d '\r\0'; }
no_pending() { ! grep -qa PendingFileRenameOperations <<<"$(pending)"; }
same_as_dist() {
  local f
  for f in "${files[@]}"; do cmp -s "$folder/$f" "$INSTALLER_DIST/$f" || return 1; done
}
# restart: Windows' start-up, which carries out the replacements and removals
# waiting for it.
restart() { wine_run wineboot -r >/dev/null 2>&1; WINEPREFIX=$prefix timeout 120 "$wineserver" -w; }
# saver NAME: the system folder's screensaver full screen, until its scene shows.
saver() {
  start "$1" 'C:\windows\system32\calvetrin.scr' /s
  wait_scene "$1" || fail "$1: no scene on the screen within 60 s (see $out/$1.png)"
}

# ---- A Windows older than 10 version 1903: the folder is refused ---------------
wine_run winecfg -v win7 >/dev/null 2>&1
run refused "$setup /S /D=$win_folder"
expect "before Windows 10 1903 the folder is refused with exit code 2 (got $EXIT_CODE)" [ "$EXIT_CODE" = 2 ]
expect "and nothing is installed" [ ! -e "$drive/Screen Savers" -a ! -e "$system/calvetrin.scr" ]
wine_run winecfg -v win10 >/dev/null 2>&1

# ---- Silent install into the folder ------------------------------------------------------
run install "$setup /S /D=$win_folder"
expect "/S installs and exits with 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
expect "the folder holds the files as built (else the installer is older than $INSTALLER_DIST)" same_as_dist
expect "the uninstaller is in the folder" [ -f "$folder/uninstall.exe" ]
expect "calvetrin.scr is in the 64-bit system folder" cmp -s "$system/calvetrin.scr" "$INSTALLER_DIST/calvetrin.scr"
expect "and not in the 32-bit one" [ ! -e "$drive/windows/syswow64/calvetrin.scr" ]
expect "Path is the folder with its backslash" [ "$(reg_value "$settings_key" Path)" = "$win_folder\\" ]
expect "Add/Remove: DisplayName" [ "$(reg_value "$uninstall_key" DisplayName)" = "Calvetrin screensaver" ]
expect "Add/Remove: DisplayVersion $INSTALLER_VERSION" \
  [ "$(reg_value "$uninstall_key" DisplayVersion)" = "$INSTALLER_VERSION" ]
expect "Add/Remove: InstallLocation" [ "$(reg_value "$uninstall_key" InstallLocation)" = "$win_folder" ]
expect "Add/Remove: the uninstaller runs in place, so that it is waited for" \
  [ "$(reg_value "$uninstall_key" UninstallString)" = "\"$win_folder\\uninstall.exe\" _?=$win_folder" ]
quiet=$(reg_value "$uninstall_key" QuietUninstallString)
expect "Add/Remove: QuietUninstallString ($quiet)" [ "$quiet" = "\"$win_folder\\uninstall.exe\" /S _?=$win_folder" ]
expect "Add/Remove: the installation made 'C:\\Screen Savers'" \
  [ "$(reg_value "$uninstall_key" MadeFolder)" = 'C:\Screen Savers' ]
installed_kib=$(cat "$folder"/* "$system/calvetrin.scr" | wc -c | awk '{ printf "%d", $1 / 1024 }')
estimated=$(reg_value "$uninstall_key" EstimatedSize)
estimated_kib=$((16#${estimated#dword:}))
expect "Add/Remove: EstimatedSize $estimated_kib KiB is what was installed ($installed_kib KiB)" \
  [ $((estimated_kib - installed_kib)) -ge -8 -a $((estimated_kib - installed_kib)) -le 8 ]

# ---- The installed screensaver, run from the system folder -------------------------------
# Its content is not beside it there: only "Path" leads it to the folder.
saver fullscreen
pass "the installed calvetrin.scr /s draws the scene ($(colours "$out/fullscreen.png") colours)"
xdotool key Escape
wait_exit "$PID" 20
expect "Escape ends it with 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]

# ---- /c, the dialog saving the user's own settings -----------------------------------------
lock_folder "$folder"
expect "the installation folder cannot be written now" bash -c "! touch '$folder/probe' 2>/dev/null"
start configure 'C:\windows\system32\calvetrin.scr' /c
wait_exit "$PID" 60
expect "/c returns 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
helper press "Calvetrin settings" "&Moving the mouse ends the screensaver" OK 2>&1 | tr -d '\r' >"$out/dialog.txt"
expect "/c opened the settings dialog, where the mouse box and OK were pressed" grep -q "^&Display mode:" "$out/dialog.txt"
expect "the dialog showed the defaults" grep -q "^No settings file yet: these are the defaults." "$out/dialog.txt"
for _ in $(seq 300); do [ -s "$user_cfg" ] && break; sleep 0.2; done
expect "OK saved the user's own settings, mouse motion ending the run" \
  [ "$(od -An -tu1 -j4 -N1 "$user_cfg" 2>/dev/null | tr -d ' ')" = 1 ]
unlock_folder "$folder"
expect "and wrote nothing into the installation folder" [ ! -e "$folder/cfg" ]
cp "$user_cfg" "$out/cfg.saved"

saver next-run
sleep 4
xdotool mousemove 100 100 mousemove 300 200
wait_exit "$PID" 20
expect "the next run uses them: moving the mouse ends it with 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]

# ---- Setup over the installation: its page, cancelled --------------------------------------
start page "$out/installer_helper.exe" run "$setup"
helper show "Calvetrin $INSTALLER_VERSION Setup" "&Repair" 2>&1 | tr -d '\r' >"$out/page.txt"
import -window root "$out/page.png" 2>/dev/null
expect "the page names the installation" grep -qxF "Installed: Calvetrin $INSTALLER_VERSION in $win_folder" "$out/page.txt"
expect "and the version offered" grep -qxF "Offered: Calvetrin $INSTALLER_VERSION" "$out/page.txt"
helper press "Calvetrin $INSTALLER_VERSION Setup" Cancel >/dev/null
helper press "Calvetrin $INSTALLER_VERSION Setup" "&Yes" >/dev/null
wait_exit "$PID" 60
cancelled=$(tr -d '\r' <"$out/page.out" | sed -n 's/^exit code: //p')
expect "Cancel ends setup with 1 (got $cancelled)" [ "$cancelled" = 1 ]
expect "and leaves the installation as it was" same_as_dist

# ---- Silent upgrade while the screensaver runs --------------------------------------------
saver upgrade-running
head -c 100 "$INSTALLER_DIST/main.pak" >"$folder/main.pak"
run upgrade "$setup /S"
expect "an upgrade while the screensaver runs exits with 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
wait_exit "$PID" 30
expect "it ended the screensaver (got $EXIT_CODE)" [ "$EXIT_CODE" != timeout ]
expect "and replaced the programs and content" same_as_dist
expect "nothing waits for the next start" no_pending
expect "nothing is left beside the files" [ -z "$(ls "$folder" "$system" | grep '\.new$')" ]
expect "the user's settings are as they were" cmp -s "$user_cfg" "$out/cfg.saved"

# ---- Silent upgrade while another program holds a file ------------------------------------
head -c 100 "$INSTALLER_DIST/main.pak" >"$folder/main.pak"
rm -f "$out/go"
start hold "$out/installer_helper.exe" hold "$win_folder\\main.pak" "$(printf 'Z:%s' "${out//\//\\}")\\go"
for _ in $(seq 300); do grep -q held "$out/hold.out" 2>/dev/null && break; sleep 0.2; done
run upgrade-held "$setup /S"
expect "with main.pak held, the upgrade exits with 3010, a restart needed (got $EXIT_CODE)" [ "$EXIT_CODE" = 3010 ]
expect "the new main.pak waits beside the old one" cmp -s "$folder/main.pak.new" "$INSTALLER_DIST/main.pak"
expect "its move is registered for the next start" grep -qaF 'main.pak.new' <<<"$(pending)"
touch "$out/go"
wait_exit "$PID" 30
restart
expect "after a restart main.pak is the new one" cmp -s "$folder/main.pak" "$INSTALLER_DIST/main.pak"
expect "and nothing is left" [ ! -e "$folder/main.pak.new" ]
expect "or pending" no_pending

# ---- Silent uninstall while the screensaver runs ------------------------------------------
wine_run reg add 'HKCU\Control Panel\Desktop' /v SCRNSAVE.EXE /d 'C:\windows\system32\calvetrin.scr' /f >/dev/null 2>&1
saver uninstall-running
run uninstall "$quiet"
expect "an uninstall while the screensaver runs exits with 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
wait_exit "$PID" 30
expect "it ended the screensaver (got $EXIT_CODE)" [ "$EXIT_CODE" != timeout ]
WINEPREFIX=$prefix timeout 120 "$wineserver" -w
expect "the folder and the one the installation made above it are gone" [ ! -e "$drive/Screen Savers" ]
expect "calvetrin.scr left the system folder" [ ! -e "$system/calvetrin.scr" ]
expect "the uninstaller left no copy in TEMP ($(ls "$drive/users/$(id -un)/Temp" | tr '\n' ' '))" \
  [ -z "$(ls -d "$drive"/users/*/Temp/~nsu* 2>/dev/null)" ]
expect "the user's choice of screensaver is gone" [ -z "$(reg_value 'HKCU\Control Panel\Desktop' SCRNSAVE.EXE)" ]
expect "Path and its keys are gone" key_absent 'HKLM\Software\Quorvane'
expect "the Add/Remove entry is gone" key_absent "$uninstall_key"
expect "nothing waits for the next start" no_pending
expect "a silent uninstall keeps the user's own settings" cmp -s "$user_cfg" "$out/cfg.saved"

# ---- Silent uninstall while another program holds a file -----------------------------------
# Into the default folder, with a cfg there as an earlier version wrote it.
run reinstall "$setup /S"
expect "installing again, into Program Files, exits with 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
folder="$drive/Program Files/Calvetrin"
cp "$out/cfg.saved" "$folder/cfg"
rm -f "$out/go"
start hold-readme "$out/installer_helper.exe" hold 'C:\Program Files\Calvetrin\README.txt' \
  "$(printf 'Z:%s' "${out//\//\\}")\\go"
for _ in $(seq 300); do grep -q held "$out/hold-readme.out" 2>/dev/null && break; sleep 0.2; done
run uninstall-held "$(reg_value "$uninstall_key" QuietUninstallString)"
expect "with README.txt held, the uninstall exits with 3010 (got $EXIT_CODE)" [ "$EXIT_CODE" = 3010 ]
touch "$out/go"
wait_exit "$PID" 30
WINEPREFIX=$prefix timeout 120 "$wineserver" -w
restart
left=$(ls -A "$folder" 2>/dev/null | tr '\n' ' ')
expect "after a restart only the earlier version's cfg is left, and kept (left: $left)" [ "$left" = "cfg " ]
expect "and nothing is pending" no_pending

end_checks "$out"
