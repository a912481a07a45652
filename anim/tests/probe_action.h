// A test action that records the `elapsed` it was applied with and moves its
// target along X by that amount, so the animator's glTranslatef shows it.
#pragma once

#include <vector>

#include "anim/Action.h"

class ProbeAction : public Action {
public:
    using Action::Action;
    void apply() override {
        applied.push_back(elapsed);
        target->translate(elapsed, 0, 0);
    }
    std::vector<double> applied;
};
