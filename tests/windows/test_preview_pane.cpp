// The preview pane on Windows, in one process: Wine does not show one
// process's painting in another's window, so this test plays the settings
// page itself. It gives runPreview a window of its own as the pane, reads the
// child window's pixels back through GDI once it has been painted, then
// destroys the pane, which must end runPreview with 0.
#include "app/Preview.h"
#include "settings/RegistryValue.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kWidth = 152;
constexpr int kHeight = 112;

struct Observed {
    HWND child = nullptr;
    RECT client{};
    int checked = 0;
    int wrong = 0;
    std::string firstWrong;
    int ticks = 0;
};
Observed seen;
SDL_Surface* expected = nullptr;
HWND pane = nullptr;

COLORREF expectedAt(int x, int y) {
    const auto* row = static_cast<const Uint8*>(expected->pixels) + y * expected->pitch;
    Uint32 pixel = 0;
    const int bytes = expected->format->BytesPerPixel;
    for (int i = 0; i < bytes; ++i) pixel |= static_cast<Uint32>(row[x * bytes + i]) << (8 * i);
    Uint8 r, g, b;
    SDL_GetRGB(pixel, expected->format, &r, &g, &b);
    return RGB(r, g, b);
}

// Runs inside runPreview's message loop: once the child window is there,
// compares every pixel it shows with the picture, then closes the pane.
void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD) {
    ++seen.ticks;
    seen.child = FindWindowExA(pane, nullptr, "Quorvane", nullptr);
    if (!seen.child && seen.ticks < 100) return;
    if (seen.child) {
        GetClientRect(seen.child, &seen.client);
        HDC dc = GetDC(seen.child);
        for (int y = 0; y < kHeight && y < expected->h; ++y) {
            for (int x = 0; x < kWidth && x < expected->w; ++x) {
                const COLORREF got = GetPixel(dc, x, y);
                ++seen.checked;
                if (got != expectedAt(x, y) && seen.wrong++ == 0) {
                    seen.firstWrong = "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
                }
            }
        }
        ReleaseDC(seen.child, dc);
    }
    DestroyWindow(pane);
}

LRESULT CALLBACK paneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

TEST(PreviewPane, ChildWindowShowsThePicturesExactColoursAndEndsWithItsParent) {
    // The default preview picture, beside this program as beside the screensaver.
    expected = SDL_LoadBMP(pathSetting.getWithSuffix("preview.ppk").c_str());
    ASSERT_NE(expected, nullptr) << SDL_GetError();
    ASSERT_GE(expected->w, kWidth);
    ASSERT_GE(expected->h, kHeight);

    WNDCLASSA paneClass{};
    paneClass.lpfnWndProc = paneProc;
    paneClass.hInstance = GetModuleHandleA(nullptr);
    paneClass.lpszClassName = "PreviewPaneTest";
    ASSERT_NE(RegisterClassA(&paneClass), 0);
    pane = CreateWindowExA(0, "PreviewPaneTest", "pane", WS_POPUP | WS_VISIBLE, 40, 40, 200, 150, nullptr, nullptr,
                           paneClass.hInstance, nullptr);
    ASSERT_NE(pane, nullptr);
    ASSERT_NE(SetTimer(nullptr, 0, 300, onTimer), 0u);

    const int result = runPreview(GetModuleHandleA(nullptr), static_cast<int32_t>(reinterpret_cast<INT_PTR>(pane)));

    EXPECT_EQ(result, 0);
    ASSERT_NE(seen.child, nullptr) << "no child window of class Quorvane under the pane";
    EXPECT_EQ(seen.client.right - seen.client.left, kWidth);
    EXPECT_EQ(seen.client.bottom - seen.client.top, kHeight);
    EXPECT_EQ(seen.checked, kWidth * kHeight);
    EXPECT_EQ(seen.wrong, 0) << "first wrong pixel at " << seen.firstWrong;
    EXPECT_FALSE(IsWindow(seen.child));
    SDL_FreeSurface(expected);
}
