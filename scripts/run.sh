#!/usr/bin/env bash
# Builds Calvetrin, installs it into build/install and starts the full-screen
# screensaver with the default content. Escape ends it. Installs the Debian
# packages it needs first. Extra arguments are passed to the screensaver.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

build=build/release
prefix="$PWD/build/install"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCALVETRIN_BUILD_TESTS=OFF \
  -DCALVETRIN_BUILD_BENCHMARKS=OFF -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
cmake --build "$build" -j"$(nproc)"
cmake --install "$build" >/dev/null
exec "$prefix/bin/calvetrin" "$@"
