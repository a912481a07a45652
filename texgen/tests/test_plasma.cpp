#include "texgen/Plasma.h"

#include "tests/doubles/gl_recorder.h"
#include "texgen/tests/PlasmaReference.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using Texel = std::array<int, 4>;

Texel texelAt(const Plasma& p, int x, int y) {
    const std::uint8_t* t = p.pixels + 4 * (static_cast<std::size_t>(y) * p.width + x);
    return {t[0], t[1], t[2], t[3]};
}

std::vector<std::uint8_t> pixelsOf(const Plasma& p) { return {p.pixels, p.pixels + p.byteCount}; }

// Columns (or rows) in which every texel has G = 127 and A = 255. With a base
// green of 80 no band texel can look like that: an opaque band texel has
// G = 81 ... 86.
std::set<int> gridLines(const Plasma& p, bool columns) {
    std::set<int> lines;
    const int outer = columns ? p.width : p.height, inner = columns ? p.height : p.width;
    for (int i = 0; i < outer; ++i) {
        bool all = true;
        for (int j = 0; j < inner && all; ++j) {
            const Texel t = columns ? texelAt(p, i, j) : texelAt(p, j, i);
            all = t[1] == 127 && t[3] == 255;
        }
        if (all) lines.insert(i);
    }
    return lines;
}

class PlasmaTest : public ::testing::Test {
protected:
    void SetUp() override { glrec::reset(); }
};

TEST_F(PlasmaTest, MatchesPerTexelFormulaForManySizesTimesAndColours) {
    const std::vector<std::pair<int, int>> sizes = {{1, 1},   {2, 3},   {15, 15},  {16, 16}, {17, 33},
                                                    {33, 17}, {64, 32}, {100, 7},  {1, 300}, {300, 1},
                                                    {128, 128}, {256, 256}};
    const std::vector<std::int32_t> times = {0, 1, 1000, 65535, -1, -123456789, INT32_MAX, INT32_MAX - 17,
                                             INT32_MIN, 1 << 30};
    const std::vector<std::string> colours = {":40:80:160", ":255:255:255", ",0,0,0", ":300:-7:129"};
    for (const std::string& colour : colours) {
        for (const auto& [w, h] : sizes) {
            Plasma plasma(w, h, colour.c_str());
            ASSERT_EQ(plasma.byteCount, w * h * 4);
            for (std::int32_t t : times) {
                plasma.update(t);
                ASSERT_EQ(pixelsOf(plasma), plasmaref::image(w, h, plasma.baseColour, t))
                    << w << "x" << h << " t=" << t << " colour " << colour;
            }
        }
    }
}

TEST_F(PlasmaTest, WorkedValues) {
    Plasma plasma(128, 128, ":40:80:160");
    plasma.update(1000);
    EXPECT_EQ(texelAt(plasma, 5, 3), (Texel{89, 129, 209, 0}));
    EXPECT_EQ(texelAt(plasma, 46, 1), (Texel{44, 84, 164, 255}));
    plasma.update(0);
    EXPECT_EQ(texelAt(plasma, 0, 0), (Texel{48, 127, 168, 255}));
}

TEST_F(PlasmaTest, GridLinesAtEverySixteenthAndLastColumnAndRow) {
    Plasma square(32, 32, ":40:80:160");
    square.update(777);
    EXPECT_EQ(gridLines(square, true), (std::set<int>{0, 16, 31}));
    EXPECT_EQ(gridLines(square, false), (std::set<int>{0, 16, 31}));

    Plasma wide(64, 32, ":40:80:160");
    wide.update(-5000);
    EXPECT_EQ(gridLines(wide, true), (std::set<int>{0, 16, 32, 48, 63}));
    EXPECT_EQ(gridLines(wide, false), (std::set<int>{0, 16, 31}));

    // Grid texels keep red and blue from the band formula.
    const std::vector<std::uint8_t> ref = plasmaref::image(64, 32, wide.baseColour, -5000);
    EXPECT_EQ(texelAt(wide, 63, 5)[0], ref[4 * (5 * 64 + 63)]);
    EXPECT_EQ(texelAt(wide, 63, 5)[2], ref[4 * (5 * 64 + 63) + 2]);
}

TEST_F(PlasmaTest, OffGridTexelsAreBandsOrTransparent) {
    Plasma plasma(128, 128, ":40:80:160");
    plasma.update(123456);
    int opaque = 0, transparent = 0;
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            if (x % 16 == 0 || y % 16 == 0 || x == 127 || y == 127) continue;
            const Texel t = texelAt(plasma, x, y);
            const int d = (t[0] - 40 + 256) % 256;
            ASSERT_EQ(t[1], (80 + d) % 256);
            ASSERT_EQ(t[2], (160 + d) % 256);
            if (t[3] == 255) {
                ++opaque;
                ASSERT_GE(d, 1);
                ASSERT_LE(d, 6);
            } else {
                ++transparent;
                ASSERT_EQ(t[3], 0);
                ASSERT_TRUE(d < 1 || d > 6) << x << "," << y;
            }
        }
    }
    EXPECT_GT(opaque, 0);
    EXPECT_GT(transparent, opaque);
}

