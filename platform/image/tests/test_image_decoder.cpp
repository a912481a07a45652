// IMG_Load_RW (platform/image, over stb_image) against what Calvetrin expects
// of SDL_image: a software surface with bytes R, G, B (no alpha) or R, G, B, A
// in memory, NULL and a reason for what it cannot decode, and the stream
// closed exactly when freesrc is set; and the bounds on what a damaged or
// hostile picture can cost.
#include <gtest/gtest.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "assets/tests/ImageBytes.h"
#include "assets/tests/TempDir.h"

namespace {

using Bytes = std::vector<unsigned char>;

void put32be(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(value >> shift));
}

std::uint32_t crc32(Bytes::const_iterator begin, Bytes::const_iterator end) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (auto at = begin; at != end; ++at) {
        crc ^= *at;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void appendChunk(Bytes& png, const char* type, const Bytes& data) {
    put32be(png, static_cast<std::uint32_t>(data.size()));
    const auto start = static_cast<std::ptrdiff_t>(png.size());
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    put32be(png, crc32(png.begin() + start, png.end()));
}

std::uint32_t adler32(const Bytes& raw) {
    std::uint32_t a = 1, b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

// A zlib stream of `raw` (under 64 KiB) in one stored deflate block (the
// final one), with its Adler-32.
Bytes zlibStored(const Bytes& raw) {
    const auto n = static_cast<std::uint16_t>(raw.size());
    const auto notN = static_cast<std::uint16_t>(~n);
    Bytes out{0x78, 0x01, 1, std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(notN), std::uint8_t(notN >> 8)};
    out.resize(out.size() + raw.size());
    std::copy(raw.begin(), raw.end(), out.end() - static_cast<std::ptrdiff_t>(raw.size()));
    put32be(out, adler32(raw));
    return out;
}

// A zlib stream that inflates to `zeros` zero bytes (a multiple of 258, plus
// one) from about a twentieth of a byte each: one fixed-Huffman block of a
// literal 0 and then matches of length 258 at distance 1.
Bytes zlibOfZeros(std::size_t zeros) {
    Bytes out{0x78, 0x01};
    std::uint32_t bits = 0;
    int count = 0;
    // Deflate packs bits from the lowest up; Huffman codes go in from their
    // most significant bit.
    auto put = [&](std::uint32_t value, int n, bool huffman) {
        for (int i = 0; i < n; ++i) {
            const std::uint32_t bit = huffman ? (value >> (n - 1 - i)) & 1u : (value >> i) & 1u;
            bits |= bit << count;
            if (++count == 8) out.push_back(static_cast<unsigned char>(bits)), bits = 0, count = 0;
        }
    };
    put(1, 1, false);  // the final block
    put(1, 2, false);  // fixed Huffman codes
    put(0x30, 8, true);  // literal 0
    for (std::size_t made = 1; made + 258 <= zeros; made += 258) {
        put(0xC5, 8, true);  // length 258 (code 285)
        put(0, 5, true);     // distance 1
    }
    put(0, 7, true);  // end of block
    if (count > 0) out.push_back(static_cast<unsigned char>(bits));
    put32be(out, adler32(Bytes(1 + (zeros - 1) / 258 * 258, 0)));
    return out;
}

Bytes pngSignatureAndHeader(int width, int height, unsigned char colourType) {
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    put32be(header, width);
    put32be(header, height);
    header.insert(header.end(), {8, colourType, 0, 0, 0});  // depth, colour type, compression, filter, interlace
    appendChunk(png, "IHDR", header);
    return png;
}

// An 8-bit PNG of colour type `colourType` made by hand: IHDR, the chunks
// given (PLTE, tRNS) in order, one IDAT with the rows of `pixels` (top first,
// `bytesPerPixel` each, filter none) in a stored deflate block, and IEND.
Bytes handMadePng(int width, int height, unsigned char colourType, int bytesPerPixel, const Bytes& pixels,
                  const std::vector<std::pair<const char*, Bytes>>& chunks) {
    Bytes png = pngSignatureAndHeader(width, height, colourType);
    for (const auto& [type, data] : chunks) appendChunk(png, type, data);
    Bytes raw;
    const std::size_t rowBytes = static_cast<std::size_t>(width * bytesPerPixel);
    for (std::size_t at = 0; at < pixels.size(); at += rowBytes) {
        raw.push_back(0);
        raw.insert(raw.end(), pixels.begin() + at, pixels.begin() + at + rowBytes);
    }
    appendChunk(png, "IDAT", zlibStored(raw));
    appendChunk(png, "IEND", {});
    return png;
}

// The mask of byte `index` of a pixel in memory.
Uint32 byteMask(int index) {
    Uint32 mask = 0;
    reinterpret_cast<unsigned char*>(&mask)[index] = 0xFF;
    return mask;
}

SDL_Surface* decode(const Bytes& bytes) {
    return IMG_Load_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
}

bool decodes(const Bytes& bytes) {
    SDL_Surface* surface = decode(bytes);
    SDL_FreeSurface(surface);
    return surface != nullptr;
}

// The surface's pixels, packed, after checking its kind, size and format.
// Frees the surface.
Bytes pixelsOf(SDL_Surface* surface, int width, int height, int bytesPerPixel) {
    EXPECT_NE(surface, nullptr) << IMG_GetError();
    if (surface == nullptr) return {};
    EXPECT_EQ(surface->flags & SDL_HWSURFACE, 0u);
    EXPECT_EQ(surface->w, width);
    EXPECT_EQ(surface->h, height);
    const SDL_PixelFormat* format = surface->format;
    EXPECT_EQ(format->BytesPerPixel, bytesPerPixel);
    EXPECT_EQ((std::vector<Uint32>{format->Rmask, format->Gmask, format->Bmask, format->Amask}),
              (std::vector<Uint32>{byteMask(0), byteMask(1), byteMask(2), bytesPerPixel == 4 ? byteMask(3) : 0u}));
    Bytes out;
    for (int y = 0; y < surface->h; ++y) {
        const auto* row = static_cast<const unsigned char*>(surface->pixels) + y * surface->pitch;
        out.insert(out.end(), row, row + surface->w * format->BytesPerPixel);
    }
    SDL_FreeSurface(surface);
    return out;
}

// Closes of streams from countedStream, and SDL's own close of such a stream.
int closes = 0;
int (*sdlClose)(SDL_RWops*) = nullptr;

// An SDL_RWFromConstMem stream whose close is counted before SDL's own
// close frees it.
SDL_RWops* countedStream(const Bytes& bytes) {
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    sdlClose = stream->close;
    stream->close = [](SDL_RWops* self) {
        ++closes;
        return sdlClose(self);
    };
    return stream;
}

const Bytes kRgbaPixels{255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 12, 34, 56, 78};

TEST(ImageDecoder, PngsOfEveryDirectColourTypeGiveExactRgbOrRgbaBytes) {
    for (int channels = 1; channels <= 4; ++channels) {
        SCOPED_TRACE(channels);
        Bytes source;
        for (int i = 0; i < 3 * 2 * channels; ++i) source.push_back(static_cast<unsigned char>(i * 53 + 7));
        // Grey is repeated into R, G and B; alpha, where there is one, follows.
        const bool alpha = channels % 2 == 0;
        Bytes expected;
        for (int p = 0; p < 3 * 2; ++p) {
            const unsigned char* pixel = &source[p * channels];
            for (int c = 0; c < 3; ++c) expected.push_back(channels < 3 ? pixel[0] : pixel[c]);
            if (alpha) expected.push_back(pixel[channels - 1]);
        }
        EXPECT_EQ(pixelsOf(decode(encodePng(3, 2, channels, source)), 3, 2, alpha ? 4 : 3), expected);
    }
    // An alpha channel is kept even when every pixel is opaque.
    EXPECT_EQ(pixelsOf(decode(encodePng(1, 1, 4, {1, 2, 3, 255})), 1, 1, 4), (Bytes{1, 2, 3, 255}));
}

TEST(ImageDecoder, PalettedAndColourKeyedPngsTakeAlphaFromTrns) {
    const Bytes palette{255, 0, 0, 0, 128, 255, 10, 20, 30};
    const Bytes indices{0, 1, 2, 1, 2, 0};
    const Bytes plain = handMadePng(3, 2, 3, 1, indices, {{"PLTE", palette}});
    ASSERT_EQ(Bytes(plain.end() - 4, plain.end()), (Bytes{0xAE, 0x42, 0x60, 0x82}));  // IEND's well-known CRC
    EXPECT_EQ(pixelsOf(decode(plain), 3, 2, 3),
              (Bytes{255, 0, 0, 0, 128, 255, 10, 20, 30, 0, 128, 255, 10, 20, 30, 255, 0, 0}));
    // tRNS shorter than the palette: the entries after it are opaque.
    EXPECT_EQ(pixelsOf(decode(handMadePng(3, 2, 3, 1, indices, {{"PLTE", palette}, {"tRNS", {0, 100}}})), 3, 2, 4),
              (Bytes{255, 0, 0, 0, 0, 128, 255, 100, 10, 20, 30, 255,
                     0, 128, 255, 100, 10, 20, 30, 255, 255, 0, 0, 0}));
    // Grey and RGB with a tRNS colour (16-bit samples): that colour is transparent.
    EXPECT_EQ(pixelsOf(decode(handMadePng(2, 1, 0, 1, {7, 8}, {{"tRNS", {0, 7}}})), 2, 1, 4),
              (Bytes{7, 7, 7, 0, 8, 8, 8, 255}));
    EXPECT_EQ(pixelsOf(decode(handMadePng(2, 1, 2, 3, {1, 2, 3, 1, 2, 4}, {{"tRNS", {0, 1, 0, 2, 0, 3}}})), 2, 1, 4),
              (Bytes{1, 2, 3, 0, 1, 2, 4, 255}));
    const Bytes stream = zlibStored({'W', 'i', 'k', 'i', 'p', 'e', 'd', 'i', 'a'});
    EXPECT_EQ(Bytes(stream.end() - 4, stream.end()), (Bytes{0x11, 0xE6, 0x03, 0x98}));  // its known Adler-32
}

TEST(ImageDecoder, Bmp24AndJpegGiveRgbBytes) {
    const Bytes rgb{255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3, 200, 150, 100, 255, 255, 255};
    SDL_Surface* source = SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 2, 24, byteMask(0), byteMask(1), byteMask(2), 0);
    ASSERT_NE(source, nullptr);
    auto* rows = static_cast<unsigned char*>(source->pixels);
    for (int y = 0; y < 2; ++y) std::copy_n(&rgb[y * 9], 9, rows + y * source->pitch);
    TempDir dir;
    const Bytes bmp = encodeBmp(source, dir.file("scratch.bmp"));
    SDL_FreeSurface(source);
    ASSERT_FALSE(bmp.empty());
    EXPECT_EQ(pixelsOf(decode(bmp), 3, 2, 3), rgb);

    const Bytes colour{200, 100, 50};
    Bytes flat;
    for (int i = 0; i < 16 * 8; ++i) flat.insert(flat.end(), colour.begin(), colour.end());
    Bytes jpeg;
    ASSERT_TRUE(stbi_write_jpg_to_func(appendToVector, &jpeg, 16, 8, 3, flat.data(), 95));
    const Bytes decoded = pixelsOf(decode(jpeg), 16, 8, 3);
    ASSERT_EQ(decoded.size(), flat.size());
    for (std::size_t i = 0; i < decoded.size(); ++i) EXPECT_NEAR(decoded[i], flat[i], 8) << "byte " << i;
}

TEST(ImageDecoder, RefusesWhatItCannotDecodeWithAReason) {
    const Bytes png = encodePng(8, 8, 3, Bytes(8 * 8 * 3, 77));
    const Bytes gif{'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x80, 0, 0};
    for (const Bytes& bytes : {gif, Bytes(png.begin(), png.begin() + png.size() / 2), Bytes()}) {
        SCOPED_TRACE(bytes.size());
        SDL_ClearError();
        EXPECT_EQ(decode(bytes), nullptr);
        EXPECT_STRNE(IMG_GetError(), "");
    }
    SDL_ClearError();
    EXPECT_EQ(IMG_Load_RW(nullptr, 1), nullptr);
    EXPECT_STRNE(IMG_GetError(), "");
}

// A grey progressive JPEG of side x side pixels whose DC scans carry no data:
// one Huffman code of one bit (symbol 0) makes every block of every scan
// decode, at full cost, from the zero bits that follow the data. `dcCodes`
// other than 1 gives the DC table that many codes of 8 bits instead (0: no
// table at all); `junk` goes between the quantisation table and the Huffman
// table, which come before the frame.
Bytes progressiveJpeg(int side, int scans, int dcCodes = 1, const Bytes& junk = {}) {
    Bytes jpeg{0xFF, 0xD8};
    auto segment = [&jpeg](unsigned char marker, const Bytes& payload) {
        const std::size_t length = payload.size() + 2;
        jpeg.insert(jpeg.end(), {0xFF, marker, std::uint8_t(length >> 8), std::uint8_t(length)});
        jpeg.insert(jpeg.end(), payload.begin(), payload.end());
    };
    Bytes quantisation(65, 1);
    quantisation[0] = 0;
    segment(0xDB, quantisation);
    jpeg.insert(jpeg.end(), junk.begin(), junk.end());
    // DC table 0: how many codes of each length (1 to 16 bits), then a symbol
    // (0) per code. Up to 255 codes of 8 bits, the rest of 9.
    Bytes huffman(17, 0);
    if (dcCodes == 1) {
        huffman[1] = 1;
    } else {
        huffman[8] = static_cast<std::uint8_t>(std::min(dcCodes, 255));
        huffman[9] = static_cast<std::uint8_t>(std::max(dcCodes - 255, 0));
    }
    huffman.resize(17 + static_cast<std::size_t>(dcCodes), 0);
    if (dcCodes > 0) segment(0xC4, huffman);
    const auto hi = std::uint8_t(side >> 8), lo = std::uint8_t(side);
    segment(0xC2, {8, hi, lo, hi, lo, 1, 1, 0x11, 0});  // frame: 8 bits, one component
    for (int i = 0; i < scans; ++i) {
        segment(0xDA, {1, 1, 0, 0, 0, 0});  // a DC scan of the component
        jpeg.insert(jpeg.end(), {0, 0});
    }
    jpeg.insert(jpeg.end(), {0xFF, 0xD9});
    return jpeg;
}

// A 2 x 2 BMP of 8-bit palette indices, RLE-compressed.
Bytes rle8Bmp() {
    Bytes bmp{'B', 'M'};
    auto le = [&bmp](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) bmp.push_back(static_cast<unsigned char>(value >> (8 * i)));
    };
    const Bytes palette{0, 0, 0, 0, 255, 255, 255, 0};
    const Bytes runs{2, 1, 0, 0, 2, 0, 0, 1};  // two of index 1, end of line, two of index 0, end of picture
    le(14 + 40 + 8 + 8, 4), le(0, 4), le(14 + 40 + 8, 4);  // file size, reserved, pixel offset
    le(40, 4), le(2, 4), le(2, 4), le(1, 2), le(8, 2), le(1, 4), le(8, 4), le(0, 4), le(0, 4), le(2, 4), le(0, 4);
    bmp.insert(bmp.end(), palette.begin(), palette.end());
    bmp.insert(bmp.end(), runs.begin(), runs.end());
    return bmp;
}

TEST(ImageDecoder, RefusesPicturesWhoseDataRunsPastTheirEnd) {
    // A chunk declaring 16 MiB where the file ends after four bytes.
    Bytes png = pngSignatureAndHeader(2, 2, 2);
    put32be(png, 16767488);
    png.insert(png.end(), {'a', 'b', 'C', 'd', 1, 2, 3, 4});
    EXPECT_FALSE(decodes(png));

    // A BMP without its last row would decode with black in its place.
    SDL_Surface* source = SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 2, 24, byteMask(0), byteMask(1), byteMask(2), 0);
    ASSERT_NE(source, nullptr);
    TempDir dir;
    Bytes bmp = encodeBmp(source, dir.file("scratch.bmp"));
    SDL_FreeSurface(source);
    ASSERT_EQ(pixelsOf(decode(bmp), 3, 2, 3).size(), 18u);
    bmp.resize(bmp.size() - 1);
    EXPECT_FALSE(decodes(bmp));

    // RLE-compressed BMPs are refused, as SDL 1.2's own reader refuses them.
    EXPECT_FALSE(decodes(rle8Bmp()));
}

