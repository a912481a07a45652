// IMG_Load_RW over stb_image: the stream is read whole, the picture's cost is
// bounded from its headers, and stb decodes from memory into pixels that are
// copied into a new SDL surface.
#include "SDL_image.h"

#include <algorithm>
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
#include "stb_image.h"  // Debian's, with the fixes of image.cmake

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

bool isPng(const Bytes& b) { return b.size() >= 8 && std::memcmp(b.data(), "\x89PNG\r\n\x1a\n", 8) == 0; }
bool isJpeg(const Bytes& b) { return b.size() >= 2 && b[0] == 0xFF && b[1] == 0xD8; }
bool isBmp(const Bytes& b) { return b.size() >= 2 && b[0] == 'B' && b[1] == 'M'; }

// A PNG's chunks as stb reads them: every chunk inside the file and IEND
// reached, and no empty IDAT chunk before the first one with data (stb 2.27
// copies zero bytes to a null pointer then). stb would refuse what breaks
// the first two rules on its own; checking them here keeps every picture
// whose chunks run past its end away from the decoder.
bool pngStructure(const Bytes& b) {
    std::size_t at = 8;
    bool data = false;
    while (at + 12 <= b.size()) {
        const std::uint64_t length = (std::uint64_t(b[at]) << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
        if (length > b.size() - at - 12) return false;
        const bool idat = std::memcmp(&b[at + 4], "IDAT", 4) == 0;
        if (idat && length == 0 && !data) return false;
        data = data || (idat && length > 0);
        if (std::memcmp(&b[at + 4], "IEND", 4) == 0) return true;
        at += 12 + length;
    }
    return false;
}

// The Huffman tables of a DHT segment's payload, added to the tables defined
// so far (a bit per table number, DC and AC apart). False unless each table
// has at most 256 codes and they fill the segment exactly: stb 2.27 writes
// past its tables for more codes than that.
bool readHuffmanTables(const unsigned char* p, std::size_t length, unsigned& dcTables, unsigned& acTables) {
    while (length > 0) {
        if (length < 17 || (p[0] >> 4) > 1 || (p[0] & 15) > 3) return false;
        std::size_t codes = 0;
        for (int i = 1; i <= 16; ++i) codes += p[i];
        if (codes > 256 || 17 + codes > length) return false;
        ((p[0] >> 4) == 0 ? dcTables : acTables) |= 1u << (p[0] & 15);
        p += 17 + codes;
        length -= 17 + codes;
    }
    return true;
}

// Whether the Huffman tables that a start-of-scan header's components name
// have all been defined: stb would decode with uninitialised ones. Baseline
// scans use both kinds; progressive DC scans (spectral start 0) the DC
// table, the others the AC table.
bool scanTablesDefined(const unsigned char* p, std::size_t length, bool progressive, unsigned dcTables,
                       unsigned acTables) {
    if (length < 1) return false;
    const std::size_t components = p[0];
    if (length < 1 + 2 * components + 3) return false;
    const bool dc = !progressive || p[1 + 2 * components] == 0;
    for (std::size_t i = 0; i < components; ++i) {
        const unsigned tables = p[2 + 2 * i];
        if (dc && !(dcTables >> (tables >> 4) & 1u)) return false;
        if (!(progressive && dc) && !(acTables >> (tables & 15) & 1u)) return false;
    }
    return true;
}

bool isFrame(unsigned char marker) { return marker == 0xC0 || marker == 0xC1 || marker == 0xC2; }
bool isRestart(unsigned char marker) { return marker >= 0xD0 && marker <= 0xD7; }
// Segments stb reads anywhere: Huffman and quantisation tables, the restart
// interval, application data and comments.
bool isTableOrData(unsigned char marker) {
    return marker == 0xC4 || marker == 0xDB || marker == 0xDD || (marker >= 0xE0 && marker <= 0xEF) || marker == 0xFE;
}

// Walks a JPEG's markers the way stb reads them, and is false for what stb
// would mishandle (see readHuffmanTables and scanTablesDefined). Before the
// frame header stb skips any bytes to find the next marker; after it, a byte
// where a marker belongs, or a marker it does not take, ends its reading. A
// scan's entropy-coded data runs to the first 0xFF (and any 0xFF fill) that
// is followed by neither 0x00 (a stuffed byte) nor a restart marker; stb
// never reads a scan further. `scans` counts the scans stb may decode.
bool jpegStructure(const Bytes& b, long long& scans) {
    scans = 0;
    bool frame = false, progressive = false;
    unsigned dcTables = 0, acTables = 0;
    const std::size_t end = b.size();
    std::size_t at = 2;
    for (;;) {
        if (at >= end) return true;
        if (b[at] != 0xFF) {
            if (frame) return true;
            while (at < end && b[at] != 0xFF) ++at;
            continue;
        }
        while (at < end && b[at] == 0xFF) ++at;
        if (at >= end) return true;
        const unsigned char marker = b[at++];
        const bool scan = frame && marker == 0xDA;
        const bool takes = isTableOrData(marker) || (!frame && isFrame(marker)) || scan || (frame && marker == 0xDC);
        if (!takes || at + 2 > end) return true;  // the end of the image, or of what stb reads
        const std::size_t length = (std::size_t(b[at]) << 8) | b[at + 1];
        if (length < 2) return true;
        const unsigned char* payload = &b[at + 2];
        const std::size_t available = std::min(length - 2, end - (at + 2));
        if (marker == 0xC4 && !readHuffmanTables(payload, available, dcTables, acTables)) return false;
        if (scan && !scanTablesDefined(payload, available, progressive, dcTables, acTables)) return false;
        if (isFrame(marker)) {
            frame = true;
            progressive = marker == 0xC2;
        }
        at += length;
        if (!scan) continue;
        ++scans;
        while (at < end) {
            if (b[at] != 0xFF) {
                ++at;
                continue;
            }
            std::size_t code = at;
            while (code < end && b[code] == 0xFF) ++code;
            if (code >= end || (b[code] != 0 && !isRestart(b[code]))) break;
            at = code + 1;
        }
    }
}

// A BMP that is not RLE-compressed must hold every pixel row its header
// declares; stb would decode the missing ones as black.
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
    // stb refuses RLE; it takes any other value that is negative as a 32-bit
    // number for no compression.
    if (compression == 1 || compression == 2) return true;
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
    // What stb itself would mishandle, or read past the end of, is refused
    // before stb sees any of it (its header scan included).
    long long scans = 0;
    if ((isPng(bytes) && !pngStructure(bytes)) || (isJpeg(bytes) && !jpegStructure(bytes, scans)) ||
        (isBmp(bytes) && !bmpHoldsItsRows(bytes))) {
        SDL_SetError("IMG_Load_RW: a damaged picture (its structure runs past its end or is broken)");
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
    // Every scan is decoded over the whole picture, and a progressive one is
    // finished in one more pass: a few bytes per scan can cost seconds each.
    if (scans > kMaxJpegScans || (scans + 1) * width * height > kMaxJpegScanPixels) {
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
