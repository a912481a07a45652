#include "tools/config/SettingsFile.h"

#include <fstream>
#include <sstream>

#include "settings/UserFiles.h"

namespace configtool {

SettingsFile readSettingsFile() {
    SettingsFile result;
    result.name = userSettingsFile();
    std::ifstream file = openSettingsFile(&result.readFrom);
    if (file) {
        result.settings.loadSettings(file);
        result.state = result.settings.loaded() ? FileState::Read : FileState::Unreadable;
    }
    return result;
}

bool writeSettingsFile(const std::string& name, const Settings& settings, std::string& problem) {
    if (name.empty()) {
        problem = "the system names no folder for this user's own settings";
        return false;
    }
    std::ostringstream bytes(std::ios::out | std::ios::binary);
    if (!settings.saveSettings(bytes)) {
        problem = "the settings cannot be stored";
        return false;
    }
    return replaceFile(name, bytes.str(), problem);
}

}  // namespace configtool