TEST(ImageDecoder, RefusesWhatTheDecoderWouldMishandle) {
    // stb 2.27 writes past its tables for a Huffman table of more than 256
    // codes, also when junk before the table hides it from a reader that
    // stops at the first byte out of place; and decodes with uninitialised
    // tables when a scan names one never defined.
    EXPECT_TRUE(decodes(progressiveJpeg(16, 1, 256)));
    EXPECT_FALSE(decodes(progressiveJpeg(16, 1, 257)));
    EXPECT_TRUE(decodes(progressiveJpeg(16, 1, 256, {0x12, 0x34, 0xFF, 0xFF})));
    EXPECT_FALSE(decodes(progressiveJpeg(16, 1, 257, {0x12, 0x34, 0xFF, 0xFF})));
    EXPECT_FALSE(decodes(progressiveJpeg(16, 1, 0)));
    // Refused as damaged before decoding, not by whatever stb's tables held.
    EXPECT_NE(std::string(IMG_GetError()).find("structure"), std::string::npos) << IMG_GetError();

    // An empty IDAT chunk before any data: stb copies nothing to a null pointer.
    Bytes png = pngSignatureAndHeader(1, 1, 0);
    appendChunk(png, "IDAT", {});
    appendChunk(png, "IDAT", zlibStored({0, 7}));
    appendChunk(png, "IEND", {});
    EXPECT_FALSE(decodes(png));

    // A BMP short of its rows whose compression, read as a signed number, is
    // negative: stb takes that for no compression.
    SDL_Surface* source = SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 2, 24, byteMask(0), byteMask(1), byteMask(2), 0);
    ASSERT_NE(source, nullptr);
    TempDir dir;
    Bytes bmp = encodeBmp(source, dir.file("scratch.bmp"));
    SDL_FreeSurface(source);
    ASSERT_GE(bmp.size(), 34u);
    bmp[33] = 0x89;
    EXPECT_TRUE(decodes(bmp));
    bmp.resize(bmp.size() - 1);
    EXPECT_FALSE(decodes(bmp));
}

