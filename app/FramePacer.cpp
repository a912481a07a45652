#include "app/FramePacer.h"

FramePacer::FramePacer(std::int32_t delayMicroseconds, std::uint32_t nowMs)
    : delayUs_(delayMicroseconds > 0 ? delayMicroseconds : 0), lastMs_(nowMs) {}

std::uint32_t FramePacer::wait(std::uint32_t nowMs) {
    if (delayUs_ == 0) return 0;
    // Unsigned difference: right across the tick counter's wrap-around.
    const std::int64_t elapsedUs = static_cast<std::int64_t>(static_cast<std::uint32_t>(nowMs - lastMs_)) * 1000;
    lastMs_ = nowMs;
    untilDueUs_ += delayUs_ - elapsedUs;
    if (untilDueUs_ < -delayUs_) untilDueUs_ = 0;  // far behind: start afresh from now
    return untilDueUs_ > 0 ? static_cast<std::uint32_t>(untilDueUs_ / 1000) : 0;
}
