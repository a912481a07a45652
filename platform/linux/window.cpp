// The window-management and GDI subset of the Windows API over Xlib, enough
// for a child window that paints itself pixel by pixel.
//
// A window handle is an X window id. The first RegisterClassExA opens the
// default display (DISPLAY) and keeps the connection for the life of the
// process. GetMessageA turns the X events of our windows into the two
// messages the preview needs: a complete expose sequence becomes WM_PAINT,
// the DestroyNotify of the window (sent also when its parent is destroyed)
// becomes WM_DESTROY. X errors on our connection are recorded instead of
// ending the process, and a lost connection ends the message loop.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"

struct HDC__ {
    Window window;
    GC gc;
    Visual* visual;
    Colormap colormap;
};

namespace {

constexpr UINT kWmQuit = 0x0012;

struct WindowClass {
    WNDPROC procedure;
    bool hasBackground;
    COLORREF background;
};

struct WindowRecord {
    WNDPROC procedure;
    int width;
    int height;
    Visual* visual;
    Colormap colormap;
    // Areas exposed since the last paint; the next BeginPaint clips to them.
    std::vector<XRectangle> exposed;
};

Display* display = nullptr;
bool connectionLost = false;
unsigned long protocolErrors = 0;
XErrorHandler previousErrorHandler = nullptr;
std::map<std::string, WindowClass> classes;
std::map<Window, WindowRecord> windows;
ATOM nextAtom = 0xC000;
bool quitPosted = false;
int quitCode = 0;

// Default values of the system colours a class brush (COLOR_x + 1) can name.
bool systemColour(std::uintptr_t index, COLORREF* colour) {
    switch (index) {
    case 0:  // COLOR_SCROLLBAR
        *colour = 0x00C8C8C8;
        return true;
    case 1:  // COLOR_BACKGROUND
        *colour = 0x00000000;
        return true;
    case 5:  // COLOR_WINDOW
        *colour = 0x00FFFFFF;
        return true;
    default:
        return false;
    }
}

// Errors on our connection (a parent that does not exist, drawing into a
// window its parent has just destroyed) are counted, not fatal.
int onProtocolError(Display* errorDisplay, XErrorEvent* error) {
    if (errorDisplay == display) {
        ++protocolErrors;
        return 0;
    }
    return previousErrorHandler ? previousErrorHandler(errorDisplay, error) : 0;
}

// A broken connection marks the display lost; both handlers return, so Xlib
// neither prints nor exits, and every later call on the display is a no-op.
int onConnectionError(Display* errorDisplay) {
    if (errorDisplay == display) connectionLost = true;
    return 0;
}

void onConnectionExit(Display* errorDisplay, void*) {
    if (errorDisplay == display) connectionLost = true;
}

bool openDisplay() {
    if (display) return !connectionLost;
    display = XOpenDisplay(nullptr);
    if (!display) return false;
    previousErrorHandler = XSetErrorHandler(onProtocolError);
    XSetIOErrorHandler(onConnectionError);
    XSetIOErrorExitHandler(display, onConnectionExit, nullptr);
    return true;
}

Window windowOf(HWND handle) { return static_cast<Window>(reinterpret_cast<std::uintptr_t>(handle)); }

HWND handleOf(Window window) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window)); }

WindowRecord* recordOf(HWND handle) {
    auto found = windows.find(windowOf(handle));
    return found == windows.end() ? nullptr : &found->second;
}

unsigned long scaleToMask(unsigned component, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    unsigned long maximum = mask >> shift;
    return ((component * maximum + 127) / 255) << shift;
}

// The pixel value of a COLORREF (0x00BBGGRR) in a window's visual.
unsigned long pixelOf(Visual* visual, Colormap colormap, COLORREF colour) {
    unsigned red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
    if (visual->c_class == TrueColor || visual->c_class == DirectColor) {
        return scaleToMask(red, visual->red_mask) | scaleToMask(green, visual->green_mask) |
               scaleToMask(blue, visual->blue_mask);
    }
    // Colour-mapped visuals: allocate each colour once.
    static std::map<COLORREF, unsigned long> allocated;
    auto found = allocated.find(colour);
    if (found != allocated.end()) return found->second;
    XColor wanted{};
    wanted.red = static_cast<unsigned short>(red * 257);
    wanted.green = static_cast<unsigned short>(green * 257);
    wanted.blue = static_cast<unsigned short>(blue * 257);
    wanted.flags = DoRed | DoGreen | DoBlue;
    unsigned long pixel = XAllocColor(display, colormap, &wanted) ? wanted.pixel : 0;
    allocated[colour] = pixel;
    return pixel;
}

