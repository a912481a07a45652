// The process entry: reads the mode word of the command line and runs one of
// the three modes -- configure (second character 'c' or 'C': start
// "config.exe" from the installation directory), preview ("/p" or "/P" and a
// window handle) or the full-screen screensaver (anything else).
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/Preview.h"
#include "app/RunLoop.h"
#include "app/SceneAssembly.h"
#include "assets/ResourceCache.h"
#include "display/Display.h"
#include "platform/platform.h"
#include "settings/RegistryValue.h"
#include "settings/Settings.h"
#include "settings/UserFiles.h"

namespace {

int runFullScreen() {
    std::ifstream settingsFile = openSettingsFile();
    resourceCache.setBasePath(pathSetting.get().c_str());
    Settings* settings = settingsFile ? new Settings(settingsFile) : new Settings();

    const int32_t bitsPerPixel = settings->modeBitsPerPixel();
    const int32_t height = settings->modeHeight();
    const int32_t width = settings->modeWidth();
    {
        Display display;
        display.open(width, height, bitsPerPixel);
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        std::unique_ptr<Scene> scene = assembleScene(*settings);
        runLoop(*settings);

        delete settings;
        scene.reset();
    }  // the Display shuts SDL down here, before the settings file is closed
    return 0;
}

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
