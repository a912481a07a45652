// Preview-file bytes -> loadPreviewPicture. An accepted picture is 24-bit and
// at most 2048 pixels a side; the caller frees it.
#include "app/Preview.h"
#include "fuzz/FuzzSupport.h"

#include <SDL.h>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SDL_Surface* picture = loadPreviewPicture(data, size);
    if (!picture) return 0;
    const SDL_PixelFormat* f = picture->format;
    // Blue, green, red in memory: blue is the lowest byte of a little-endian pixel.
    const bool blueFirst = SDL_BYTEORDER == SDL_LIL_ENDIAN ? f->Bmask == 0x0000FF && f->Rmask == 0xFF0000
                                                           : f->Bmask == 0xFF0000 && f->Rmask == 0x0000FF;
    fuzzCheck(f->BitsPerPixel == 24 && f->BytesPerPixel == 3 && f->Gmask == 0x00FF00 && blueFirst,
              "24-bit pixels, blue, green, red in memory");
    fuzzCheck(picture->w <= 2048 && picture->h <= 2048, "sides up to 2048");
    SDL_FreeSurface(picture);
    return 0;
}
