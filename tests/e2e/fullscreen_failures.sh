#!/usr/bin/env bash
# Start-up failures of the full-screen run: a missing "main.pak", or a
# directory in its place, ends it with exit code 1 and no output; without a
# display it prints exactly one line, "Video initialization failed: ...", and
# ends with exit code 1.
source "$(dirname "$0")/fullscreen_lib.sh"

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
sed 's/^/  stderr: /' "$FULLSCREEN_OUT/no-display.err"
finish