TEST(ImageDecoder, BoundsTheWorkOfHostilePictures) {
    // 66049 zeros are exactly the rows of a 64 x 257 RGBA picture (a filter
    // byte and 256 bytes a row): the stream decodes...
    Bytes fits = pngSignatureAndHeader(64, 257, 6);
    appendChunk(fits, "IDAT", zlibOfZeros(66049));
    appendChunk(fits, "IEND", {});
    EXPECT_EQ(pixelsOf(decode(fits), 64, 257, 4), Bytes(64 * 257 * 4, 0));
    // ...but inflating 8 MiB for a 1 x 1 picture is refused, not worked through.
    Bytes bomb = pngSignatureAndHeader(1, 1, 6);
    appendChunk(bomb, "IDAT", zlibOfZeros(8u << 20));
    appendChunk(bomb, "IEND", {});
    EXPECT_FALSE(decodes(bomb));

    // Every scan of a JPEG costs a pass over the whole picture, from a few
    // bytes: up to 32 scans decode, and up to 2^28 pixels' worth.
    const Bytes tenScans = pixelsOf(decode(progressiveJpeg(512, 10)), 512, 512, 3);
    ASSERT_EQ(tenScans.size(), 512u * 512 * 3);
    EXPECT_EQ(tenScans[0], 128);  // a DC of 0 is mid-grey
    EXPECT_TRUE(decodes(progressiveJpeg(16, 32)));
    EXPECT_FALSE(decodes(progressiveJpeg(16, 33)));
    EXPECT_FALSE(decodes(progressiveJpeg(4096, 16)));  // 17 passes over 16 Mi pixels
}

