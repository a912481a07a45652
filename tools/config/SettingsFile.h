// config.exe's settings file "cfg": read whole or not at all, and replaced
// atomically. The command line and the settings dialog both go through here.
//
//   configtool::SettingsFile file = configtool::readSettingsFile(pathSetting.getWithSuffix("cfg"));
//   file.settings.setPhaseSeconds(20);
//   if (!configtool::writeSettingsFile(file.name, file.settings, problem)) report(problem);
//
// A file that is there but not a complete version-3 record is Unreadable and
// yields the defaults, as the screensaver itself treats it. A file that
// cannot be opened counts as Missing.
#pragma once

#include <string>

#include "settings/Settings.h"

namespace configtool {

enum class FileState { Missing, Read, Unreadable };

struct SettingsFile {
    std::string name;
    FileState state = FileState::Missing;
    // The file's record, or the defaults when state is not Read.
    Settings settings;
};

SettingsFile readSettingsFile(const std::string& name);

// Replaces the file `name` by `settings` so that it is at every moment either
// the old or the new file (see replaceFile in SettingsFile.cpp). False with
// problem set, a phrase naming the file ("cannot replace C:\...\cfg"), when
// nothing was changed; no temporary file is left behind.
bool writeSettingsFile(const std::string& name, const Settings& settings, std::string& problem);

}  // namespace configtool
