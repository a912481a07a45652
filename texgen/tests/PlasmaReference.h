// The plasma image computed the plain way: six sine evaluations for every
// texel, straight from the formula. Tests compare Plasma::update against it
// byte for byte, and the benchmark measures Plasma::update against it.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace plasmaref {

// Writes width * height RGBA texels to out.
inline void fill(std::uint8_t* out, int width, int height, const std::uint8_t base[3], std::int32_t timeMs) {
    const double stepX = 6.28 / width;
    const double stepY = 6.28 / height;
    const double t = timeMs;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double a1 = std::sin(x * stepX - 0.00012 * t);
            const double a2 = std::sin(x * (stepX + stepX) - 0.00024 * t);
            const double a3 = std::sin(x * (stepX * 4.0) - 0.0048 * t);
            const double b1 = std::sin(y * stepY - 0.00012 * t);
            const double b2 = std::sin(y * (stepY + stepY) - 0.00024 * t);
            const double b3 = std::sin(y * (stepY * 4.0) - 0.0048 * t);
            const double s = ((((a1 + a2) + a3) + b1) + b2) + b3;
            const int k = static_cast<int>(128.0 + 21.0 * s);
            const std::uint8_t d = static_cast<std::uint8_t>(k - 120);
            std::uint8_t* texel = out + 4 * (static_cast<std::size_t>(y) * width + x);
            texel[0] = static_cast<std::uint8_t>(base[0] + d);
            texel[1] = static_cast<std::uint8_t>(base[1] + d);
            texel[2] = static_cast<std::uint8_t>(base[2] + d);
            texel[3] = (k >= 121 && k <= 126) ? 255 : 0;
            if (x == width - 1 || x % 16 == 0 || y % 16 == 0 || y == height - 1) {
                texel[1] = 127;
                texel[3] = 255;
            }
        }
    }
}

inline std::vector<std::uint8_t> image(int width, int height, const std::uint8_t base[3], std::int32_t timeMs) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height * 4);
    fill(out.data(), width, height, base, timeMs);
    return out;
}

}  // namespace plasmaref
