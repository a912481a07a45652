#include "display/Display.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/UserFiles.h"

namespace {

// A failure that ends the start-up: one line on the standard error stream,
// and the same line in the user's record of start-up failures, which the
// settings dialog shows (a Windows screensaver has no console to print to).
void report(const char* what) {
    const std::string message = std::string(what) + ": " + SDL_GetError();
    std::fprintf(stderr, "%s\n", message.c_str());
    recordStartupFailure(message);
}

// Whether SDL shows the mode asked for. The classic SDL 1.2 for Windows
// does not fail when the screen cannot switch to a full-screen mode: it
// opens an ordinary window of that size instead, without SDL_FULLSCREEN.
bool shown(const SDL_Surface* surface, Uint32 flags) {
    return surface != nullptr && ((flags & SDL_FULLSCREEN) == 0 || (surface->flags & SDL_FULLSCREEN) != 0);
}

}  // namespace

Display::~Display() { SDL_Quit(); }

void Display::open(int32_t w, int32_t h, int32_t bpp) {
    startVideo(w, h, bpp);
    SDL_ShowCursor(SDL_DISABLE);
}

void Display::startVideo(int32_t w, int32_t h, int32_t bpp) {
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        report("Video initialization failed");
        fail();
    }
    if (w == 0 && h == 0 && bpp == 0) {
        // Row 0 of the mode table: whatever the desktop runs at now.
        const SDL_VideoInfo* info = SDL_GetVideoInfo();
        width = info->current_w;
        height = info->current_h;
        bitsPerPixel = info->vfmt->BitsPerPixel;
    } else {
        width = w;
        height = h;
        bitsPerPixel = bpp;
    }
    setVideoMode();
}

bool Display::setVideoMode() {
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    Uint32 flags = SDL_OPENGL | SDL_FULLSCREEN | SDL_HWSURFACE | SDL_ASYNCBLIT | SDL_HWPALETTE | SDL_RESIZABLE;
    if (info->hw_available) flags |= SDL_HWSURFACE;
    if (info->blit_hw) flags |= SDL_HWACCEL;
    // The desktop's own mode, read before any mode is set.
    const int32_t desktopWidth = info->current_w;
    const int32_t desktopHeight = info->current_h;
    const int32_t desktopBitsPerPixel = info->vfmt->BitsPerPixel;

    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    const SDL_Surface* surface = SDL_SetVideoMode(width, height, bitsPerPixel, flags);
    if (!shown(surface, flags)) {
        // A mode the screen cannot show (the settings were made for another
        // monitor, or the dialog offered more than this one has) falls back
        // to the desktop's own mode rather than leaving the screen unblanked.
        // The video subsystem starts afresh, so that nothing of the failed
        // attempt (a window, a changed mode) is left.
        if (width == desktopWidth && height == desktopHeight && bitsPerPixel == desktopBitsPerPixel) {
            report("Video mode set failed");
            fail();
        }
        std::fprintf(stderr, "Video mode %dx%dx%d cannot be shown (%s); using the desktop's %dx%dx%d\n", width, height,
                     bitsPerPixel, surface != nullptr ? "the screen keeps its mode" : SDL_GetError(), desktopWidth,
                     desktopHeight, desktopBitsPerPixel);
        width = desktopWidth;
        height = desktopHeight;
        bitsPerPixel = desktopBitsPerPixel;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) < 0) {
            report("Video initialization failed");
            fail();
        }
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        if (!shown(SDL_SetVideoMode(width, height, bitsPerPixel, flags), flags)) {
            report("Video mode set failed");
            fail();
        }
    }
    // The run got past the failures that end it here; a later one (the
    // archive) records itself again.
    clearStartupFailure();
    prepareGL(width, height);
    return true;
}

void Display::prepareGL(int32_t w, int32_t h) {
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    setProjection(w, h);
}

bool Display::setProjection(int32_t w, int32_t h) {
    if (h == 0) h = 1;
    // The quotient of the exact integers, rounded once to single precision.
    const float aspect = static_cast<float>(static_cast<double>(w) / static_cast<double>(h));

    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(aspect), static_cast<double>(0.1f), 250.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return true;
}

void Display::fail() {
    SDL_Quit();
    std::exit(1);
}
