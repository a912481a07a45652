// The command line of hack mode, the way xscreensaver and similar hosts start
// a display program on Linux: draw into an X window the host owns instead of
// taking over the screen.
//
//   calvetrin --window-id ID    (also -window-id; ID in decimal or 0x hex)
//   calvetrin -root             (also --root: the window XSCREENSAVER_WINDOW
//                                names, else the root window)
//   options: --fps N (default 30, 0 = unpaced), --show-fps,
//            --spin LEVEL, --phase SECONDS (override "cfg" for this run);
//            each also with one dash, and as --option=VALUE.
//
// xscreensaver 6 also names its window in the environment variable
// XSCREENSAVER_WINDOW (hexadecimal, e.g. 0x40000C); with it set, a command
// line of hack options alone (or none at all) draws there too. A command line
// that starts with a Windows mode word ("/s", "/p", "/c" ...) is never hack mode.
//
//   HackOptions hack = parseHackOptions(args, std::getenv("XSCREENSAVER_WINDOW"));
//   if (!hack.error.empty()) usage(hack.error);
//   else if (hack.requested) return runHack(hack);
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct HackOptions {
    bool requested = false;
    unsigned long window = 0;  // 0: the root window of the default screen
    int fps = 30;              // 0: as fast as the driver allows
    bool showFps = false;
    std::optional<std::int32_t> spinLevel;
    std::optional<std::int32_t> phaseSeconds;
    std::string error;  // a sentence for the user when the command line is wrong
};

constexpr int kMaxHackFps = 1000;

// args: the command line without the program's name. xscreensaverWindow: the
// environment variable's value, or null.
HackOptions parseHackOptions(const std::vector<std::string>& args, const char* xscreensaverWindow);

// An X window id in decimal or hexadecimal (0x...); nothing for anything else,
// including 0 and ids beyond 32 bits.
std::optional<unsigned long> parseWindowId(const std::string& text);
