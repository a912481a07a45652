// The plasma picture without OpenGL: thin opaque contour bands in a base
// colour over a transparent ground, from six drifting sine waves (three over
// the columns, three over the rows), with an opaque grid line (green 127)
// every 16 texels and along the last column and row. Plasma uses it to repaint
// its texture every frame; the content generator uses it for the preview.
//
//   std::uint8_t colour[3];
//   PlasmaPainter::parseColour(":40:80:160", colour);
//   PlasmaPainter painter(128, 128, colour);
//   std::vector<std::uint8_t> rgba(128 * 128 * 4);
//   painter.paint(timeMs, rgba.data());
#pragma once

#include <cstdint>
#include <vector>

class PlasmaPainter {
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
    static void parseColour(const char* colourText, std::uint8_t out[3]);

    PlasmaPainter() = default;
    // Sizes outside 1..kMaxSide make a painter that paints nothing.
    PlasmaPainter(std::int32_t width, std::int32_t height, const std::uint8_t baseColour[3]);

    // Fills width * height RGBA texels, row by row, for the time timeMs.
    void paint(std::int32_t timeMs, std::uint8_t* pixels);

private:
    std::int32_t width = 0;
    std::int32_t height = 0;
    double stepX = 0.0;  // 6.28 / width: phase step per column
    double stepY = 0.0;  // 6.28 / height: phase step per row
    // Per column: (a1 + a2) + a3; per row: b1, b2, b3 (the row waves are kept
    // apart because the sum is formed in the order a1, a2, a3, b1, b2, b3).
    std::vector<double> columnWaves;
    std::vector<double> rowWaves;  // 3 per row
    // The RGBA texel for each band value k (0..255), off and on the grid.
    std::uint8_t texelForK[256][4] = {};
    std::uint8_t gridTexelForK[256][4] = {};
};
