// The projection is pure OpenGL: checked call by call through the recorder.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "display/Display.h"
#include "tests/doubles/gl_recorder.h"

namespace {
std::vector<std::string> projectionCalls(int32_t w, int32_t h) {
    glrec::reset();
    Display display;
    EXPECT_TRUE(display.setProjection(w, h));
    return glrec::texts();
}
}  // namespace

TEST(DisplayProjection, ViewportThenPerspectiveWithSinglePrecisionAspectAndNear) {
    const std::string proj = std::to_string(GL_PROJECTION), view = std::to_string(GL_MODELVIEW);
    EXPECT_EQ(projectionCalls(1280, 1024), (std::vector<std::string>{
                                               "glViewport(0, 0, 1280, 1024)",
                                               "glMatrixMode(" + proj + ")",
                                               "glLoadIdentity()",
                                               "gluPerspective(45, 1.25, 0.10000000149011612, 250)",
                                               "glMatrixMode(" + view + ")",
                                               "glLoadIdentity()",
                                           }));
    // 1152 / 864 is not representable: the float quotient is widened, not the double one.
    auto calls = projectionCalls(1152, 864);
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[3], "gluPerspective(45, 1.3333333730697632, 0.10000000149011612, 250)");
}

TEST(DisplayProjection, ZeroHeightCountsAsOne) {
    auto calls = projectionCalls(800, 0);
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0], "glViewport(0, 0, 800, 1)");
    EXPECT_EQ(calls[3], "gluPerspective(45, 800, 0.10000000149011612, 250)");
}
