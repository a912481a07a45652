// Full-screen video under sdl12-compat: the window made to cover the display.
//
// sdl12-compat shows a full-screen mode other than the desktop's in an SDL2
// window in "full-screen desktop" state. For OpenGL it has the program draw
// into an off-screen framebuffer of the mode's size and, at every
// SDL_GL_SwapBuffers, scales that onto the window, aspect kept, to the size
// SDL2 holds for the window: the whole display. SDL2 records that size at
// once, but it creates the X window at the mode's size, centred on the
// display, and leaves enlarging it to the window manager, which it asks to
// through _NET_WM_STATE_FULLSCREEN. Where no window manager does so (a bare X
// server such as Xvfb, a kiosk session) the X window keeps the mode's size
// while every frame is scaled for the whole display: the window shows only
// the lower left part of the picture, cut off and off-centre on the screen,
// and a mode larger than the display hangs over its edges.
//
// The wrapper below does what the window manager would: after the real
// SDL_SetVideoMode it moves and resizes a full-screen desktop window to the
// place SDL2 holds for it. Where a window manager has done that already, and
// under the classic SDL 1.2, which switches the display's mode itself, it
// changes nothing.
//
// Linked only into executables (calvetrin_entry): the executable's own
// definition takes the program's calls, and the real function is found
// behind it with dlsym(RTLD_NEXT).
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <dlfcn.h>

namespace {

// SDL2's SDL_WINDOW_FULLSCREEN_DESKTOP: SDL_WINDOW_FULLSCREEN | 0x1000.
constexpr Uint32 kSdl2FullscreenDesktop = 0x00001001;

using SetVideoModeFn = SDL_Surface* (*)(int, int, int, Uint32);
using GetWindowFn = void* (*)();
using WindowFlagsFn = Uint32 (*)(void*);
using WindowPairFn = void (*)(void*, int*, int*);

template <typename Function>
Function lookUp(void* library, const char* name) {
    return reinterpret_cast<Function>(dlsym(library, name));
}

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

// The place SDL2 holds for the window of a full-screen desktop mode: the
// display's bounds. False when there is no such window: the classic SDL 1.2
// (no SDL12COMPAT_GetWindow), a window of a host program, or a mode SDL2
// switches the display to.
bool fullscreenDesktopPlace(Rect& place) {
    const auto getWindow = lookUp<GetWindowFn>(RTLD_DEFAULT, "SDL12COMPAT_GetWindow");
    if (getWindow == nullptr) return false;
    void* sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_LAZY | RTLD_NOLOAD);
    if (sdl2 == nullptr) return false;
    const auto flags = lookUp<WindowFlagsFn>(sdl2, "SDL_GetWindowFlags");
    const auto position = lookUp<WindowPairFn>(sdl2, "SDL_GetWindowPosition");
    const auto size = lookUp<WindowPairFn>(sdl2, "SDL_GetWindowSize");
    void* window = getWindow();
    const bool found = window != nullptr && flags != nullptr && position != nullptr && size != nullptr &&
                       (flags(window) & kSdl2FullscreenDesktop) == kSdl2FullscreenDesktop;
    if (found) {
        position(window, &place.x, &place.y);
        size(window, &place.width, &place.height);
    }
    dlclose(sdl2);
    return found && place.width > 0 && place.height > 0;
}

void coverDisplay() {
    Rect place;
    if (!fullscreenDesktopPlace(place)) return;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11 || info.info.x11.window == 0) return;
    ::Display* display = info.info.x11.display;
    const Window window = info.info.x11.window;
    info.info.x11.lock_func();
    XWindowAttributes attributes;
    Window child = 0;
    int x = 0, y = 0;
    if (XGetWindowAttributes(display, window, &attributes) != 0 &&
        XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child) != 0 &&
        (x != place.x || y != place.y || attributes.width != place.width || attributes.height != place.height)) {
        XMoveResizeWindow(display, window, place.x, place.y, static_cast<unsigned>(place.width),
                          static_cast<unsigned>(place.height));
        XSync(display, False);
    }
    info.info.x11.unlock_func();
}

}  // namespace

SDL_Surface* SDL_SetVideoMode(int width, int height, int bitsPerPixel, Uint32 flags) {
    static const auto real = lookUp<SetVideoModeFn>(RTLD_NEXT, "SDL_SetVideoMode");
    if (real == nullptr) {
        SDL_SetError("SDL_SetVideoMode not found behind the program's wrapper");
        return nullptr;
    }
    SDL_Surface* surface = real(width, height, bitsPerPixel, flags);
    if (surface != nullptr && (flags & SDL_FULLSCREEN) != 0) coverDisplay();
    return surface;
}
