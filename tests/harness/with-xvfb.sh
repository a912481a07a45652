#!/usr/bin/env bash
# with-xvfb.sh [--preload LIBS] COMMAND...: runs a test program on a private
# Xvfb (XVFB_SCREEN, default 1024x768x24) and exits with its status.
# --preload (sanitizer builds: CALVETRIN_GL_PRELOAD) keeps the OpenGL stack
# mapped until LeakSanitizer looks, with the exact unwinder: SDL2 and Mesa have
# no frame pointers, and the fast one can give their blocks junk callers that
# no suppression (tests/lsan.supp) matches.
source "$(dirname "$0")/harness.sh"
harness_init
start_xserver "${XVFB_SCREEN:-1024x768x24}"
[ "${1:-}" != --preload ] || { LD_PRELOAD=$2 ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0" "${@:3}"; exit $?; }
"$@"
