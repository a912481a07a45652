#!/usr/bin/env bash
# The Windows installer, calvetrin-setup.exe, under Wine and Xvfb (run through
# tests/with-xvfb.sh), as an administrator would use it from a command prompt:
# a silent install into a fresh Wine prefix, the installed screensaver run from
# the system folder, a settings change, a silent install over it (an upgrade),
# and silent uninstalls with and without the user's settings file. Logs and
# screenshots stay in $INSTALLER_OUT.
#
# Environment (set by tests/windows/CMakeLists.txt):
#   INSTALLER_SETUP    build/windows/calvetrin-setup.exe (scripts/build-windows.sh
#                      makes it after the cross build)
#   INSTALLER_DIST     the folder it was made from (build/windows/dist)
#   INSTALLER_VERSION  the project's version, as Add/Remove Programs should show it
#   INSTALLER_PREFIX   the Wine prefix, removed and made again on every run
#   INSTALLER_OUT      output directory
#   WINE_RUN           tests/windows/wine.sh
set -u
: "${INSTALLER_SETUP:?}" "${INSTALLER_DIST:?}" "${INSTALLER_VERSION:?}" "${INSTALLER_PREFIX:?}" \
  "${INSTALLER_OUT:?}" "${WINE_RUN:?}"
if [ ! -f "$INSTALLER_SETUP" ]; then
  echo "FAIL: $INSTALLER_SETUP not found: scripts/build-windows.sh makes it after the cross build" >&2
  exit 1
fi
out=$INSTALLER_OUT
prefix=$INSTALLER_PREFIX
rm -rf "$out" "$prefix"
mkdir -p "$out"

. "$(dirname "$0")/wine_helpers.sh"

wine_run() { "$WINE_RUN" "$prefix" "$@"; }
wineserver=${WINE_SERVER:-/usr/lib/wine/wineserver}
cleanup() { WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null; }
trap cleanup EXIT

folder="$prefix/drive_c/Program Files/Calvetrin"
system="$prefix/drive_c/windows/system32"
settings_key='HKLM\Software\Quorvane\Calvetrin\Settings'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Calvetrin'
files=(calvetrin.scr config.exe calvetrin-pak.exe main.pak preview.ppk README.txt NOTICES.txt LGPL-2.1.txt MINGW-W64.txt)

# reg_value KEY NAME [VIEW]: the value's data as `reg query` prints it, in the
# 64-bit view unless VIEW is 32; nothing when there is no such value.
reg_value() {
  wine_run reg query "$1" /v "$2" "/reg:${3:-64}" 2>/dev/null | tr -d '\r' |
    sed -nE "s/^    $2    REG_[A-Z_]+    //p"
}
# reg_key_absent HKLM\KEY: the key's parent can be read, and does not list it
# among its subkeys.
reg_key_absent() {
  local subkeys
  subkeys=$(wine_run reg query "${1%\\*}" /reg:64 2>/dev/null) || return 1
  ! tr -d '\r' <<<"$subkeys" | grep -qixF "HKEY_LOCAL_MACHINE\\${1#HKLM\\}"
}

# run_setup NAME ARGS...: runs the installer with ARGS; its exit code in $EXIT_CODE.
run_setup() {
  local name=$1
  shift
  start "$name" "$INSTALLER_SETUP" "$@"
  wait_exit "$PID" 300
}

