#!/usr/bin/env bash
# The three phase groups take turns: with phaseSeconds 1 each group is in view
# for 1000 ms, in a random order that repeats every 3000 ms. The cube test
# archive makes every shape the same one-colour cube, so each group leaves a
# signature at the screen centre that the probe recognises.
source "$(dirname "$0")/fullscreen_lib.sh"

[ -e "${CUBE_MAIN_PAK:-}" ] || { echo "cube test archive missing: ${CUBE_MAIN_PAK:-unset}" >&2; exit 1; }
new_install phases "$CUBE_MAIN_PAK"
set_cfg 0 7 1
start_saver phases
expect "a frame appears within 60 s" wait_lit 60

# About three cycles of samples, every ~100 ms.
"$FULLSCREEN_PROBE" phases 9.5 "$FULLSCREEN_OUT" | tee "$FULLSCREEN_OUT/phases.txt"
probe_rc=${PIPESTATUS[0]}
expect "the groups take 1000 ms turns in a repeating 3000 ms cycle" [ "$probe_rc" = 0 ]
awk '!/^#/ { n[$2]++ } END { for (g in n) printf "  %s: %d samples\n", g, n[g] }' "$FULLSCREEN_OUT/phases.log"
for ppm in "$FULLSCREEN_OUT"/run-*.ppm; do
  [ -e "$ppm" ] && convert "$ppm" "${ppm%.ppm}.png" && rm -f "$ppm"
done

expect "still running after the sampling" running "$SAVER_PID"
end_saver "phase run"
finish
