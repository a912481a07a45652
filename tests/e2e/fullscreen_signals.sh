#!/usr/bin/env bash
# SIGTERM and SIGINT end a full-screen run the way Escape does: exit code 0,
# nothing on stderr, and no process left behind.
source "$(dirname "$0")/fullscreen_lib.sh"

[ -e "${CUBE_MAIN_PAK:-}" ] || { echo "cube test archive missing: ${CUBE_MAIN_PAK:-unset}" >&2; exit 1; }

for signal in TERM INT; do
  new_install "signal-$signal" "$CUBE_MAIN_PAK"
  write_cfg 0 7 15
  # Started as start_saver does, but with SIGINT's default action: a
  # background job of a script inherits it ignored, while a terminal's
  # foreground program (Ctrl+C) gets it as here.
  SAVER_LOG=$FULLSCREEN_OUT/signal-$signal
  LD_PRELOAD="${FULLSCREEN_GL_PRELOAD:-${LD_PRELOAD:-}}" CALVETRIN_REGISTRY="$REGISTRY" \
    env --default-signal=INT "$CALVETRIN_EXE" >"$SAVER_LOG.out" 2>"$SAVER_LOG.err" &
  SAVER_PID=$!
  started_pids+=("$SAVER_PID")
  expect "SIG$signal: a frame appears within 60 s" wait_lit 60
  kill -"$signal" "$SAVER_PID"
  if wait_exit "$SAVER_PID" 20; then
    expect "SIG$signal ends the run with exit code 0 (got $EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
  else
    fail "SIG$signal: still running 20 s later"
  fi
  expect "SIG$signal: nothing on stderr" [ ! -s "$SAVER_LOG.err" ]
done
finish
