// The fixed table of full-screen display modes that the settings file's
// `displayMode` indexes. Row 0 (all zeros) asks the video setup for the
// desktop's current mode. Settings::modeWidth() and friends read it; the
// configuration program lists it and searches it.
#pragma once

#include <cstdint>

struct DisplayMode {
    std::int32_t width;
    std::int32_t height;
    std::int32_t bitsPerPixel;
};

constexpr int kDisplayModeCount = 19;

extern const DisplayMode displayModeTable[kDisplayModeCount];

// The row for index, or row 0 (the desktop's mode) for an index outside the
// table, so a damaged settings file still yields a mode the display can open.
const DisplayMode& displayModeRow(std::int32_t index);

// The index of the row with exactly these values, or -1 when none has them.
int findDisplayMode(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel);
