#!/usr/bin/env bash
# The Windows installer, calvetrin-setup.exe, under Wine on a private Xvfb, into
# a folder named outside the ANSI code page: refused before Windows 10 1903;
# a silent install, the screensaver run from the system folder, /c saving the
# user's own settings while the folder cannot be written, and the next run
# using them; setup over the installation (its page, cancelled); silent
# upgrades and uninstalls while the screensaver runs or another program holds
# a file (exit code 3010, the file replaced or removed at the next start).
# usage: installer_wine.sh SETUP DIST VERSION HELPER OUT_DIR
#   SETUP the installer (the cross tree's target 'installer'), DIST its folder,
#   VERSION as Add/Remove Programs should show it, HELPER installer_helper.exe
source "$(dirname "$0")/../harness/harness.sh"
dist=$2 version=$3
harness_init "$5"
[ -f "$1" ] || { echo "FAIL: no installer $1 (the cross tree's target 'installer' makes it)" >&2; exit 1; }
# Wine turns the command line's UTF-8 into the Windows programs' text.
export LANG=C.UTF-8
wine_prefix "$OUT/prefix"
start_xserver
drive=$WINE_PREFIX/drive_c
# "Calvetrin Ω 日本": its name cannot be written in the ANSI code page.
win_folder='C:\Screen Savers\Calvetrin Ω 日本'
folder="$drive/Screen Savers/Calvetrin Ω 日本"
system=$drive/windows/system32
user_cfg=$drive/users/$(id -un)/AppData/Roaming/Calvetrin/cfg
settings_key='HKLM\Software\Quorvane\Calvetrin\Settings'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Calvetrin'
mapfile -t files < <(ls "$dist")
cp "$1" "$4" "$OUT/"
setup="$(winpath "$OUT")\\calvetrin-setup.exe"

# A folder that cannot be written: immutable for root, whom modes do not stop.
lock_folder() { if [ "$(id -u)" = 0 ]; then chattr +i "$1"; else chmod a-w "$1"; fi; }
unlock_folder() { if [ "$(id -u)" = 0 ]; then chattr -i "$1" 2>/dev/null; else chmod u+w "$1" 2>/dev/null; fi; }
at_exit '[ ! -d "$folder" ] || unlock_folder "$folder"'
# helper ARGS...: installer_helper.exe in the prefix.
helper() { wine_run "$OUT/installer_helper.exe" "$@"; }
# runs WHAT CODE NAME COMMAND_LINE: a Windows command line run exactly as given
# ends with CODE, its whole exit code (Unix keeps only its low 8 bits).
runs() {
  helper run "$4" >"$OUT/$3.out" 2>"$OUT/$3.err"; EXIT_CODE=$(tr -d '\r' <"$OUT/$3.out" | sed -n 's/^exit code: //p')
  expect "$1 exits with $2 (got $EXIT_CODE)" [ "$EXIT_CODE" = "$2" ]
}
# reg_text KEY NAME: a value as `reg export` writes it (in UTF-16, which holds
# every name), without quotes and escapes; dword:XXXXXXXX for a number.
reg_text() {
  rm -f "$OUT/export.reg"
  wine_run reg export "$1" "$(winpath "$OUT")\\export.reg" /reg:64 /y >/dev/null 2>&1
  [ ! -f "$OUT/export.reg" ] ||
    iconv -f UTF-16LE -t UTF-8 "$OUT/export.reg" | tr -d '\r' | sed -n "s/^\"$2\"=//p" | sed -E 's/^"(.*)"$/\1/; s/\\(.)/\1/g'
}
key_absent() { ! wine_run reg query "$1" /reg:64 >/dev/null 2>&1; }
# pending: the files to be moved or deleted at the next start (ASCII names readable).
pending() {
  wine_run reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations /reg:64 \
    2>/dev/null | tr -d '\r\0'
}
no_pending() { ! grep -qa PendingFileRenameOperations <<<"$(pending)"; }
same_as_dist() { local f; for f in "${files[@]}"; do cmp -s "$folder/$f" "$dist/$f" || return 1; done; }
# restart: Windows' start-up, which carries out what waits for it.
restart() { wine_run wineboot -r >/dev/null 2>&1; wine_wait; }
# saver NAME: the system folder's screensaver full screen, until its scene shows.
saver() { start "$1" wine_run 'C:\windows\system32\calvetrin.scr' /s && expect "$1: the scene shows" wait_scene "$1" 60; }
# hold NAME FILE: installer_helper holds the Windows file FILE until $OUT/go exists.
hold() {
  rm -f "$OUT/go"
  start "$1" wine_run "$OUT/installer_helper.exe" hold "$2" "$(winpath "$OUT")\\go"
  wait_for 60 grep -q held "$OUT/$1.out"
}

