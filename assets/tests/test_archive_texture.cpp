#include "assets/Archive.h"
#include "assets/tests/ImageBytes.h"
#include "assets/tests/TempDir.h"
#include "tests/doubles/gl_recorder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<unsigned char>;

// 3 x 2 pixels, odd width so that a padded row would show.
const Bytes kRgba = {255, 0,   0,  255, 0,  255, 0,  128, 0,  0,  255, 0,  //
                     10,  20,  30, 40,  50, 60,  70, 80,  90, 100, 110, 230};

std::vector<std::string> uploadCalls(unsigned texture, int w, int h) {
    const std::string tex = std::to_string(texture);
    return {"glGetIntegerv(3379)",
            "glGenTextures(1)",
            "glBindTexture(3553, " + tex + ")",
            "glTexImage2D(3553, 0, 6408, " + std::to_string(w) + ", " + std::to_string(h) + ", 0, 6408, 5121)",
            "glTexEnvi(8960, 8704, 8448)",
            "glTexParameteri(3553, 10241, 9729)",
            "glTexParameteri(3553, 10240, 9729)"};
}

void addBytes(Archive& pak, const char* name, const Bytes& bytes) {
    ASSERT_TRUE(pak.addMemory(name, bytes.data(), static_cast<std::int32_t>(bytes.size())));
}

class ArchiveTexture : public ::testing::Test {
protected:
    void SetUp() override { glrec::reset(); }
};

}  // namespace

TEST_F(ArchiveTexture, RgbaImageUploadsOnceWithTheFixedCallsAndTopRowFirst) {
    Archive pak;
    addBytes(pak, "other", Bytes{1, 2, 3});
    addBytes(pak, "img.png", encodePng(3, 2, 4, kRgba));

    EXPECT_EQ(pak.getTexture("img.png"), 1u);
    EXPECT_EQ(glrec::texts(), uploadCalls(1, 3, 2));
    ASSERT_EQ(glrec::texImages().size(), 1u);
    EXPECT_EQ(glrec::texImages()[0].texture, 1u);
    EXPECT_EQ(glrec::texImages()[0].rgba, kRgba);
    EXPECT_EQ(pak.textureSlotAt(1), 1u);
    EXPECT_EQ(pak.textureSlotAt(0), 0u);

    glrec::reset();
    EXPECT_EQ(pak.getTexture("img.png"), 1u);  // remembered: no decoding, no GL call
    EXPECT_TRUE(glrec::calls().empty());
}

TEST_F(ArchiveTexture, OtherPixelLayoutsAreConvertedToRgbaBytes) {
    TempDir tmp;
    // Grey and RGB PNGs decode to 8- and 24-bit surfaces.
    const Bytes grey = {0, 100, 200, 255, 7, 77};
    Bytes rgb;
    for (std::size_t i = 0; i < kRgba.size(); i += 4) rgb.insert(rgb.end(), &kRgba[i], &kRgba[i] + 3);
    Bytes expectGrey, expectRgb;
    for (unsigned char g : grey) expectGrey.insert(expectGrey.end(), {g, g, g, 255});
    for (std::size_t i = 0; i < kRgba.size(); i += 4)
        expectRgb.insert(expectRgb.end(), {kRgba[i], kRgba[i + 1], kRgba[i + 2], 255});

    // A 24-bit BMP stores B, G, R; an 8-bit one a palette index per pixel.
    SDL_Surface* bgr = SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 2, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    ASSERT_NE(bgr, nullptr);
    for (int i = 0; i < 6; ++i) {
        SDL_Rect r{Sint16(i % 3), Sint16(i / 3), 1, 1};
        SDL_FillRect(bgr, &r, SDL_MapRGB(bgr->format, rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]));
    }
    SDL_Surface* indexed = SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 2, 8, 0, 0, 0, 0);
    ASSERT_NE(indexed, nullptr);
    SDL_Color palette[3] = {{200, 10, 20, 0}, {30, 40, 250, 0}, {0, 0, 0, 0}};
    SDL_SetColors(indexed, palette, 0, 3);
    const Uint8 indices[6] = {0, 1, 2, 2, 1, 0};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) static_cast<Uint8*>(indexed->pixels)[y * indexed->pitch + x] = indices[y * 3 + x];
    Bytes expectIndexed;
    for (Uint8 i : indices) expectIndexed.insert(expectIndexed.end(), {palette[i].r, palette[i].g, palette[i].b, 255});

    Archive pak;
    addBytes(pak, "grey", encodePng(3, 2, 1, grey));
    addBytes(pak, "rgb", encodePng(3, 2, 3, rgb));
    addBytes(pak, "bgr", encodeBmp(bgr, tmp.file("bgr.bmp")));
    addBytes(pak, "indexed", encodeBmp(indexed, tmp.file("indexed.bmp")));
    SDL_FreeSurface(bgr);
    SDL_FreeSurface(indexed);

    const std::pair<const char*, const Bytes*> cases[] = {
        {"grey", &expectGrey}, {"rgb", &expectRgb}, {"bgr", &expectRgb}, {"indexed", &expectIndexed}};
    unsigned texture = 0;
    for (const auto& [name, expected] : cases) {
        SCOPED_TRACE(name);
        glrec::reset();
        const std::uint32_t got = pak.getTexture(name);
        EXPECT_EQ(got, 1u);
        EXPECT_EQ(glrec::texts(), uploadCalls(1, 3, 2));
        ASSERT_EQ(glrec::texImages().size(), 1u);
        EXPECT_EQ(glrec::texImages()[0].rgba, *expected);
        texture += got;
    }
    EXPECT_EQ(texture, 4u);
}

