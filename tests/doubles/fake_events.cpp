#include "tests/doubles/fake_events.h"

#include <deque>
#include <utility>

namespace {
std::deque<SDL_Event> queue;
std::function<void(unsigned)> emptyHook;
unsigned emptyCount = 0;
}  // namespace

namespace fakeevents {
void clear() {
    queue.clear();
    emptyHook = nullptr;
    emptyCount = 0;
}
void push(const SDL_Event& event) { queue.push_back(event); }
void pushKey(SDLKey key, Uint8 type) {
    SDL_Event e{};
    e.type = type;
    e.key.type = type;
    e.key.keysym.sym = key;
    push(e);
}
void pushMouseMotion() {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    push(e);
}
void pushMouseButton() {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    push(e);
}
void onEmptyPoll(std::function<void(unsigned)> hook) { emptyHook = std::move(hook); }
unsigned emptyPolls() { return emptyCount; }
}  // namespace fakeevents

extern "C" int SDL_PollEvent(SDL_Event* event) {
    if (queue.empty()) {
        unsigned n = emptyCount++;
        if (emptyHook) emptyHook(n);
        return 0;
    }
    if (event) *event = queue.front();
    queue.pop_front();
    return 1;
}
