#!/usr/bin/env bash
# Builds the Debian package calvetrin_<version>_<arch>.deb from a Release tree
# in build/deb (no tests, no benchmarks) and prints its path. Installs the
# Debian packages it needs first. Install it with
#   sudo apt install ./build/deb/calvetrin_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

build=build/deb
# An older package must not pass for this one if the build fails.
rm -f "$build"/calvetrin_*.deb
# Files and directories in the package get the usual modes whatever the
# caller's umask.
umask 022
# Debian's compiler and linker flags with every hardening feature (stack
# protector, fortified libc calls, read-only relocations bound at start-up).
# CMake has no preprocessor flags of its own, so CPPFLAGS go with the compiler's.
flags=$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)
eval "$flags"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCALVETRIN_BUILD_TESTS=OFF \
  -DCALVETRIN_BUILD_BENCHMARKS=OFF -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_C_FLAGS="$CPPFLAGS $CFLAGS" -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" \
  -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$PWD/$build"/calvetrin_*.deb)
[ -f "${debs[0]}" ] || { echo "build-deb.sh: cpack wrote no package" >&2; exit 1; }
echo "${debs[0]}"
