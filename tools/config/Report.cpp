#include "tools/config/Report.h"

#include <cstdio>

#include "settings/DisplayMode.h"
#include "settings/Settings.h"
#include "tools/config/SettingsForm.h"

namespace configtool {

void printHelp(std::FILE* out) {
    std::fprintf(out,
        "Usage: %s [OPTION...]\n"
        "Shows the Calvetrin screensaver settings and changes the ones named; all\n"
        "others are kept as they are. Changes go to your own settings file \"cfg\"\n"
        "(%%APPDATA%%\\Calvetrin\\cfg on Windows, $XDG_CONFIG_HOME/calvetrin/cfg or\n"
        "~/.config/calvetrin/cfg on Linux); until you have one, the installation's\n"
        "\"cfg\" is shown and used.\n"
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
    std::fprintf(out, "Settings file: %s\n",
                 file.name.empty() ? "none (the system names no folder for your own settings)" : file.name.c_str());
    if (const std::string note = sourceNote(file); !note.empty()) std::fprintf(out, "  (%s)\n", note.c_str());
    if (!file.readFrom.empty() && !file.fromOwnFile()) std::fprintf(out, "Read from:     %s\n", file.readFrom.c_str());

    std::fprintf(out, "Display mode:  %s", displayModeLabel(s.displayMode()).c_str());
    if (Settings::usableDisplayMode(s.displayMode())) std::fprintf(out, " (row %d)", s.displayMode());
    std::fprintf(out, "\nSpin level:    %d (%g degrees per second)", s.storedSpinLevel(), Settings::spinDegreesPerSecond(s.spinLevel()));
    if (s.storedSpinLevel() != s.spinLevel()) std::fprintf(out, "; unusable, %d is used", s.spinLevel());
    std::fprintf(out, "\nPhase seconds: %d", s.storedPhaseSeconds());
    if (s.storedPhaseSeconds() != s.phaseSeconds()) std::fprintf(out, "; unusable, %d is used", s.phaseSeconds());
    std::fprintf(out, " (each group is shown for %d s in a cycle of %lld s)\n", s.phaseSeconds(),
                static_cast<long long>(s.phaseSeconds()) * 3);
    std::fprintf(out, "Mouse motion ends the run: %s\n", s.mouseMoveEndsRun() ? "yes" : "no");
    if (const std::string failure = lastFailureNote(); !failure.empty()) std::fprintf(out, "%s\n", failure.c_str());
}

}  // namespace configtool
