// The one start-up of every mode that draws (the full-screen run, the Linux
// hack and window modes, the frame benchmark): settings, then the display,
// then the scene -- xscreensaver's init step, with renderFrame (RunLoop.h)
// its draw step.
//
// startRun reads the user's settings (openSettingsFile, else the defaults;
// RunStart can ask for the defaults alone and override spin and phase), points
// the resource cache at the content directory (the installation directory
// unless RunStart names another), calls openDisplay with the settings --
// which must leave an OpenGL context current with the scene's fixed state,
// as Display::open and Display::prepareGL do -- seeds rand() and assembles
// the scene. The returned run owns settings and scene; destroy it before the
// display that it draws on.
//
//   Display display;
//   ScreenRun run = startRun(RunStart(), [&](const Settings& s) { display.open(s.modeWidth(), ...); });
//   runLoop(run.settings);
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/SceneAssembly.h"
#include "settings/Settings.h"

struct RunStart {
    bool userSettings = true;  // false: the defaults, whatever the user chose
    std::optional<std::int32_t> spinLevel;
    std::optional<std::int32_t> phaseSeconds;
    std::string contentDirectory;  // empty: the installation directory; else ends with the separator
    unsigned seed = static_cast<unsigned>(std::time(nullptr));
};

struct ScreenRun {
    Settings settings;
    std::unique_ptr<Scene> scene;
};

ScreenRun startRun(const RunStart& start, const std::function<void(const Settings&)>& openDisplay);
