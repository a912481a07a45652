// Stands in for the screensaver dialog's preview pane in the end-to-end
// tests: creates a top-level parent window, prints its id in decimal, then
// follows commands read line by line from the standard input, answering each
// with one line ("ok" or what went wrong):
//
//   expect PATTERN W H MS  wait up to MS milliseconds for the parent to show
//                          picture PATTERN of W x H ("none": no picture)
//   cover / uncover        map / unmap a window lying over the parent
//   children               the number of child windows of the parent
//   stale                  the id of a window that was created and destroyed
//   destroy                destroy the parent (and with it its children)
//   quit                   end
//
// Also writes the test pictures: xparent picture FILE PATTERN W H.
#include <X11/Xlib.h>

#include <iostream>
#include <sstream>
#include <string>

#include "tests/e2e/preview_patterns.h"

using namespace previewcheck;

namespace {

int writePictureCommand(int argc, char** argv) {
    if (argc != 6) {
        std::cerr << "usage: xparent picture FILE PATTERN WIDTH HEIGHT\n";
        return 2;
    }
    if (!writePicture(argv[2], argv[3], std::stoi(argv[4]), std::stoi(argv[5]))) {
        std::cerr << "xparent: cannot write " << argv[2] << ": " << SDL_GetError() << "\n";
        return 1;
    }
    return 0;
}

// Maps or unmaps the cover and returns once the server has done it.
void setCover(Display* display, Window cover, bool mapped) {
    if (mapped) {
        XMapRaised(display, cover);
        XEvent event;
        XWindowEvent(display, cover, ExposureMask, &event);
    } else {
        XUnmapWindow(display, cover);
    }
    XSync(display, False);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "picture") return writePictureCommand(argc, argv);

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::cerr << "xparent: no X display\n";
        return 1;
    }
    int screen = DefaultScreen(display);
    const int left = 40, top = 30;
    Window parent = createParent(display, left, top);
    Window cover = XCreateSimpleWindow(display, RootWindow(display, screen), left - 10, top - 10, kParentWidth + 20,
                                       kParentHeight + 20, 0, 0, encodePixel(DefaultVisual(display, screen), {255, 0, 255}));
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    XChangeWindowAttributes(display, cover, CWOverrideRedirect, &attributes);
    XSelectInput(display, cover, ExposureMask);
    std::cout << parent << std::endl;

    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        if (command == "expect") {
            std::string pattern;
            int width = 0, height = 0, timeoutMs = 0;
            words >> pattern >> width >> height >> timeoutMs;
            std::string difference = waitForParent(display, parent, pattern, width, height, timeoutMs);
            std::cout << (difference.empty() ? "ok" : difference) << std::endl;
        } else if (command == "cover" || command == "uncover") {
            setCover(display, cover, command == "cover");
            std::cout << "ok" << std::endl;
        } else if (command == "children") {
            Window root, up, *children = nullptr;
            unsigned count = 0;
            XQueryTree(display, parent, &root, &up, &children, &count);
            if (children) XFree(children);
            std::cout << count << std::endl;
        } else if (command == "stale") {
            Window gone = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 1, 1, 0, 0, 0);
            XDestroyWindow(display, gone);
            XSync(display, False);
            std::cout << gone << std::endl;
        } else if (command == "destroy") {
            XDestroyWindow(display, parent);
            XSync(display, False);
            std::cout << "ok" << std::endl;
        } else if (command == "quit") {
            break;
        } else {
            std::cout << "unknown command " << command << std::endl;
        }
    }
    XCloseDisplay(display);
    return 0;
}
