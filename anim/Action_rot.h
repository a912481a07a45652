// Spins its target about one axis at a constant rate: at every tick it adds
// the angle reached after the running time (rate in degrees per second, plus
// a fixed phase) to the target's rotation. The animator rebuilds its transform
// every frame, so the angle is absolute and the node turns steadily.
//
//   Action_rot spinZ(1, true, 0.0);   // endless
//   spinZ.setup(2, 9.0, 0.0);         // about Z, 9 degrees per second
//   animator.add(&spinZ);
#pragma once

#include <cstdint>

#include "anim/Action.h"

class Action_rot : public Action {
public:
    Action_rot(std::int32_t id, bool running, double duration);
    ~Action_rot() override;

    // axis: 0 = X, 1 = Y, 2 = Z; any other value makes `apply` do nothing.
    void setup(std::int32_t axis, double rate, double phase);
    void apply() override;

    double rate = 1.0;   // degrees per second
    double phase = 1.0;  // degrees added to the time-driven angle
    std::int32_t axis = 1;
};
