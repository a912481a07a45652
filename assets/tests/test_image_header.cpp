#include "assets/ImageHeader.h"
#include "assets/tests/ImageBytes.h"
#include "assets/tests/TempDir.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A BMP file header and a Windows info header of `infoSize` bytes declaring
// w x h, with no pixels: what a hostile file can say in 54 bytes.
Bytes bmpHeader(std::int32_t w, std::int32_t h, std::uint32_t infoSize = 40) {
    Bytes b = {'B', 'M'};
    b.resize(14 + infoSize, 0);
    for (int i = 0; i < 4; ++i) {
        b[14 + i] = static_cast<unsigned char>(infoSize >> (8 * i));
        b[18 + i] = static_cast<unsigned char>(static_cast<std::uint32_t>(w) >> (8 * i));
        b[22 + i] = static_cast<unsigned char>(static_cast<std::uint32_t>(h) >> (8 * i));
    }
    return b;
}

}  // namespace

TEST(ImageHeader, DeclaredSizesAreReadFromEachKnownFormat) {
    TempDir tmp;
    const Bytes sdlBmp = blackBmp24(5, 3, tmp.file("s.bmp"));
    ASSERT_FALSE(sdlBmp.empty());

    // OS/2 header: 16-bit sides at 18 and 20, 29 bytes in all.
    Bytes os2 = {'B', 'M', 29, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0, 12, 0, 0, 0, 0x30, 0x75, 0x30, 0x75, 1, 0, 24, 0};
    os2.resize(29, 0);
    // JPEG: SOI, an APP0 segment, a DHT segment (in the frame range, not a
    // frame), then SOF2 with height 600 and width 800.
    const Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 'J', 'F', 0xFF, 0xC4, 0, 2,
                        0xFF, 0xFF, 0xC2, 0, 8, 8, 0x02, 0x58, 0x03, 0x20, 3};

    struct Case {
        const char* what;
        Bytes bytes;
        ImageFormat format;
        std::int64_t width, height;
    } cases[] = {
        {"png", encodePng(3, 2, 4, Bytes(24, 9)), ImageFormat::Png, 3, 2},
        {"bmp written by SDL", sdlBmp, ImageFormat::Bmp, 5, 3},
        {"bmp declaring 30000 x 30000", bmpHeader(30000, 30000), ImageFormat::Bmp, 30000, 30000},
        {"top-down bmp", bmpHeader(4, -7, 124), ImageFormat::Bmp, 4, 7},
        {"bmp of the smallest height", bmpHeader(1, INT32_MIN), ImageFormat::Bmp, 1, 2147483648},
        {"os/2 bmp", os2, ImageFormat::Bmp, 30000, 30000},
        {"jpeg", jpeg, ImageFormat::Jpeg, 800, 600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ImageHeader h = readImageHeader(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(h.format, c.format);
        EXPECT_EQ(h.width, c.width);
        EXPECT_EQ(h.height, c.height);
        // Every prefix cut inside the header is unknown, never read past.
        for (std::size_t n = 0; n + 1 < c.bytes.size() && n < 26; ++n) {
            const Bytes cut(c.bytes.begin(), c.bytes.begin() + static_cast<long>(n));
            const ImageHeader partial = readImageHeader(cut.data(), cut.size());
            if (partial.format != ImageFormat::Unknown) {
                EXPECT_EQ(partial.width, c.width) << n;
            }
        }
    }
}

TEST(ImageHeader, UnknownOrUnusableHeadersNeverFit) {
    const Bytes pnm = bytesOf("P6\n3 2\n255\n");
    const Bytes jpegWithoutFrame = {0xFF, 0xD8, 0xFF, 0xDA, 0, 2, 0xFF, 0xD9};
    const Bytes jpegZeroLength = {0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 0xFF, 0xC0, 0, 8, 8, 0, 1, 0, 1};
    const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0x3B};
    for (const Bytes* b : {&pnm, &jpegWithoutFrame, &jpegZeroLength, &gif}) {
        EXPECT_EQ(readImageHeader(b->data(), b->size()).format, ImageFormat::Unknown);
    }
    EXPECT_EQ(readImageHeader(nullptr, 10).format, ImageFormat::Unknown);

    const Bytes zeroWide = bmpHeader(0, 5), square = bmpHeader(64, 64);
    EXPECT_FALSE(readImageHeader(zeroWide.data(), zeroWide.size()).fits(100));
    EXPECT_TRUE(readImageHeader(square.data(), square.size()).fits(64));
    EXPECT_FALSE(readImageHeader(square.data(), square.size()).fits(63));
}
