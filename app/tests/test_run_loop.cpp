// The run loop with scripted SDL events, the settable clock and the recording
// OpenGL: which input ends the run, and when; what a frame draws.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>

#include "app/RunLoop.h"
#include "app/SceneAssembly.h"
#include "scene/SceneNode.h"
#include "settings/Settings.h"
#include "tests/doubles/fake_clock.h"
#include "tests/doubles/fake_events.h"
#include "tests/doubles/gl_recorder.h"

namespace {

class RunLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakeclock::set(5000);
        fakeevents::clear();
        glrec::reset();
        sceneRoot = &root;
    }
    void TearDown() override {
        sceneRoot = nullptr;
        fakeevents::clear();
    }
    // Runs the loop, calling `script` with the frame number (from 0) at the
    // end of each frame's event pass, so that it can queue the events of the
    // next pass. From frame `limit` on an Escape is queued, so a faulty loop
    // still ends: with nothing else ending it, limit + 2 frames are drawn.
    // Returns the number of frames presented.
    std::size_t run(const Settings& settings, unsigned limit, std::function<void(unsigned)> script = nullptr) {
        glrec::reset();
        const unsigned start = fakeevents::emptyPolls();
        fakeevents::onEmptyPoll([=](unsigned n) {
            if (script) script(n - start);
            if (n - start == limit) fakeevents::pushKey(SDLK_ESCAPE);
        });
        runLoop(settings);
        return glrec::count("SDL_GL_SwapBuffers");
    }
    SceneNode root;
};

Settings mouseQuits(uint8_t value) {
    Settings s;
    s.setQuitOnMouseMove(value);
    return s;
}

}  // namespace

TEST_F(RunLoopTest, EscapeEndsTheRunAfterOneMoreFrame) {
    fakeevents::pushKey(SDLK_ESCAPE);
    EXPECT_EQ(run(Settings(), 20), 1u);
    // Escape queued after the third frame's events: handled before the fourth
    // frame, which is still drawn.
    EXPECT_EQ(run(Settings(), 20,
                  [](unsigned frame) {
                      if (frame == 2) fakeevents::pushKey(SDLK_ESCAPE);
                  }),
              4u);
}

TEST_F(RunLoopTest, OtherInputDoesNotEndTheRun) {
    fakeevents::pushKey(SDLK_SPACE);
    fakeevents::pushKey(SDLK_RETURN);
    fakeevents::pushKey(SDLK_ESCAPE, SDL_KEYUP);
    fakeevents::pushMouseButton();
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    fakeevents::push(quit);
    fakeevents::pushMouseMotion();  // quitOnMouseMove 0: ignored
    EXPECT_EQ(run(Settings(), 5), 7u);
}

TEST_F(RunLoopTest, EveryQueuedEventIsHandledBeforeTheFrame) {
    fakeevents::pushKey(SDLK_a);
    fakeevents::pushKey(SDLK_ESCAPE);
    fakeevents::pushKey(SDLK_b);
    fakeevents::pushMouseButton();
    EXPECT_EQ(run(Settings(), 20), 1u);
    // The events after the Escape were taken off the queue too.
    SDL_Event e;
    EXPECT_EQ(SDL_PollEvent(&e), 0);
}

TEST_F(RunLoopTest, MouseMotionEndsTheRunOnlyWhenAskedAndAfterTheGracePeriod) {
    // At 3000 ms the motion is ignored; in the second frame's events the
    // clock reads 3001 and the motion ends the run.
    fakeclock::set(3000);
    fakeevents::pushMouseMotion();
    EXPECT_EQ(run(mouseQuits(1), 10,
                  [](unsigned frame) {
                      if (frame == 0) {
                          fakeclock::set(3001);
                          fakeevents::pushMouseMotion();
                      }
                  }),
              2u);

    for (uint8_t value : {uint8_t(0), uint8_t(2), uint8_t(255)}) {
        fakeclock::set(60000);
        fakeevents::pushMouseMotion();
        EXPECT_EQ(run(mouseQuits(value), 3), 5u) << "quitOnMouseMove " << int(value);
    }
}

TEST_F(RunLoopTest, AFrameClearsPlacesTheCameraDrawsAndSwaps) {
    ASSERT_TRUE(renderFrame());
    const std::vector<std::string> calls = glrec::texts();
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(calls[0], "glClear(" + std::to_string(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT) + ")");
    EXPECT_EQ(calls[1], "glLoadIdentity()");
    EXPECT_EQ(calls[2], "glTranslatef(0, 0, -100)");
    // The bare root node: push, its translation, its animator's, pop.
    EXPECT_EQ(std::vector<std::string>(calls.begin() + 3, calls.end()),
              (std::vector<std::string>{"glPushMatrix()", "glTranslatef(0, 0, 0)", "glTranslatef(0, 0, 0)",
                                        "glPopMatrix()", "SDL_GL_SwapBuffers()"}));
}
