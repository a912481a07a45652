// The preview window: class, child window, message loop and painting.
#include "app/Preview.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "assets/ImageHeader.h"
#include "settings/RegistryValue.h"

HWND previewParent = nullptr;
HWND previewWindow = nullptr;

namespace {

constexpr int kPreviewWidth = 152;
constexpr int kPreviewHeight = 112;
// The pane shows 152 x 112 pixels and clips the rest; pictures up to this
// side (12 MiB at 24 bits) are still read, larger ones are refused.
constexpr std::int64_t kMaxPictureSide = 2048;
// A file of that size at 32 bits, with its headers and palette, fits.
constexpr std::streamoff kMaxPictureFileBytes = 20 * 1024 * 1024;

// SDL's 24-bit layout: the bytes blue, green, red in memory.
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
constexpr Uint32 kRedMask = 0x00FF0000, kGreenMask = 0x0000FF00, kBlueMask = 0x000000FF;
#else
constexpr Uint32 kRedMask = 0x000000FF, kGreenMask = 0x0000FF00, kBlueMask = 0x00FF0000;
#endif

bool isBlueGreenRed(const SDL_PixelFormat* format) {
    return format->BitsPerPixel == 24 && format->BytesPerPixel == 3 && format->Rmask == kRedMask &&
           format->Gmask == kGreenMask && format->Bmask == kBlueMask;
}

// The bytes of the picture file, or nothing when it is missing, unreadable,
// empty or larger than any picture the pane can use.
std::vector<unsigned char> readPictureFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (!in || size <= 0 || size > kMaxPictureFileBytes) return {};
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (in.gcount() != static_cast<std::streamsize>(size)) return {};
    return bytes;
}

// Sets the window's pixels one by one from the picture at its top-left
// corner. Pixels beyond the window would be clipped, so the loops stop at
// the window's edges.
void paintPicture(HDC dc, SDL_Surface* picture) {
    if (SDL_MUSTLOCK(picture) && SDL_LockSurface(picture) != 0) return;
    const Uint8* pixels = static_cast<const Uint8*>(picture->pixels);
    const int height = std::min(picture->h, kPreviewHeight);
    const int width = std::min(picture->w, kPreviewWidth);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Uint8* p = pixels + y * picture->pitch + 3 * x;
            SetPixelV(dc, x, y, static_cast<COLORREF>(p[2] | (p[1] << 8) | (p[0] << 16)));
        }
    }
    if (SDL_MUSTLOCK(picture)) SDL_UnlockSurface(picture);
}

void paint(HWND window) {
    PAINTSTRUCT paintStruct{};
    HDC dc = BeginPaint(window, &paintStruct);
    const std::vector<unsigned char> file = readPictureFile(pathSetting.getWithSuffix("preview.ppk"));
    SDL_Surface* picture = loadPreviewPicture(file.data(), file.size());
    // A missing or unreadable picture paints nothing; the background stays.
    if (dc && picture && picture->pixels) paintPicture(dc, picture);
    EndPaint(window, &paintStruct);
    if (picture) SDL_FreeSurface(picture);
}

}  // namespace

SDL_Surface* loadPreviewPicture(const unsigned char* data, std::size_t size) {
    const ImageHeader header = readImageHeader(data, size);
    if (header.format != ImageFormat::Bmp || !header.fits(kMaxPictureSide) || size > INT_MAX) return nullptr;
    // Decoded by the same decoder as the textures, not SDL's own BMP reader:
    // one decoder, compiled into the program, reads every picture the same
    // way on every system (SDL 2 behind sdl12-compat reads RLE-compressed
    // BMPs, the classic SDL 1.2 of the Windows build refuses them; both
    // refuse them now) and is the one the fuzz targets see inside.
    SDL_Surface* picture = IMG_Load_RW(SDL_RWFromConstMem(data, static_cast<int>(size)), 1);
    if (!picture || isBlueGreenRed(picture->format)) return picture;
    SDL_Surface* layout = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 24, kRedMask, kGreenMask, kBlueMask, 0);
    SDL_Surface* converted = layout ? SDL_ConvertSurface(picture, layout->format, SDL_SWSURFACE) : nullptr;
    if (layout) SDL_FreeSurface(layout);
    SDL_FreeSurface(picture);
    if (converted && !isBlueGreenRed(converted->format)) {
        SDL_FreeSurface(converted);
        return nullptr;
    }
    return converted;
}

LRESULT CALLBACK previewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        paint(window);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

int runPreview(HINSTANCE instance, int32_t parentHandle) {
    // A window handle is a 32-bit value, sign-extended as Windows does.
    previewParent = reinterpret_cast<HWND>(static_cast<intptr_t>(parentHandle));

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = previewWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_SCROLLBAR + 1));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = "Quorvane";
    if (!RegisterClassExA(&windowClass)) {
        std::fputs("dermo\n", stdout);
        std::fflush(stdout);
        return 0;
    }

    previewWindow = CreateWindowExA(0, "Quorvane", "Quorvane", WS_CHILD | WS_VISIBLE, 0, 0, kPreviewWidth,
                                    kPreviewHeight, previewParent, nullptr, instance, nullptr);
    // Without a window no quit message would ever come: end at once.
    if (!previewWindow) return 0;
    UpdateWindow(previewWindow);

    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
