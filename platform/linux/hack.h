// Hack and window modes' run (Linux only): the full-screen run's scene, from
// the same start-up (app/Startup.h) and frame (renderFrame), drawn into a
// GlWindow -- a host's window such as xscreensaver's, or one of our own --
// instead of an SDL full-screen display. The viewport and projection follow
// the window's size. In a host's window keys and the mouse belong to the host
// and end nothing; SIGTERM, SIGINT or the window's destruction (at any
// moment, start-up included) end the run with status 0 and no output. Frames
// are paced to one every options.delayMicroseconds (FramePacer); --fps draws
// the frame rate in the lower left corner.
//
//   HackOptions hack = parseHackOptions(args, std::getenv("XSCREENSAVER_WINDOW"));
//   if (hack.mode == HackMode::HostWindow || hack.mode == HackMode::OwnWindow) return runHack(hack);
#pragma once

#include "hack_options.h"

// Returns the exit status: 0 when ended from outside, 1 (after one line on
// the standard error stream) when there is no main.pak, no display or no
// OpenGL to draw with.
int runHack(const HackOptions& options);
