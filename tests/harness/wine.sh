#!/usr/bin/env bash
# wine.sh PREFIX PROGRAM [ARG...]: runs a Windows program under 64-bit Wine in
# the Wine prefix PREFIX (made on first use, without Wine's desktop
# integration or its Mono and Gecko prompts) and exits with its status.
set -u
prefix=$1
shift
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers, no menu entries or file associations on the host.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=}
wine=${CALVETRIN_WINE:-/usr/lib/wine/wine64}
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$prefix"
  # Two first uses at once would both make it: the first one does, under a lock.
  (
    flock 9
    [ -f "$prefix/system.reg" ] || "$wine" wineboot --init >/dev/null 2>&1
    "${wine%/*}/wineserver" -w 2>/dev/null || wineserver -w 2>/dev/null
  ) 9>"$prefix.lock"
fi
exec "$wine" "$@"
