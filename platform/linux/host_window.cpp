#include "host_window.h"

#include <X11/Xlib.h>

#include <cstdio>

namespace {

// Set by the error handler when a request met a window that no longer exists.
volatile bool windowGone = false;

int onXError(::Display*, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable) {
        windowGone = true;
    } else {
        std::fprintf(stderr, "calvetrin: X error %d (request %d)\n", error->error_code, error->request_code);
    }
    return 0;
}

}  // namespace

struct HostWindow::State {
    ::Display* display = nullptr;
    Window window = 0;
    int width = 0;
    int height = 0;
    bool destroyed = false;
};

HostWindow::HostWindow(std::unique_ptr<State> state) : state_(std::move(state)) {}

HostWindow::~HostWindow() { XCloseDisplay(state_->display); }

std::unique_ptr<HostWindow> HostWindow::open(unsigned long id) {
    ::Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "calvetrin: cannot open the X display\n");
        return nullptr;
    }
    // Process-wide, and set before SDL opens its own connection: a window
    // that has gone must not end the process from inside a drawing call.
    XSetErrorHandler(onXError);
    auto state = std::make_unique<State>();
    state->display = display;
    state->window = id != 0 ? id : DefaultRootWindow(display);
    XWindowAttributes attributes{};
    windowGone = false;
    if (!XGetWindowAttributes(display, state->window, &attributes) || windowGone) {
        std::fprintf(stderr, "calvetrin: there is no window 0x%lx to draw in\n", state->window);
        XCloseDisplay(display);
        return nullptr;
    }
    state->width = attributes.width;
    state->height = attributes.height;
    XSelectInput(display, state->window, StructureNotifyMask);
    XSync(display, False);
    return std::unique_ptr<HostWindow>(new HostWindow(std::move(state)));
}

unsigned long HostWindow::id() const { return state_->window; }
int HostWindow::width() const { return state_->width; }
int HostWindow::height() const { return state_->height; }

bool HostWindow::poll() {
    State& s = *state_;
    while (!s.destroyed && XPending(s.display) > 0) {
        XEvent event;
        XNextEvent(s.display, &event);
        if (event.type == DestroyNotify && event.xdestroywindow.window == s.window) s.destroyed = true;
        if (event.type == ConfigureNotify && event.xconfigure.window == s.window) {
            s.width = event.xconfigure.width;
            s.height = event.xconfigure.height;
        }
    }
    return !s.destroyed && !windowGone;
}
