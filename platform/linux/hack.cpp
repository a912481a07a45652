#include "hack.h"

#include <GL/gl.h>
#include <SDL.h>

#include <signal.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>

#include "app/RunLoop.h"
#include "app/SceneAssembly.h"
#include "assets/ResourceCache.h"
#include "display/Display.h"
#include "host_window.h"
#include "settings/RegistryValue.h"
#include "settings/Settings.h"
#include "settings/UserFiles.h"

namespace {

volatile std::sig_atomic_t endRequested = 0;

void onEndSignal(int) { endRequested = 1; }

// Like SDL for the full-screen run: a signal the parent had ignored (a
// background job of a non-interactive shell ignores SIGINT) stays ignored.
void endOn(int signalNumber) {
    struct sigaction current {};
    if (sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) return;
    struct sigaction handler {};
    handler.sa_handler = onEndSignal;
    sigemptyset(&handler.sa_mask);
    sigaction(signalNumber, &handler, nullptr);
}

// Sleeps until the next frame is due; a frame that ran late moves the
// schedule rather than being caught up.
class FramePacer {
public:
    explicit FramePacer(int fps) : intervalMs_(fps > 0 ? 1000.0 / fps : 0.0), next_(SDL_GetTicks()) {}
    void wait() {
        if (intervalMs_ <= 0.0) return;
        next_ += intervalMs_;
        const double now = SDL_GetTicks();
        if (next_ > now) SDL_Delay(static_cast<Uint32>(next_ - now));
        else if (now - next_ > intervalMs_) next_ = now;
    }

private:
    double intervalMs_;
    double next_;
};

std::unique_ptr<Settings> loadSettings(const HackOptions& options) {
    std::ifstream file = openSettingsFile();
    auto settings = file ? std::make_unique<Settings>(file) : std::make_unique<Settings>();
    if (options.spinLevel) settings->setSpinLevel(*options.spinLevel);
    if (options.phaseSeconds) settings->setPhaseSeconds(*options.phaseSeconds);
    return settings;
}

}  // namespace

int runHack(const HackOptions& options) {
    std::unique_ptr<HostWindow> window = HostWindow::open(options.window);
    if (!window) return 1;

    // SDL draws into the host's window (sdl12-compat passes SDL_WINDOWID on to
    // SDL2, which needs the hint to make an OpenGL context on a foreign
    // window), straight into it rather than into a scaled off-screen copy.
    setenv("SDL_WINDOWID", std::to_string(window->id()).c_str(), 1);
    setenv("SDL_VIDEO_FOREIGN_WINDOW_OPENGL", "1", 1);
    setenv("SDL12COMPAT_OPENGL_SCALING", "0", 1);
    // Installed before SDL starts, so that SDL leaves them alone.
    endOn(SIGTERM);
    endOn(SIGINT);

    std::unique_ptr<Settings> settings = loadSettings(options);
    resourceCache.setBasePath(pathSetting.get().c_str());
    Display display;
    // Not open(): that hides the cursor, which under sdl12-compat takes the
    // pointer into relative mode, and the pointer is the host's.
    display.startVideo(window->width(), window->height(), 0);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    std::unique_ptr<Scene> scene = assembleScene(*settings);

    FramePacer pacer(options.fps);
    Uint32 fpsStart = SDL_GetTicks();
    int framesCounted = 0;
    int width = window->width(), height = window->height();
    SDL_Event event;
    while (!endRequested && window->poll()) {
        while (SDL_PollEvent(&event)) {
            // Input belongs to the host; nothing here ends the run.
        }
        if (window->width() != width || window->height() != height) {
            width = window->width();
            height = window->height();
            display.setProjection(width, height);
        }
        renderFrame();
        ++framesCounted;
        const Uint32 now = SDL_GetTicks();
        if (options.showFps && now - fpsStart >= 2000) {
            std::fprintf(stderr, "calvetrin: %.1f frames per second\n", framesCounted * 1000.0 / (now - fpsStart));
            fpsStart = now;
            framesCounted = 0;
        }
        pacer.wait();
    }
    scene.reset();
    return 0;  // the Display shuts SDL down, then the window's connection closes
}
