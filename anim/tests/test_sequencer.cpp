// Sequencer steps: what reaches which animator, in what order, and that
// invalid indices and trigger cycles are refused.
#include <gtest/gtest.h>

#include "anim/Animator.h"
#include "anim/Sequencer.h"
#include "anim/tests/probe_action.h"
#include "tests/doubles/fake_clock.h"

namespace {
// A sequencer bound to its own animator, as a scene node holds them.
struct Holder {
    Animator animator;
    Sequencer sequencer;
    Holder() { sequencer.animator = &animator; }
};
}  // namespace

TEST(Sequencer, StepsAreNumberedAndSelectRedirectsTheAdds) {
    fakeclock::set(0);
    Holder h;
    ProbeAction a(1, true, 0.0), b(2, true, 0.0), c(3, true, 0.0);
    EXPECT_EQ(h.sequencer.addStep(), 1);
    EXPECT_EQ(h.sequencer.current, 0);
    EXPECT_EQ(h.sequencer.addStep(), 2);
    EXPECT_EQ(h.sequencer.current, 1);
    h.sequencer.addAction(&a);
    EXPECT_TRUE(h.sequencer.selectStep(0));
    h.sequencer.addAction(&b);
    h.sequencer.addAction(&c);
    EXPECT_EQ(h.sequencer.stepActions[1], (std::vector<Action*>{&a}));

    h.sequencer.runStep(0);
    EXPECT_EQ(h.animator.actions, (std::vector<Action*>{&b, &c}));
    EXPECT_EQ(b.target, &h.animator.frameTransform);
    EXPECT_EQ(c.target, &h.animator.frameTransform);
    EXPECT_EQ(a.target, nullptr);

    // Indices that name no step, and disabled steps, are refused.
    for (int bad : {2, -1, 1000}) EXPECT_FALSE(h.sequencer.selectStep(bad));
    h.sequencer.enabled[1] = 0;
    EXPECT_FALSE(h.sequencer.selectStep(1));
    EXPECT_EQ(h.sequencer.current, 0);
    for (int bad : {1, 2, -1, 1000}) h.sequencer.runStep(bad);
    EXPECT_EQ(h.animator.actions.size(), 2u);
}

TEST(Sequencer, AddsBeforeStepExistsOrWithoutAnimatorAreHarmless) {
    Sequencer loose;
    ProbeAction a(1, true, 0.0);
    loose.addAction(&a);  // no step yet: ignored
    loose.addCommand({1, 0});
    loose.addTrigger({&loose, 0});
    EXPECT_EQ(loose.stepCount(), 0);
    loose.addStep();
    loose.addAction(&a);
    loose.runStep(0);  // no animator bound: nothing to hand the action to
    EXPECT_EQ(a.target, nullptr);
}

TEST(Sequencer, ActionsThenCommandsThenTriggers) {
    fakeclock::set(0);
    Holder h, other;
    ProbeAction five(5, true, 0.0), six(6, true, 0.0), seven(7, true, 0.0);
    h.sequencer.addStep();
    h.sequencer.addCommand({5, 0});     // listed first, still sees the action
    h.sequencer.addTrigger({&other.sequencer, 0});
    h.sequencer.addAction(&five);
    h.sequencer.addCommand({42, 2});    // no action has id 42
    h.sequencer.addCommand({5, 7});     // unknown command
    h.sequencer.addCommand({6, 2});     // `six` arrives only with the trigger, after the commands
    other.sequencer.addStep();
    other.sequencer.addAction(&six);
    other.sequencer.addAction(&seven);
    other.sequencer.addCommand({7, 2});

    h.sequencer.runStep(0);
    EXPECT_EQ(h.animator.actions, (std::vector<Action*>{&five}));
    EXPECT_FALSE(five.running);
    EXPECT_FALSE(five.isFinished());
    // The trigger fed the other node's animator, not the caller's.
    EXPECT_EQ(other.animator.actions, (std::vector<Action*>{&six, &seven}));
    EXPECT_EQ(six.target, &other.animator.frameTransform);
    EXPECT_FALSE(six.isFinished());
    EXPECT_TRUE(seven.isFinished());

    fakeclock::set(100);
    h.animator.update();
    EXPECT_EQ(five.applied, (std::vector<double>{0.0}));  // applied but frozen
    h.sequencer.addCommand({5, 1});
    h.sequencer.runStep(0);  // adds `five` a second time, pauses, then resumes it
    EXPECT_EQ(h.animator.actions, (std::vector<Action*>{&five, &five}));
    EXPECT_TRUE(five.running);
    fakeclock::set(130);
    h.animator.update();
    EXPECT_EQ(five.elapsed, 60.0);
}

TEST(Sequencer, TriggerCyclesTerminate) {
    fakeclock::set(0);
    Holder a, b;
    ProbeAction pa(1, true, 0.0), pb(2, true, 0.0), pc(3, true, 0.0);

    // A step that triggers itself runs once.
    a.sequencer.addStep();
    a.sequencer.addAction(&pa);
    a.sequencer.addTrigger({&a.sequencer, 0});
    a.sequencer.runStep(0);
    EXPECT_EQ(a.animator.actions, (std::vector<Action*>{&pa}));

    // a:1 -> b:0 -> a:1 closes a cycle: each step runs once per chain, and
    // the chain's later triggers still run. b:0 triggers a:2 twice, which is
    // a repeat, not a cycle, so it runs twice.
    a.sequencer.addStep();                   // step 1
    a.sequencer.addAction(&pa);
    a.sequencer.addTrigger({&b.sequencer, 0});
    a.sequencer.addStep();                   // step 2
    a.sequencer.addAction(&pc);
    b.sequencer.addStep();
    b.sequencer.addAction(&pb);
    b.sequencer.addTrigger({&a.sequencer, 1});
    b.sequencer.addTrigger({&a.sequencer, 2});
    b.sequencer.addTrigger({&a.sequencer, 2});
    b.sequencer.addTrigger({&b.sequencer, 5});  // no such step: skipped
    a.sequencer.runStep(1);
    EXPECT_EQ(a.animator.actions, (std::vector<Action*>{&pa, &pa, &pc, &pc}));
    EXPECT_EQ(b.animator.actions, (std::vector<Action*>{&pb}));
    // Running the cycle again works: nothing stays marked as running.
    b.sequencer.runStep(0);
    EXPECT_EQ(b.animator.actions.size(), 2u);
    EXPECT_EQ(a.animator.actions.size(), 7u);  // a:1 once more, a:2 twice
}

TEST(Sequencer, LongTriggerChainDoesNotRecurse) {
    // 100000 sequencers in a chain, the last pointing back to the first: a
    // recursive walk would need that many nested calls.
    fakeclock::set(0);
    Animator animator;
    std::vector<Sequencer> chain(100000);
    for (std::size_t i = 0; i < chain.size(); ++i) {
        chain[i].animator = &animator;
        chain[i].addStep();
        chain[i].addTrigger({&chain[(i + 1) % chain.size()], 0});
    }
    ProbeAction last(1, true, 0.0);
    chain.back().addAction(&last);
    chain.front().runStep(0);
    EXPECT_EQ(animator.actions, (std::vector<Action*>{&last}));
}
