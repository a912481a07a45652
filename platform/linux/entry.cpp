// Process entry on Linux: hands the command line to WinMain as Windows would,
// the program's own name removed and the arguments joined by single spaces --
// unless it is one of the Linux command lines (hack_options.h): hack mode,
// which draws into a window a host such as xscreensaver owns, a window of its
// own, --help and --version. Those, and a mistyped option, are answered here,
// before any display is opened.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "hack.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    // Without this, SDL falls back to an invisible off-screen video driver
    // when there is no display, and a screensaver nobody can see or end would
    // run forever. A driver chosen by the user still wins.
    setenv("SDL_VIDEODRIVER", "x11", 0);
    // The hidden cursor puts SDL2 (under sdl12-compat) into relative mouse
    // mode, where an absolute pointing device (a tablet, a virtual machine's
    // or remote desktop's pointer) sends no motion at all; warping the pointer
    // instead makes every device's motion arrive.
    setenv("SDL_MOUSE_RELATIVE_MODE_WARP", "1", 0);

    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const HackOptions hack = parseHackOptions(args, std::getenv("XSCREENSAVER_WINDOW"));
    if (!hack.error.empty()) {
        std::fprintf(stderr, "calvetrin: %s\n", hack.error.c_str());
        return 2;
    }
    switch (hack.mode) {
    case HackMode::Help: std::fputs(hackUsage().c_str(), stdout); return 0;
    case HackMode::Version: std::printf("calvetrin %s\n", CALVETRIN_VERSION); return 0;
    case HackMode::HostWindow:
    case HackMode::OwnWindow: return runHack(hack);
    case HackMode::None: break;
    }

    std::string tail;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) tail += ' ';
        tail += argv[i];
    }
    static int instanceTag;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(&instanceTag);
    return WinMain(instance, nullptr, tail.data(), 1);
}
