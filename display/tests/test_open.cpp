// Opening the display for real (SDL over Xvfb) while the OpenGL calls of our
// own code go to the recorder: the mode chosen, the fixed state in its order,
// the cursor, the fall-back to the desktop's mode, and the start-up failure
// with its record for the settings dialog.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "display/Display.h"
#include "platform/tests/TestFiles.h"
#include "settings/UserFiles.h"
#include "tests/doubles/gl_recorder.h"

namespace {
std::string gl(const char* name, std::initializer_list<long> args) {
    std::string s = std::string(name) + "(";
    bool first = true;
    for (long a : args) {
        if (!first) s += ", ";
        s += std::to_string(a);
        first = false;
    }
    return s + ")";
}
}  // namespace

TEST(DisplayOpen, ModeZeroTakesTheDesktopModeAndSetsTheFixedStateInOrder) {
    glrec::reset();
    {
        Display display;
        display.open(0, 0, 0);
        const SDL_Surface* screen = SDL_GetVideoSurface();
        ASSERT_NE(screen, nullptr);
        // tests/with-xvfb.sh runs a 1024x768x24 screen.
        EXPECT_EQ(display.getWidth(), 1024);
        EXPECT_EQ(display.getHeight(), 768);
        EXPECT_EQ(display.getBitsPerPixel(), SDL_GetVideoInfo()->vfmt->BitsPerPixel);
        EXPECT_EQ(screen->w, 1024);
        EXPECT_EQ(screen->h, 768);
        EXPECT_TRUE(screen->flags & SDL_OPENGL);
        EXPECT_TRUE(screen->flags & SDL_FULLSCREEN);
        EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
        int doubleBuffer = 0;
        SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffer);
        EXPECT_EQ(doubleBuffer, 1);
    }
    std::vector<std::string> expected = {
        gl("glEnable", {GL_TEXTURE_2D}),
        gl("glShadeModel", {GL_SMOOTH}),
        "glClearColor(0, 0, 0, 0)",
        "glClearDepth(1)",
        gl("glEnable", {GL_DEPTH_TEST}),
        gl("glDepthFunc", {GL_LEQUAL}),
        gl("glHint", {GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST}),
        "glViewport(0, 0, 1024, 768)",
        gl("glMatrixMode", {GL_PROJECTION}),
        "glLoadIdentity()",
        "gluPerspective(45, 1.3333333730697632, 0.10000000149011612, 250)",
        gl("glMatrixMode", {GL_MODELVIEW}),
        "glLoadIdentity()",
    };
    EXPECT_EQ(glrec::texts(), expected);
    // The destructor shut SDL down.
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

TEST(DisplayOpen, ExplicitModeIsRequestedUnchanged) {
    Display display;
    display.open(1024, 768, 32);
    EXPECT_EQ(display.getWidth(), 1024);
    EXPECT_EQ(display.getHeight(), 768);
    EXPECT_EQ(display.getBitsPerPixel(), 32);
    ASSERT_NE(SDL_GetVideoSurface(), nullptr);
    EXPECT_TRUE(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN);
}

TEST(DisplayOpenDeathTest, NoDisplayFailsVideoInitializationAndRecordsIt) {
    testfiles::TempDir dir;
    testfiles::ScopedEnv config("XDG_CONFIG_HOME", dir.path().c_str());
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            setenv("SDL_VIDEODRIVER", "x11", 1);  // as the process entry sets it
            Display display;
            display.open(0, 0, 0);
        },
        ::testing::ExitedWithCode(1), "^Video initialization failed: .+\n$");
    const auto recorded = lastStartupFailure();
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->message.rfind("Video initialization failed: ", 0), 0u) << recorded->message;
}

TEST(DisplayOpen, AModeTheScreenCannotShowFallsBackToTheDesktopsAndClearsTheRecord) {
    testfiles::TempDir dir;
    testfiles::ScopedEnv config("XDG_CONFIG_HOME", dir.path().c_str());
    recordStartupFailure("Corrupt archive: main.pak");
    ::testing::internal::CaptureStderr();
    {
        Display display;
        display.open(1024, 768, 64);
        const SDL_Surface* screen = SDL_GetVideoSurface();
        ASSERT_NE(screen, nullptr);
        EXPECT_TRUE(screen->flags & SDL_FULLSCREEN);
        EXPECT_EQ(display.getWidth(), 1024);
        EXPECT_EQ(display.getHeight(), 768);
        EXPECT_EQ(display.getBitsPerPixel(), SDL_GetVideoInfo()->vfmt->BitsPerPixel);
        EXPECT_NE(display.getBitsPerPixel(), 64);
    }
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("Video mode 1024x768x64 cannot be shown (", 0), 0u) << said;
    EXPECT_NE(said.find("); using the desktop's 1024x768x"), std::string::npos) << said;
    EXPECT_FALSE(lastStartupFailure());
}
