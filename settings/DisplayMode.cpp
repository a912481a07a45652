#include "settings/DisplayMode.h"

const DisplayMode displayModeTable[kDisplayModeCount] = {
    {0, 0, 0},
    {640, 480, 16},   {640, 480, 32},   {800, 600, 16},    {800, 600, 32},    {1024, 768, 16},
    {1024, 768, 32},  {1152, 864, 16},  {1152, 864, 32},   {1280, 800, 16},   {1280, 800, 32},
    {1280, 960, 16},  {1280, 960, 32},  {1280, 1024, 16},  {1280, 1024, 32},  {1400, 1050, 16},
    {1400, 1050, 32}, {1600, 1200, 16}, {1600, 1200, 32},
};

const DisplayMode& displayModeRow(std::int32_t index) {
    if (index < 0 || index >= kDisplayModeCount) return displayModeTable[0];
    return displayModeTable[index];
}

int findDisplayMode(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel) {
    for (int i = 0; i < kDisplayModeCount; ++i) {
        const DisplayMode& row = displayModeTable[i];
        if (row.width == width && row.height == height && row.bitsPerPixel == bitsPerPixel) return i;
    }
    return -1;
}
