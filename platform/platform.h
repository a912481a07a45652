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
#pragma once

#include "platform_api.h"
