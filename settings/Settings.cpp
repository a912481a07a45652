#include "settings/Settings.h"

#include "settings/DisplayMode.h"

Settings::Settings(std::istream& file) { loadSettings(file); }

void Settings::loadSettings(std::istream& file) {
    Settings fresh;
    std::int32_t spin = 0;
    std::int32_t phase = 0;
    if (fresh.readCommon(file, SETTINGS_VERSION) && readInt32(file, spin) && readInt32(file, phase)) {
        fresh.spinLevel_ = spin;
        fresh.phaseSeconds_ = phase;
    } else {
        fresh = Settings();  // a partly read record is not used
    }
    *this = fresh;
}

bool Settings::saveSettings(std::ostream& file) const {
    if (!writeCommon(file, SETTINGS_VERSION)) return false;
    writeInt32(file, spinLevel_);
    writeInt32(file, phaseSeconds_);
    return static_cast<bool>(file);
}

std::int32_t Settings::spinLevel() const { return usableSpinLevel(spinLevel_) ? spinLevel_ : kDefaultSpinLevel; }

std::int32_t Settings::phaseSeconds() const {
    return usablePhaseSeconds(phaseSeconds_) ? phaseSeconds_ : kDefaultPhaseSeconds;
}

bool Settings::usableDisplayMode(std::int32_t value) { return value >= 0 && value < kDisplayModeCount; }

std::int32_t Settings::modeWidth() const { return displayModeRow(displayMode()).width; }
std::int32_t Settings::modeHeight() const { return displayModeRow(displayMode()).height; }
std::int32_t Settings::modeBitsPerPixel() const { return displayModeRow(displayMode()).bitsPerPixel; }
