// The full-screen OpenGL display of a screensaver run.
//
// open() starts SDL video in the requested mode (all three values 0: the
// desktop's current mode), sets the fixed OpenGL state every frame relies on
// (texturing, smooth shading, black clear colour, depth test with LEQUAL,
// nicest perspective correction) and a 45-degree perspective projection with
// the depth range 0.1 to 250, and hides the cursor.
//
// A mode the screen cannot show full screen falls back to the desktop's own
// mode, with one line on the standard error stream; the fields then hold the
// desktop's mode. A start-up failure ("Video initialization failed: ...", or
// "Video mode set failed: ..." when not even the desktop's mode can be set)
// prints one line on the standard error stream, records it as the user's last
// start-up failure (settings/UserFiles.h) and ends the process with exit code
// 1. A start that succeeds removes that record. Destroying the Display shuts
// SDL down, which restores the desktop.
//
//   Display display;
//   display.open(settings->modeWidth(), settings->modeHeight(), settings->modeBitsPerPixel());
#pragma once

#include <cstdint>

class Display {
public:
    Display() = default;
    ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    void open(int32_t width, int32_t height, int32_t bitsPerPixel);
    void startVideo(int32_t width, int32_t height, int32_t bitsPerPixel);
    bool setVideoMode();
    // The fixed OpenGL state and the projection for a viewport of width x
    // height, on whatever context is current: setVideoMode's, or one that a
    // platform made itself (the Linux hack and window modes).
    static void prepareGL(int32_t width, int32_t height);
    static bool setProjection(int32_t width, int32_t height);
    [[noreturn]] void fail();

    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    int32_t getBitsPerPixel() const { return bitsPerPixel; }

private:
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
};
