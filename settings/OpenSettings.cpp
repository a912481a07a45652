// The settings file a run reads. Apart from UserFiles.cpp because it needs
// pathSetting, and with it the process-wide objects and OpenGL, which the
// archive tool (whose archive reader records failures) must not pull in.
#include "settings/RegistryValue.h"
#include "settings/UserFiles.h"

std::string installedSettingsFile() { return pathSetting.getWithSuffix("cfg"); }

std::ifstream openSettingsFile(std::string* name) {
    for (const std::string& candidate : {userSettingsFile(), installedSettingsFile()}) {
        if (candidate.empty()) continue;
        std::ifstream file(candidate, std::ios::in | std::ios::binary);
        if (file) {
            if (name != nullptr) *name = candidate;
            return file;
        }
    }
    if (name != nullptr) name->clear();
    std::ifstream none;
    none.setstate(std::ios::failbit);
    return none;
}
