#include "app/Startup.h"

#include <cstdlib>
#include <fstream>

#include "assets/ResourceCache.h"
#include "settings/RegistryValue.h"
#include "settings/UserFiles.h"

ScreenRun startRun(const RunStart& start, const std::function<void(const Settings&)>& openDisplay) {
    ScreenRun run;
    if (start.userSettings) {
        std::ifstream file = openSettingsFile();
        if (file) run.settings.loadSettings(file);
    }
    if (start.spinLevel) run.settings.setSpinLevel(*start.spinLevel);
    if (start.phaseSeconds) run.settings.setPhaseSeconds(*start.phaseSeconds);
    resourceCache.setBasePath(start.contentDirectory.empty() ? pathSetting.get().c_str()
                                                             : start.contentDirectory.c_str());
    openDisplay(run.settings);
    std::srand(start.seed);
    run.scene = assembleScene(run.settings);
    return run;
}
