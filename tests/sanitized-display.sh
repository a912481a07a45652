#!/usr/bin/env bash
# sanitized-display.sh PRELOAD PROGRAM [ARGS...]: runs a test program that
# opens a display, in a sanitizer build.
# - PRELOAD (LD_PRELOAD, see CALVETRIN_GL_PRELOAD) keeps the OpenGL stack
#   mapped until LeakSanitizer looks, so its memory is still reachable.
# - SDL2 and Mesa are built without frame pointers: the fast unwinder can
#   record a junk caller for their allocations, and a block of theirs that
#   LeakSanitizer catches unreferenced at exit (it happens in some runs) then
#   matches none of the libraries' suppressions (tests/lsan.supp). The exact
#   unwinder records the real callers; it costs little in short test programs.
set -u
preload=$1
shift
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"
LD_PRELOAD="$preload" exec "$@"
