// Linux side of config.exe: no dialog; the settings are printed.
#include "tools/config/Frontend.h"

#include "tools/config/Report.h"

namespace configtool {

int showSettings(const SettingsFile& file) {
    printSettings(stdout, file);
    return 0;
}

Output useConsole() { return {stdout, stderr}; }

}  // namespace configtool