# uninstall NAME: runs Add/Remove Programs' QuietUninstallString as Windows
# does. The uninstaller copies itself to TEMP, starts the copy and returns, so
# the wait is for every program in the prefix to end (wineserver -w).
uninstall() {
  local quiet exe
  quiet=$(reg_value "$uninstall_key" QuietUninstallString)
  exe=${quiet#\"}
  exe=${exe%%\"*}
  expect "$1: QuietUninstallString names the uninstaller with /S ($quiet)" \
    [ "$quiet" = "\"$exe\" /S" -a "$exe" = 'C:\Program Files\Calvetrin\uninstall.exe' ]
  start "$1" "$exe" /S
  wait_exit "$PID" 120
  expect "$1: the uninstaller returns 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
  WINEPREFIX=$prefix timeout 120 "$wineserver" -w
  local code=$?
  expect "$1: its copy in TEMP ended within 120 s" [ "$code" = 0 ]
}

# same_as_dist FILE...: each installed file is the folder's as built.
same_as_dist() {
  local f
  for f in "$@"; do cmp -s "$folder/$f" "$INSTALLER_DIST/$f" || return 1; done
}

# ---- Silent install into a fresh prefix ---------------------------------------------
run_setup install /S
expect "/S installs and returns 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
expect "the folder under Program Files holds the files as built (else the installer is older than $INSTALLER_DIST)" \
  same_as_dist "${files[@]}"
expect "the uninstaller is in the folder" [ -f "$folder/uninstall.exe" ]
expect "calvetrin.scr is in the 64-bit system folder" cmp -s "$system/calvetrin.scr" "$INSTALLER_DIST/calvetrin.scr"
expect "and not in the 32-bit one" [ ! -e "$prefix/drive_c/windows/syswow64/calvetrin.scr" ]
path_value=$(reg_value "$settings_key" Path)
expect "Path is the folder with its backslash ($path_value)" [ "$path_value" = 'C:\Program Files\Calvetrin\' ]
expect "Path is written in the 64-bit view only" [ -z "$(reg_value "$settings_key" Path 32)" ]

expect "Add/Remove: DisplayName" [ "$(reg_value "$uninstall_key" DisplayName)" = "Calvetrin screensaver" ]
expect "Add/Remove: DisplayVersion $INSTALLER_VERSION" \
  [ "$(reg_value "$uninstall_key" DisplayVersion)" = "$INSTALLER_VERSION" ]
expect "Add/Remove: Publisher" [ "$(reg_value "$uninstall_key" Publisher)" = Quorvane ]
expect "Add/Remove: InstallLocation" \
  [ "$(reg_value "$uninstall_key" InstallLocation)" = 'C:\Program Files\Calvetrin' ]
expect "Add/Remove: UninstallString" \
  [ "$(reg_value "$uninstall_key" UninstallString)" = '"C:\Program Files\Calvetrin\uninstall.exe"' ]
expect "Add/Remove: DisplayIcon" \
  [ "$(reg_value "$uninstall_key" DisplayIcon)" = 'C:\Program Files\Calvetrin\calvetrin.scr,0' ]
expect "Add/Remove: NoModify and NoRepair" \
  [ "$(reg_value "$uninstall_key" NoModify)$(reg_value "$uninstall_key" NoRepair)" = 0x10x1 ]
# The folder, the uninstaller and the system copy, in KiB (rounding aside).
installed_kib=$(cat "$folder"/* "$system/calvetrin.scr" | wc -c | awk '{ printf "%d", $1 / 1024 }')
estimated_kib=$(($(reg_value "$uninstall_key" EstimatedSize)))
expect "Add/Remove: EstimatedSize $estimated_kib KiB is what was installed ($installed_kib KiB)" \
  [ $((estimated_kib - installed_kib)) -ge -8 -a $((estimated_kib - installed_kib)) -le 8 ]

# ---- The installed screensaver, run from the system folder --------------------------
# Its content is not beside it there: only "Path" leads it to the folder.
start fullscreen 'C:\windows\system32\calvetrin.scr' /s
if wait_scene fullscreen; then
  pass "the installed calvetrin.scr /s draws the scene ($(colours "$out/fullscreen.png") colours)"
  xdotool key Escape
  wait_exit "$PID" 20
  expect "Escape ends it with 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
else
  fail "the installed calvetrin.scr /s: no scene on the screen within 60 s (see $out/fullscreen.png)"
  wait_exit "$PID" 0
fi

# ---- A settings change, then an install over it -----------------------------------
start settings 'C:\Program Files\Calvetrin\config.exe' --phase 20
wait_exit "$PID" 60
expect "the installed config.exe writes cfg into the folder (exit $EXIT_CODE)" \
  [ "$EXIT_CODE" = 0 -a -f "$folder/cfg" ]
cp "$folder/cfg" "$out/cfg.saved"
# A damaged file must be replaced, and a different folder asked for must not
# split the installation in two.
head -c 100 "$INSTALLER_DIST/main.pak" >"$folder/main.pak"
run_setup upgrade /S '/D=C:\Elsewhere'
expect "installing over it returns 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
expect "the upgrade replaces the programs and content" same_as_dist "${files[@]}"
expect "the upgrade keeps the user's cfg" cmp -s "$folder/cfg" "$out/cfg.saved"
expect "the upgrade stays in the installed folder" [ ! -e "$prefix/drive_c/Elsewhere" ]
expect "Path still names it" [ "$(reg_value "$settings_key" Path)" = 'C:\Program Files\Calvetrin\' ]

# ---- Silent uninstall: everything but the user's cfg goes --------------------------
uninstall uninstall-kept
left=$(ls -A "$folder" 2>/dev/null | tr '\n' ' ')
expect "a silent uninstall keeps only cfg in the folder (left: $left)" [ "$left" = "cfg " ]
expect "and keeps it unchanged" cmp -s "$folder/cfg" "$out/cfg.saved"
expect "calvetrin.scr left the system folder" [ ! -e "$system/calvetrin.scr" ]
expect "Path and its keys are gone" reg_key_absent 'HKLM\Software\Quorvane'
expect "the Add/Remove entry is gone" reg_key_absent "$uninstall_key"

# ---- Installed again over the kept settings, then uninstalled without them ----------
run_setup reinstall /S
expect "installing again returns 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
expect "and finds the kept cfg" cmp -s "$folder/cfg" "$out/cfg.saved"
rm -f "$folder/cfg"
uninstall uninstall-clean
expect "without a cfg, the uninstall removes the folder" [ ! -e "$folder" ]

end_checks "$out"
