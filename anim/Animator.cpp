#include "anim/Animator.h"

#include <SDL.h>

#include <cmath>

namespace {

// speed × elapsed ticks, truncated toward zero to a 64-bit integer whose low
// 32 bits are the delta. A product that does not fit in 64 bits (or is NaN)
// would make the conversion undefined; such a frame advances by 0 instead.
std::uint32_t scaledDelta(double speed, std::uint32_t ticks) {
    const double product = std::trunc(speed * static_cast<double>(ticks));
    constexpr double limit = 9223372036854775808.0;  // 2^63
    if (!(product >= -limit && product < limit)) return 0;
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(static_cast<std::int64_t>(product)));
}

}  // namespace

Animator::Animator() : now(SDL_GetTicks()), previous(now) {}

void Animator::update() {
    previous = now;
    now = SDL_GetTicks();
    frameTransform.reset();
    // Unsigned subtraction: a wrap of the 32-bit tick count still yields the
    // true small difference.
    const std::uint32_t delta = scaledDelta(speed, now - previous);

    // One pass that both ticks and compacts: an action found finished is
    // dropped without a tick, every other one is ticked and kept in order.
    // The finished test is made when the walk reaches an element, so an
    // action listed twice that finishes at its first tick is dropped at its
    // second listing, exactly as removing in place would do.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < actions.size(); ++i) {
        Action* action = actions[i];
        if (action->isFinished()) continue;
        action->tick(delta);
        actions[kept++] = action;
    }
    actions.resize(kept);

    frameTransform.applyTranslateRotate();
}

void Animator::add(Action* action) {
    actions.push_back(action);
    action->target = &frameTransform;
}

void Animator::pauseById(std::int32_t id) {
    for (Action* action : actions)
        if (action->getId() == id) action->pause();
}

void Animator::resumeById(std::int32_t id) {
    for (Action* action : actions)
        if (action->getId() == id) action->resume();
}

void Animator::finishById(std::int32_t id) {
    for (Action* action : actions)
        if (action->getId() == id) action->finish();
}
