#include "anim/Action_rot.h"

Action_rot::Action_rot(std::int32_t id_, bool running_, double duration_) : Action(id_, running_, duration_) {}

Action_rot::~Action_rot() = default;

void Action_rot::setup(std::int32_t axis_, double rate_, double phase_) {
    axis = axis_;
    rate = rate_;
    phase = phase_;
}

void Action_rot::apply() {
    const double angle = (elapsed * rate) / 1000.0 + phase;
    switch (axis) {
        case 0: target->rotate(angle, 0.0, 0.0); break;
        case 1: target->rotate(0.0, angle, 0.0); break;
        case 2: target->rotate(0.0, 0.0, angle); break;
        default: break;  // unknown axis: the target is left as it is
    }
}