TEST(ImageDecoder, ReadsFromTheCurrentPositionAndClosesTheStreamExactlyWhenFreesrcIsSet) {
    const Bytes png = encodePng(2, 2, 4, kRgbaPixels);
    Bytes bytes{'j', 'u', 'n', 'k', '!'};
    bytes.insert(bytes.end(), png.begin(), png.end());
    closes = 0;
    SDL_RWops* stream = countedStream(bytes);
    ASSERT_EQ(SDL_RWseek(stream, 5, RW_SEEK_SET), 5);
    EXPECT_EQ(pixelsOf(IMG_Load_RW(stream, 0), 2, 2, 4), kRgbaPixels);
    ASSERT_EQ(closes, 0);  // left open, and still usable: it decodes again
    ASSERT_EQ(SDL_RWseek(stream, 5, RW_SEEK_SET), 5);
    EXPECT_EQ(pixelsOf(IMG_Load_RW(stream, 1), 2, 2, 4), kRgbaPixels);
    EXPECT_EQ(closes, 1);

    // The same when decoding fails.
    const Bytes gif{'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0};
    stream = countedStream(gif);
    EXPECT_EQ(IMG_Load_RW(stream, 0), nullptr);
    ASSERT_EQ(closes, 1);
    EXPECT_GE(SDL_RWtell(stream), 0);
    EXPECT_EQ(IMG_Load_RW(stream, 1), nullptr);
    EXPECT_EQ(closes, 2);
}

}  // namespace