// Moves every Expose of window still in the queue into its exposed list;
// returns whether there was any.
bool takeQueuedExposes(Window window, WindowRecord& record) {
    bool any = false;
    XEvent event;
    while (XCheckTypedWindowEvent(display, window, Expose, &event)) {
        record.exposed.push_back({static_cast<short>(event.xexpose.x), static_cast<short>(event.xexpose.y),
                                  static_cast<unsigned short>(event.xexpose.width),
                                  static_cast<unsigned short>(event.xexpose.height)});
        any = true;
    }
    return any;
}

void fillMessage(MSG* msg, HWND window, UINT message, WPARAM wParam) {
    *msg = MSG{};
    msg->hwnd = window;
    msg->message = message;
    msg->wParam = wParam;
}

// Waits until an event is queued; false when the connection is gone.
bool waitForEvent() {
    while (!connectionLost) {
        if (XPending(display) > 0) return true;
        if (connectionLost) break;
        pollfd descriptor{ConnectionNumber(display), POLLIN, 0};
        poll(&descriptor, 1, -1);
    }
    return false;
}

}  // namespace

HICON LoadIconA(HINSTANCE, LPCSTR) {
    static char icon;
    return reinterpret_cast<HICON>(&icon);
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR) {
    static char cursor;
    return reinterpret_cast<HCURSOR>(&cursor);
}

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) {
    if (!windowClass || windowClass->cbSize != sizeof(WNDCLASSEXA) || !windowClass->lpfnWndProc ||
        !windowClass->lpszClassName)
        return 0;
    if (classes.count(windowClass->lpszClassName)) return 0;
    if (!openDisplay()) return 0;
    WindowClass entry{windowClass->lpfnWndProc, false, 0};
    auto brush = reinterpret_cast<std::uintptr_t>(windowClass->hbrBackground);
    if (brush >= 1) entry.hasBackground = systemColour(brush - 1, &entry.background);
    classes[windowClass->lpszClassName] = entry;
    return nextAtom++;
}

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU, HINSTANCE, LPVOID) {
    if (!display || connectionLost || !className) return nullptr;
    auto found = classes.find(className);
    if (found == classes.end()) return nullptr;
    if ((style & WS_CHILD) && !parent) return nullptr;
    Window parentWindow = parent ? windowOf(parent) : DefaultRootWindow(display);
    // X resource ids have 29 bits; anything wider (a negative handle) names no window.
    if (parentWindow > 0x1FFFFFFFul) return nullptr;

    // The parent may be any window of the display, or none at all: create,
    // then wait for the server's verdict.
    XSync(display, False);
    unsigned long errorsBefore = protocolErrors;
    XSetWindowAttributes attributes{};
    unsigned long mask = CWEventMask;
    attributes.event_mask = ExposureMask | StructureNotifyMask;
    Window window = XCreateWindow(display, parentWindow, x, y, std::max(width, 1), std::max(height, 1), 0,
                                  CopyFromParent, InputOutput, CopyFromParent, mask, &attributes);
    XWindowAttributes created{};
    XSync(display, False);
    if (connectionLost || protocolErrors != errorsBefore || !XGetWindowAttributes(display, window, &created)) {
        XSync(display, False);
        return nullptr;
    }

    WindowRecord record{found->second.procedure, created.width, created.height, created.visual, created.colormap, {}};
    if (found->second.hasBackground) XSetWindowBackground(display, window, pixelOf(created.visual, created.colormap, found->second.background));
    windows[window] = record;
    if (style & WS_VISIBLE) XMapWindow(display, window);
    XFlush(display);
    return handleOf(window);
}

