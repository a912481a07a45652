// Plasma against a real OpenGL implementation: the texture read back from the
// driver must be the image of the per-texel formula, bands and grid included.
#include "texgen/Plasma.h"
#include "texgen/TexturegenCache.h"
#include "texgen/tests/PlasmaReference.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

class PlasmaGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_NE(SDL_SetVideoMode(128, 128, 0, SDL_OPENGL), nullptr) << SDL_GetError();
    }
    void TearDown() override {
        for (Texturegen* g : cache.generators) delete g;
        SDL_Quit();
    }

    std::vector<std::uint8_t> readBack(std::uint32_t texture, int width, int height) {
        std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height * 4, 0xAB);
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        return out;
    }

    TexturegenCache cache;
};

TEST_F(PlasmaGlTest, UploadedTextureHoldsBandsAndGrid) {
    const int w = 80, h = 50;  // not multiples of 16: the last column and row are separate lines
    const std::uint32_t texture = cache.getTexture("##Plasma80x50:40:80:160");
    ASSERT_NE(texture, 0u);
    const std::int32_t t = 31337;
    cache.generators[0]->update(t);
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    GLint texWidth = 0, texHeight = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texWidth);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &texHeight);
    EXPECT_EQ(texWidth, w);
    EXPECT_EQ(texHeight, h);

    const std::uint8_t base[3] = {40, 80, 160};
    const std::vector<std::uint8_t> image = readBack(texture, w, h);
    ASSERT_EQ(image, plasmaref::image(w, h, base, t));

    int bandTexels = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = &image[4 * (static_cast<std::size_t>(y) * w + x)];
            const bool grid = x % 16 == 0 || y % 16 == 0 || x == w - 1 || y == h - 1;
            if (grid) {
                ASSERT_EQ(p[1], 127) << x << "," << y;
                ASSERT_EQ(p[3], 255) << x << "," << y;
            } else if (p[3] == 255) {
                // An opaque band texel is the base colour plus 1 ... 6.
                const int d = p[0] - base[0];
                EXPECT_GE(d, 1);
                EXPECT_LE(d, 6);
                EXPECT_EQ(p[1] - base[1], d);
                EXPECT_EQ(p[2] - base[2], d);
                ++bandTexels;
            }
        }
    }
    EXPECT_GT(bandTexels, 0);

    // The per-frame path: the cache repaints with the clock, and the texture
    // follows the new time.
    cache.update();
    const std::vector<std::uint8_t> later = readBack(texture, w, h);
    EXPECT_EQ(later, std::vector<std::uint8_t>(cache.generators[0]->pixels,
                                               cache.generators[0]->pixels + cache.generators[0]->byteCount));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
