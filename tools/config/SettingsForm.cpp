#include "tools/config/SettingsForm.h"

#include <algorithm>
#include <cstdio>

#include "settings/DisplayMode.h"
#include "settings/SettingText.h"
#include "settings/Settings.h"
#include "settings/UserFiles.h"
#include "tools/config/Options.h"

namespace configtool {
namespace {

// The index of the entry standing for value; every list holds the stored
// value, so the search only fails for a record other than the form's.
int indexOf(const std::vector<Choice>& choices, std::int32_t value) {
    auto found = std::find_if(choices.begin(), choices.end(), [&](const Choice& c) { return c.value == value; });
    return found == choices.end() ? 0 : static_cast<int>(found - choices.begin());
}

std::string speedText(std::int32_t level) {
    char text[48];
    std::snprintf(text, sizeof text, "%.1f degrees per second", Settings::spinDegreesPerSecond(level));
    return text;
}

std::string trimmed(const std::string& text) {
    const char* space = " \t\r\n";
    std::size_t first = text.find_first_not_of(space);
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

}  // namespace

std::string displayModeLabel(std::int32_t row) {
    if (!Settings::usableDisplayMode(row)) {
        return "Row " + std::to_string(row) + ", not in the table: the desktop's own mode is used";
    }
    const DisplayMode& mode = displayModeTable[row];
    if (mode.width == 0) return "The desktop's own mode";
    return std::to_string(mode.width) + "x" + std::to_string(mode.height) + ", " + std::to_string(mode.bitsPerPixel) +
           " bits";
}

// In double, so that no level overflows: the result is exact to the half.

std::string spinLabel(std::int32_t level) {
    if (!Settings::usableSpinLevel(level)) {
        return "Level " + std::to_string(level) + " is unusable: " + speedText(Settings::kDefaultSpinLevel) +
               " is used";
    }
    std::string label = speedText(level) + " (level " + std::to_string(level);
    if (level == Settings::kDefaultSpinLevel) label += ", the default";
    return label + ")";
}

std::string sourceNote(const SettingsFile& file) {
    switch (file.state) {
        case FileState::Missing: return "No settings file yet: these are the defaults.";
        case FileState::Unreadable:
            return file.fromOwnFile() ? "Your settings file could not be read: these are the defaults."
                                      : "The installation's settings file could not be read: these are the defaults.";
        case FileState::Read: break;
    }
    return file.fromOwnFile() ? "" : "No settings of your own yet: these are the installation's.";
}

std::string lastFailureNote() {
    const std::optional<StartupFailure> failure = lastStartupFailure();
    if (!failure) return "";
    return "The screensaver could not start at its last run" +
           (failure->when.empty() ? std::string() : " (" + failure->when + ")") + ": " + failure->message;
}

SettingsForm::SettingsForm(const Settings& settings, const std::vector<DisplayMode>& screenModes)
    : settings_(settings) {
    const auto shown = [&](std::int32_t row) {
        const DisplayMode& mode = displayModeTable[row];
        return row == 0 || screenModes.empty() ||
               std::any_of(screenModes.begin(), screenModes.end(), [&](const DisplayMode& m) {
                   return m.width == mode.width && m.height == mode.height && m.bitsPerPixel == mode.bitsPerPixel;
               });
    };
    for (std::int32_t row = 0; row < kDisplayModeCount; ++row) {
        if (shown(row)) {
            modes_.push_back({row, displayModeLabel(row)});
        } else if (row == settings.displayMode()) {
            modes_.push_back({row, displayModeLabel(row) + " (not available on this display)"});
        }
    }
    if (!Settings::usableDisplayMode(settings.displayMode())) {
        modes_.push_back({settings.displayMode(), displayModeLabel(settings.displayMode())});
    }
    for (std::int32_t level = kFirstOfferedSpinLevel; level <= kLastOfferedSpinLevel; ++level) {
        spins_.push_back({level, spinLabel(level)});
    }
    const std::int32_t stored = settings.storedSpinLevel();
    if (stored < kFirstOfferedSpinLevel) spins_.insert(spins_.begin(), {stored, spinLabel(stored)});
    if (stored > kLastOfferedSpinLevel) spins_.push_back({stored, spinLabel(stored)});
}

FormValues SettingsForm::initialValues() const {
    FormValues values;
    values.modeIndex = indexOf(modes_, settings_.displayMode());
    values.spinIndex = indexOf(spins_, settings_.storedSpinLevel());
    values.phaseText = std::to_string(settings_.storedPhaseSeconds());
    values.mouseQuits = settings_.mouseMoveEndsRun();
    return values;
}

std::optional<Settings> SettingsForm::apply(const FormValues& values, std::string& problem) const {
    if (values.modeIndex < 0 || values.modeIndex >= static_cast<int>(modes_.size())) {
        problem = "Choose a display mode.";
        return std::nullopt;
    }
    if (values.spinIndex < 0 || values.spinIndex >= static_cast<int>(spins_.size())) {
        problem = "Choose a spin speed.";
        return std::nullopt;
    }
    const std::string phase = trimmed(values.phaseText);
    const std::optional<std::int32_t> seconds = parseWholeNumber(phase);
    if (!seconds || !Settings::usablePhaseSeconds(*seconds)) {
        problem = "The seconds each group is shown must be a whole number from 1 to " +
                  std::to_string(Settings::kMaxPhaseSeconds) + ", not '" + phase + "'.";
        return std::nullopt;
    }
    Settings result = settings_;
    result.setDisplayMode(modes_[values.modeIndex].value);
    result.setSpinLevel(spins_[values.spinIndex].value);
    result.setPhaseSeconds(*seconds);
    if (values.mouseQuits != settings_.mouseMoveEndsRun()) result.setQuitOnMouseMove(values.mouseQuits ? 1 : 0);
    return result;
}

}  // namespace configtool
