// The process entry: reads the mode word of the command line and runs one of
// the three modes -- configure (second character 'c' or 'C': start
// "config.exe" from the installation directory), preview ("/p" or "/P" and a
// window handle) or the full-screen screensaver (anything else).
#include <cstdint>
#include <sstream>
#include <string>

#include "app/Preview.h"
#include "app/RunLoop.h"
#include "app/Startup.h"
#include "display/Display.h"
#include "platform/platform.h"
#include "settings/RegistryValue.h"

namespace {

int runFullScreen() {
    Display display;
    const ScreenRun run = startRun(RunStart(), [&](const Settings& settings) {
        display.open(settings.modeWidth(), settings.modeHeight(), settings.modeBitsPerPixel());
    });
    runLoop(run.settings);
    return 0;
}  // the scene goes first, then the Display shuts SDL down

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    std::istringstream words(commandLine ? commandLine : "");
    std::string modeWord;
    words >> modeWord;
    // Unset (0) when the word is missing, not a number or out of range.
    int32_t parentHandle = 0;
    if (!(words >> parentHandle)) parentHandle = 0;

    if (modeWord.size() >= 2 && (modeWord[1] == 'c' || modeWord[1] == 'C')) {
        pathSetting.launchProgram("config.exe");
        return 0;
    }
    if (modeWord == "/p" || modeWord == "/P") return runPreview(instance, parentHandle);
    return runFullScreen();
}
