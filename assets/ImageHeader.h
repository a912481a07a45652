// The pixel size an encoded image declares in its header, read without
// decoding it, so that a picture or texture too large to use is refused
// before a decoder allocates memory for it.
//
//   ImageHeader header = readImageHeader(bytes, size);
//   if (!header.fits(1024)) return nullptr;  // unknown format, or too big
//   SDL_Surface* s = IMG_Load_RW(SDL_RWFromConstMem(bytes, size), 1);
//
// Known formats are PNG, JPEG and BMP (Windows and OS/2 headers), the ones
// the image decoder (platform/image) takes. Any other or truncated data is
// ImageFormat::Unknown with a size of 0 x 0.
#pragma once

#include <cstddef>
#include <cstdint>

enum class ImageFormat { Unknown, Png, Jpeg, Bmp };

struct ImageHeader {
    ImageFormat format = ImageFormat::Unknown;
    // Declared sides in pixels; 64 bits so that the magnitude of any 32-bit
    // field (a top-down BMP stores a negative height) is exact.
    std::int64_t width = 0;
    std::int64_t height = 0;

    // A known format whose sides are both within 1..maxSide.
    bool fits(std::int64_t maxSide) const {
        return format != ImageFormat::Unknown && width >= 1 && height >= 1 && width <= maxSide &&
               height <= maxSide;
    }
};

ImageHeader readImageHeader(const unsigned char* data, std::size_t size);
