#include "tests/doubles/fake_clock.h"

#include <SDL.h>

namespace {
std::uint32_t ticks = 0;
unsigned readCount = 0;
}  // namespace

namespace fakeclock {
void set(std::uint32_t value) {
    ticks = value;
    readCount = 0;
}
void advance(std::uint32_t ms) { ticks += ms; }
std::uint32_t now() { return ticks; }
unsigned reads() { return readCount; }
}  // namespace fakeclock

extern "C" Uint32 SDL_GetTicks(void) {
    ++readCount;
    return ticks;
}
