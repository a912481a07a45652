#!/usr/bin/env bash
# Builds the cube test archive with the real archive tool: an OBJ cube of
# half-size 10 units with texture coordinates, converted to a mesh entry, and
# stored as each of the entries "sn1", "sn11" and "sn12" together with an
# opaque one-colour RGBA PNG texture.
#   fullscreen_cube_archive.sh CALVETRIN_PAK OUTPUT.pak
set -euo pipefail
pak_tool=$1
out=$2
dir=$(dirname "$out")
rm -rf "$dir"
mkdir -p "$dir"
cd "$dir"

# Six faces, two triangles each; every face maps the whole texture.
{
  echo "# cube, half-size 10"
  for v in "-10 -10 -10" "10 -10 -10" "10 10 -10" "-10 10 -10" "-10 -10 10" "10 -10 10" "10 10 10" "-10 10 10"; do
    echo "v $v"
  done
  echo "vt 0 0"
  echo "vt 1 0"
  echo "vt 1 1"
  echo "vt 0 1"
  for face in "1 4 3 2" "5 6 7 8" "1 2 6 5" "2 3 7 6" "3 4 8 7" "4 1 5 8"; do
    set -- $face
    echo "f $1/1 $2/2 $3/3"
    echo "f $1/1 $3/3 $4/4"
  done
} >cube.obj

# Opaque (alpha 255), one colour, 8 bits per channel with an alpha channel.
convert -size 16x16 xc:'rgb(60,200,90)' -alpha opaque PNG32:cube.png
format=$(identify -format '%[png:IHDR.color_type] %[png:IHDR.bit_depth]' cube.png)
[ "$format" = "6 (RGBA) 8" ] || {
  echo "cube.png is not 8-bit RGBA: $format" >&2
  exit 1
}

"$pak_tool" obj-to-mesh --texture cube.png cube.obj cube.mesh
"$pak_tool" create "$(basename "$out")" sn1=cube.mesh sn11=cube.mesh sn12=cube.mesh cube.png
"$pak_tool" list "$(basename "$out")"
