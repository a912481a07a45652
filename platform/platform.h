// The boundary between Calvetrin and the operating system.
//
// Everything the screensaver needs from the system beyond SDL and OpenGL -- the
// process entry, the registry, starting a program, the window management and
// GDI subset of the preview pane, the executable's own path and the path
// separator -- is reached through this one header. The build puts exactly one
// platform folder on the include path: platform/windows forwards to the real
// Windows API, platform/linux declares the same names and implements them over
// POSIX and Xlib. Code outside platform/ includes only this file and calls the
// Windows names directly, so it reads the same on both systems.
//
// Two SDL functions are replaced in the Linux executable (never in the core
// library or the tests), to adapt SDL to what the shared run loop expects;
// the real ones are reached behind them with dlsym(RTLD_NEXT):
//   SDL_PollEvent (linux/events.cpp): SDL's quit event -- SIGTERM, SIGINT,
//     a logout -- arrives as the Escape key, which the run loop, written for
//     Windows, already ends on: one shutdown, exit code 0.
//   SDL_SetVideoMode (linux/video.cpp): a full-screen window is also moved
//     and sized to cover the screen where no window manager does it, as
//     sdl12-compat's scaled full-screen modes need.
// The Linux hack and window modes draw with GLX on a window of their own
// (linux/gl_window.h), without SDL video.
#pragma once

#include "platform_api.h"
