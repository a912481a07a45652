// Texture images for the screensaver's default content, painted in code.
// The screensaver draws without lighting, so each image carries its own
// shading: bevelled bars for lattices and crystal edges, a lit metal tube,
// additive glows and glass. Images are RGBA with the top row first and are
// stored in the archive as PNG (encodePng).
//
//   Image lattice = paintTriangleFrame(128, 9.0, {0.27, 0.63, 0.86});
//   std::vector<unsigned char> png = encodePng(lattice);
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace contentgen {

struct Colour {
    double r = 0, g = 0, b = 0;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // width * height * 4 bytes, top row first

    Image() = default;
    Image(int w, int h) : width(w), height(h), rgba(static_cast<std::size_t>(w) * h * 4, 0) {}
    // Stores the colour (components 0..1, clamped) and alpha (0..255).
    void set(int x, int y, Colour c, int alpha);
    const std::uint8_t* at(int x, int y) const { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
};

// A frame of rounded, lit bars along the edges of the triangle that
// triangleFrameCorners() places on the image; everything else is transparent.
// barWidth is in texels.
Image paintTriangleFrame(int size, double barWidth, Colour base);

// The same bars along the four borders of the whole square image.
Image paintQuadFrame(int size, double barWidth, Colour base);

// A metal tube: s (x) runs along the tube with a groove every width / grooves
// texels, t (y) once around it with a lit side, a highlight and a dark side.
Image paintMetalTube(int width, int height, Colour base, int grooves);

// Opaque (alpha 255) radial glow fading to black at the image's inscribed
// circle, with a pale hot centre: for additive drawing.
Image paintGlow(int size, Colour base);

// Opaque additive glass for a crystal face: dark in the middle, bright
// towards the face's edges. triangular selects the triangle of
// triangleFrameCorners(), otherwise the face is the whole square.
Image paintGlass(int size, Colour base, bool triangular);

// Opaque additive halo band: s (x) across the band, black at both borders and
// brightest a little inside the middle, with faint streaks along t (y).
Image paintHalo(int width, int height, Colour base);

// PNG bytes of the image (8-bit RGBA), as stb_image_write encodes them.
std::vector<unsigned char> encodePng(const Image& image);

}  // namespace contentgen
