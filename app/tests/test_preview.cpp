// The preview window against a real X server: the window layer's class and
// window rules, its message loop, and what previewWindowProc paints into a
// child of a parent window the test makes over its own connection.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <string>

#include "app/Preview.h"
#include "settings/RegistryValue.h"
#include "tests/e2e/preview_patterns.h"

using namespace previewcheck;

namespace {

HWND handleOf(Window window) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window)); }

WNDCLASSEXA previewClass(const char* name) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.lpfnWndProc = previewWindowProc;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_SCROLLBAR + 1));
    windowClass.lpszClassName = name;
    return windowClass;
}

// GetMessageA blocks; a message that never comes ends the test run with a
// message instead of a silent hang.
void onMessageTimeout(int) {
    const char text[] = "test_preview: no message within 20 s\n";
    (void)!write(2, text, sizeof text - 1);
    _exit(1);
}

// A destroyed window's id: a parent that does not exist.
Window staleWindow(Display* display) {
    Window gone = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XDestroyWindow(display, gone);
    XSync(display, False);
    return gone;
}

// Each test gets a fresh parent with the preview's child window in it.
class PreviewWindow : public ::testing::Test {
protected:
    static Display* display;
    static std::string picturePath;

    static void SetUpTestSuite() {
        display = XOpenDisplay(nullptr);
        // The test's registry file names a directory of its own; never write
        // a picture beside the executable.
        ASSERT_TRUE(pathSetting.hasData());
        std::filesystem::create_directories(pathSetting.get());
        picturePath = pathSetting.getWithSuffix("preview.ppk");
        WNDCLASSEXA windowClass = previewClass("PreviewTest");
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
    }

    void SetUp() override {
        ASSERT_NE(display, nullptr);
        std::remove(picturePath.c_str());
        parent = createParent(display, 10, 10);
        child = CreateWindowExA(0, "PreviewTest", "PreviewTest", WS_CHILD | WS_VISIBLE, 0, 0, kChildWidth,
                                kChildHeight, handleOf(parent), nullptr, nullptr, nullptr);
        ASSERT_NE(child, nullptr);
    }

    // Destroying the parent destroys the child: its WM_DESTROY posts the quit
    // message, which ends the message loop with code 0.
    void TearDown() override {
        if (!child) return;
        XDestroyWindow(display, parent);
        XSync(display, False);
        MSG msg = waitFor(WM_DESTROY);
        DispatchMessageA(&msg);
        EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
        EXPECT_EQ(msg.wParam, 0u);
    }

    // Runs the message loop until message arrives for the child.
    MSG waitFor(UINT message) {
        signal(SIGALRM, onMessageTimeout);
        alarm(20);
        MSG msg{};
        while (GetMessageA(&msg, nullptr, 0, 0)) {
            if (msg.hwnd == child && msg.message == message) break;
            DispatchMessageA(&msg);
        }
        alarm(0);
        if (msg.message != message) ADD_FAILURE() << "the message loop ended before message " << message;
        return msg;
    }

    // Hides and shows the parent, as a covering window would; the child is
    // exposed and cleared by the server and must paint itself again.
    void exposeAndRepaint() {
        XUnmapWindow(display, parent);
        XMapWindow(display, parent);
        XSync(display, False);
        MSG msg = waitFor(WM_PAINT);
        DispatchMessageA(&msg);
    }

    std::string shows(const std::string& pattern, int width, int height) {
        return waitForParent(display, parent, pattern, width, height, 10000);
    }

    Window parent = 0;
    HWND child = nullptr;
};

Display* PreviewWindow::display = nullptr;
std::string PreviewWindow::picturePath;

// Sizes and depths of pictures are covered end to end; here the paint
// requests themselves.
TEST_F(PreviewWindow, EveryExposureRepaintsFromTheFileAsItIsThen) {
    // The first paint comes from UpdateWindow, before any message is read.
    ASSERT_TRUE(writePicture(picturePath, "gradient", 152, 112));
    ASSERT_TRUE(UpdateWindow(child));
    ASSERT_EQ(shows("gradient", 152, 112), "");

    ASSERT_TRUE(writePicture(picturePath, "alternate", 152, 112));
    exposeAndRepaint();
    EXPECT_EQ(shows("alternate", 152, 112), "");

    // The file is gone: the paint leaves the server's background.
    std::remove(picturePath.c_str());
    exposeAndRepaint();
    EXPECT_EQ(shows("none", 0, 0), "");

    // A file that is not a bitmap is no picture either.
    std::FILE* junk = std::fopen(picturePath.c_str(), "wb");
    ASSERT_NE(junk, nullptr);
    std::fputs("BM not really a bitmap", junk);
    std::fclose(junk);
    exposeAndRepaint();
    EXPECT_EQ(shows("none", 0, 0), "");
}

