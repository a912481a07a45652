#include "tools/config/Report.h"

#include <cstdio>

#include "settings/DisplayMode.h"
#include "tools/config/SettingsForm.h"

namespace configtool {

void printHelp(std::FILE* out) {
    std::fprintf(out,
        "Usage: %s [OPTION...]\n"
        "Shows the Calvetrin screensaver settings (the file \"cfg\" in its installation\n"
        "directory) and changes the ones named; all others are kept as they are.\n"
        "On Windows, without options it opens the settings dialog instead.\n"
        "\n"
        "  --mode ROW            display mode by table row, 0 to %d (0: the desktop's mode)\n"
        "  --mode WxHxBITS       display mode by size and depth, e.g. 1024x768x32\n"
        "  --spin LEVEL          spin speed; the shapes turn at (LEVEL - 5) * 0.5 + 8\n"
        "                        degrees per second (default 7)\n"
        "  --phase SECONDS       seconds each group of shapes is shown, 1 to %d\n"
        "                        (default 15)\n"
        "  --mouse-quits yes|no  whether moving the mouse ends the screensaver\n"
        "  --help                show this text\n"
        "Options may also be written --option=VALUE.\n"
        "\n"
        "Display modes:\n",
        kProgram, kDisplayModeCount - 1, Settings::kMaxPhaseSeconds);
    for (int row = 0; row < kDisplayModeCount; ++row) {
        std::fprintf(out, "  %2d  %s\n", row, displayModeLabel(row).c_str());
    }
}

void printSettings(std::FILE* out, const SettingsFile& file) {
    const Settings& s = file.settings;
    std::fprintf(out, "Settings file: %s\n", file.name.c_str());
    if (file.state != FileState::Read) std::fprintf(out, "  (%s)\n", defaultsNote(file.state).c_str());

    std::fprintf(out, "Display mode:  %s", displayModeLabel(s.displayMode()).c_str());
    if (Settings::usableDisplayMode(s.displayMode())) std::fprintf(out, " (row %d)", s.displayMode());
    std::fprintf(out, "\nSpin level:    %d (%g degrees per second)", s.storedSpinLevel(), degreesPerSecond(s.spinLevel()));
    if (s.storedSpinLevel() != s.spinLevel()) std::fprintf(out, "; unusable, %d is used", s.spinLevel());
    std::fprintf(out, "\nPhase seconds: %d", s.storedPhaseSeconds());
    if (s.storedPhaseSeconds() != s.phaseSeconds()) std::fprintf(out, "; unusable, %d is used", s.phaseSeconds());
    std::fprintf(out, " (each group is shown for %d s in a cycle of %lld s)\n", s.phaseSeconds(),
                static_cast<long long>(s.phaseSeconds()) * 3);
    std::fprintf(out, "Mouse motion ends the run: %s\n", s.mouseMoveEndsRun() ? "yes" : "no");
}

}  // namespace configtool
