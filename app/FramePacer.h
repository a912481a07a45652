// Frame pacing for the modes that share a machine with its user (Linux hack
// and window modes): at most one frame every delayMicroseconds, the
// xscreensaver convention of --delay. The pacer only computes; the caller
// waits (and may wake early for events).
//
// The schedule is kept in microseconds, so a delay that is not a whole number
// of milliseconds still gives its exact rate over many frames. A frame that
// ran late by more than one delay moves the schedule instead of being caught
// up with a burst of frames. A delay of 0 never waits. Times are the 32-bit
// millisecond ticks of SDL_GetTicks; their wrap-around is harmless.
//
//   FramePacer pacer(30000, SDL_GetTicks());
//   for (;;) { drawFrame(); sleepMs(pacer.wait(SDL_GetTicks())); }
#pragma once

#include <cstdint>

class FramePacer {
public:
    static constexpr std::int32_t kDefaultDelayMicroseconds = 30000;

    FramePacer(std::int32_t delayMicroseconds, std::uint32_t nowMs);
    // After a frame: the milliseconds to wait before the next one starts.
    std::uint32_t wait(std::uint32_t nowMs);

private:
    std::int64_t delayUs_;
    std::uint32_t lastMs_;
    std::int64_t untilDueUs_ = 0;  // from lastMs_ to the start the next frame is due
};
