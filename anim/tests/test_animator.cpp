// Action timing and the Animator's per-frame update, driven by the settable clock.
#include <gtest/gtest.h>

#include <cmath>

#include "anim/Animator.h"
#include "anim/tests/probe_action.h"
#include "tests/doubles/fake_clock.h"
#include "tests/doubles/gl_recorder.h"

namespace {
// One frame after `ms` milliseconds; returns the animator's GL calls.
std::vector<std::string> frame(Animator& animator, std::uint32_t ms) {
    fakeclock::advance(ms);
    glrec::reset();
    animator.update();
    return glrec::texts();
}
}  // namespace

TEST(Animator, ActionRunsPastItsDurationOnceThenFinishesThenIsDropped) {
    fakeclock::set(0);
    Animator animator;
    ProbeAction action(1, true, 1000.0);
    animator.add(&action);
    EXPECT_EQ(action.target, &animator.frameTransform);
    for (int i = 0; i < 33; ++i) frame(animator, 30);
    EXPECT_EQ(action.elapsed, 990.0);
    EXPECT_FALSE(action.isFinished());

    EXPECT_EQ(frame(animator, 30), (std::vector<std::string>{"glTranslatef(1020, 0, 0)"}));
    EXPECT_FALSE(action.isFinished());
    EXPECT_EQ(frame(animator, 30), (std::vector<std::string>{"glTranslatef(1020, 0, 0)"}));
    EXPECT_TRUE(action.isFinished());
    EXPECT_EQ(action.applied.size(), 35u);

    // Dropped without a tick: no apply, and its contribution is gone.
    EXPECT_EQ(frame(animator, 30), (std::vector<std::string>{"glTranslatef(0, 0, 0)"}));
    EXPECT_EQ(action.applied.size(), 35u);
    EXPECT_TRUE(animator.actions.empty());
    EXPECT_EQ(action.elapsed, 1020.0);
}

TEST(Animator, EndlessActionOnlyStopsThroughFinish) {
    fakeclock::set(500);
    Animator animator;
    ProbeAction action(4, true, 0.0);
    EXPECT_TRUE(action.endless);
    animator.add(&action);
    frame(animator, 4000000000u);
    frame(animator, 4000000000u);
    EXPECT_EQ(action.elapsed, 8000000000.0);
    EXPECT_FALSE(action.isFinished());
    animator.finishById(4);
    frame(animator, 10);  // ticked no more
    EXPECT_EQ(action.elapsed, 8000000000.0);
    EXPECT_TRUE(animator.actions.empty());

    // A NaN duration is not endless, and the unordered comparison counts as
    // reached: the first tick finishes it without advancing.
    ProbeAction nan(5, true, std::nan(""));
    EXPECT_FALSE(nan.endless);
    animator.add(&nan);
    frame(animator, 10);
    EXPECT_TRUE(nan.isFinished());
    EXPECT_EQ(nan.applied, (std::vector<double>{0.0}));
}

TEST(Animator, PausedActionIsAppliedFrozenAndResumesFromThere) {
    fakeclock::set(100);
    Animator animator;
    ProbeAction action(7, true, 1000.0);
    animator.add(&action);
    frame(animator, 200);
    animator.pauseById(7);
    EXPECT_EQ(frame(animator, 5000), (std::vector<std::string>{"glTranslatef(200, 0, 0)"}));
    EXPECT_EQ(frame(animator, 5000), (std::vector<std::string>{"glTranslatef(200, 0, 0)"}));
    EXPECT_FALSE(action.isFinished());  // cannot finish by time while paused
    animator.resumeById(7);
    EXPECT_EQ(frame(animator, 50), (std::vector<std::string>{"glTranslatef(250, 0, 0)"}));
}

TEST(Animator, AdjacentFinishedActionsGoInOneUpdateAndTheNextStillTicks) {
    fakeclock::set(0);
    Animator animator;
    ProbeAction first(1, true, 0.0), a(2, true, 0.0), b(2, true, 0.0), last(3, true, 0.0);
    for (Action* x : {static_cast<Action*>(&first), static_cast<Action*>(&a), static_cast<Action*>(&b),
                      static_cast<Action*>(&last)})
        animator.add(x);
    animator.finishById(2);  // affects both matches
    frame(animator, 40);
    EXPECT_EQ(animator.actions, (std::vector<Action*>{&first, &last}));
    EXPECT_EQ(last.applied, (std::vector<double>{40.0}));
    EXPECT_EQ(first.applied, (std::vector<double>{40.0}));
    EXPECT_TRUE(a.applied.empty());
    EXPECT_TRUE(b.applied.empty());

    // A single finished action right before a live one.
    animator.finishById(1);
    frame(animator, 40);
    EXPECT_EQ(animator.actions, (std::vector<Action*>{&last}));
    EXPECT_EQ(last.applied, (std::vector<double>{40.0, 80.0}));
}

TEST(Animator, DeltaSurvivesTickWrapAndScalesWithSpeed) {
    fakeclock::set(4294967290u);
    Animator animator;
    ProbeAction action(1, true, 0.0);
    animator.add(&action);
    fakeclock::set(6);
    animator.update();
    EXPECT_EQ(action.elapsed, 12.0);

    // speed × diff is truncated toward zero: 1.5 × 5 = 7.5 → 7.
    animator.speed = 1.5;
    frame(animator, 5);
    EXPECT_EQ(action.elapsed, 19.0);
    // A negative product keeps its low 32 bits: -1 becomes 2^32 - 1.
    animator.speed = -1.0;
    frame(animator, 1);
    EXPECT_EQ(action.elapsed, 19.0 + 4294967295.0);
    // A product outside the 64-bit range advances nothing.
    animator.speed = 1e300;
    frame(animator, 1);
    EXPECT_EQ(action.elapsed, 19.0 + 4294967295.0);
}

TEST(Animator, ActionAddedTwiceAdvancesTwiceAsFastAndReadsTheClockOnce) {
    fakeclock::set(0);
    Animator animator;
    ProbeAction twice(1, true, 0.0), once(2, true, 0.0);
    animator.add(&twice);
    animator.add(&once);
    animator.add(&twice);
    fakeclock::set(10);
    frame(animator, 0);
    EXPECT_EQ(fakeclock::reads(), 1u);
    EXPECT_EQ(twice.elapsed, 20.0);
    EXPECT_EQ(once.elapsed, 10.0);
    // The first update measures from construction, so time spent before the
    // add still counts.
    fakeclock::set(1000);
    Animator late;
    fakeclock::advance(300);
    ProbeAction fresh(1, true, 0.0);
    late.add(&fresh);
    late.update();
    EXPECT_EQ(fresh.elapsed, 300.0);
}

TEST(Animator, FinishedActionAddedAgainIsDroppedWithoutApply) {
    fakeclock::set(0);
    Animator animator;
    ProbeAction action(1, true, 10.0);
    animator.add(&action);
    frame(animator, 20);
    frame(animator, 20);  // finishes here
    frame(animator, 20);  // dropped
    const auto applies = action.applied.size();
    animator.add(&action);
    frame(animator, 20);
    EXPECT_EQ(action.applied.size(), applies);
    EXPECT_TRUE(animator.actions.empty());
}
