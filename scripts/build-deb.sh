#!/usr/bin/env bash
# Builds the Debian package calvetrin_<version>_<arch>.deb in the tree of the
# preset "deb" (build/deb: Release, Debian's hardening flags, no tests or
# benchmarks) and prints its path. Installs the Debian packages it needs
# first. Install it with
#   sudo apt install ./build/deb/calvetrin_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh package

# Files and directories in the package get the usual modes whatever the
# caller's umask; an older package must not pass for this one.
umask 022
rm -f build/deb/calvetrin_*.deb
cmake --preset deb >/dev/null
cmake --build --preset deb -j"$(nproc)" >/dev/null
debs=("$PWD"/build/deb/calvetrin_*.deb)
[ -f "${debs[0]}" ] || { echo "build-deb.sh: cpack wrote no package" >&2; exit 1; }
echo "${debs[0]}"
