// config.exe's command line: which settings the options change. Parsing only;
// the program reads and replaces the settings file itself (main.cpp).
//
//   configtool::Changes changes;
//   std::string problem;
//   if (!configtool::parseArguments(argc, argv, changes, problem)) usage(problem);
//   if (changes.spinLevel) settings.setSpinLevel(*changes.spinLevel);
//
// Options are --mode ROW|WxHxBITS, --spin LEVEL, --phase SECONDS,
// --mouse-quits yes|no (each also as --option=VALUE) and --help or -h. A
// value the screensaver could not use is refused, never clamped; numbers are
// read as settings/SettingText.h reads them, as the screensaver's own options.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace configtool {

// The settings named on the command line; an option given twice counts once,
// with its last value.
struct Changes {
    std::optional<std::int32_t> displayMode;  // a display-mode table row
    std::optional<std::int32_t> spinLevel;
    std::optional<std::int32_t> phaseSeconds;
    std::optional<std::uint8_t> quitOnMouseMove;
    bool help = false;
    bool any() const { return displayMode || spinLevel || phaseSeconds || quitOnMouseMove; }
};

// Fills changes from argv[1] .. argv[argc - 1] (argv[0], the program, is not
// read). False with problem set, a sentence for the user, on the first
// unknown option, missing value or unusable value.
bool parseArguments(int argc, const char* const* argv, Changes& changes, std::string& problem);

}  // namespace configtool
