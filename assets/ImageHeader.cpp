#include "assets/ImageHeader.h"

#include "assets/ByteReader.h"

#include <cstdlib>
#include <cstring>

namespace {

// Big-endian fields of PNG and JPEG headers; little-endian ones come from
// ByteReader.h.
std::uint32_t loadUint32BE(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}
std::uint32_t loadUint16BE(const unsigned char* p) { return (std::uint32_t(p[0]) << 8) | p[1]; }

bool startsWith(const unsigned char* data, std::size_t size, const char* magic, std::size_t n) {
    return size >= n && std::memcmp(data, magic, n) == 0;
}

ImageHeader make(ImageFormat format, std::int64_t width, std::int64_t height) {
    ImageHeader h;
    h.format = format;
    h.width = width;
    h.height = height;
    return h;
}

// Signature, then the IHDR chunk: length 13, "IHDR", width and height as
// big-endian 32-bit values.
ImageHeader readPng(const unsigned char* data, std::size_t size) {
    if (size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0) return {};
    return make(ImageFormat::Png, loadUint32BE(data + 16), loadUint32BE(data + 20));
}

// "BM", the 14-byte file header, then the info header whose first field is its
// own size. The 12-byte OS/2 header holds 16-bit sides; every later kind
// holds signed 32-bit ones, a negative height meaning rows stored top first.
ImageHeader readBmp(const unsigned char* data, std::size_t size) {
    if (size < 18) return {};
    const std::uint32_t infoSize = loadUint32LE(data + 14);
    if (infoSize == 12) {
        if (size < 22) return {};
        return make(ImageFormat::Bmp, loadUint16LE(data + 18), loadUint16LE(data + 20));
    }
    if (infoSize < 16 || size < 26) return {};
    return make(ImageFormat::Bmp, std::llabs(std::int64_t{loadInt32LE(data + 18)}),
                std::llabs(std::int64_t{loadInt32LE(data + 22)}));
}

// Markers after SOI until the first start-of-frame segment, whose payload is
// precision, height, width (big-endian 16-bit). DHT (C4), JPG (C8) and DAC
// (CC) share the SOF range but are not frames.
ImageHeader readJpeg(const unsigned char* data, std::size_t size) {
    std::size_t at = 2;
    while (at + 1 < size) {
        if (data[at] != 0xFF) return {};
        const unsigned char marker = data[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        at += 2;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // no payload
        if (marker == 0xD9 || marker == 0xDA) return {};  // image ends, or data starts, without a frame
        if (at + 2 > size) return {};
        const std::uint32_t length = loadUint16BE(data + at);
        if (length < 2) return {};
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 7 || at + 7 > size) return {};
            return make(ImageFormat::Jpeg, loadUint16BE(data + at + 5), loadUint16BE(data + at + 3));
        }
        at += length;
    }
    return {};
}

}  // namespace

ImageHeader readImageHeader(const unsigned char* data, std::size_t size) {
    if (!data) return {};
    if (startsWith(data, size, "\x89PNG\r\n\x1a\n", 8)) return readPng(data, size);
    if (startsWith(data, size, "BM", 2)) return readBmp(data, size);
    if (startsWith(data, size, "\xFF\xD8", 2)) return readJpeg(data, size);
    return {};
}
