// The common block at the start of the settings file "cfg": a version number,
// then whether mouse motion ends the run, a spare number, the display mode and
// two texts. `Settings` extends it with its own fields and decides the version
// it expects. All numbers are little-endian, 32-bit unless noted; a text is a
// 32-bit byte count followed by its bytes.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

class SettingsBase {
public:
    // Defaults: empty texts, not loaded, mouse motion does not end the run,
    // spare 0, display mode 0 (the desktop's mode).
    SettingsBase() = default;

    // The texts as the screensaver sees them: up to their first zero byte.
    std::string textA() const;
    std::string textB() const;
    // The texts' bytes exactly as stored, written back unchanged by the save.
    const std::string& storedTextA() const { return textA_; }
    const std::string& storedTextB() const { return textB_; }

    // True when the record's fields came from a file.
    bool loaded() const { return loaded_; }
    // Exactly 1 means mouse motion ends the run; every other value means not.
    std::uint8_t quitOnMouseMove() const { return quitOnMouseMove_; }
    bool mouseMoveEndsRun() const { return quitOnMouseMove_ == 1; }
    std::int32_t spare() const { return spare_; }
    // The row index as stored; the mode lookups of Settings treat an index
    // outside the table as row 0.
    std::int32_t displayMode() const { return displayMode_; }

    void setTextA(const std::string& text) { textA_ = text; }
    void setTextB(const std::string& text) { textB_ = text; }
    void setQuitOnMouseMove(std::uint8_t value) { quitOnMouseMove_ = value; }
    void setSpare(std::int32_t value) { spare_ = value; }
    void setDisplayMode(std::int32_t value) { displayMode_ = value; }

protected:
    // Reads the common block. On success every field is set and `loaded`
    // becomes true; when the version differs from expectedVersion or the block
    // is incomplete or damaged, false is returned and the fields are unchanged.
    bool readCommon(std::istream& in, std::int32_t version);
    // Writes the common block with the given version; false when a text is too
    // long for the format or the stream failed.
    bool writeCommon(std::ostream& out, std::int32_t version) const;

    void setLoaded(bool value) { loaded_ = value; }

    // Little-endian helpers shared with Settings. readText refuses a negative
    // count and a count larger than what is left of the stream, and never
    // allocates ahead of the bytes actually read.
    static bool readInt32(std::istream& in, std::int32_t& value);
    static bool readText(std::istream& in, std::string& text);
    static void writeInt32(std::ostream& out, std::int32_t value);
    static bool writeText(std::ostream& out, const std::string& text);

private:
    std::string textA_;
    std::string textB_;
    bool loaded_ = false;
    std::uint8_t quitOnMouseMove_ = 0;
    std::int32_t spare_ = 0;
    std::int32_t displayMode_ = 0;
};
