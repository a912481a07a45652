// Scripted SDL event queue for unit tests of the run loop: linked in place of
// SDL's SDL_PollEvent when a test calls any function here.
//
//   fakeevents::pushKey(SDLK_ESCAPE);
//   runLoop(settings);   // SDL_PollEvent hands out the queued events
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>

namespace fakeevents {
void clear();
void push(const SDL_Event& event);
void pushKey(SDLKey key, Uint8 type = SDL_KEYDOWN);
void pushMouseMotion();
void pushMouseButton();
// Called with the number of the poll that found the queue empty (0, 1, ...):
// the end of one frame's event pass. Lets a test queue events for later frames.
void onEmptyPoll(std::function<void(unsigned)> hook);
unsigned emptyPolls();
}  // namespace fakeevents
