// The run loop with scripted SDL events, the settable clock and the recording
// OpenGL: which input ends the run, and when; what a frame draws; the pacing
// of frames and the frame rate drawn in a corner.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/FpsOverlay.h"
#include "app/FramePacer.h"
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

TEST_F(RunLoopTest, StagesEndInOrderAndTheCornerTextComesAfterTheScene) {
    std::vector<FrameStage> stages;
    const std::string text = "FPS: 1";
    FrameOptions options;
    options.cornerText = &text;
    options.stageEnded = [&](FrameStage stage) { stages.push_back(stage); };
    renderFrame(options);
    EXPECT_EQ(stages, (std::vector<FrameStage>{FrameStage::Camera, FrameStage::Textures, FrameStage::Scene,
                                                FrameStage::Overlay, FrameStage::Presented}));
    const std::vector<std::string> names = glrec::names();
    const auto popMatrix = std::find(names.begin(), names.end(), "glPopMatrix");  // the end of the root node
    const auto firstBitmap = std::find(names.begin(), names.end(), "glBitmap");
    EXPECT_LT(popMatrix, firstBitmap);
    EXPECT_EQ(names.back(), "SDL_GL_SwapBuffers");
}

// Frames that take `costMs` each, paced by `pacer`: the milliseconds that
// `frames` frames take in all.
std::uint32_t pacedDuration(std::int32_t delayUs, std::uint32_t costMs, int frames) {
    const std::uint32_t start = fakeclock::now();
    FramePacer pacer(delayUs, start);
    for (int i = 0; i < frames; ++i) {
        fakeclock::advance(costMs);
        fakeclock::advance(pacer.wait(fakeclock::now()));
    }
    return fakeclock::now() - start;
}

TEST(FramePacer, FramesStartOneDelayApartOnAverageAndALateFrameIsNotCaughtUp) {
    // 30000 us is 33.3 frames per second, whatever a frame costs below that.
    for (std::uint32_t start : {0u, 4294967000u}) {  // across the clock's wrap-around too
        fakeclock::set(start);
        EXPECT_EQ(pacedDuration(FramePacer::kDefaultDelayMicroseconds, 7, 300), 9000u);
    }
    fakeclock::set(0);
    // A delay that is no whole number of milliseconds keeps its rate.
    EXPECT_NEAR(pacedDuration(16667, 3, 600), 10000.0, 1.0);
    // Slower frames than asked: no waiting, and no burst after them.
    EXPECT_EQ(pacedDuration(30000, 45, 100), 4500u);
    fakeclock::set(0);
    FramePacer pacer(30000, 0);
    EXPECT_EQ(pacer.wait(500), 0u);  // one frame far late: the schedule starts afresh
    EXPECT_EQ(pacer.wait(505), 25u);
    // 0: unpaced.
    EXPECT_EQ(pacedDuration(0, 2, 100), 200u);
}

TEST(FpsOverlay, TheRateOfTheLastSecondIsShownOnceASecondHasPassed) {
    FpsCounter fps(4294966796u);  // 500 ms before the wrap-around
    std::uint32_t now = 4294966796u;
    for (int i = 0; i < 29; ++i) fps.frameDrawn(now += 30);
    EXPECT_EQ(fps.text(), "");  // 870 ms
    for (int i = 0; i < 5; ++i) fps.frameDrawn(now += 30);
    EXPECT_EQ(fps.text(), "FPS: 33.3");  // 34 frames in 1020 ms
    for (int i = 0; i < 10; ++i) fps.frameDrawn(now += 100);
    EXPECT_EQ(fps.text(), "FPS: 10.0");
}

TEST(FpsOverlay, TextIsDrawnWithBitmapsInTheCornerAndEveryStateItChangesIsRestored) {
    glrec::reset();
    drawCornerText("FPS: 9.5");
    const std::vector<glrec::Call>& calls = glrec::calls();
    std::vector<std::string> glyphs;  // width, height, moves, pixels of each bitmap drawn
    int pushes = 0, matrixDepth = 0;
    for (const glrec::Call& call : calls) {
        if (call.name == "glBitmap") glyphs.push_back(call.text());
        pushes += call.name == "glPushAttrib" || call.name == "glPushClientAttrib";
        pushes -= call.name == "glPopAttrib" || call.name == "glPopClientAttrib";
        matrixDepth += (call.name == "glPushMatrix") - (call.name == "glPopMatrix");
    }
    EXPECT_EQ(pushes, 0);
    EXPECT_EQ(matrixDepth, 0);
    ASSERT_EQ(glyphs.size(), 18u);  // twice (shadow, text): the move to the corner and 8 characters
    EXPECT_EQ(glyphs[0], "glBitmap(0, 0, 0, 0, 9, 7, 0)");
    EXPECT_EQ(glyphs[9], "glBitmap(0, 0, 0, 0, 8, 8, 0)");
    // 'F' has 14 of its 5 x 7 cells set, shown at 2 x 2 pixels each; the
    // space draws nothing but still advances.
    EXPECT_EQ(glyphs[10], "glBitmap(10, 14, 0, 0, 12, 0, 56)");
    EXPECT_EQ(glyphs[14], "glBitmap(0, 0, 0, 0, 12, 0, 0)");
    EXPECT_EQ(calls.back().name, "glPopAttrib");
    EXPECT_EQ(glrec::count("glRasterPos2f"), 2u);

    glrec::reset();
    drawCornerText("");
    EXPECT_TRUE(glrec::calls().empty());
}
