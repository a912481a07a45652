// Recording OpenGL double for unit tests.
//
// Linked into a test in place of libGL and libGLU, it defines every GL and GLU
// entry point that Calvetrin calls (plus SDL_GL_SwapBuffers). Each call is
// appended, with its arguments widened to double, to a list that the test
// reads and compares. glGenTextures hands out 1, 2, 3, ... The pixels of every
// glTexImage2D of GL_RGBA / GL_UNSIGNED_BYTE are copied so that a test can
// compare the uploaded image.
//
//   glrec::reset();
//   transform.applyTranslateRotate();
//   EXPECT_EQ(glrec::texts(), (std::vector<std::string>{"glTranslatef(0, 0, 0)"}));
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace glrec {

struct Call {
    std::string name;
    std::vector<double> args;
    // "name(a, b, c)" with each argument in its shortest exact decimal form.
    std::string text() const;
};

// What glGetIntegerv answers for GL_MAX_TEXTURE_SIZE until set otherwise;
// other queries answer 0.
constexpr int kDefaultMaxTextureSize = 8192;
void setMaxTextureSize(int side);

// Forgets every recorded call and texture image; texture names restart at 1
// and the largest texture size is the default again.
void reset();

const std::vector<Call>& calls();
std::vector<std::string> texts();
std::vector<std::string> names();
std::size_t count(const std::string& name);

struct TexImage {
    unsigned texture;  // the texture bound to GL_TEXTURE_2D at the upload
    int width;
    int height;
    std::vector<unsigned char> rgba;  // width * height * 4 bytes
};
// Every RGBA / unsigned-byte image uploaded since the last reset, in order.
const std::vector<TexImage>& texImages();

}  // namespace glrec
