// The X window a host gives hack mode, watched on an X connection of our own:
// its size, and whether it still exists. X errors about a window that has
// gone are expected at the end of a run (the host may destroy the window
// before we hear of it) and end the run instead of the process.
//
//   std::unique_ptr<HostWindow> window = HostWindow::open(id);  // 0: the root window
//   while (window && window->poll()) draw(window->width(), window->height());
#pragma once

#include <memory>

class HostWindow {
public:
    // Null, after a line on the standard error stream, when there is no
    // display or no such window.
    static std::unique_ptr<HostWindow> open(unsigned long id);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    unsigned long id() const;
    int width() const;
    int height() const;
    // Reads the window's pending events; false once it has been destroyed.
    bool poll();

private:
    struct State;
    explicit HostWindow(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};
