#!/usr/bin/env bash
# wine.sh PREFIX PROGRAM [ARG...]: runs a Windows program under 64-bit Wine in
# the prefix PREFIX and exits with its status. The prefix is made on first use
# (by one caller at a time, under a lock), without Mono or Gecko installers,
# menu entries or file associations on the host.
set -u
export WINEPREFIX=$1 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=}
wine=${CALVETRIN_WINE:-/usr/lib/wine/wine64}
shift
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  (flock 9 && { [ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot --init >/dev/null 2>&1; } &&
    { "${wine%/*}/wineserver" -w || wineserver -w; }) 9>"$WINEPREFIX.lock" 2>/dev/null
fi
exec "$wine" "$@"
