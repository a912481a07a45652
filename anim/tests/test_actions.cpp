// Action_rot angles and Action_rev windows.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "anim/Action_rev.h"
#include "anim/Action_rot.h"
#include "anim/Animator.h"
#include "tests/doubles/fake_clock.h"
#include "tests/doubles/gl_recorder.h"

namespace {
// Applies the action at running time `elapsed` to a fresh transform and
// returns the transform.
template <class A>
Transform appliedAt(A& action, double elapsed) {
    Transform t;
    action.target = &t;
    action.elapsed = elapsed;
    action.apply();
    action.target = nullptr;
    return t;
}

bool shown(Action_rev& rev, double elapsed) {
    const Transform t = appliedAt(rev, elapsed);
    if (t.position.x == 0.0) return true;
    EXPECT_EQ(t.position.x, 9000.0);
    return false;
}
}  // namespace

TEST(ActionRot, DefaultsTurnAboutYOneDegreePerSecondFromOneDegree) {
    fakeclock::set(0);
    Animator animator;
    Action_rot rot(1, true, 0.0);
    animator.add(&rot);
    fakeclock::set(2000);
    glrec::reset();
    animator.update();
    EXPECT_EQ(glrec::texts(), (std::vector<std::string>{"glTranslatef(0, 0, 0)", "glRotatef(3, 0, 1, 0)"}));
}

TEST(ActionRot, SetupChoosesAxisRateAndPhase) {
    Action_rot rot(1, true, 0.0);
    rot.setup(2, 8.0, 0.0);
    Transform t = appliedAt(rot, 1500);
    EXPECT_EQ(t.rotation.z, 12.0);
    EXPECT_EQ(t.rotation.x, 0.0);
    EXPECT_EQ(t.rotation.y, 0.0);

    rot.setup(0, -9.0, 5.0);  // negative rate, not wrapped to 0..360
    EXPECT_EQ(appliedAt(rot, 100000).rotation.x, -895.0);

    for (int axis : {3, -1}) {
        rot.setup(axis, 8.0, 1.0);
        t = appliedAt(rot, 1500);
        EXPECT_EQ(t.rotation.x, 0.0);
        EXPECT_EQ(t.rotation.y, 0.0);
        EXPECT_EQ(t.rotation.z, 0.0);
    }
}

TEST(ActionRot, TwoRotationsOnOneAnimatorAddUp) {
    fakeclock::set(0);
    Animator animator;
    Action_rot z(1, true, 0.0), y1(1, true, 0.0), y2(1, true, 0.0);
    z.setup(2, 9.0, 0.0);
    y1.setup(1, 9.0, 0.0);
    y2.setup(1, 1.0, 0.5);
    animator.add(&z);
    animator.add(&y1);
    animator.add(&y2);
    fakeclock::set(1000);
    glrec::reset();
    animator.update();
    EXPECT_EQ(glrec::texts(), (std::vector<std::string>{"glTranslatef(0, 0, 0)", "glRotatef(10.5, 0, 1, 0)",
                                                        "glRotatef(9, 0, 0, 1)"}));
}

TEST(ActionRev, WindowBoundsAreExcluded) {
    Action_rev rev(1, true, 0.0);
    rev.setup(3000, 3, 1);
    EXPECT_EQ(rev.windowStart, 0);
    EXPECT_EQ(rev.windowEnd, 1000);
    EXPECT_FALSE(shown(rev, 0));
    EXPECT_TRUE(shown(rev, 1));
    EXPECT_TRUE(shown(rev, 999));
    EXPECT_TRUE(shown(rev, 999.9));  // truncated to 999
    EXPECT_FALSE(shown(rev, 1000));
    EXPECT_FALSE(shown(rev, 3000));  // next cycle starts away
    EXPECT_TRUE(shown(rev, 3001));

    rev.setup(1000, 3, 3);  // the remainder of 1000 / 3 is lost
    EXPECT_EQ(rev.windowStart, 666);
    EXPECT_EQ(rev.windowEnd, 999);
    EXPECT_TRUE(shown(rev, 998));
    EXPECT_FALSE(shown(rev, 999));

    rev.setup(60000, 3, 3);
    EXPECT_EQ(rev.windowStart, 40000);
    EXPECT_EQ(rev.windowEnd, 60000);
    EXPECT_FALSE(shown(rev, 0));
    EXPECT_FALSE(shown(rev, 40000));
    EXPECT_TRUE(shown(rev, 40001));
    EXPECT_TRUE(shown(rev, 59999));
    EXPECT_FALSE(shown(rev, 60000 + 40000));
    EXPECT_TRUE(shown(rev, 60000 + 40001));
}

