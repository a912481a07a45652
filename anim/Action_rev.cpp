#include "anim/Action_rev.h"

#include <cmath>
#include <limits>

const Vector3 Action_rev::hiddenOffset{9000.0, 0.0, 0.0};

namespace {

std::int32_t clampToInt32(std::int64_t v) {
    if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

}  // namespace

Action_rev::Action_rev(std::int32_t id_, bool running_, double duration_) : Action(id_, running_, duration_) {}

Action_rev::~Action_rev() = default;

void Action_rev::setup(std::int32_t period_, std::int32_t parts, std::int32_t slot) {
    period = period_;
    // 64-bit arithmetic: no division by zero, no overflow of INT32_MIN / -1
    // or of the products for extreme arguments.
    const std::int64_t slice = parts == 0 ? 0 : std::int64_t(period_) / std::int64_t(parts);
    windowStart = clampToInt32((std::int64_t(slot) - 1) * slice);
    windowEnd = clampToInt32(slice * std::int64_t(slot));
}

bool Action_rev::inWindow() const {
    // Without a cycle every slot is empty: the target stays away. This also
    // keeps the remainder below from dividing by zero.
    if (period == 0 || !std::isfinite(elapsed)) return false;
    // Truncate toward zero, then take the remainder with the sign of the
    // dividend, as an int32 remainder does. fmod is exact for whole numbers,
    // so below 2^31 ms this equals the 32-bit computation, and past it (after
    // about 24.8 days of running time) the cycle simply continues.
    const double t = std::fmod(std::trunc(elapsed), static_cast<double>(period));
    return windowStart < t && t < windowEnd;
}

void Action_rev::apply() {
    if (inWindow()) {
        target->setPosition(0.0, 0.0, 0.0);
    } else {
        target->setPosition(hiddenOffset.x, hiddenOffset.y, hiddenOffset.z);
    }
}