TEST_F(PlasmaTest, SameTimeGivesSameImageAndTimeMovesTheBands) {
    Plasma plasma(48, 40, ":1:2:3");
    plasma.update(4242);
    const std::vector<std::uint8_t> first = pixelsOf(plasma);
    plasma.update(9999);
    EXPECT_NE(pixelsOf(plasma), first);
    plasma.update(4242);
    EXPECT_EQ(pixelsOf(plasma), first);
}

TEST_F(PlasmaTest, ConstructionMakesTextureAndUpdateUploadsImage) {
    Plasma first(20, 10, ":1:2:3");
    Plasma second(4, 4, ":1:2:3");
    EXPECT_EQ(first.getTextureId(), 1u);
    EXPECT_EQ(second.getTextureId(), 2u);
    EXPECT_EQ(glrec::names(), (std::vector<std::string>{"glGenTextures", "glGenTextures"}));

    glrec::reset();
    first.update(50);
    const auto n = [](double v) { return std::to_string(static_cast<long long>(v)); };
    const std::string tex2d = n(GL_TEXTURE_2D);
    EXPECT_EQ(glrec::texts(),
              (std::vector<std::string>{
                  "glBindTexture(" + tex2d + ", 1)",
                  "glTexImage2D(" + tex2d + ", 0, " + n(GL_RGBA) + ", 20, 10, 0, " + n(GL_RGBA) + ", " +
                      n(GL_UNSIGNED_BYTE) + ")",
                  "glTexEnvi(" + n(GL_TEXTURE_ENV) + ", " + n(GL_TEXTURE_ENV_MODE) + ", " + n(GL_MODULATE) + ")",
                  "glTexParameteri(" + tex2d + ", " + n(GL_TEXTURE_MIN_FILTER) + ", " + n(GL_LINEAR) + ")",
                  "glTexParameteri(" + tex2d + ", " + n(GL_TEXTURE_MAG_FILTER) + ", " + n(GL_LINEAR) + ")",
              }));
    ASSERT_EQ(glrec::texImages().size(), 1u);
    EXPECT_EQ(glrec::texImages()[0].texture, 1u);
    EXPECT_EQ(glrec::texImages()[0].rgba, pixelsOf(first));
}

TEST_F(PlasmaTest, ColourTextComponents) {
    struct Case {
        const char* text;
        std::array<int, 3> rgb;
    };
    const Case cases[] = {
        {":255:0:0", {255, 0, 0}},
        {",40,80,160", {40, 80, 160}},
        {":300:1:2", {44, 1, 2}},  // low 8 bits
        {":-1:-256:+7", {255, 0, 7}},
        {"x 12y 34z 56", {12, 34, 56}},  // white space before a number is skipped
        {":1000000000000000000257:3:4", {1, 3, 4}},  // 10^21 + 257: low byte 1, no overflow
        {"", {0, 0, 0}},
        {":12", {12, 0, 0}},
        {":12:", {12, 0, 0}},
        {":x:5:6", {0, 0, 0}},  // a bad component zeroes it and every one after it
        {":7:y:9", {7, 0, 0}},
        {":7:8:", {7, 8, 0}},
        {"12:34:56", {2, 34, 56}},  // the first character is always taken as a separator
    };
    for (const Case& c : cases) {
        std::uint8_t rgb[3] = {99, 99, 99};
        PlasmaPainter::parseColour(c.text, rgb);
        EXPECT_EQ((std::array<int, 3>{rgb[0], rgb[1], rgb[2]}), c.rgb) << '"' << c.text << '"';
    }
    Plasma plasma(1, 1, ":300:0:0");
    EXPECT_EQ(plasma.baseColour[0], 44);
}

TEST_F(PlasmaTest, SizesOutsideTheAcceptedRangeMakeAnInertGenerator) {
    const std::vector<std::pair<std::int32_t, std::int32_t>> bad = {
        {0, 5}, {5, 0}, {-1, 10}, {10, -1}, {PlasmaPainter::kMaxSide + 1, 1}, {1, PlasmaPainter::kMaxSide + 1},
        {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MIN}, {65536, 65536}};
    for (const auto& [w, h] : bad) {
        Plasma plasma(w, h, ":1:2:3");
        EXPECT_EQ(plasma.pixels, nullptr) << w << "x" << h;
        EXPECT_EQ(plasma.byteCount, 0);
        EXPECT_EQ(plasma.width, 0);
        EXPECT_EQ(plasma.height, 0);
        EXPECT_EQ(plasma.getTextureId(), 0u);
        plasma.update(1000);
    }
    EXPECT_TRUE(glrec::calls().empty());

    Plasma largest(PlasmaPainter::kMaxSide, 2, ":1:2:3");
    EXPECT_EQ(largest.byteCount, PlasmaPainter::kMaxSide * 2 * 4);
    largest.update(-77);
    EXPECT_EQ(pixelsOf(largest), plasmaref::image(PlasmaPainter::kMaxSide, 2, largest.baseColour, -77));
}

}  // namespace
