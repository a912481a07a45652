#!/usr/bin/env bash
# Mode words. A first word whose second character is 'c' or 'C' starts
# "config.exe" from the installation directory, with that directory as its
# working directory, and returns 0 without waiting for it. "/s", an empty
# command line, "/p:123" and the one-character word "c" run the full-screen
# mode.
source "$(dirname "$0")/fullscreen_lib.sh"

# A stand-in configuration program: it notes where it runs and that it
# started, then stays until the test lets it go.
write_stand_in() {
  rm -f "$INSTALL/config.exe"
  cat >"$INSTALL/config.exe" <<'SH'
#!/bin/sh
pwd >working-directory
echo $$ >pid
echo "config started" >>events
i=0
while [ ! -e release ] && [ $i -lt 600 ]; do sleep 0.1; i=$((i + 1)); done
echo "config finished" >>events
SH
  chmod +x "$INSTALL/config.exe"
}

n=0
for word in /c /C -c /c:123; do
  n=$((n + 1))
  new_install "configure-$n" ""
  write_stand_in
  start_saver "configure-$n" "$word"
  if wait_exit "$SAVER_PID" 30; then
    echo "saver exited $EXIT_CODE" >>"$INSTALL/events"
    expect "'$word': exit code 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
  else
    fail "'$word': still running after 30 s"
    continue
  fi
  for _ in $(seq 100); do [ -s "$INSTALL/pid" ] && break; sleep 0.1; done
  expect "'$word': config.exe was started" [ -s "$INSTALL/pid" ]
  [ -s "$INSTALL/pid" ] || continue
  expect "'$word': config.exe runs in the installation directory" \
    [ "$(cat "$INSTALL/working-directory")" = "$INSTALL" ]
  # The screensaver has ended while its configuration program still runs:
  # the program ends only when released below, after the screensaver's exit.
  expect "'$word': config.exe still running after the screensaver ended" running "$(cat "$INSTALL/pid")"
  touch "$INSTALL/release"
  for _ in $(seq 100); do grep -q "config finished" "$INSTALL/events" && break; sleep 0.1; done
  echo "  events: $(tr '\n' ';' <"$INSTALL/events")"
  expect "'$word': the screensaver ended before config.exe did" \
    awk '/saver exited/ { s = NR } /config finished/ { f = NR } END { exit !(s && f && s < f) }' "$INSTALL/events"
  expect "'$word': nothing on stderr" [ ! -s "$SAVER_LOG.err" ]
done

[ -e "${CUBE_MAIN_PAK:-}" ] || { echo "cube test archive missing: ${CUBE_MAIN_PAK:-unset}" >&2; exit 1; }
n=0
for word in /s "" /p:123 c; do
  n=$((n + 1))
  new_install "fullscreen-$n" "$CUBE_MAIN_PAK"
  # No config.exe of any kind: a configure mode chosen by mistake shows up
  # as an early exit without frames.
  rm -f "$INSTALL/config.exe"
  if [ -n "$word" ]; then start_saver "fullscreen-$n" "$word"; else start_saver "fullscreen-$n"; fi
  expect "'$word': a full-screen frame appears within 60 s" wait_lit 60
  file=$(shot "fullscreen-$n") && expect "'$word': the screenshot shows lit pixels" \
    num_between "$(stat_of "$file" lit_share)" 0.001 1
  end_saver "'$word'"
done
finish
