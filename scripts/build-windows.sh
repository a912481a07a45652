#!/usr/bin/env bash
# Cross-builds the Windows screensaver with mingw-w64 in the tree of the
# preset "windows" (build/windows/cross): the folder a Windows user gets,
# dist/ (calvetrin.scr, config.exe, calvetrin-pak.exe, main.pak, preview.ppk,
# README.txt), and the installer that sets that folder up, calvetrin-setup.exe.
# Installs the Debian packages it needs first, and builds SDL 1.2 for Windows
# from Debian's source package into build/windows/sdl once. The cross tree
# makes its content with a build of the content generator for this machine
# (cross/host/), so it is byte for byte the Linux build's; ctest runs its
# tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh windows

root=$PWD/build/windows
jobs=$(nproc)
mkdir -p "$root"

# ---- SDL 1.2 from Debian's source package ------------------------------------
sdl_package=libsdl1.2
sdl_configure=(--host=x86_64-w64-mingw32 --disable-shared --enable-static --disable-audio --disable-joystick
               --disable-cdrom --disable-directx --disable-stdio-redirect --disable-assembly)
sdl=$root/sdl
sdl_stamp="$sdl_package ${sdl_configure[*]}"
if [ ! -f "$sdl/prefix/lib/libSDL.a" ] || [ "$(cat "$sdl/stamp" 2>/dev/null)" != "$sdl_stamp" ]; then
  echo "build-windows: building SDL 1.2 for Windows from Debian's source package (once)"
  rm -rf "$sdl"
  mkdir -p "$sdl/apt/sources.list.d" "$sdl/apt/lists/partial" "$sdl/apt/cache/archives/partial" "$sdl/src"
  # A private apt configuration: the machine's own package sources, as
  # source entries, with lists and cache of its own. The machine's apt set-up
  # is not touched.
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sed -E 's/^Types:.*/Types: deb-src/' "$f" >"$sdl/apt/sources.list.d/$(basename "$f")"
  done
  if [ -f /etc/apt/sources.list ]; then
    sed -nE 's/^deb (.*)/deb-src \1/p' /etc/apt/sources.list >"$sdl/apt/sources.list.d/from-sources-list.list"
  fi
  apt_private=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$sdl/apt/sources.list.d"
               -o "Dir::State::Lists=$sdl/apt/lists" -o "Dir::Cache=$sdl/apt/cache" -o "APT::Sandbox::User=$(id -un)")
  apt-get -qq "${apt_private[@]}" update >/dev/null
  (cd "$sdl/src" && apt-get -qq "${apt_private[@]}" source --download-only "$sdl_package" >/dev/null)
  dpkg-source -x "$sdl"/src/*.dsc "$sdl/src/tree" >/dev/null 2>&1
  (
    cd "$sdl/src/tree"
    ./configure "${sdl_configure[@]}" --prefix="$sdl/prefix" >"$sdl/configure.log" 2>&1
    make -j"$jobs" >"$sdl/make.log" 2>&1
    make install >>"$sdl/make.log" 2>&1
  ) || { echo "build-windows: SDL build failed, see $sdl/*.log" >&2; exit 1; }
  echo "$sdl_stamp" >"$sdl/stamp"
fi
# What the Windows folder tells of this SDL (its NOTICES.txt): the licence
# and the exact source it was built from.
mkdir -p "$sdl/notice"
cp "$sdl/src/tree/COPYING" "$sdl/notice/LGPL-2.1.txt"
(
  cd "$sdl/src"
  dsc=$(ls ./*.dsc)
  echo "  package $(sed -n 's/^Source: //p' "$dsc"), version $(sed -n 's/^Version: //p' "$dsc")"
  echo "  (apt-get source $sdl_package=$(sed -n 's/^Version: //p' "$dsc")), whose files are"
  for f in "${dsc#./}" $(sed -n '/^Checksums-Sha256:/,/^[^ ]/s/^ [0-9a-f]\{64\} [0-9]* //p' "$dsc"); do
    echo "    $f"
    echo "      SHA-256 $(sha256sum "$f" | cut -d' ' -f1)"
  done
  echo "  configured with: ${sdl_configure[*]}"
) >"$sdl/notice/sdl-source.txt"

# ---- The Windows programs, their folder and the installer ----------------------
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"
echo "build-windows: $root/cross/dist"
echo "build-windows: $root/cross/calvetrin-setup.exe"
