#include "display/Display.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

Display::~Display() { SDL_Quit(); }

void Display::open(int32_t w, int32_t h, int32_t bpp) {
    startVideo(w, h, bpp);
    SDL_ShowCursor(SDL_DISABLE);
}

void Display::startVideo(int32_t w, int32_t h, int32_t bpp) {
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "Video initialization failed: %s\n", SDL_GetError());
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

    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    if (SDL_SetVideoMode(width, height, bitsPerPixel, flags) == nullptr) {
        std::fprintf(stderr, "Video mode set failed: %s\n", SDL_GetError());
        fail();
    }

    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

    setProjection(width, height);
    return true;
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
