#!/usr/bin/env bash
# with-xvfb.sh [--preload LIBS] COMMAND...: runs a test program on a private
# Xvfb (XVFB_SCREEN, default 1024x768x24; Mesa's software renderer) and exits
# with its status.
# --preload LIBS (sanitizer builds: CALVETRIN_GL_PRELOAD) keeps the OpenGL
# stack mapped until LeakSanitizer looks, so its memory is still reachable.
# SDL2 and Mesa are built without frame pointers, so the exact unwinder is
# used then too: with the fast one a block of theirs that LeakSanitizer
# catches unreferenced at exit (it happens in some runs) can have a junk
# caller that none of the libraries' suppressions (tests/lsan.supp) matches.
source "$(dirname "$0")/harness.sh"
harness_init
start_xserver "${XVFB_SCREEN:-1024x768x24}"
if [ "$1" = --preload ]; then
  LD_PRELOAD=$2 ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0" "${@:3}"
else
  "$@"
fi
exit $?
