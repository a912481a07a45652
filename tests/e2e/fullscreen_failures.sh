#!/usr/bin/env bash
# Start-up failures of the full-screen run: a missing "main.pak", or a
# directory in its place, ends it with exit code 1 and no output; without a
# display it prints exactly one line, "Video initialization failed: ...", and
# ends with exit code 1. Either way config.exe then tells of the failure.
source "$(dirname "$0")/fullscreen_lib.sh"

# told_by_config TEXT: config.exe, run as the same user, shows TEXT as the
# last start-up failure.
told_by_config() {
  [ -n "${CALVETRIN_CONFIG:-}" ] || return 1
  local shown
  shown=$(CALVETRIN_REGISTRY="$REGISTRY" "$CALVETRIN_CONFIG")
  [[ "$shown" == *"The screensaver could not start at its last run ("*"): $1"* ]]
}

# main.pak missing, or a directory: neither can be read as an archive file.
for case in no-archive archive-is-directory; do
  new_install "$case" ""
  [ "$case" = archive-is-directory ] && mkdir "$INSTALL/main.pak"
  start_saver "$case"
  if wait_exit "$SAVER_PID" 60; then
    expect "$case: exit code 1 (got $EXIT_CODE)" [ "$EXIT_CODE" = 1 ]
  else
    fail "$case: still running after 60 s"
  fi
  expect "$case: nothing on stdout" [ ! -s "$SAVER_LOG.out" ]
  expect "$case: nothing on stderr" [ ! -s "$SAVER_LOG.err" ]
  expect "$case: config.exe tells of it" told_by_config "Cannot open archive: $INSTALL/main.pak"
done

new_install no-display "${DEFAULT_MAIN_PAK:-}"
(
  unset DISPLAY
  LD_PRELOAD="${FULLSCREEN_GL_PRELOAD:-${LD_PRELOAD:-}}" CALVETRIN_REGISTRY="$REGISTRY" timeout 60 "$CALVETRIN_EXE" \
    >"$FULLSCREEN_OUT/no-display.out" 2>"$FULLSCREEN_OUT/no-display.err"
)
code=$?
expect "no display: exit code 1 (got $code)" [ "$code" = 1 ]
lines=$(wc -l <"$FULLSCREEN_OUT/no-display.err")
expect "no display: exactly one line on stderr (got $lines)" [ "$lines" = 1 ]
expect "no display: the line starts with 'Video initialization failed: '" \
  grep -q '^Video initialization failed: ' "$FULLSCREEN_OUT/no-display.err"
expect "no display: the line ends with a line break" [ "$(tail -c1 "$FULLSCREEN_OUT/no-display.err" | od -An -c | tr -d ' ')" = '\n' ]
expect "no display: nothing on stdout" [ ! -s "$FULLSCREEN_OUT/no-display.out" ]
expect "no display: config.exe tells of it" told_by_config "$(cat "$FULLSCREEN_OUT/no-display.err")"
sed 's/^/  stderr: /' "$FULLSCREEN_OUT/no-display.err"
finish
