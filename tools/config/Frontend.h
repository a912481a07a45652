// The part of config.exe that differs between the systems; CMake compiles
// linux/Frontend.cpp or windows/Frontend.cpp. main.cpp parses the command
// line and, when there is none, hands the settings file to showSettings.
//
//   if (argc < 2) return configtool::showSettings(configtool::readSettingsFile());
//   const configtool::Output output = configtool::useConsole();
//   std::fprintf(output.err, "config.exe: ...\n");
#pragma once

#include <cstdio>

#include "tools/config/SettingsFile.h"

namespace configtool {

// Started without options: Linux prints the settings (printSettings) and
// returns 0. Windows opens the settings dialog, which writes the file
// (writeSettingsFile) when OK is pressed and nothing otherwise; it returns 0
// when the dialog was shown, 1 when it could not be opened.
int showSettings(const SettingsFile& file);

// Where an option run prints: its results and its complaints.
struct Output {
    std::FILE* out;
    std::FILE* err;
};

// Called once, before anything is printed. Linux: stdout and stderr.
// Windows: config.exe is a GUI program (so that the screensaver's "Settings"
// button never flashes a console window) and has no console of its own; each
// of stdout and stderr that is not redirected to a file or pipe is replaced
// by the console of the program that started it, when that has one, and
// output goes nowhere otherwise.
Output useConsole();

}  // namespace configtool
