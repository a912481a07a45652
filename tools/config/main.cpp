// config.exe: shows and changes the screensaver's settings file "cfg" in the
// installation directory. The screensaver's configure mode starts it without
// arguments, which shows the settings (on Windows in a dialog that can change
// them, see Frontend.h); options change the settings they name and keep every
// other field of the file as it was.
#include <cstdio>
#include <string>

#include "settings/RegistryValue.h"
#include "tools/config/Frontend.h"
#include "tools/config/Options.h"
#include "tools/config/Report.h"
#include "tools/config/SettingsFile.h"

using namespace configtool;

int main(int argc, char** argv) {
    if (argc < 2) return showSettings(readSettingsFile(pathSetting.getWithSuffix("cfg")));

    const Output output = useConsole();
    Changes changes;
    std::string problem;
    if (!parseArguments(argc, argv, changes, problem)) {
        std::fprintf(output.err, "%s: %s\nRun '%s --help' for the options.\n", kProgram, problem.c_str(), kProgram);
        return 2;
    }
    if (changes.help) {
        printHelp(output.out);
        return 0;
    }

    SettingsFile file = readSettingsFile(pathSetting.getWithSuffix("cfg"));
    if (changes.displayMode) file.settings.setDisplayMode(*changes.displayMode);
    if (changes.spinLevel) file.settings.setSpinLevel(*changes.spinLevel);
    if (changes.phaseSeconds) file.settings.setPhaseSeconds(*changes.phaseSeconds);
    if (changes.quitOnMouseMove) file.settings.setQuitOnMouseMove(*changes.quitOnMouseMove);

    if (!writeSettingsFile(file.name, file.settings, problem)) {
        std::fprintf(output.err, "%s: %s; the settings are unchanged.\n", kProgram, problem.c_str());
        return 1;
    }
    if (file.state == FileState::Unreadable) {
        std::fprintf(output.err,
                     "%s: the old file was not readable; the settings not named started from the defaults.\n",
                     kProgram);
    }
    file.state = FileState::Read;
    printSettings(output.out, file);
    return 0;
}
