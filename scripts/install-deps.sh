#!/usr/bin/env bash
# install-deps.sh [PURPOSE...]: installs the Debian packages that each named
# purpose needs (all of them without arguments):
#   run       building and running the screensaver (scripts/run.sh)
#   showcase  the private X server and screenshots of scripts/showcase.sh
#   test      the Linux tests: unit, real OpenGL, end-to-end, xscreensaver
#   windows   the Windows cross build and its tests under Wine
#   package   the Debian package and its check
#   fuzz      the libFuzzer targets (clang)
# Idempotent: installs only what is missing, and prints nothing when nothing is.
set -euo pipefail

declare -A needs=(
  [run]="build-essential cmake pkg-config libsdl1.2-compat-dev
         libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri libx11-dev libstb-dev x11-utils"
  [showcase]="xvfb xauth xdotool x11-utils imagemagick"
  [test]="libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool x11-utils imagemagick xscreensaver"
  [windows]="g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
             googletest wine64 nsis dpkg-dev xvfb xauth xdotool imagemagick"
  [package]="dpkg-dev lintian libxml2-utils man-db"
  [fuzz]="clang libclang-rt-14-dev"
)
purposes=("$@")
[ $# -gt 0 ] || purposes=(run showcase test windows package fuzz)

packages=()
for purpose in "${purposes[@]}"; do
  [ -n "${needs[$purpose]+set}" ] || { echo "install-deps.sh: no purpose '$purpose' (${!needs[*]})" >&2; exit 2; }
  # Everything else is built on top of what the run command needs.
  # shellcheck disable=SC2206
  packages+=(${needs[run]} ${needs[$purpose]})
done

missing=()
for p in $(printf '%s\n' "${packages[@]}" | sort -u); do
  status=$(dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null || true)
  [[ "$status" == ii* ]] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
if ! "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
  "${sudo_cmd[@]}" apt-get update -qq >/dev/null
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
