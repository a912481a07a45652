// Plasma: a procedural texture of thin opaque contour bands in a base colour
// over a transparent ground, drawn from six drifting sine waves (three over
// the columns, three over the rows), with an opaque grid line every 16 texels
// and along the last column and row.
//
//   Plasma plasma(128, 64, ":40:80:160");
//   plasma.update(SDL_GetTicks());  // repaints and uploads the texture
#pragma once

#include "texgen/Texturegen.h"

#include <cstdint>
#include <vector>

class Plasma : public Texturegen {
public:
    // Largest accepted width or height. It keeps the pixel array (at most
    // 64 MiB) and its byte count within 32 bits.
    static constexpr std::int32_t kMaxSide = 4096;
    static bool validSize(std::int32_t width, std::int32_t height) {
        return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
    }

    // colourText holds one separator character before each of the decimal
    // components r, g and b (":255:128:0"); each component keeps its low 8
    // bits. A missing or non-numeric component, and every one after it, is 0.
    // Sizes outside 1..kMaxSide make an inert generator: width, height and
    // byteCount 0, no pixel array, texture name 0, and update() does nothing.
    Plasma(std::int32_t width, std::int32_t height, const char* colourText);

    void update(std::int32_t timeMs) override;

    double stepX = 0.0;  // 6.28 / width: phase step per column
    double stepY = 0.0;  // 6.28 / height: phase step per row
    std::uint8_t baseColour[3] = {0, 0, 0};

    // Reads the colour text as described for the constructor.
    static void parseColour(const char* colourText, std::uint8_t out[3]);

private:
    // Per column: (a1 + a2) + a3; per row: b1, b2, b3 (the row waves are kept
    // apart because the sum is formed in the order a1, a2, a3, b1, b2, b3).
    std::vector<double> columnWaves;
    std::vector<double> rowWaves;  // 3 per row
    // The RGBA texel for each band value k (0..255), off and on the grid.
    std::uint8_t texelForK[256][4];
    std::uint8_t gridTexelForK[256][4];
};
