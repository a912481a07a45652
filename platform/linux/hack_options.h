// The Linux command line beyond the Windows mode words: xscreensaver's
// conventions for a display program ("hack"), a window of its own for trying
// the scene from a terminal, and --help / --version.
//
//   calvetrin --window-id ID    (also -window-id; ID in decimal or 0x hex):
//                               draw into that X window, which a host owns
//   calvetrin -root             (also --root: the window XSCREENSAVER_WINDOW
//                                names, else the root window)
//   calvetrin --window          a resizable window of the program's own
//   options: --delay MICROSECONDS (between frame starts; default 30000,
//            0 = unpaced), --fps (the frame rate drawn in a corner),
//            --spin LEVEL, --phase SECONDS (override "cfg" for this run);
//            each also with one dash, and a value also as --option=VALUE.
//   calvetrin --help | --version
//
// xscreensaver 6 also names its window in the environment variable
// XSCREENSAVER_WINDOW (hexadecimal, e.g. 0x40000C); with it set, a command
// line of these options alone (or none at all) draws there too. A command
// line that starts with a Windows mode word ("/s", "/p", "/c" ...), or has
// no word of these options and no word starting with "--", is the Windows
// command line (WinMain); any other word starting with "--" is an error.
//
//   HackOptions hack = parseHackOptions(args, std::getenv("XSCREENSAVER_WINDOW"));
//   if (!hack.error.empty()) usage(hack.error);
//   else if (hack.mode != HackMode::None) return runHack(hack);
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/FramePacer.h"

enum class HackMode {
    None,        // the Windows command line
    HostWindow,  // draw into the window `window` (0: the root window)
    OwnWindow,   // --window
    Help,
    Version,
};

struct HackOptions {
    HackMode mode = HackMode::None;
    unsigned long window = 0;
    std::int32_t delayMicroseconds = FramePacer::kDefaultDelayMicroseconds;
    bool showFps = false;
    std::optional<std::int32_t> spinLevel;
    std::optional<std::int32_t> phaseSeconds;
    std::string error;  // a sentence for the user when the command line is wrong
};

// Ten seconds between frames: more is no screensaver.
constexpr std::int32_t kMaxDelayMicroseconds = 10000000;

// args: the command line without the program's name. xscreensaverWindow: the
// environment variable's value, or null.
HackOptions parseHackOptions(const std::vector<std::string>& args, const char* xscreensaverWindow);

// The text of --help: the Linux command lines, the Windows mode words.
std::string hackUsage();

// An X window id in decimal or hexadecimal (0x...); nothing for anything else,
// including 0 and ids beyond 32 bits.
std::optional<unsigned long> parseWindowId(const std::string& text);
