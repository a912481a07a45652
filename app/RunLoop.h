// The full-screen run, and the one frame that every mode draws.
//
// runLoop handles every pending event, draws a frame, and repeats; it returns
// after the frame that follows the ending input: the Escape key, or mouse
// motion once SDL has run for more than 3000 ms when the settings ask for it.
//
// renderFrame draws one frame of the scene under sceneRoot: clear, camera 100
// units back, repaint the procedural textures, draw the node tree (which
// advances the animation), the corner text if any (FpsOverlay.h), present.
// The full-screen run, the Linux hack and window modes and the frame
// benchmark all draw through it; FrameOptions says what differs: how the
// frame is presented (SDL_GL_SwapBuffers unless told otherwise), the corner
// text, and a call at the end of each stage (the benchmark's stopwatch).
//
// On Linux the executable replaces two SDL functions that this loop and
// Display call (see platform/platform.h): SDL_PollEvent hands SDL's quit
// event (SIGTERM, SIGINT) to this loop as the Escape key, so a signal ends
// the run through the same shutdown as Escape (platform/linux/events.cpp);
// SDL_SetVideoMode also sizes the full-screen window to the screen where no
// window manager does (platform/linux/video.cpp).
#pragma once

#include <functional>
#include <string>

class Settings;

enum class FrameStage { Camera, Textures, Scene, Overlay, Presented };

struct FrameOptions {
    std::function<void()> present;            // empty: SDL_GL_SwapBuffers
    const std::string* cornerText = nullptr;  // null or empty: none
    std::function<void(FrameStage)> stageEnded;
};

void runLoop(const Settings& settings);
bool renderFrame(const FrameOptions& options = FrameOptions());
