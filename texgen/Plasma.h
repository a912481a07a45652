// Plasma: a procedural texture of thin opaque contour bands in a base colour
// over a transparent ground, drawn from six drifting sine waves (three over
// the columns, three over the rows), with an opaque grid line every 16 texels
// and along the last column and row.
//
//   Plasma plasma(128, 64, ":40:80:160");
//   plasma.update(SDL_GetTicks());  // repaints and uploads the texture
#pragma once

#include "texgen/PlasmaPainter.h"
#include "texgen/Texturegen.h"

#include <cstdint>

class Plasma : public Texturegen {
public:
    // Sizes outside 1..PlasmaPainter::kMaxSide make an inert generator: width,
    // height and byteCount 0, no pixel array, texture name 0, and update()
    // does nothing. The colour text is read by PlasmaPainter::parseColour.
    Plasma(std::int32_t width, std::int32_t height, const char* colourText);

    // Repaints every texel for timeMs and uploads the image.
    void update(std::int32_t timeMs) override;

    double stepX = 0.0;  // 6.28 / width: phase step per column
    double stepY = 0.0;  // 6.28 / height: phase step per row
    std::uint8_t baseColour[3] = {0, 0, 0};

private:
    PlasmaPainter painter;
};
