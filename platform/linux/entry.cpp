// Process entry on Linux: hands the command line to WinMain as Windows would,
// the program's own name removed and the arguments joined by single spaces.
#include <cstdlib>
#include <string>

#include "platform/platform.h"

int main(int argc, char** argv) {
    // Without this, SDL falls back to an invisible off-screen video driver
    // when there is no display, and a screensaver nobody can see or end would
    // run forever. A driver chosen by the user still wins.
    setenv("SDL_VIDEODRIVER", "x11", 0);
    std::string tail;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) tail += ' ';
        tail += argv[i];
    }
    static int instanceTag;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(&instanceTag);
    return WinMain(instance, nullptr, tail.data(), 1);
}