TEST_F(ArchiveTexture, MissingAndUndecodableEntriesGiveZeroAndNoTexture) {
    Archive pak;
    addBytes(pak, "junk", Bytes{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
    addBytes(pak, "empty", Bytes{});
    addBytes(pak, "img", encodePng(3, 2, 4, kRgba));

    EXPECT_EQ(pak.getTexture("absent"), 0u);
    EXPECT_EQ(pak.getTexture("junk"), 0u);
    EXPECT_EQ(pak.getTexture("junk"), 0u);  // tried again, fails again
    EXPECT_EQ(pak.getTexture("empty"), 0u);
    EXPECT_TRUE(glrec::calls().empty());
    for (std::size_t i = 0; i < pak.entryCount(); ++i) EXPECT_EQ(pak.textureSlotAt(i), 0u);

    EXPECT_EQ(pak.getTexture("img"), 1u);  // a failure leaves no trace behind
}

TEST_F(ArchiveTexture, ImagesDeclaringMoreThanTheLimitsAreRefusedBeforeDecoding) {
    // A PNG whose header claims 30000 x 30000 pixels: decoding it would
    // allocate 3.6 GB before reading a pixel.
    Bytes huge = encodePng(3, 2, 4, kRgba);
    for (int at : {16, 20}) huge[at + 2] = 0x75, huge[at + 3] = 0x30;
    // A portable pixmap and a well-formed white 1 x 1 GIF: formats whose
    // size is not read ahead are refused before any decoder sees them.
    const std::string pnmHead = "P6\n3 2\n255\n";
    Bytes pnm(pnmHead.begin(), pnmHead.end());
    pnm.resize(pnm.size() + 18, 0x80);
    const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255,
                       0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0, 0x3B};

    Archive pak;
    addBytes(pak, "huge", huge);
    addBytes(pak, "pnm", pnm);
    addBytes(pak, "gif", gif);
    addBytes(pak, "img", encodePng(3, 2, 4, kRgba));
    EXPECT_EQ(pak.getTexture("huge"), 0u);
    EXPECT_EQ(pak.getTexture("pnm"), 0u);
    EXPECT_EQ(pak.getTexture("gif"), 0u);
    EXPECT_TRUE(glrec::calls().empty());

    glrec::setMaxTextureSize(2);  // what this OpenGL takes is less than the image's width
    EXPECT_EQ(pak.getTexture("img"), 0u);
    EXPECT_EQ(glrec::texts(), std::vector<std::string>{"glGetIntegerv(3379)"});
    glrec::setMaxTextureSize(3);
    EXPECT_EQ(pak.getTexture("img"), 1u);
}

TEST_F(ArchiveTexture, OnlyTheFirstOfSameNamedEntriesIsDecoded) {
    Archive pak;
    addBytes(pak, "tex", encodePng(3, 2, 4, kRgba));
    addBytes(pak, "tex", encodePng(1, 1, 4, Bytes{1, 2, 3, 4}));
    addBytes(pak, "second", encodePng(1, 1, 4, Bytes{5, 6, 7, 8}));

    EXPECT_EQ(pak.getTexture("tex"), 1u);
    EXPECT_EQ(pak.getTexture("second"), 2u);
    EXPECT_EQ(pak.getTexture("tex"), 1u);
    EXPECT_EQ(glrec::count("glTexImage2D"), 2u);
    EXPECT_EQ(glrec::texImages()[0].width, 3);
    EXPECT_EQ(pak.textureSlotAt(1), 0u);
    EXPECT_EQ(pak.textureSlotAt(2), 2u);
}

TEST_F(ArchiveTexture, ImagesPastTheArchivesTexelTotalAreRefusedBeforeDecoding) {
    // 4096 x 4096 transparent pixels compress to a few kilobytes: a small
    // archive of such images would otherwise take 128 MiB each (the decoded
    // picture and OpenGL's copy).
    constexpr int kSide = 4096;
    const std::vector<unsigned char> bomb =
        encodePng(kSide, kSide, 4, std::vector<unsigned char>(std::size_t{kSide} * kSide * 4, 0));
    const std::vector<unsigned char> small = encodePng(1, 1, 4, {1, 2, 3, 4});
    Archive pak;
    const char* names[] = {"a", "b", "c", "d", "e"};
    for (const char* name : names) ASSERT_TRUE(pak.addMemory(name, bomb.data(), static_cast<std::int32_t>(bomb.size())));
    ASSERT_TRUE(pak.addMemory("small", small.data(), static_cast<std::int32_t>(small.size())));

    ASSERT_EQ(Archive::kMaxTotalTextureTexels, 4 * std::int64_t{kSide} * kSide);  // four of them fill it
    for (const char* name : names) {
        glrec::reset();  // drops the recorder's copy of the previous upload
        const std::uint32_t texture = pak.getTexture(name);
        EXPECT_EQ(texture != 0, name[0] != 'e') << name;
    }
    EXPECT_EQ(pak.textureTexels(), Archive::kMaxTotalTextureTexels);
    EXPECT_EQ(pak.getTexture("small"), 0u);  // nothing is left, not even for one texel
    EXPECT_EQ(pak.getTexture("a"), 1u);      // textures already made still answer
}
