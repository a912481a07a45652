#include "texgen/PlasmaPainter.h"

#include <cctype>
#include <cmath>
#include <cstring>

namespace {

// Reads one decimal integer the way a formatted stream does (leading white
// space, optional sign, digits) and yields its low 8 bits. Digits are folded
// modulo 256, which gives the low 8 bits of any length of number. Returns
// false, leaving *text alone, when no digit follows.
bool readLowByte(const char*& text, std::uint8_t& out) {
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
    unsigned value = 0;
    while (std::isdigit(static_cast<unsigned char>(*p))) value = (value * 10u + unsigned(*p++ - '0')) & 0xFFu;
    out = static_cast<std::uint8_t>(negative ? 0u - value : value);
    text = p;
    return true;
}

}  // namespace

void PlasmaPainter::parseColour(const char* colourText, std::uint8_t out[3]) {
    out[0] = out[1] = out[2] = 0;
    const char* p = colourText ? colourText : "";
    for (int i = 0; i < 3; ++i) {
        if (*p == '\0') return;  // no separator: this and later components stay 0
        ++p;                     // the separator character
        if (!readLowByte(p, out[i])) return;
    }
}

PlasmaPainter::PlasmaPainter(std::int32_t w, std::int32_t h, const std::uint8_t baseColour[3]) {
    for (int k = 0; k < 256; ++k) {
        const std::uint8_t d = static_cast<std::uint8_t>(k - 120);
        const std::uint8_t alpha = (k >= 121 && k <= 126) ? 255 : 0;
        for (int c = 0; c < 3; ++c) texelForK[k][c] = gridTexelForK[k][c] = static_cast<std::uint8_t>(baseColour[c] + d);
        texelForK[k][3] = alpha;
        gridTexelForK[k][1] = 127;
        gridTexelForK[k][3] = 255;
    }
    if (!validSize(w, h)) return;
    width = w;
    height = h;
    stepX = 6.28 / width;
    stepY = 6.28 / height;
    columnWaves.resize(static_cast<std::size_t>(width));
    rowWaves.resize(static_cast<std::size_t>(height) * 3);
}

void PlasmaPainter::paint(std::int32_t timeMs, std::uint8_t* pixels) {
    const double t = timeMs;

    // A texel's waves split into three that depend on its column only and
    // three that depend on its row only, so each is evaluated once per column
    // or row. The arguments and the order of the additions are those of the
    // per-texel formula, so the image is bit for bit the same.
    const double stepX2 = stepX + stepX, stepX4 = stepX * 4.0;
    for (std::int32_t x = 0; x < width; ++x) {
        const double a1 = std::sin(x * stepX - 0.00012 * t);
        const double a2 = std::sin(x * stepX2 - 0.00024 * t);
        const double a3 = std::sin(x * stepX4 - 0.0048 * t);
        columnWaves[static_cast<std::size_t>(x)] = (a1 + a2) + a3;
    }
    const double stepY2 = stepY + stepY, stepY4 = stepY * 4.0;
    for (std::int32_t y = 0; y < height; ++y) {
        double* row = &rowWaves[static_cast<std::size_t>(y) * 3];
        row[0] = std::sin(y * stepY - 0.00012 * t);
        row[1] = std::sin(y * stepY2 - 0.00024 * t);
        row[2] = std::sin(y * stepY4 - 0.0048 * t);
    }

    const double* columns = columnWaves.data();
    for (std::int32_t y = 0; y < height; ++y) {
        const double b1 = rowWaves[static_cast<std::size_t>(y) * 3];
        const double b2 = rowWaves[static_cast<std::size_t>(y) * 3 + 1];
        const double b3 = rowWaves[static_cast<std::size_t>(y) * 3 + 2];
        std::uint8_t* out = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 4;
        // Every texel of a grid row is a grid texel.
        const bool gridRow = y % 16 == 0 || y == height - 1;
        const std::uint8_t(*table)[4] = gridRow ? gridTexelForK : texelForK;
        for (std::int32_t x = 0; x < width; ++x) {
            const double s = ((columns[x] + b1) + b2) + b3;
            // |s| <= 6, so k lies in 2..254; the mask only guards the table.
            const int k = static_cast<int>(128.0 + 21.0 * s) & 0xFF;
            std::memcpy(out + 4 * x, table[k], 4);
        }
        if (!gridRow) {
            for (std::int32_t x = 0; x < width; x += 16) {
                out[4 * x + 1] = 127;
                out[4 * x + 3] = 255;
            }
            out[4 * (width - 1) + 1] = 127;
            out[4 * (width - 1) + 3] = 255;
        }
    }

}
