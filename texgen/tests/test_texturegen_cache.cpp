#include "texgen/TexturegenCache.h"

#include "tests/doubles/fake_clock.h"
#include "tests/doubles/gl_recorder.h"
#include "texgen/Plasma.h"
#include "texgen/tests/PlasmaReference.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

class TexturegenCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        glrec::reset();
        fakeclock::set(0);
    }
    // The cache never frees its generators; the test does, to stay leak-free.
    void TearDown() override {
        for (Texturegen* g : cache.generators) delete g;
    }

    const Plasma& plasma(std::size_t i) {
        const auto* p = dynamic_cast<const Plasma*>(cache.generators.at(i));
        EXPECT_NE(p, nullptr);
        return *p;
    }
    std::array<int, 3> colour(std::size_t i) {
        const Plasma& p = plasma(i);
        return {p.baseColour[0], p.baseColour[1], p.baseColour[2]};
    }

    TexturegenCache cache;
};

TEST_F(TexturegenCacheTest, SameSpecSharesOneGenerator) {
    const std::uint32_t first = cache.getTexture("##Plasma64x64:1:2:3");
    EXPECT_NE(first, 0u);
    EXPECT_EQ(cache.getTexture("##Plasma64x64:1:2:3"), first);
    EXPECT_EQ(cache.generators.size(), 1u);
    EXPECT_EQ(cache.names, (std::vector<std::string>{"##Plasma64x64:1:2:3"}));
    EXPECT_EQ(glrec::count("glGenTextures"), 1u);
    // Creating a generator uploads nothing yet.
    EXPECT_TRUE(glrec::texImages().empty());
}

TEST_F(TexturegenCacheTest, SpecsDifferingInAnyCharacterMakeSeparateGenerators) {
    const char* specs[] = {"##Plasma64x64:1:2:3", "a#Plasma64x64:1:2:3", "#bPlasma64x64:1:2:3",
                           "##Plasma64x64:1:2:4", "##Plasma64 64:1:2:3"};
    std::vector<std::uint32_t> textures;
    for (const char* s : specs) textures.push_back(cache.getTexture(s));
    EXPECT_EQ(textures, (std::vector<std::uint32_t>{1, 2, 3, 4, 5}));
    ASSERT_EQ(cache.generators.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(cache.names[i], specs[i]);
        EXPECT_EQ(cache.generators[i]->getTextureId(), textures[i]);
    }
    // Asking again in another order finds the existing generators.
    for (int i = 4; i >= 0; --i) EXPECT_EQ(cache.getTexture(specs[i]), textures[i]);
    EXPECT_EQ(cache.generators.size(), 5u);
}

TEST_F(TexturegenCacheTest, ParsesSizeSeparatorAndColourWord) {
    cache.getTexture("##Plasma64x64:1:2:3");
    cache.getTexture("##Plasma64 64:1:2:3");
    cache.getTexture("##Plasma128x64,40,80,160");
    cache.getTexture("a#Plasma7*300  \t:9:8:7 trailing words");
    cache.getTexture("##Plasma8x8");  // no colour word: black
    ASSERT_EQ(cache.generators.size(), 5u);
    const std::vector<std::array<int, 2>> sizes = {{64, 64}, {64, 64}, {128, 64}, {7, 300}, {8, 8}};
    const std::vector<std::array<int, 3>> colours = {{1, 2, 3}, {1, 2, 3}, {40, 80, 160}, {9, 8, 7}, {0, 0, 0}};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ((std::array<int, 2>{plasma(i).width, plasma(i).height}), sizes[i]) << cache.names[i];
        EXPECT_EQ(colour(i), colours[i]) << cache.names[i];
    }
}

TEST_F(TexturegenCacheTest, UnusableSpecsGiveNoTextureAndKeepNothing) {
    const char* specs[] = {
        "",
        "#",
        "##",
        "##Plasma",              // no digit at all
        "##Plasmax:1:2:3",       // no digit at all
        "##Plasma64",            // no separator or height
        "##Plasma64x",           // no height
        "##Plasma64x:1:2:3",     // height not a number
        "##Noise64x64:1:2:3",    // unknown type
        "##plasma64x64:1:2:3",   // the type is case-sensitive
        "## Plasma64x64:1:2:3",  // the type includes the space
        "##Plasma0x64:1:2:3",
        "##Plasma64x0:1:2:3",
        "##Plasma64x-8:1:2:3",
        "##Plasma1025x1:1:2:3",
        "##Plasma1x1025:1:2:3",
        "##Plasma99999999999999999999x8:1:2:3",
    };
    for (const char* s : specs) {
        EXPECT_EQ(cache.getTexture(s), 0u) << '"' << s << '"';
    }
    EXPECT_EQ(cache.getTexture(nullptr), 0u);
    EXPECT_TRUE(cache.generators.empty());
    EXPECT_TRUE(cache.names.empty());
    EXPECT_TRUE(glrec::calls().empty());
    // The largest accepted side still works.
    EXPECT_NE(cache.getTexture("##Plasma1024x1:1:2:3"), 0u);
}

TEST_F(TexturegenCacheTest, GeneratorsShareOneTexelBudget) {
    // Forty different large specs, as one small hostile mesh entry can name:
    // only what fits in the budget is made, the rest draws with texture 0.
    int made = 0;
    for (int i = 0; i < 40; ++i) {
        const std::string spec = "##Plasma1024x1024:" + std::to_string(i) + ":0:0";
        made += cache.getTexture(spec.c_str()) != 0;
        EXPECT_LE(cache.totalTexels(), TexturegenCache::kMaxTotalTexels);
    }
    EXPECT_EQ(made, 4);
    EXPECT_EQ(cache.totalTexels(), TexturegenCache::kMaxTotalTexels);
    EXPECT_EQ(cache.getTexture("##Plasma1x1:1:2:3"), 0u);          // full: nothing more fits
    EXPECT_EQ(cache.getTexture("##Plasma1024x1024:0:0:0"), 1u);  // known specs still answer
    EXPECT_EQ(cache.generators.size(), 4u);
}

TEST_F(TexturegenCacheTest, UpdateReadsTheClockOnceAndRepaintsInCreationOrder) {
    const std::uint32_t a = cache.getTexture("##Plasma16x8:10:20:30");
    const std::uint32_t b = cache.getTexture("##Plasma17x33,200,100,50");
    glrec::reset();
    // 2^32 - 5 ticks reach the generators as the signed value -5; 2^31 as INT32_MIN.
    for (std::uint32_t ticks : {1000u, 4294967291u, 2147483648u}) {
        fakeclock::set(ticks);
        glrec::reset();
        cache.update();
        EXPECT_EQ(fakeclock::reads(), 1u);
        const auto& images = glrec::texImages();
        ASSERT_EQ(images.size(), 2u);
        EXPECT_EQ(images[0].texture, a);
        EXPECT_EQ(images[1].texture, b);
        const std::int32_t t = static_cast<std::int32_t>(ticks);
        EXPECT_EQ(images[0].rgba, plasmaref::image(16, 8, plasma(0).baseColour, t)) << ticks;
        EXPECT_EQ(images[1].rgba, plasmaref::image(17, 33, plasma(1).baseColour, t)) << ticks;
    }
}

TEST_F(TexturegenCacheTest, UpdateWithoutGeneratorsOnlyReadsTheClock) {
    fakeclock::set(500);
    cache.update();
    EXPECT_EQ(fakeclock::reads(), 1u);
    EXPECT_TRUE(glrec::calls().empty());
}

}  // namespace
