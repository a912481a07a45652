#include "gl_window.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <cstdio>
#include <set>
#include <tuple>

namespace {

// What the process-wide error handler knows: the windows whose errors are
// expected, and whether one of them has gone. Xlib calls the handler from
// inside our own calls, never from a signal.
Window hostWindow = 0;
Window ownWindow = 0;
bool windowGone = false;
bool closing = false;
std::set<std::tuple<int, int, int>> reportedErrors;

int onXError(::Display*, XErrorEvent* error) {
    const bool aboutOurs = error->resourceid != 0 && (error->resourceid == hostWindow || error->resourceid == ownWindow);
    if (aboutOurs || windowGone || closing) {
        windowGone = windowGone || aboutOurs;
        return 0;
    }
    if (reportedErrors.emplace(error->error_code, error->request_code, error->minor_code).second)
        std::fprintf(stderr, "calvetrin: X error %d (request %d.%d)\n", error->error_code, error->request_code,
                     error->minor_code);
    return 0;
}

}  // namespace

struct GlWindow::State {
    ::Display* display = nullptr;
    Window window = 0;
    Colormap colormap = 0;
    XVisualInfo* visual = nullptr;
    GLXContext context = nullptr;
    // What OpenGL draws into: a pixmap of ours, copied to the window at every
    // swap. The window may vanish under a host's hand at any moment; the
    // pixmap cannot, so the OpenGL driver never meets a drawable that has
    // gone (Mesa's software rasterizer crashed on one in the middle of a
    // frame). Only the copy can fail, with an X error that ends the run.
    Pixmap pixmap = 0;
    GLXPixmap glxPixmap = 0;
    GC gc = nullptr;
    Atom deleteWindow = 0;
    bool own = false;
    bool closed = false;
    int width = 0;
    int height = 0;
};

// A pixmap of the window's size (at least 1 x 1) as the context's drawable,
// replacing the one before. False when the context cannot draw into it.
bool GlWindow::makeSurface(State& s) {
    const unsigned width = static_cast<unsigned>(s.width > 0 ? s.width : 1);
    const unsigned height = static_cast<unsigned>(s.height > 0 ? s.height : 1);
    const Pixmap pixmap = XCreatePixmap(s.display, RootWindow(s.display, s.visual->screen), width, height,
                                        static_cast<unsigned>(s.visual->depth));
    const GLXPixmap glxPixmap = glXCreateGLXPixmap(s.display, s.visual, pixmap);
    const bool made = glXMakeCurrent(s.display, glxPixmap, s.context);
    if (s.glxPixmap != 0) glXDestroyGLXPixmap(s.display, s.glxPixmap);
    if (s.pixmap != 0) XFreePixmap(s.display, s.pixmap);
    s.pixmap = pixmap;
    s.glxPixmap = glxPixmap;
    if (s.gc == nullptr) {
        // No GraphicsExpose / NoExpose event after every copy.
        XGCValues values{};
        values.graphics_exposures = False;
        s.gc = XCreateGC(s.display, pixmap, GCGraphicsExposures, &values);
    }
    return made;
}

GlWindow::GlWindow() : state_(new State) {}

GlWindow::~GlWindow() {
    State& s = *state_;
    if (s.display == nullptr) return;
    // Whatever the server says about our windows from here on is of no use.
    closing = true;
    if (s.context != nullptr) {
        glXMakeCurrent(s.display, None, nullptr);
        glXDestroyContext(s.display, s.context);
    }
    if (s.glxPixmap != 0) glXDestroyGLXPixmap(s.display, s.glxPixmap);
    if (s.pixmap != 0) XFreePixmap(s.display, s.pixmap);
    if (s.gc != nullptr) XFreeGC(s.display, s.gc);
    if (s.visual != nullptr) XFree(s.visual);
    if (s.window != 0 && !windowGone) XDestroyWindow(s.display, s.window);
    if (s.colormap != 0) XFreeColormap(s.display, s.colormap);
    XCloseDisplay(s.display);
}

