// A stand-in entry for the preview tests while the screensaver's own entry
// is not built yet: "/p" or "/P" and a handle run the preview, as the real
// entry does; anything else ends with code 2.
#include <cstdint>
#include <sstream>
#include <string>

#include "app/Preview.h"
#include "platform/platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    std::istringstream words(commandLine ? commandLine : "");
    std::string modeWord;
    int32_t parentHandle = 0;
    words >> modeWord;
    if (!(words >> parentHandle)) parentHandle = 0;
    if (modeWord == "/p" || modeWord == "/P") return runPreview(instance, parentHandle);
    return 2;
}
