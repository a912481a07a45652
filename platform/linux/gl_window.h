// The X window that hack and window modes draw in, with an OpenGL (GLX)
// context of our own on an X connection of our own -- no SDL video.
//
// For a host's window (xscreensaver's, or any given by id) it makes a child
// window covering it, on the host window's own X screen with a double-
// buffered GLX visual of that screen, and keeps the child the host's size;
// keys and the mouse go on to the host. For --window it makes a top-level,
// resizable window of its own (800 x 600), which ends on Escape, q or the
// window manager's close.
//
// A host may destroy its window at any moment, before we have looked at it
// included: every X error about our windows, or after one of them has gone,
// is expected and silent, and the run ends (open() says Gone, poll() says
// false). Any other X error is reported once, as one line on the standard
// error stream. OpenGL draws into a pixmap of ours, and swap() copies it into
// the window: no library ever draws into a window that can vanish under it.
//
//   GlWindow window;
//   if (window.open(id, false) != GlWindow::Opened::Yes) ...;
//   while (window.poll()) { draw(window.width(), window.height()); window.swap(); window.waitEvents(ms); }
#pragma once

#include <memory>

class GlWindow {
public:
    enum class Opened {
        Yes,
        Gone,    // the host's window is not there (any more): end quietly
        Failed,  // no display or no OpenGL: one line printed
    };

    GlWindow();
    ~GlWindow();
    GlWindow(const GlWindow&) = delete;
    GlWindow& operator=(const GlWindow&) = delete;

    // hostId 0 with ownWindow false: the root window of the default screen.
    // On Yes the context is current.
    Opened open(unsigned long hostId, bool ownWindow);
    int width() const;
    int height() const;
    // Handles the pending events; false once the window has gone or was
    // closed.
    bool poll();
    void swap();
    // Sleeps up to ms milliseconds, returning early when an X event arrives
    // or a signal is caught.
    void waitEvents(unsigned ms);

private:
    struct State;
    static bool makeSurface(State& s);
    std::unique_ptr<State> state_;
};
