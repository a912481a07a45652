// Test pictures for the preview window and the check of what it painted.
//
// A picture is named by a pattern and a size; the same pattern gives the
// colour each pixel should show, so the check does not decode the file the
// program under test reads. The check reads a parent window's pixels back
// from the X server and compares every one of them: the child window covers
// the parent's top-left 152 x 112 pixels, the picture its top-left corner,
// the child's background (200,200,200) the rest of the child, the parent's
// own background the rest of the parent.
#pragma once

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <thread>

namespace previewcheck {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << c.r << ',' << c.g << ',' << c.b;
}

constexpr int kChildWidth = 152;
constexpr int kChildHeight = 112;
constexpr Rgb kChildBackground{200, 200, 200};
constexpr Rgb kParentBackground{0x20, 0x40, 0x60};
constexpr int kParentWidth = 200;
constexpr int kParentHeight = 150;

// "gradient": the three channels change at different rates, so a swap of
// red and blue or a shifted row shows. Pixel (0,0) is red 0x30, green 0x20,
// blue 0x10. "alternate": a different picture of the same kind. "palette":
// at most 256 colours, for a paletted file.
inline int paletteIndex(int x, int y) { return (x / 4 + (y / 4) * 37) % 256; }
inline Rgb paletteColour(int i) { return Rgb{(i * 7 + 3) & 0xFF, (255 - i) & 0xFF, (i * 29 + 100) & 0xFF}; }

inline Rgb patternPixel(const std::string& pattern, int x, int y) {
    if (pattern == "gradient") return Rgb{(0x30 + x * 13) & 0xFF, (0x20 + y * 11) & 0xFF, (0x10 + x * 3 + y * 5) & 0xFF};
    if (pattern == "alternate") return Rgb{(255 - x * 5) & 0xFF, (x * y) & 0xFF, (0x80 + y * 9) & 0xFF};
    return paletteColour(paletteIndex(x, y));
}

// Writes the pattern as an uncompressed BMP: 24 bits per pixel, or 8 bits
// with a palette for "palette".
inline bool writePicture(const std::string& path, const std::string& pattern, int width, int height) {
    const bool paletted = pattern == "palette";
    SDL_Surface* s = paletted ? SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 8, 0, 0, 0, 0)
                              : SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    if (!s) return false;
    if (paletted) {
        SDL_Color colours[256];
        for (int i = 0; i < 256; ++i) {
            Rgb c = paletteColour(i);
            colours[i] = SDL_Color{static_cast<Uint8>(c.r), static_cast<Uint8>(c.g), static_cast<Uint8>(c.b), 0};
        }
        SDL_SetColors(s, colours, 0, 256);
    }
    Uint8* pixels = static_cast<Uint8*>(s->pixels);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Uint8* p = pixels + y * s->pitch + x * (paletted ? 1 : 3);
            if (paletted) {
                p[0] = static_cast<Uint8>(paletteIndex(x, y));
            } else {
                Rgb c = patternPixel(pattern, x, y);
                p[0] = static_cast<Uint8>(c.b);
                p[1] = static_cast<Uint8>(c.g);
                p[2] = static_cast<Uint8>(c.r);
            }
        }
    }
    bool saved = SDL_SaveBMP(s, path.c_str()) == 0;
    SDL_FreeSurface(s);
    return saved;
}

// What the parent should show at (x, y); pattern "none" means no picture.
inline Rgb expectedAt(const std::string& pattern, int width, int height, int x, int y) {
    if (x >= kChildWidth || y >= kChildHeight) return kParentBackground;
    if (pattern != "none" && x < width && y < height) return patternPixel(pattern, x, y);
    return kChildBackground;
}

inline int maskShift(unsigned long mask) {
    int shift = 0;
    while (mask && !((mask >> shift) & 1)) ++shift;
    return shift;
}

inline Rgb decodePixel(const XImage* image, unsigned long pixel) {
    auto part = [pixel](unsigned long mask) {
        unsigned long maximum = mask >> maskShift(mask);
        return maximum ? static_cast<int>(((pixel & mask) >> maskShift(mask)) * 255 / maximum) : 0;
    };
    return Rgb{part(image->red_mask), part(image->green_mask), part(image->blue_mask)};
}

inline unsigned long encodePixel(Visual* visual, Rgb c) {
    auto part = [](int v, unsigned long mask) {
        unsigned long maximum = mask >> maskShift(mask);
        return ((static_cast<unsigned long>(v) * maximum + 127) / 255) << maskShift(mask);
    };
    return part(c.r, visual->red_mask) | part(c.g, visual->green_mask) | part(c.b, visual->blue_mask);
}

// Compares every pixel of the parent window; empty when all match, else the
// first difference.
inline std::string compareParent(Display* display, Window parent, const std::string& pattern, int width,
                                 int height) {
    XImage* image = XGetImage(display, parent, 0, 0, kParentWidth, kParentHeight, AllPlanes, ZPixmap);
    if (!image) return "the parent window could not be read";
    std::string difference;
    for (int y = 0; y < kParentHeight && difference.empty(); ++y) {
        for (int x = 0; x < kParentWidth; ++x) {
            Rgb got = decodePixel(image, XGetPixel(image, x, y));
            Rgb want = expectedAt(pattern, width, height, x, y);
            if (got != want) {
                char text[160];
                std::snprintf(text, sizeof text, "pixel %d,%d is %d,%d,%d, expected %d,%d,%d", x, y, got.r, got.g,
                              got.b, want.r, want.g, want.b);
                difference = text;
                break;
            }
        }
    }
    XDestroyImage(image);
    return difference;
}

// The program under test paints over its own connection, so the result is
// polled until it matches or the time is up; returns the last difference.
inline std::string waitForParent(Display* display, Window parent, const std::string& pattern, int width, int height,
                                 int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        std::string difference = compareParent(display, parent, pattern, width, height);
        if (difference.empty() || std::chrono::steady_clock::now() > deadline) return difference;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// A mapped top-level window of the parent's size in kParentBackground,
// returned once it is on screen.
inline Window createParent(Display* display, int x, int y) {
    int screen = DefaultScreen(display);
    Window parent = XCreateSimpleWindow(display, RootWindow(display, screen), x, y, kParentWidth, kParentHeight, 0, 0,
                                        encodePixel(DefaultVisual(display, screen), kParentBackground));
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    XChangeWindowAttributes(display, parent, CWOverrideRedirect, &attributes);
    XSelectInput(display, parent, ExposureMask);
    XMapWindow(display, parent);
    XEvent event;
    XWindowEvent(display, parent, ExposureMask, &event);
    return parent;
}

}  // namespace previewcheck
