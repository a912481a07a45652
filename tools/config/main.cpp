// config.exe: shows and changes the screensaver's settings: the user's own
// file "cfg", which it writes, or until there is one the installation's (see
// settings/UserFiles.h). The screensaver's configure mode starts it without
// arguments, which shows the settings (on Windows in a dialog that can change
// them, see Frontend.h); options change the settings they name and keep every
// other field as it was.
#include <cstdio>
#include <string>

#include "tools/config/Frontend.h"
#include "tools/config/Options.h"
#include "tools/config/Report.h"
#include "tools/config/SettingsFile.h"

using namespace configtool;

int main(int argc, char** argv) {
    if (argc < 2) return showSettings(readSettingsFile());

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

    SettingsFile file = readSettingsFile();
    if (changes.displayMode) file.settings.setDisplayMode(*changes.displayMode);
    if (changes.spinLevel) file.settings.setSpinLevel(*changes.spinLevel);
    if (changes.phaseSeconds) file.settings.setPhaseSeconds(*changes.phaseSeconds);
    if (changes.quitOnMouseMove) file.settings.setQuitOnMouseMove(*changes.quitOnMouseMove);

    if (!writeSettingsFile(file.name, file.settings, problem)) {
        std::fprintf(output.err, "%s: %s; the settings are unchanged.\n", kProgram, problem.c_str());
        return 1;
    }
    if (file.state == FileState::Unreadable) {
        std::fprintf(output.err, "%s: %s was not readable; the settings not named started from the defaults.\n",
                     kProgram, file.readFrom.c_str());
    }
    file.state = FileState::Read;
    file.readFrom = file.name;
    printSettings(output.out, file);
    return 0;
}
