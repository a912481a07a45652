// The doubles are what every other unit test stands on: check that they are
// the ones linked and that they record faithfully.
#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include "tests/doubles/fake_clock.h"
#include "tests/doubles/gl_recorder.h"

TEST(GlRecorder, RecordsCallsInOrderWithExactArguments) {
    glrec::reset();
    glTranslatef(0.1f, -2.0f, 3.5f);
    gluPerspective(45.0, 1.25, double(0.1f), 250.0);
    glAlphaFunc(GL_GREATER, 0.9f);
    EXPECT_EQ(glrec::texts(), (std::vector<std::string>{
                                  "glTranslatef(0.10000000149011612, -2, 3.5)",
                                  "gluPerspective(45, 1.25, 0.10000000149011612, 250)",
                                  "glAlphaFunc(516, 0.8999999761581421)",
                              }));
}

TEST(GlRecorder, HandsOutTextureNamesAndCopiesUploads) {
    glrec::reset();
    GLuint a = 0, b = 0;
    glGenTextures(1, &a);
    glGenTextures(1, &b);
    EXPECT_EQ(a, 1u);
    EXPECT_EQ(b, 2u);
    unsigned char pixels[2 * 1 * 4] = {1, 2, 3, 4, 5, 6, 7, 8};
    glBindTexture(GL_TEXTURE_2D, b);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    pixels[0] = 99;  // the copy must not follow later changes
    ASSERT_EQ(glrec::texImages().size(), 1u);
    EXPECT_EQ(glrec::texImages()[0].texture, 2u);
    EXPECT_EQ(glrec::texImages()[0].rgba, (std::vector<unsigned char>{1, 2, 3, 4, 5, 6, 7, 8}));
    glrec::reset();
    GLuint c = 0;
    glGenTextures(1, &c);
    EXPECT_EQ(c, 1u);
    EXPECT_TRUE(glrec::texImages().empty());
}

TEST(FakeClock, ReplacesSdlTicksAndWraps) {
    fakeclock::set(4294967290u);
    EXPECT_EQ(SDL_GetTicks(), 4294967290u);
    fakeclock::advance(12);
    EXPECT_EQ(SDL_GetTicks(), 6u);
    EXPECT_EQ(fakeclock::reads(), 2u);
}
