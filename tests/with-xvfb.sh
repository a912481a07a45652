#!/usr/bin/env bash
# Runs a command under a private Xvfb server (Mesa's software renderer) and
# exits with the command's status. The screen size can be set with
# XVFB_SCREEN (default 1024x768x24).
set -u
tmp=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp +extension GLX \
  3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb=$!
# Up to 30 s: a machine busy with other tests can be slow to start a server.
for _ in $(seq 600); do
  [ -s "$tmp/display" ] && break
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.05
done
if [ ! -s "$tmp/display" ]; then
  echo "with-xvfb: Xvfb did not start" >&2
  cat "$tmp/xvfb.log" >&2
  rm -rf "$tmp"
  exit 1
fi
export DISPLAY=":$(head -n1 "$tmp/display")"
export LIBGL_ALWAYS_SOFTWARE=1
"$@"
rc=$?
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
rm -rf "$tmp"
exit $rc
