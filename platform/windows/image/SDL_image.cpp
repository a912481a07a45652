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

SDL_Surface* toSurface(const unsigned char* pixels, int width, int height, int channels) {
    const Uint32 alphaMask = channels == 4 ? maskOfByte(3) : 0;
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, channels * 8, maskOfByte(0),
                                                maskOfByte(1), maskOfByte(2), alphaMask);
    if (!surface) return nullptr;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
    auto* out = static_cast<unsigned char*>(surface->pixels);
    for (int y = 0; y < height; ++y) {
        std::memcpy(out + static_cast<std::size_t>(y) * static_cast<std::size_t>(surface->pitch),
                    pixels + static_cast<std::size_t>(y) * rowBytes, rowBytes);
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
    const int start = SDL_RWtell(src);
    int width = 0, height = 0, channels = 0;
    SDL_Surface* surface = nullptr;
    // Grey becomes RGB and grey + alpha RGBA, so every result has the same
    // byte order; stb reports the file's own channel count without decoding.
    if (stbi_info_from_callbacks(&callbacks, src, &width, &height, &channels)) {
        const int wanted = (channels == 2 || channels == 4) ? 4 : 3;
        SDL_RWseek(src, start, RW_SEEK_SET);
        if (unsigned char* pixels = stbi_load_from_callbacks(&callbacks, src, &width, &height, &channels, wanted)) {
            surface = toSurface(pixels, width, height, wanted);
            stbi_image_free(pixels);
            if (!surface) SDL_SetError("IMG_Load_RW: no memory for a %dx%d picture", width, height);
        } else {
            SDL_SetError("IMG_Load_RW: %s", stbi_failure_reason());
        }
    } else {
        SDL_SetError("IMG_Load_RW: not a PNG, JPEG or BMP picture (%s)", stbi_failure_reason());
    }
    if (freesrc) SDL_RWclose(src);
    return surface;
}
