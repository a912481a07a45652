// The full-screen run's ending on Linux. SDL turns SIGTERM and SIGINT (a
// logout, `kill`, Ctrl+C) into a quit event, which the run loop, written for
// Windows, does not look at. SDL_PollEvent is wrapped here, in the executable
// only, so that a quit event reaches the run loop as the Escape key and the
// run ends through the same shutdown as Escape: display mode restored,
// status 0.
#include <SDL.h>
#include <dlfcn.h>

extern "C" int SDL_PollEvent(SDL_Event* event) {
    using PollEvent = int (*)(SDL_Event*);
    static const PollEvent sdlPollEvent = reinterpret_cast<PollEvent>(dlsym(RTLD_NEXT, "SDL_PollEvent"));
    if (sdlPollEvent == nullptr) return 0;
    const int pending = sdlPollEvent(event);
    if (pending && event != nullptr && event->type == SDL_QUIT) {
        SDL_Event escape{};
        escape.type = SDL_KEYDOWN;
        escape.key.type = SDL_KEYDOWN;
        escape.key.state = SDL_PRESSED;
        escape.key.keysym.sym = SDLK_ESCAPE;
        *event = escape;
    }
    return pending;
}
