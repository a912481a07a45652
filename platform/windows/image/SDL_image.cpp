// IMG_Load_RW over stb_image: the stream is read through stb's callbacks, and
// the decoded pixels are copied into a new SDL surface.
#include "SDL_image.h"

#include <cstring>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#include <stb/stb_image.h>

namespace {

int readStream(void* user, char* data, int size) {
    const int got = SDL_RWread(static_cast<SDL_RWops*>(user), data, 1, size);
    return got < 0 ? 0 : got;
}

void skipStream(void* user, int n) { SDL_RWseek(static_cast<SDL_RWops*>(user), n, RW_SEEK_CUR); }

// stb asks whether the data has ended; a stream that gives no more bytes has.
int streamEnded(void* user) {
    auto* stream = static_cast<SDL_RWops*>(user);
    char probe;
    if (SDL_RWread(stream, &probe, 1, 1) != 1) return 1;
    SDL_RWseek(stream, -1, RW_SEEK_CUR);
    return 0;
}

// The mask selecting byte `index` of a pixel in memory, whatever the byte order.
Uint32 maskOfByte(int index) {
    unsigned char bytes[4] = {0, 0, 0, 0};
    bytes[index] = 0xFF;
    Uint32 mask;
    std::memcpy(&mask, bytes, sizeof mask);
    return mask;
}

// A new surface of `channels` (3 or 4) bytes per pixel from pixels of bytes
// R, G, B, A: the alpha byte is dropped for 3.
SDL_Surface* toSurface(const unsigned char* rgba, int width, int height, int channels) {
    const Uint32 alphaMask = channels == 4 ? maskOfByte(3) : 0;
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, channels * 8, maskOfByte(0),
                                                maskOfByte(1), maskOfByte(2), alphaMask);
    if (!surface) return nullptr;
    const std::size_t w = static_cast<std::size_t>(width);
    for (int y = 0; y < height; ++y) {
        const unsigned char* in = rgba + static_cast<std::size_t>(y) * w * 4;
        auto* out = static_cast<unsigned char*>(surface->pixels) +
                    static_cast<std::size_t>(y) * static_cast<std::size_t>(surface->pitch);
        if (channels == 4) {
            std::memcpy(out, in, w * 4);
        } else {
            for (std::size_t x = 0; x < w; ++x) std::memcpy(out + x * 3, in + x * 4, 3);
        }
    }
    return surface;
}

}  // namespace

extern "C" SDL_Surface* IMG_Load_RW(SDL_RWops* src, int freesrc) {
    if (!src) {
        SDL_SetError("IMG_Load_RW: no stream to read");
        return nullptr;
    }
    stbi_io_callbacks callbacks{readStream, skipStream, streamEnded};
    int width = 0, height = 0, fileChannels = 0;
    SDL_Surface* surface = nullptr;
    // Every picture is decoded to R, G, B, A (grey repeated into R, G and B)
    // and keeps its alpha when the file has alpha: the channel count that
    // decoding reports counts a PNG's tRNS chunk as alpha for every colour
    // type. (stb's header scan, stbi_info, counts it for paletted PNGs only,
    // so a grey or RGB PNG's transparent colour would be lost going by it.)
    if (unsigned char* pixels = stbi_load_from_callbacks(&callbacks, src, &width, &height, &fileChannels, 4)) {
        const bool alpha = fileChannels == 2 || fileChannels == 4;
        surface = toSurface(pixels, width, height, alpha ? 4 : 3);
        stbi_image_free(pixels);
        if (!surface) SDL_SetError("IMG_Load_RW: no memory for a %dx%d picture", width, height);
    } else {
        const char* reason = stbi_failure_reason();
        SDL_SetError("IMG_Load_RW: not a PNG, JPEG or BMP picture, or a damaged one (%s)",
                     reason ? reason : "no reason given");
    }
    if (freesrc) SDL_RWclose(src);
    return surface;
}
