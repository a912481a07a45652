// The user's choices for the full-screen run, read from the settings file
// "cfg" (the user's own, else the installation's: see UserFiles.h):
//
//   std::ifstream file = openSettingsFile();
//   Settings* settings = file ? new Settings(file) : new Settings();
//   display(settings->modeWidth(), settings->modeHeight(), settings->modeBitsPerPixel());
//
// A file of another version, or one that is cut short or damaged anywhere, is
// not used at all: every field takes its default and loaded() is false. The
// record keeps what the file stores; the read accessors hand the scene values
// it can use, replacing unusable ones by their defaults (see each accessor).
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>

#include "settings/SettingsBase.h"

constexpr std::int32_t SETTINGS_VERSION = 3;

class Settings : public SettingsBase {
public:
    static constexpr std::int32_t kDefaultSpinLevel = 7;
    static constexpr std::int32_t kDefaultPhaseSeconds = 15;
    // The largest phase whose cycle, phaseSeconds * 3000 ms, fits in 32 bits.
    static constexpr std::int32_t kMaxPhaseSeconds = 715827;
    // Below this, spinLevel - 5 would not fit in 32 bits.
    static constexpr std::int32_t kMinSpinLevel = -2147483647 + 4;

    // Every field at its default.
    Settings() = default;
    // Reads the record from a stream opened in binary mode on the settings
    // file (the same as loadSettings on a default record).
    explicit Settings(std::istream& file);

    // Replaces every field by the file's values, or by the defaults when the
    // file is not a complete version-3 record. Bytes after the last field are
    // not read.
    void loadSettings(std::istream& file);
    // Writes the record, version 3, exactly as stored (unusable values
    // included, so rewriting keeps what it was not asked to change). False
    // when the stream failed.
    bool saveSettings(std::ostream& file) const;

    // The spin-speed level; the scene turns at spinDegreesPerSecond(level). A
    // stored level below kMinSpinLevel reads as the default 7.
    std::int32_t spinLevel() const;
    // How fast the shapes of a spin level turn: (level - 5) * 0.5 + 8 degrees
    // per second (6 at level 1, 9 at the default 7, 15.5 at 20). Exact for
    // every 32-bit level: the subtraction is done in double precision.
    static double spinDegreesPerSecond(std::int32_t level) { return (static_cast<double>(level) - 5.0) * 0.5 + 8.0; }
    // Seconds each phase group is shown. A stored value of 0 or less, or above
    // kMaxPhaseSeconds, reads as the default 15, so the scene's cycle of
    // phaseSeconds * 3000 ms is always positive and fits in 32 bits.
    std::int32_t phaseSeconds() const;
    std::int32_t storedSpinLevel() const { return spinLevel_; }
    std::int32_t storedPhaseSeconds() const { return phaseSeconds_; }
    void setSpinLevel(std::int32_t value) { spinLevel_ = value; }
    void setPhaseSeconds(std::int32_t value) { phaseSeconds_ = value; }

    // Whether the screensaver uses a value as it is (and does not fall back to
    // the default).
    static bool usableSpinLevel(std::int32_t value) { return value >= kMinSpinLevel; }
    static bool usablePhaseSeconds(std::int32_t value) { return value >= 1 && value <= kMaxPhaseSeconds; }
    static bool usableDisplayMode(std::int32_t value);

    // The display-mode table row of displayMode(); an index outside the table
    // gives row 0, the desktop's current mode.
    std::int32_t modeWidth() const;
    std::int32_t modeHeight() const;
    std::int32_t modeBitsPerPixel() const;

private:
    std::int32_t spinLevel_ = kDefaultSpinLevel;
    std::int32_t phaseSeconds_ = kDefaultPhaseSeconds;
};
