#!/usr/bin/env bash
# A damaged image in main.pak: the default content with its lattice texture
# replaced by a 79-byte PNG whose tRNS chunk declares 16 MiB (a picture that
# once kept the decoder reading, the screen black, for minutes). The run
# draws the rest of the scene within the time a normal start takes, prints
# nothing, and Escape ends it with 0.
source "$(dirname "$0")/fullscreen_lib.sh"

: "${CALVETRIN_PAK:?}" "${DEFAULT_MAIN_PAK:?}"
picture="$(dirname "$0")/../../fuzz/regressions/image/png-trns-chunk-longer-than-the-file.png"
entries="$FULLSCREEN_OUT/entries"
mkdir -p "$entries"
"$CALVETRIN_PAK" extract "$DEFAULT_MAIN_PAK" "$entries/" || fail "extract the default content"
expect "the default content has the lattice texture" [ -s "$entries/sn1_lattice" ]
cp "$picture" "$entries/sn1_lattice"
# The entries in their own order, each NAME=FILE.
mapfile -t names < <("$CALVETRIN_PAK" list "$DEFAULT_MAIN_PAK" | awk '{ print $2 }')
args=()
for name in "${names[@]}"; do args+=("$name=$entries/$name"); done
"$CALVETRIN_PAK" create "$FULLSCREEN_OUT/damaged.pak" "${args[@]}" >/dev/null || fail "create the damaged archive"

new_install damaged "$FULLSCREEN_OUT/damaged.pak"
# 2 s a group, so that all three are seen: where the lantern is the outer
# shape of the nest, its untextured lattice (drawn white, texture 0) hides
# the shapes inside it.
write_cfg 0 7 2
start_saver damaged
expect "a frame appears within 60 s" wait_lit 60
most=0
for i in $(seq 10); do
  file=$(shot "damaged-$i") || { fail "screenshot $i"; continue; }
  lit=$(stat_of "$file" lit_share)
  colours=$(stat_of "$file" colours)
  echo "screenshot $i: lit share $lit, $colours colours"
  expect "screenshot $i: the scene draws (lit share $lit within 0.5% .. 85%)" num_between "$lit" 0.005 0.85
  [ "$colours" -gt "$most" ] && most=$colours
  sleep 0.7
done
expect "the rest of the scene is textured: up to $most colours in a screenshot (at least 8)" num_between "$most" 8 100000
end_saver "damaged content"
expect "nothing on stderr ($(wc -l <"$SAVER_LOG.err") lines)" [ ! -s "$SAVER_LOG.err" ]
expect "nothing on stdout" [ ! -s "$SAVER_LOG.out" ]
finish
