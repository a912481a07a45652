#include "app/RunLoop.h"

#include <GL/gl.h>
#include <SDL.h>

#include "app/FpsOverlay.h"
#include "app/SceneAssembly.h"
#include "scene/SceneNode.h"
#include "settings/Settings.h"
#include "texgen/TexturegenCache.h"

namespace {
// Mouse motion in the first seconds is ignored: starting the screensaver
// (and the video mode switch) produces motion events of its own.
constexpr Uint32 kMouseGraceMs = 3000;
}  // namespace

void runLoop(const Settings& settings) {
    bool quitRequested = false;
    SDL_Event event;
    while (!quitRequested) {
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) quitRequested = true;
            if (event.type == SDL_MOUSEMOTION && SDL_GetTicks() > kMouseGraceMs && settings.quitOnMouseMove() == 1)
                quitRequested = true;
        }
        renderFrame();
    }
}

bool renderFrame(const FrameOptions& options) {
    const auto ended = [&](FrameStage stage) {
        if (options.stageEnded) options.stageEnded(stage);
    };
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -100.0f);
    ended(FrameStage::Camera);
    texturegenCache.update();
    ended(FrameStage::Textures);
    sceneRoot->draw();
    ended(FrameStage::Scene);
    if (options.cornerText != nullptr && !options.cornerText->empty()) {
        drawCornerText(*options.cornerText);
        ended(FrameStage::Overlay);
    }
    if (options.present) options.present();
    else SDL_GL_SwapBuffers();
    ended(FrameStage::Presented);
    return true;
}
