// The full-screen run: handle every pending event, draw a frame, repeat.
//
// runLoop returns after the frame that follows the ending input: the Escape
// key, or mouse motion once SDL has run for more than 3000 ms when the
// settings ask for it. renderFrame draws one frame of the scene under
// sceneRoot: clear, camera 100 units back, repaint the procedural textures,
// draw the node tree (which advances the animation), swap buffers.
#pragma once

class Settings;

void runLoop(const Settings& settings);
bool renderFrame();
