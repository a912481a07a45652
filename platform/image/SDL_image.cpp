// IMG_Load_RW over stb_image: the stream is read whole, the picture's cost is
// bounded from its headers, and stb decodes from memory into pixels that are
// copied into a new SDL surface.
#include "SDL_image.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "assets/ByteReader.h"

namespace {

// The largest single allocation the picture being decoded may make; stb's
// allocations go through these two. A damaged zlib stream in a PNG can ask
// for ever more output (stb doubles its buffer up to 4 GiB), which this
// bound turns into a refusal.
std::size_t allocationLimit = 0;
constexpr std::size_t kHeaderScanBytes = 1u << 20;

void* boundedMalloc(std::size_t size) { return size <= allocationLimit ? std::malloc(size) : nullptr; }
void* boundedRealloc(void* block, std::size_t size) {
    return size <= allocationLimit ? std::realloc(block, size) : nullptr;
}

}  // namespace

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_MALLOC(size) boundedMalloc(size)
#define STBI_REALLOC(block, size) boundedRealloc(block, size)
#define STBI_FREE(block) std::free(block)
#include <stb/stb_image.h>

namespace {

using Bytes = std::vector<unsigned char>;

// The rest of the stream from its current position, or false when it holds
// more than kMaxEncodedBytes or a read fails.
bool readRest(SDL_RWops* src, Bytes& out) {
    constexpr int kChunk = 64 * 1024;
    for (;;) {
        const std::size_t at = out.size();
        if (at > static_cast<std::size_t>(kMaxEncodedBytes)) return false;
        out.resize(at + kChunk);
        const int got = SDL_RWread(src, out.data() + at, 1, kChunk);
        if (got < 0) return false;
        out.resize(at + static_cast<std::size_t>(got));
        if (got == 0) return true;
    }
}

// Everything the largest picture of that size needs in one block: PNG's
// inflated rows at 16 bits and four channels, doubled when stb grows the
// buffer of an interlaced one; JPEG's coefficient planes, padded to whole
// 32-pixel blocks; the decoded pixels. Plus the encoded data itself, which
// PNG gathers from its IDAT chunks (doubling as it grows).
std::size_t allocationLimitFor(int width, int height, std::size_t encodedBytes) {
    const std::size_t w = static_cast<std::size_t>(width) + 32;
    const std::size_t h = static_cast<std::size_t>(height) + 32;
    return 16 * w * h + 2 * encodedBytes + (1u << 20);
}

bool isJpeg(const Bytes& b) { return b.size() >= 2 && b[0] == 0xFF && b[1] == 0xD8; }
bool isBmp(const Bytes& b) { return b.size() >= 2 && b[0] == 'B' && b[1] == 'M'; }

// An upper bound of the scans stb decodes: the start-of-scan markers of the
// marker structure, where each scan's entropy-coded data runs to the first
// 0xFF byte followed by neither 0x00 (a stuffed byte) nor a restart marker.
// stb stops at the first marker it does not know, so it never sees more.
long long jpegScans(const Bytes& b) {
    long long scans = 0;
    std::size_t at = 2;
    while (at + 1 < b.size()) {
        if (b[at] != 0xFF) return scans;
        const unsigned char marker = b[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        at += 2;
        if (marker == 0xD9) return scans;                                    // end of image
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // no length field
        if (at + 2 > b.size()) return scans;
        at += (std::size_t(b[at]) << 8) | b[at + 1];
        if (marker != 0xDA) continue;
        ++scans;
        while (at + 1 < b.size() && !(b[at] == 0xFF && b[at + 1] != 0 && !(b[at + 1] >= 0xD0 && b[at + 1] <= 0xD7)))
            ++at;
    }
    return scans;
}

// A BMP without compression (or with bit fields) must hold every pixel row
// its header declares; stb would decode the missing ones as black.
bool bmpHoldsItsRows(const Bytes& b) {
    if (b.size() < 30) return false;
    const std::uint32_t pixelOffset = loadUint32LE(&b[10]);
    const std::uint32_t infoSize = loadUint32LE(&b[14]);
    std::uint64_t width, height, bitsPerPixel;
    std::uint32_t compression = 0;
    if (infoSize == 12) {
        width = loadUint16LE(&b[18]);
        height = loadUint16LE(&b[20]);
        bitsPerPixel = loadUint16LE(&b[24]);
    } else {
        if (b.size() < 34) return false;
        width = static_cast<std::uint64_t>(std::llabs(loadInt32LE(&b[18])));
        height = static_cast<std::uint64_t>(std::llabs(loadInt32LE(&b[22])));
        bitsPerPixel = loadUint16LE(&b[28]);
        compression = loadUint32LE(&b[30]);
    }
    if (compression != 0 && compression != 3) return true;  // stb refuses the rest itself
    const std::uint64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    return pixelOffset + rowBytes * height <= b.size();
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

SDL_Surface* decode(const Bytes& bytes) {
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(kMaxEncodedBytes)) {
        SDL_SetError("IMG_Load_RW: no picture, or one larger than %ld bytes", kMaxEncodedBytes);
        return nullptr;
    }
    const int size = static_cast<int>(bytes.size());
    int width = 0, height = 0, fileChannels = 0;
    // The header scan allocates only a JPEG decoder's small state.
    allocationLimit = kHeaderScanBytes;
    const bool known = stbi_info_from_memory(bytes.data(), size, &width, &height, &fileChannels) != 0;
    allocationLimit = 0;
    if (!known) {
        SDL_SetError("IMG_Load_RW: not a PNG, JPEG or BMP picture, or a damaged one (%s)", stbi_failure_reason());
        return nullptr;
    }
    if (isBmp(bytes) && !bmpHoldsItsRows(bytes)) {
        SDL_SetError("IMG_Load_RW: the BMP picture is shorter than its rows");
        return nullptr;
    }
    const long long pixels = static_cast<long long>(width) * height;
    if (isJpeg(bytes) && (jpegScans(bytes) + 1) * pixels > kMaxJpegScanPixels) {
        // Every scan is decoded over the whole picture, and a progressive
        // one is finished in one more pass: a few bytes per scan can cost
        // seconds each.
        SDL_SetError("IMG_Load_RW: the JPEG picture has too many scans for its size");
        return nullptr;
    }

    allocationLimit = allocationLimitFor(width, height, bytes.size());
    // Every picture is decoded to R, G, B, A (grey repeated into R, G and B)
    // and keeps its alpha when the file has alpha: the channel count that
    // decoding reports counts a PNG's tRNS chunk as alpha for every colour
    // type. (stb's header scan counts it for paletted PNGs only, so a grey or
    // RGB PNG's transparent colour would be lost going by that.)
    unsigned char* rgba = stbi_load_from_memory(bytes.data(), size, &width, &height, &fileChannels, 4);
    allocationLimit = 0;
    if (!rgba) {
        SDL_SetError("IMG_Load_RW: a damaged picture (%s)", stbi_failure_reason());
        return nullptr;
    }
    const bool alpha = fileChannels == 2 || fileChannels == 4;
    SDL_Surface* surface = toSurface(rgba, width, height, alpha ? 4 : 3);
    STBI_FREE(rgba);
    if (!surface) SDL_SetError("IMG_Load_RW: no memory for a %dx%d picture", width, height);
    return surface;
}

}  // namespace

extern "C" SDL_Surface* IMG_Load_RW(SDL_RWops* src, int freesrc) {
    if (!src) {
        SDL_SetError("IMG_Load_RW: no stream to read");
        return nullptr;
    }
    Bytes bytes;
    SDL_Surface* surface = nullptr;
    if (readRest(src, bytes)) {
        surface = decode(bytes);
    } else {
        SDL_SetError("IMG_Load_RW: the stream could not be read, or holds more than %ld bytes", kMaxEncodedBytes);
    }
    if (freesrc) SDL_RWclose(src);
    return surface;
}