# A Windows older than 10 version 1903: the folder is refused.
wine_run winecfg -v win7 >/dev/null 2>&1
runs "before Windows 10 1903 the folder is refused:" 2 refused "$setup /S /D=$win_folder"
expect "and nothing is installed" [ ! -e "$drive/Screen Savers" -a ! -e "$system/calvetrin.scr" ]
wine_run winecfg -v win10 >/dev/null 2>&1

runs "/S installs and" 0 install "$setup /S /D=$win_folder"
expect "the folder holds the files of $dist (${files[*]})" same_as_dist
expect "the uninstaller is in the folder" [ -f "$folder/uninstall.exe" ]
expect "calvetrin.scr is in the 64-bit system folder" cmp -s "$system/calvetrin.scr" "$dist/calvetrin.scr"
expect "and not in the 32-bit one" [ ! -e "$drive/windows/syswow64/calvetrin.scr" ]
expect "Path is the folder with its backslash" [ "$(reg_text "$settings_key" Path)" = "$win_folder\\" ]
quiet=$(reg_text "$uninstall_key" QuietUninstallString)
for entry in "DisplayName=Calvetrin screensaver" "DisplayVersion=$version" "InstallLocation=$win_folder" \
  "UninstallString=\"$win_folder\\uninstall.exe\" _?=$win_folder" \
  "QuietUninstallString=\"$win_folder\\uninstall.exe\" /S _?=$win_folder" 'MadeFolder=C:\Screen Savers'; do
  expect "Add/Remove: ${entry%%=*} is ${entry#*=}" [ "$(reg_text "$uninstall_key" "${entry%%=*}")" = "${entry#*=}" ]