TEST(ActionRev, ThreeSlotsNeverShowTwoTargetsAtOnce) {
    Action_rev revs[3] = {{1, true, 0.0}, {1, true, 0.0}, {1, true, 0.0}};
    for (int period : {3000, 45000, 1000}) {
        for (int i = 0; i < 3; ++i) revs[i].setup(period, 3, i + 1);
        int shownCount[4] = {0, 0, 0, 0};
        for (int t = 0; t < 4 * period; ++t) {
            int n = 0;
            for (auto& rev : revs) n += shown(rev, t);
            ASSERT_LE(n, 1) << "period " << period << " t " << t;
            ++shownCount[n];
            if ((t % period) % (period / 3) == 0) {
                ASSERT_EQ(n, 0) << "slot boundary, period " << period << " t " << t;
            }
        }
        // Each slot shows for slice-1 ms per cycle, over four cycles.
        EXPECT_EQ(shownCount[1], 4 * 3 * (period / 3 - 1)) << period;
    }
}

TEST(ActionRev, DegeneratePeriodsKeepTheTargetAway) {
    Action_rev rev(1, true, 0.0);
    rev.setup(-3000, 3, 1);
    for (double t : {0.0, 1.0, 500.0, 999.0, 1500.0, 2999.0, 4000.0}) EXPECT_FALSE(shown(rev, t)) << t;
    rev.setup(-3000, 3, 3);
    for (double t : {0.0, 1.0, 2500.0}) EXPECT_FALSE(shown(rev, t)) << t;

    // Period 0: every window is empty, no division happens.
    for (int slot : {1, 2, 3}) {
        rev.setup(0, 3, slot);
        for (double t : {0.0, 1.0, 1000.0, 5e9}) EXPECT_FALSE(shown(rev, t)) << t;
    }
    // parts 0 and extreme arguments neither trap nor overflow.
    rev.setup(3000, 0, 1);
    EXPECT_FALSE(shown(rev, 1));
    rev.setup(std::numeric_limits<std::int32_t>::min(), -1, 2);
    EXPECT_EQ(rev.windowEnd, std::numeric_limits<std::int32_t>::max());
    EXPECT_FALSE(shown(rev, std::numeric_limits<double>::infinity()));
}

TEST(ActionRev, KeepsCyclingPastTheInt32RangeOfElapsed) {
    Action_rev rev(1, true, 0.0);
    rev.setup(45000, 3, 2);  // shown for 15000 < t < 30000
    // Below 2^31 ms the position equals the 32-bit remainder.
    const double below = 2147483647.0;  // 2147483647 % 45000 = 38647
    EXPECT_FALSE(shown(rev, below));
    EXPECT_TRUE(shown(rev, below - 20000));   // 18647
    EXPECT_FALSE(shown(rev, below - 23647));  // 15000 exactly
    // About 40 days: the cycle goes on with the same phase as the count says.
    const double days40 = 40.0 * 24 * 3600 * 1000;  // a multiple of 45000
    EXPECT_FALSE(shown(rev, days40));
    EXPECT_TRUE(shown(rev, days40 + 15001));
    EXPECT_TRUE(shown(rev, days40 + 29999.5));
    EXPECT_FALSE(shown(rev, days40 + 30000));
    EXPECT_TRUE(shown(rev, days40 + 45000 + 20000));

    // Ticked through an animator across the 2^31 boundary.
    fakeclock::set(0);
    Animator animator;
    rev.elapsed = 45000.0 * 47721;  // a cycle start 38648 ms below 2^31
    animator.add(&rev);
    int seen = 0;
    for (int i = 0; i < 3 * 45000; i += 1000) {
        fakeclock::advance(1000);
        animator.update();
        seen += animator.frameTransform.position.x == 0.0;
    }
    EXPECT_GT(rev.elapsed, 2147483648.0);
    EXPECT_EQ(seen, 3 * 14);  // samples 16000 .. 29000 of each cycle
}

TEST(ActionRev, PausedFreezesTheVisibleState) {
    fakeclock::set(0);
    Animator animator;
    Action_rev rev(9, true, 0.0);
    rev.setup(3000, 3, 1);
    animator.add(&rev);
    fakeclock::set(500);
    animator.update();
    EXPECT_EQ(animator.frameTransform.position.x, 0.0);
    animator.pauseById(9);
    fakeclock::set(2500);
    animator.update();
    EXPECT_EQ(animator.frameTransform.position.x, 0.0);
    animator.resumeById(9);
    fakeclock::set(3000);
    animator.update();
    EXPECT_EQ(animator.frameTransform.position.x, 9000.0);
}
