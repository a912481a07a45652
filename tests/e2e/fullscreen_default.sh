#!/usr/bin/env bash
# The default content in the default settings: the full-screen run draws
# textured, animated shapes around the centre of the screen, and Escape ends it.
source "$(dirname "$0")/fullscreen_lib.sh"

[ -e "${DEFAULT_MAIN_PAK:-}" ] || { echo "default content missing: ${DEFAULT_MAIN_PAK:-unset}" >&2; exit 1; }
new_install default
start_saver default
expect "a frame appears within 60 s" wait_lit 60
sleep 1

previous=""
for i in 1 2 3; do
  file=$(shot "default-$i") || { fail "screenshot $i"; continue; }
  lit=$(stat_of "$file" lit_share)
  colours=$(stat_of "$file" colours)
  cx=$(stat_of "$file" centroid_x)
  cy=$(stat_of "$file" centroid_y)
  echo "screenshot $i: lit share $lit, $colours colours, centroid ($cx, $cy)"
  # Shapes, not an empty or a flooded screen.
  expect "screenshot $i: lit share $lit within 0.5% .. 85%" num_between "$lit" 0.005 0.85
  # Textures, not flat single-colour shapes.
  expect "screenshot $i: $colours distinct colours (at least 8)" num_between "$colours" 8 100000
  # Every group is laid out symmetrically around the screen centre.
  expect "screenshot $i: content centred horizontally ($cx)" num_between "$cx" 0.4 0.6
  expect "screenshot $i: content centred vertically ($cy)" num_between "$cy" 0.4 0.6
  if [ -n "$previous" ]; then
    # A busy machine may show few frames a second: wait for the next one
    # (up to 20 s) rather than for a fixed time.
    for _ in $(seq 20); do
      changed=$(compare -metric AE "$previous" "$file" null: 2>&1 >/dev/null)
      num_between "${changed%% *}" 500 1e12 && break
      sleep 1
      file=$(shot "default-$i") || break
    done
    expect "screenshot $i differs from the one before ($changed pixels changed)" num_between "${changed%% *}" 500 1e12
  fi
  previous=$file
  sleep 0.7
done

expect "still running after the screenshots" running "$SAVER_PID"
end_saver "default run"
expect "nothing on stderr" [ ! -s "$SAVER_LOG.err" ]
expect "nothing on stdout" [ ! -s "$SAVER_LOG.out" ]
finish