done
installed_kib=$(cat "$folder"/* "$system/calvetrin.scr" | wc -c | awk '{ printf "%d", $1 / 1024 }')
estimated=$(reg_text "$uninstall_key" EstimatedSize)
estimated_kib=$((16#${estimated#dword:}))
expect "Add/Remove: EstimatedSize $estimated_kib KiB is what was installed ($installed_kib KiB)" \
  num_between $((estimated_kib - installed_kib)) -8 8

# The installed screensaver, run from the system folder: its content is not
# beside it there, only "Path" leads it to the folder.
saver fullscreen && xdotool key Escape
expect_exit "Escape ends it" 0 "$PID" 20

# /c, the dialog saving the user's own settings.
lock_folder "$folder"
expect "the installation folder cannot be written now" bash -c "! touch '$folder/probe' 2>/dev/null"
start configure wine_run 'C:\windows\system32\calvetrin.scr' /c
expect_exit "/c returns" 0 "$PID" 60
helper press "Calvetrin settings" "&Moving the mouse ends the screensaver" OK 2>&1 | tr -d '\r' >"$OUT/dialog.txt"
expect "/c opened the settings dialog, where the mouse box and OK were pressed" grep -q "^&Display mode:" "$OUT/dialog.txt"
expect "the dialog showed the defaults" grep -q "^No settings file yet: these are the defaults." "$OUT/dialog.txt"
wait_for 60 [ -s "$user_cfg" ]
expect "OK saved the user's own settings, mouse motion ending the run" \
  [ "$(od -An -tu1 -j4 -N1 "$user_cfg" 2>/dev/null | tr -d ' ')" = 1 ]
unlock_folder "$folder"
expect "and wrote nothing into the installation folder" [ ! -e "$folder/cfg" ]
cp "$user_cfg" "$OUT/cfg.saved"
saver next-run
sleep 4
xdotool mousemove 100 100 mousemove 300 200
expect_exit "the next run uses them: moving the mouse ends it" 0 "$PID" 20

# Setup over the installation: its page, cancelled.
start page wine_run "$OUT/installer_helper.exe" run "$setup"
helper show "Calvetrin $version Setup" "&Repair" 2>&1 | tr -d '\r' >"$OUT/page.txt"
shot page >/dev/null
expect "the page names the installation" grep -qxF "Installed: Calvetrin $version in $win_folder" "$OUT/page.txt"
expect "and the version offered" grep -qxF "Offered: Calvetrin $version" "$OUT/page.txt"
helper press "Calvetrin $version Setup" Cancel >/dev/null
helper press "Calvetrin $version Setup" "&Yes" >/dev/null
wait_exit "$PID" 60
cancelled=$(tr -d '\r' <"$OUT/page.out" | sed -n 's/^exit code: //p')
expect "Cancel ends setup with 1 (got $cancelled)" [ "$cancelled" = 1 ]
expect "and leaves the installation as it was" same_as_dist

# A silent upgrade while the screensaver runs.
saver upgrade-running
head -c 100 "$dist/main.pak" >"$folder/main.pak"
runs "an upgrade while the screensaver runs" 0 upgrade "$setup /S"
expect "it ended the screensaver" wait_exit "$PID" 30
expect "and replaced the programs and content" same_as_dist
expect "nothing waits for the next start" no_pending
expect "nothing is left beside the files" [ -z "$(ls "$folder" "$system" | grep '\.new$')" ]
expect "the user's settings are as they were" cmp -s "$user_cfg" "$OUT/cfg.saved"

# A silent upgrade while another program holds a file.
head -c 100 "$dist/main.pak" >"$folder/main.pak"
hold hold "$win_folder\\main.pak"
runs "with main.pak held, the upgrade needs a restart:" 3010 upgrade-held "$setup /S"
expect "the new main.pak waits beside the old one" cmp -s "$folder/main.pak.new" "$dist/main.pak"
expect "its move is registered for the next start" grep -qaF 'main.pak.new' <<<"$(pending)"
touch "$OUT/go"
wait_exit "$PID" 30
restart
expect "after a restart main.pak is the new one" cmp -s "$folder/main.pak" "$dist/main.pak"
expect "and nothing is left" [ ! -e "$folder/main.pak.new" ]
expect "or pending" no_pending

# A silent uninstall while the screensaver runs.
wine_run reg add 'HKCU\Control Panel\Desktop' /v SCRNSAVE.EXE /d 'C:\windows\system32\calvetrin.scr' /f >/dev/null 2>&1
saver uninstall-running
runs "an uninstall while the screensaver runs" 0 uninstall "$quiet"
expect "it ended the screensaver" wait_exit "$PID" 30
wine_wait
expect "the folder and the one the installation made above it are gone" [ ! -e "$drive/Screen Savers" ]
expect "calvetrin.scr left the system folder" [ ! -e "$system/calvetrin.scr" ]
expect "the uninstaller left no copy in TEMP" [ -z "$(ls -d "$drive"/users/*/Temp/~nsu* 2>/dev/null)" ]
expect "the user's choice of screensaver is gone" [ -z "$(reg_text 'HKCU\Control Panel\Desktop' SCRNSAVE.EXE)" ]
expect "Path and its keys are gone" key_absent 'HKLM\Software\Quorvane'
expect "the Add/Remove entry is gone" key_absent "$uninstall_key"
expect "nothing waits for the next start" no_pending
expect "a silent uninstall keeps the user's own settings" cmp -s "$user_cfg" "$OUT/cfg.saved"

# A silent uninstall while another program holds a file: installed again in
# the default folder, with a cfg there as an earlier version wrote it.
runs "installing again, into Program Files," 0 reinstall "$setup /S"
folder="$drive/Program Files/Calvetrin"
cp "$OUT/cfg.saved" "$folder/cfg"
hold hold-readme 'C:\Program Files\Calvetrin\README.txt'
runs "with README.txt held, the uninstall" 3010 uninstall-held "$(reg_text "$uninstall_key" QuietUninstallString)"
touch "$OUT/go"
wait_exit "$PID" 30
wine_wait
restart
left=$(ls -A "$folder" 2>/dev/null | tr '\n' ' ')
expect "after a restart only the earlier version's cfg is left, and kept (left: $left)" [ "$left" = "cfg " ]
expect "and nothing is pending" no_pending
end_checks
