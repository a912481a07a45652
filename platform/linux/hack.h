// Hack mode's run (Linux only): the full-screen run's scene drawn into an X
// window that a host such as xscreensaver owns. The camera, scene and
// animation are the full-screen run's; the viewport and projection follow the
// window's size. Keys and the mouse belong to the host and end nothing;
// SIGTERM, SIGINT or the window's destruction end the run with status 0.
// Frames are paced to options.fps (0: unpaced); --show-fps logs the measured
// rate on the standard error stream every few seconds.
//
//   HackOptions hack = parseHackOptions(args, std::getenv("XSCREENSAVER_WINDOW"));
//   if (hack.requested && hack.error.empty()) return runHack(hack);
#pragma once

#include "hack_options.h"

// Returns the exit status: 0 when ended from outside, 1 when the window does
// not exist or video cannot start.
int runHack(const HackOptions& options);
