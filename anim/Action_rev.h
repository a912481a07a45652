// Shows its target during one window of a repeating cycle and moves it far
// away for the rest. A cycle of `period` ms is cut into `parts` equal slots
// and the window is slot number `slot` (from 1), both bounds excluded. Inside
// the window the target's position is set to the origin, outside it to
// `hiddenOffset`. Several nodes given different slots of one cycle take turns.
//
//   Action_rev show(1, true, 0.0);   // endless
//   show.setup(45000, 3, 2);         // in view for 15000 < t < 30000
//   animator.add(&show);
//
// A period of 0 (or below) gives empty windows: the target stays away. The
// position within the cycle is computed from the whole running time, so the
// cycle keeps going however long the action has been running.
#pragma once

#include <cstdint>

#include "anim/Action.h"
#include "scene/Transform.h"

class Action_rev : public Action {
public:
    Action_rev(std::int32_t id, bool running, double duration);
    ~Action_rev() override;

    // slice = period / parts (truncating); window = ((slot-1)*slice, slot*slice).
    // parts 0 gives an empty window.
    void setup(std::int32_t period, std::int32_t parts, std::int32_t slot);
    void apply() override;
    // Whether the current `elapsed` lies strictly inside the window.
    bool inWindow() const;

    static const Vector3 hiddenOffset;  // (9000, 0, 0)

    std::int32_t period = 0;
    std::int32_t windowStart = 0;
    std::int32_t windowEnd = 0;
};
