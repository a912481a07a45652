// A small software renderer that paints the still preview picture the way the
// screensaver draws its scene: a 45-degree vertical field of view, black
// background, depth buffer, bilinear texture sampling with repeat, the alpha
// test (alpha above 0.9 passes) and the additive blend (source plus
// destination times source alpha, no depth test or depth write) chosen by
// each texture name. The picture is rendered at a higher resolution and
// averaged down, so the small image is smooth.
//
//   PreviewNode nest = ...;               // meshes, scale, placement, angles
//   RgbImage picture = renderPreview({nest}, textures, 152, 112, 4);
//   savePreviewBmp(picture, "preview.ppk");
#pragma once

#include "tools/contentgen/Content.h"

#include <map>
#include <string>
#include <vector>

namespace contentgen {

// One shape of the scene: its own meshes drawn under its scale, placed at
// `position` in the parent's frame and turned by angleZ, then angleY
// (degrees), like a shape spinning about its Z and Y axes. Children inherit
// the placement and turning, not the scale.
struct PreviewNode {
    const ContentEntry* entry = nullptr;
    double scale = 1.0;
    Vec3 position;
    double angleZ = 0.0;
    double angleY = 0.0;
    std::vector<PreviewNode> children;
};

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // top row first, 3 bytes per pixel: red, green, blue
};

// Renders the nodes (in order, depth first) as seen from an eye `distance`
// units in front of the origin of the nodes' frame. Meshes whose texture is
// missing from `textures`, or empty, are skipped.
RgbImage renderPreview(const std::vector<PreviewNode>& nodes, const std::map<std::string, Image>& textures,
                       int width, int height, int supersample, double distance = 90.0);

// Writes the picture as an uncompressed 24-bit BMP through SDL. False when
// the file cannot be written.
bool savePreviewBmp(const RgbImage& picture, const std::string& path);

}  // namespace contentgen
