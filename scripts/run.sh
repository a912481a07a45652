#!/usr/bin/env bash
# Builds Calvetrin, installs it into build/install and starts the full-screen
# screensaver with the default content. Escape ends it. Installs the Debian
# packages it needs first. Extra arguments are passed to the screensaver.
#
# Without an X display (DISPLAY unset, or no server answers on it) it shows
# the screensaver on a private Xvfb instead and saves screenshots under
# build/showcase (scripts/showcase.sh); arguments are then ignored.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh run

# The tree of the preset "release" (build/release), installed into build/install.
prefix="$PWD/build/install"
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"
cmake --install build/release >/dev/null

# xdpyinfo opens the display the way the screensaver would; the timeout
# covers a server that accepts the connection but never answers.
if [ -z "${DISPLAY:-}" ]; then
  no_display="DISPLAY is not set"
elif ! timeout 10 xdpyinfo >/dev/null 2>&1; then
  no_display="cannot open the display \"$DISPLAY\""
else
  exec "$prefix/bin/calvetrin" "$@"
fi
echo "run.sh: no X display ($no_display): showing the screensaver on a private X server and saving screenshots instead${*:+; arguments ignored: $*}"
exec ./scripts/showcase.sh "$prefix/lib/calvetrin" build/showcase