GlWindow::Opened GlWindow::open(unsigned long hostId, bool own) {
    State& s = *state_;
    s.own = own;
    s.display = XOpenDisplay(nullptr);
    if (s.display == nullptr) {
        std::fprintf(stderr, "calvetrin: cannot open the X display\n");
        return Opened::Failed;
    }
    XSetErrorHandler(onXError);
    int screen = DefaultScreen(s.display);
    Window parent = RootWindow(s.display, screen);
    s.width = 800;
    s.height = 600;
    if (!own) {
        parent = hostWindow = hostId != 0 ? hostId : DefaultRootWindow(s.display);
        // Its events first, so that a destruction after the look below is
        // heard of; then its size and its screen (a host on a second X
        // screen gets a visual of that screen).
        XSelectInput(s.display, parent, StructureNotifyMask);
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(s.display, parent, &attributes) || windowGone) return Opened::Gone;
        screen = XScreenNumberOfScreen(attributes.screen);
        s.width = attributes.width;
        s.height = attributes.height;
    }

    int errorBase = 0, eventBase = 0;
    if (!glXQueryExtension(s.display, &errorBase, &eventBase)) {
        std::fprintf(stderr, "calvetrin: cannot draw: the X display has no OpenGL (GLX)\n");
        return Opened::Failed;
    }
    // Single-buffered: a pixmap has no back buffer; the copy to the window
    // is the swap.
    int attributes[] = {GLX_RGBA, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1, GLX_DEPTH_SIZE, 16, None};
    XVisualInfo* visual = s.visual = glXChooseVisual(s.display, screen, attributes);
    if (visual == nullptr) {
        std::fprintf(stderr, "calvetrin: cannot draw: X screen %d has no OpenGL visual with a depth buffer\n", screen);
        return Opened::Failed;
    }
    s.colormap = XCreateColormap(s.display, RootWindow(s.display, screen), visual->visual, AllocNone);
    XSetWindowAttributes windowAttributes{};
    windowAttributes.colormap = s.colormap;
    windowAttributes.background_pixel = BlackPixel(s.display, screen);
    windowAttributes.border_pixel = 0;
    // The child of a host's window selects no input: keys and the mouse go
    // on to the host.
    windowAttributes.event_mask = own ? StructureNotifyMask | KeyPressMask : 0;
    s.window = ownWindow = XCreateWindow(s.display, parent, 0, 0, static_cast<unsigned>(s.width),
                                         static_cast<unsigned>(s.height), 0, visual->depth, InputOutput,
                                         visual->visual, CWColormap | CWBackPixel | CWBorderPixel | CWEventMask,
                                         &windowAttributes);
    if (own) {
        XStoreName(s.display, s.window, "Calvetrin");
        XClassHint hint{const_cast<char*>("calvetrin"), const_cast<char*>("Calvetrin")};
        XSetClassHint(s.display, s.window, &hint);
        s.deleteWindow = XInternAtom(s.display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(s.display, s.window, &s.deleteWindow, 1);
    }
    XMapWindow(s.display, s.window);
    XSync(s.display, False);
    if (windowGone) return Opened::Gone;
    s.context = glXCreateContext(s.display, visual, nullptr, True);
    if (s.context == nullptr) {
        std::fprintf(stderr, "calvetrin: cannot draw: no OpenGL context on X screen %d\n", screen);
        return Opened::Failed;
    }
    const bool made = makeSurface(s);
    XSync(s.display, False);
    if (windowGone) return Opened::Gone;
    if (!made) {
        std::fprintf(stderr, "calvetrin: cannot draw: the OpenGL context cannot be used on X screen %d\n", screen);
        return Opened::Failed;
    }
    return Opened::Yes;
}

int GlWindow::width() const { return state_->width; }
int GlWindow::height() const { return state_->height; }

bool GlWindow::poll() {
    State& s = *state_;
    while (!windowGone && !s.closed && XPending(s.display) > 0) {
        XEvent event;
        XNextEvent(s.display, &event);
        switch (event.type) {
        case DestroyNotify:
            if (event.xdestroywindow.window == hostWindow || event.xdestroywindow.window == s.window) windowGone = true;
            break;
        case ConfigureNotify:
            if (event.xconfigure.window == (s.own ? s.window : hostWindow)) {
                if (s.width == event.xconfigure.width && s.height == event.xconfigure.height) break;
                s.width = event.xconfigure.width;
                s.height = event.xconfigure.height;
                if (!s.own)
                    XResizeWindow(s.display, s.window, static_cast<unsigned>(s.width), static_cast<unsigned>(s.height));
                makeSurface(s);
            }
            break;
        case ClientMessage:
            if (static_cast<Atom>(event.xclient.data.l[0]) == s.deleteWindow) s.closed = true;
            break;
        case KeyPress: {
            const KeySym key = XLookupKeysym(&event.xkey, 0);
            if (key == XK_Escape || key == XK_q) s.closed = true;
            break;
        }
        default:
            break;
        }
    }
    return !windowGone && !s.closed;
}

void GlWindow::swap() {
    State& s = *state_;
    glFinish();  // the frame is in the pixmap
    XCopyArea(s.display, s.pixmap, s.window, s.gc, 0, 0, static_cast<unsigned>(s.width > 0 ? s.width : 1),
              static_cast<unsigned>(s.height > 0 ? s.height : 1), 0, 0);
    XFlush(s.display);
}

void GlWindow::waitEvents(unsigned ms) {
    if (ms == 0 || XPending(state_->display) > 0) return;
    pollfd connection{ConnectionNumber(state_->display), POLLIN, 0};
    ::poll(&connection, 1, static_cast<int>(ms));
}
