// config.exe: shows and changes the screensaver's settings file "cfg" in the
// installation directory. The screensaver's configure mode starts it without
// arguments, which shows the settings; options change the settings they name
// and keep every other field of the file as it was.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/platform.h"
#include "settings/DisplayMode.h"
#include "settings/RegistryValue.h"
#include "settings/Settings.h"
#include "tools/config/Options.h"

namespace {

const char* const kProgram = "config.exe";

enum class FileState { Missing, Read, Unreadable };

std::string modeText(const DisplayMode& mode) {
    if (mode.width == 0) return "the desktop's current mode";
    return std::to_string(mode.width) + "x" + std::to_string(mode.height) + ", " + std::to_string(mode.bitsPerPixel) +
           " bits per pixel";
}

void printHelp() {
    std::printf(
        "Usage: %s [OPTION...]\n"
        "Shows the Calvetrin screensaver settings (the file \"cfg\" in its installation\n"
        "directory) and changes the ones named; all others are kept as they are.\n"
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
        std::printf("  %2d  %s\n", row, modeText(displayModeTable[row]).c_str());
    }
}

void show(const std::string& fileName, FileState state, const Settings& s) {
    std::printf("Settings file: %s\n", fileName.c_str());
    if (state == FileState::Missing) std::printf("  (not there yet: these are the defaults)\n");
    if (state == FileState::Unreadable) std::printf("  (not a settings file this program can read: these are the defaults)\n");

    std::printf("Display mode:  %d = ", s.displayMode());
    if (Settings::usableDisplayMode(s.displayMode())) {
        std::printf("%s\n", modeText(displayModeTable[s.displayMode()]).c_str());
    } else {
        std::printf("not in the table; the desktop's current mode is used\n");
    }
    double rate = (static_cast<double>(s.spinLevel()) - 5.0) * 0.5 + 8.0;
    std::printf("Spin level:    %d (%g degrees per second)", s.storedSpinLevel(), rate);
    if (s.storedSpinLevel() != s.spinLevel()) std::printf("; unusable, %d is used", s.spinLevel());
    std::printf("\nPhase seconds: %d", s.storedPhaseSeconds());
    if (s.storedPhaseSeconds() != s.phaseSeconds()) std::printf("; unusable, %d is used", s.phaseSeconds());
    std::printf(" (each group is shown for %d s in a cycle of %lld s)\n", s.phaseSeconds(),
                static_cast<long long>(s.phaseSeconds()) * 3);
    std::printf("Mouse motion ends the run: %s\n", s.mouseMoveEndsRun() ? "yes" : "no");
}

// Replaces fileName by bytes so that it is at every moment either the old or
// the new file: the bytes go to a new file in the same directory, are forced
// to disk, and the new file is then renamed over the old one.
bool replaceFile(const std::string& fileName, const std::string& bytes, std::string& problem) {
    std::string temp;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 16 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temp = fileName + ".new" + std::to_string(attempt);
        file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) {
        problem = "cannot create a new file beside " + fileName;
        return false;
    }
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    if (!ok) {
        DeleteFileA(temp.c_str());
        problem = "cannot write " + temp;
        return false;
    }
    if (!MoveFileExA(temp.c_str(), fileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temp.c_str());
        problem = "cannot replace " + fileName;
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    configtool::Changes changes;
    std::string problem;
    if (!configtool::parseArguments(argc, argv, changes, problem)) {
        std::fprintf(stderr, "%s: %s\nRun '%s --help' for the options.\n", kProgram, problem.c_str(), kProgram);
        return 2;
    }
    if (changes.help) {
        printHelp();
        return 0;
    }

    const std::string fileName = pathSetting.getWithSuffix("cfg");
    Settings settings;
    FileState state = FileState::Missing;
    {
        std::ifstream file(fileName, std::ios::in | std::ios::binary);
        if (file) {
            settings.loadSettings(file);
            state = settings.loaded() ? FileState::Read : FileState::Unreadable;
        }
    }
    if (!changes.any()) {
        show(fileName, state, settings);
        return 0;
    }

    if (changes.displayMode) settings.setDisplayMode(*changes.displayMode);
    if (changes.spinLevel) settings.setSpinLevel(*changes.spinLevel);
    if (changes.phaseSeconds) settings.setPhaseSeconds(*changes.phaseSeconds);
    if (changes.quitOnMouseMove) settings.setQuitOnMouseMove(*changes.quitOnMouseMove);

    std::ostringstream bytes(std::ios::out | std::ios::binary);
    if (!settings.saveSettings(bytes) || !replaceFile(fileName, bytes.str(), problem)) {
        if (problem.empty()) problem = "the settings cannot be stored";
        std::fprintf(stderr, "%s: %s; the settings are unchanged.\n", kProgram, problem.c_str());
        return 1;
    }
    if (state == FileState::Unreadable) {
        std::fprintf(stderr, "%s: the old file was not readable; the settings not named started from the defaults.\n",
                     kProgram);
    }
    show(fileName, FileState::Read, settings);
    return 0;
}
