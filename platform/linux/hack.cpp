#include "hack.h"

#include <SDL.h>
#include <signal.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "app/FpsOverlay.h"
#include "app/FramePacer.h"
#include "app/RunLoop.h"
#include "app/Startup.h"
#include "display/Display.h"
#include "gl_window.h"
#include "settings/RegistryValue.h"

namespace {

volatile std::sig_atomic_t endRequested = 0;

void onEndSignal(int) { endRequested = 1; }

// Like SDL for the full-screen run: a signal the parent had ignored (a
// background job of a non-interactive shell ignores SIGINT) stays ignored.
// No SA_RESTART: the signal also cuts the wait between frames short.
void endOn(int signalNumber) {
    struct sigaction current {};
    if (sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) return;
    struct sigaction handler {};
    handler.sa_handler = onEndSignal;
    sigemptyset(&handler.sa_mask);
    sigaction(signalNumber, &handler, nullptr);
}

// The archive's reader ends a run without a word when main.pak is missing (a
// Windows screensaver has no console); a hack's host shows no reason either,
// so hack mode says it first.
bool contentPresent() {
    const std::string path = pathSetting.get() + "main.pak";
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return true;
    std::fprintf(stderr, "calvetrin: cannot run: there is no content file %s\n", path.c_str());
    return false;
}

}  // namespace

int runHack(const HackOptions& options) {
    endOn(SIGTERM);
    endOn(SIGINT);
    if (!contentPresent()) return 1;

    GlWindow window;
    switch (window.open(options.window, options.mode == HackMode::OwnWindow)) {
    case GlWindow::Opened::Gone: return 0;
    case GlWindow::Opened::Failed: return 1;
    case GlWindow::Opened::Yes: break;
    }
    int width = window.width(), height = window.height();
    RunStart start;
    start.spinLevel = options.spinLevel;
    start.phaseSeconds = options.phaseSeconds;
    const ScreenRun run = startRun(start, [&](const Settings&) { Display::prepareGL(width, height); });

    FramePacer pacer(options.delayMicroseconds, SDL_GetTicks());
    FpsCounter fps(SDL_GetTicks());
    FrameOptions frame;
    frame.present = [&window] { window.swap(); };
    if (options.showFps) frame.cornerText = &fps.text();
    while (!endRequested && window.poll()) {
        if (window.width() != width || window.height() != height) {
            width = window.width();
            height = window.height();
            Display::setProjection(width, height);
        }
        renderFrame(frame);
        fps.frameDrawn(SDL_GetTicks());
        window.waitEvents(pacer.wait(SDL_GetTicks()));
    }
    return 0;  // the scene goes first, then the window and its connection
}
