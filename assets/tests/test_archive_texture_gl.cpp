// Decodes image entries and uploads them to a real OpenGL context, then reads
// the texture back to check that every channel landed where it belongs.
#include "assets/Archive.h"
#include "assets/tests/ImageBytes.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<unsigned char>;

class ArchiveTextureGl : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_NE(SDL_SetVideoMode(64, 64, 0, SDL_OPENGL), nullptr) << SDL_GetError();
    }
    static void TearDownTestSuite() { SDL_Quit(); }

    static Bytes readBack(GLuint texture, int w, int h) {
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint gotW = 0, gotH = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &gotW);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &gotH);
        EXPECT_EQ(gotW, w);
        EXPECT_EQ(gotH, h);
        Bytes out(static_cast<std::size_t>(w * h * 4), 0xEE);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        return out;
    }
};

Bytes rampPixels(int w, int h, int channels) {
    Bytes px;
    for (int i = 0; i < w * h * channels; ++i) px.push_back(static_cast<unsigned char>(i * 13 + 5));
    return px;
}

}  // namespace

TEST_F(ArchiveTextureGl, PngEntriesReadBackAsTheirRgbaPixels) {
    const int w = 4, h = 4;
    const Bytes rgba = rampPixels(w, h, 4);
    const Bytes rgb = rampPixels(w, h, 3);
    const Bytes grey = rampPixels(w, h, 1);
    Bytes rgbExpected, greyExpected;
    for (int i = 0; i < w * h; ++i) {
        rgbExpected.insert(rgbExpected.end(), {rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2], 255});
        greyExpected.insert(greyExpected.end(), {grey[i], grey[i], grey[i], 255});
    }

    Archive pak;
    for (const auto& [name, png] : {std::pair<const char*, Bytes>{"rgba", encodePng(w, h, 4, rgba)},
                                    {"rgb", encodePng(w, h, 3, rgb)},
                                    {"grey", encodePng(w, h, 1, grey)}}) {
        ASSERT_TRUE(pak.addMemory(name, png.data(), static_cast<std::int32_t>(png.size())));
    }

    const GLuint texRgba = pak.getTexture("rgba");
    const GLuint texRgb = pak.getTexture("rgb");
    const GLuint texGrey = pak.getTexture("grey");
    ASSERT_NE(texRgba, 0u);
    ASSERT_NE(texRgb, 0u);
    ASSERT_NE(texGrey, 0u);
    EXPECT_NE(texRgba, texRgb);
    EXPECT_EQ(pak.getTexture("rgba"), texRgba);

    // OpenGL's row 0 (t = 0) is the image's top row, as decoded.
    EXPECT_EQ(readBack(texRgba, w, h), rgba);
    EXPECT_EQ(readBack(texRgb, w, h), rgbExpected);
    EXPECT_EQ(readBack(texGrey, w, h), greyExpected);

    GLint filter = 0;
    glBindTexture(GL_TEXTURE_2D, texRgb);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    GLint envMode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    EXPECT_EQ(envMode, GL_MODULATE);
}
