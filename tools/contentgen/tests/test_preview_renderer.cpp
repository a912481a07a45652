// The preview renderer's drawing rules (alpha test, additive blend without
// depth, depth order, texture orientation) and the shape builders' geometry.
#include "tools/contentgen/Preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using namespace contentgen;

// A square facing the eye at depth z, larger than the view, with its image's
// top row at the top of the picture.
GenMesh wall(const std::string& texture, double z) {
    GenMesh m(texture);
    const double h = 60;
    m.addQuad({-h, h, z}, {0, 0}, {h, h, z}, {1, 0}, {h, -h, z}, {1, 1}, {-h, -h, z}, {0, 1});
    return m;
}

Image flat(int r, int g, int b, int a) {
    Image image(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) image.set(x, y, {r / 255.0, g / 255.0, b / 255.0}, a);
    return image;
}

struct Scene {
    ContentEntry entry;
    std::map<std::string, Image> textures;

    RgbImage render() {
        PreviewNode node;
        node.entry = &entry;
        return renderPreview({node}, textures, 16, 12, 1);
    }
};

std::array<int, 3> pixel(const RgbImage& image, int x, int y) {
    const unsigned char* p = &image.rgb[(size_t(y) * image.width + x) * 3];
    return {p[0], p[1], p[2]};
}

TEST(PreviewRenderer, AlphaTestKeepsOnlyTexelsAboveNineTenths) {
    Scene scene;
    scene.textures["tested"] = flat(255, 0, 0, 229);
    scene.textures["#untested"] = flat(0, 255, 0, 229);
    scene.textures["passing"] = flat(0, 0, 255, 230);
    scene.entry.meshes = {wall("tested", 0)};
    EXPECT_EQ(pixel(scene.render(), 8, 6), (std::array<int, 3>{0, 0, 0}));
    scene.entry.meshes = {wall("#untested", 0)};
    EXPECT_EQ(pixel(scene.render(), 8, 6), (std::array<int, 3>{0, 255, 0}));
    scene.entry.meshes = {wall("passing", 0)};
    EXPECT_EQ(pixel(scene.render(), 8, 6), (std::array<int, 3>{0, 0, 255}));
}

TEST(PreviewRenderer, NearerSurfaceWinsWhateverTheOrder) {
    Scene scene;
    scene.textures["near"] = flat(255, 0, 0, 255);
    scene.textures["far"] = flat(0, 255, 0, 255);
    scene.entry.meshes = {wall("near", 10), wall("far", -10)};
    EXPECT_EQ(pixel(scene.render(), 3, 3), (std::array<int, 3>{255, 0, 0}));
    scene.entry.meshes = {wall("far", -10), wall("near", 10)};
    EXPECT_EQ(pixel(scene.render(), 3, 3), (std::array<int, 3>{255, 0, 0}));
}

TEST(PreviewRenderer, BlendAddsWithoutDepthTestOrDepthWrite) {
    Scene scene;
    scene.textures["front"] = flat(0, 0, 255, 255);
    scene.textures["#$glow"] = flat(128, 0, 0, 255);
    scene.textures["#$eraser"] = flat(0, 64, 0, 0);
    scene.textures["behind"] = flat(0, 255, 0, 255);
    // A glow behind an opaque wall still adds to it.
    scene.entry.meshes = {wall("front", 10), wall("#$glow", -10)};
    EXPECT_EQ(pixel(scene.render(), 5, 5), (std::array<int, 3>{128, 0, 255}));
    // Source alpha 0 keeps none of the destination.
    scene.entry.meshes = {wall("front", 10), wall("#$eraser", -10)};
    EXPECT_EQ(pixel(scene.render(), 5, 5), (std::array<int, 3>{0, 64, 0}));
    // A glow in front leaves no depth: a surface behind it, drawn later, covers it.
    scene.entry.meshes = {wall("#$glow", 20), wall("behind", 0)};
    EXPECT_EQ(pixel(scene.render(), 5, 5), (std::array<int, 3>{0, 255, 0}));
}

TEST(PreviewRenderer, TextureTopRowIsAtTZero) {
    Scene scene;
    Image image(4, 4);
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y) image.set(x, y, y < 2 ? Colour{1, 0, 0} : Colour{0, 0, 1}, 255);
    scene.textures["split"] = image;
    scene.entry.meshes = {wall("split", 0)};
    const RgbImage picture = scene.render();
    // The view shows the middle band of the wall's image, split across the
    // middle: red above, blue below.
    EXPECT_EQ(pixel(picture, 8, 0)[0], 255);
    EXPECT_EQ(pixel(picture, 8, 11)[2], 255);
}

TEST(ShapeBuilders, GeodesicSphereLiesOnItsRadius) {
    GenMesh sphere("s");
    addGeodesicSphere(sphere, 14.5, 2, triangleFrameCorners());
    EXPECT_EQ(sphere.triangleCount(), 320);
    for (size_t i = 0; i < sphere.positions.size(); i += 3)
        ASSERT_NEAR(length({sphere.positions[i], sphere.positions[i + 1], sphere.positions[i + 2]}), 14.5, 1e-9);
}

TEST(ShapeBuilders, TubesAreRoundAndCloseWithoutATwist) {
    GenMesh torus("t");
    addTorus(torus, 10.0, 1.0, 24, 6, 1.0);
    EXPECT_EQ(torus.triangleCount(), 24 * 6 * 2);
    for (size_t i = 0; i < torus.positions.size(); i += 3) {
        const double ring = std::hypot(torus.positions[i], torus.positions[i + 1]) - 10.0;
        ASSERT_NEAR(std::hypot(ring, torus.positions[i + 2]), 1.0, 1e-6);
    }
    // Along a knot, each tube vertex moves on by about one segment to the
    // matching vertex of the next ring, across the closing seam too.
    GenMesh knot("k");
    addTorusKnot(knot, 2, 3, 8.0, 3.2, 1.7, 96, 7, 6.0);
    std::vector<double> steps;
    for (size_t tri = 0; tri < size_t(knot.triangleCount()); tri += 2) {
        const double* p = &knot.positions[tri * 9];
        steps.push_back(length(Vec3{p[0], p[1], p[2]} - Vec3{p[3], p[4], p[5]}));
    }
    std::vector<double> sorted = steps;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_LT(sorted.back(), 2.0 * sorted[sorted.size() / 2]);
}

TEST(ShapeBuilders, TriangleFrameIsOpaqueOnlyAlongTheEdges) {
    const Image frame = paintTriangleFrame(128, 8.0, {0.5, 0.5, 0.5});
    const auto uv = triangleFrameCorners();
    auto alphaAt = [&](double s, double t) { return frame.at(int(s * 128), int(t * 128))[3]; };
    const double cs = (uv[0].s + uv[1].s + uv[2].s) / 3, ct = (uv[0].t + uv[1].t + uv[2].t) / 3;
    EXPECT_EQ(alphaAt(cs, ct), 0);                                   // the open middle
    EXPECT_EQ(alphaAt(0.5, uv[1].t - 3.0 / 128), 255);               // on the base bar
    EXPECT_EQ(alphaAt(0.02, 0.02), 0);                               // outside the triangle
    EXPECT_EQ(alphaAt((uv[0].s + uv[1].s) / 2 + 2.0 / 128, (uv[0].t + uv[1].t) / 2), 255);  // left bar
}

}  // namespace