// Sends the first WM_PAINT at once, as Windows does, when the window has been
// exposed (that is, it is mapped and visible).
BOOL UpdateWindow(HWND handle) {
    WindowRecord* record = recordOf(handle);
    if (!record || connectionLost) return FALSE;
    XSync(display, False);
    if (takeQueuedExposes(windowOf(handle), *record)) record->procedure(handle, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL GetMessageA(MSG* msg, HWND, UINT, UINT) {
    for (;;) {
        if (quitPosted) {
            quitPosted = false;
            fillMessage(msg, nullptr, kWmQuit, static_cast<WPARAM>(quitCode));
            return 0;
        }
        // No display, or the connection broke: nothing more can arrive, so the
        // loop ends as if told to quit.
        if (!display || !waitForEvent()) {
            fillMessage(msg, nullptr, kWmQuit, 0);
            return 0;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == Expose) {
            auto found = windows.find(event.xexpose.window);
            if (found == windows.end()) continue;
            const XExposeEvent& e = event.xexpose;
            found->second.exposed.push_back({static_cast<short>(e.x), static_cast<short>(e.y),
                                             static_cast<unsigned short>(e.width),
                                             static_cast<unsigned short>(e.height)});
            if (e.count > 0) continue;
            // One paint covers whatever else has been exposed meanwhile.
            takeQueuedExposes(e.window, found->second);
            fillMessage(msg, handleOf(e.window), WM_PAINT, 0);
            return TRUE;
        }
        if (event.type == DestroyNotify && windows.count(event.xdestroywindow.window)) {
            fillMessage(msg, handleOf(event.xdestroywindow.window), WM_DESTROY, 0);
            return TRUE;
        }
        if (event.type == ConfigureNotify) {
            auto found = windows.find(event.xconfigure.window);
            if (found != windows.end()) {
                found->second.width = event.xconfigure.width;
                found->second.height = event.xconfigure.height;
            }
        }
    }
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg) return 0;
    WindowRecord* record = recordOf(msg->hwnd);
    if (!record) return 0;
    LRESULT result = record->procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    if (msg->message == WM_DESTROY) windows.erase(windowOf(msg->hwnd));
    return result;
}

LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM) { return 0; }

void PostQuitMessage(int exitCode) {
    quitPosted = true;
    quitCode = exitCode;
}

// The server has already filled exposed areas with the class background, so
// there is nothing left to erase. Drawing is clipped to the areas exposed
// since the last paint, or covers the whole window when nothing was exposed.
HDC BeginPaint(HWND handle, PAINTSTRUCT* paint) {
    WindowRecord* record = recordOf(handle);
    if (!record || !paint || connectionLost) return nullptr;
    *paint = PAINTSTRUCT{};
    Window window = windowOf(handle);
    GC gc = XCreateGC(display, window, 0, nullptr);
    RECT bounds{0, 0, record->width, record->height};
    if (!record->exposed.empty()) {
        bounds = RECT{record->width, record->height, 0, 0};
        for (const XRectangle& r : record->exposed) {
            bounds.left = std::min<LONG>(bounds.left, r.x);
            bounds.top = std::min<LONG>(bounds.top, r.y);
            bounds.right = std::max<LONG>(bounds.right, r.x + r.width);
            bounds.bottom = std::max<LONG>(bounds.bottom, r.y + r.height);
        }
        XSetClipRectangles(display, gc, 0, 0, record->exposed.data(), static_cast<int>(record->exposed.size()),
                           Unsorted);
        record->exposed.clear();
    }
    paint->hdc = new HDC__{window, gc, record->visual, record->colormap};
    paint->fErase = FALSE;
    paint->rcPaint = bounds;
    return paint->hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* paint) {
    if (!paint || !paint->hdc) return FALSE;
    if (!connectionLost) {
        XFreeGC(display, paint->hdc->gc);
        XFlush(display);
    }
    delete paint->hdc;
    return TRUE;
}

BOOL SetPixelV(HDC dc, int x, int y, COLORREF colour) {
    if (!dc || connectionLost) return FALSE;
    XSetForeground(display, dc->gc, pixelOf(dc->visual, dc->colormap, colour));
    XDrawPoint(display, dc->window, dc->gc, x, y);
    return TRUE;
}
