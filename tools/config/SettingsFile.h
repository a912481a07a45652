// config.exe's view of the settings: the user's own file, which it writes,
// and the file the values it shows came from -- the one a run reads
// (openSettingsFile in settings/UserFiles.h: the user's own, else the
// installation's). The command line and the settings dialog both go through
// here.
//
//   configtool::SettingsFile file = configtool::readSettingsFile();
//   file.settings.setPhaseSeconds(20);
//   if (!configtool::writeSettingsFile(file.name, file.settings, problem)) report(problem);
//
// A file that is there but not a complete version-3 record is Unreadable and
// yields the defaults, as the screensaver itself treats it.
#pragma once

#include <string>

#include "settings/Settings.h"

namespace configtool {

enum class FileState { Missing, Read, Unreadable };

struct SettingsFile {
    // The user's own file, which writeSettingsFile replaces; empty when the
    // system names no folder for the user.
    std::string name;
    // The file the values came from: name, or the installation's file when
    // the user has none; empty when neither could be opened.
    std::string readFrom;
    // Missing when readFrom is empty; else whether it held a usable record.
    FileState state = FileState::Missing;
    // The record read, or the defaults when state is not Read.
    Settings settings;

    bool fromOwnFile() const { return !readFrom.empty() && readFrom == name; }
};

// The settings as a run reads them.
SettingsFile readSettingsFile();

// Replaces the file `name` by `settings` atomically, making its folder first
// (replaceFile in settings/UserFiles.h). False with problem set, a phrase
// naming the file ("cannot replace C:\...\cfg"), when nothing was changed.
bool writeSettingsFile(const std::string& name, const Settings& settings, std::string& problem);

}  // namespace configtool
