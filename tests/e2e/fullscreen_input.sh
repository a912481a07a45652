#!/usr/bin/env bash
# Keys and mouse buttons: Space, Enter and the mouse buttons leave the run
# going; Escape ends it with exit code 0.
source "$(dirname "$0")/fullscreen_lib.sh"

[ -e "${CUBE_MAIN_PAK:-}" ] || { echo "cube test archive missing: ${CUBE_MAIN_PAK:-unset}" >&2; exit 1; }
new_install input "$CUBE_MAIN_PAK"
start_saver input
expect "a frame appears within 60 s" wait_lit 60

for keys in "key space" "key Return" "key KP_Enter" "click 1" "click 2" "click 3" "keydown a keyup a"; do
  # shellcheck disable=SC2086
  xdotool $keys
  sleep 1
  expect "still running a second after '$keys'" running "$SAVER_PID"
done

end_saver "input run"
expect "nothing on stderr" [ ! -s "$SAVER_LOG.err" ]
finish