TEST_F(PreviewWindow, SetPixelVTakesRedInTheLowByte) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(child, &paint);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(paint.rcPaint.right, 152);
    EXPECT_EQ(paint.rcPaint.bottom, 112);
    EXPECT_TRUE(SetPixelV(dc, 3, 4, 0x00102030));
    EXPECT_TRUE(EndPaint(child, &paint));
    XImage* image = nullptr;
    Rgb got{};
    for (int attempt = 0; attempt < 500 && got != Rgb{0x30, 0x20, 0x10}; ++attempt) {
        image = XGetImage(display, parent, 3, 4, 1, 1, AllPlanes, ZPixmap);
        ASSERT_NE(image, nullptr);
        got = decodePixel(image, XGetPixel(image, 0, 0));
        XDestroyImage(image);
    }
    EXPECT_EQ(got, (Rgb{0x30, 0x20, 0x10}));
}

TEST(PreviewWindowLayer, RefusesWhatWindowsRefuses) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);

    WNDCLASSEXA windowClass = previewClass("LayerTest");
    windowClass.cbSize = sizeof(WNDCLASSEXA) - 1;
    EXPECT_EQ(RegisterClassExA(&windowClass), 0) << "wrong structure size";
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    EXPECT_NE(RegisterClassExA(&windowClass), 0);
    EXPECT_EQ(RegisterClassExA(&windowClass), 0) << "the same class twice";

    Window parent = createParent(display, 300, 10);
    EXPECT_EQ(CreateWindowExA(0, "LayerTest", "", WS_CHILD, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
              nullptr)
        << "a child window without parent";
    EXPECT_EQ(CreateWindowExA(0, "LayerTest", "", WS_CHILD, 0, 0, 10, 10, handleOf(staleWindow(display)), nullptr,
                              nullptr, nullptr),
              nullptr)
        << "a parent that does not exist";
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_CHILD, 0, 0, 10, 10, handleOf(parent), nullptr, nullptr,
                              nullptr),
              nullptr)
        << "a class that was never registered";
    HWND negative = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-5));
    EXPECT_EQ(CreateWindowExA(0, "LayerTest", "", WS_CHILD, 0, 0, 10, 10, negative, nullptr, nullptr, nullptr),
              nullptr)
        << "a negative handle";

    // The layer is still usable after those errors: a good parent works.
    HWND child = CreateWindowExA(0, "LayerTest", "", WS_CHILD, 0, 0, 10, 10, handleOf(parent), nullptr, nullptr,
                                 nullptr);
    EXPECT_NE(child, nullptr);
    // Not visible, so never exposed: no paint is sent.
    EXPECT_TRUE(UpdateWindow(child));

    XDestroyWindow(display, parent);
    XSync(display, False);
    MSG msg{};
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.hwnd, child);
    EXPECT_EQ(msg.message, WM_DESTROY);
    DispatchMessageA(&msg);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
    XCloseDisplay(display);
}

// Registers the preview's own class, which a process can do only once.
TEST(RunPreview, EndsAtOnceWhenTheWindowCannotBeMade) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    Window gone = staleWindow(display);
    auto result = std::async(std::launch::async, [gone] { return runPreview(nullptr, static_cast<int32_t>(gone)); });
    if (result.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        ADD_FAILURE() << "runPreview is still waiting for a window that does not exist";
        std::_Exit(1);
    }
    EXPECT_EQ(result.get(), 0);
    EXPECT_EQ(previewParent, handleOf(gone));
    EXPECT_EQ(previewWindow, nullptr);
    XCloseDisplay(display);
}

}  // namespace

TEST(PreviewPicture, HeadersDeclaringHugePicturesAreRefusedBeforeDecoding) {
    const std::string path = testing::TempDir() + "preview_picture.bmp";
    ASSERT_TRUE(writePicture(path, "gradient", kChildWidth, kChildHeight));
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());

    SDL_Surface* picture = loadPreviewPicture(good.data(), good.size());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->w, kChildWidth);
    EXPECT_EQ(picture->format->BitsPerPixel, 24);
    SDL_FreeSurface(picture);

    // The same file claiming 30000 x 30000 pixels: 2.7 GB before a pixel is read.
    std::vector<unsigned char> huge = good;
    for (int at : {18, 22}) huge[at] = 0x30, huge[at + 1] = 0x75, huge[at + 2] = 0, huge[at + 3] = 0;
    // The 29-byte OS/2 form of the same claim.
    const std::vector<unsigned char> os2 = {'B', 'M', 29, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0, 12,
                                            0,   0,   0,  0x30, 0x75, 0x30, 0x75, 1, 0, 24, 0, 0, 0, 0};
    const std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const std::vector<unsigned char>* refused[] = {&huge, &os2, &png};
    for (const auto* bytes : refused) EXPECT_EQ(loadPreviewPicture(bytes->data(), bytes->size()), nullptr);
    EXPECT_EQ(loadPreviewPicture(nullptr, 0), nullptr);
}
