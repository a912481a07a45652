// config.exe's printed output: the help text and the settings as the
// command line shows them, with the labels of the settings dialog
// (SettingsForm.h).
//
//   configtool::printSettings(stdout, configtool::readSettingsFile());
#pragma once

#include <cstdio>

#include "tools/config/SettingsFile.h"

namespace configtool {

// The program's name as every message starts with it.
constexpr const char* kProgram = "config.exe";

// The options and the table of display modes.
void printHelp(std::FILE* out);
// The user's settings file, where the values came from when not from it, each
// setting as the screensaver uses it, and the last start-up failure if one is
// recorded.
void printSettings(std::FILE* out, const SettingsFile& file);

}  // namespace configtool
