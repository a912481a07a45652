// Settable clock for unit tests: linked in place of SDL's SDL_GetTicks, which
// then returns whatever the test set.
//
//   fakeclock::set(4294967290u);
//   node.draw();
//   fakeclock::advance(16);
#pragma once

#include <cstdint>

namespace fakeclock {
void set(std::uint32_t ticks);
void advance(std::uint32_t ms);  // wraps like the real 32-bit tick count
std::uint32_t now();
// How often SDL_GetTicks was called since the last set().
unsigned reads();
}  // namespace fakeclock
