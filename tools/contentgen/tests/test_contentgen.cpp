// The generated content as the screensaver will meet it: the archive loads,
// the three mesh entries are well formed, every texture name resolves, the
// shapes fit the scene, the output is reproducible and the preview picture
// shows something.
#include "app/SceneAssembly.h"
#include "assets/Archive.h"
#include "tools/contentgen/Output.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <cstdlib>
#include <stdlib.h>

namespace {


std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string makeTempDir() {
    char pattern[] = "/tmp/contentgen-test-XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir ? dir : "";
}

// A mesh record as read back from entry bytes, independently of the writer.
struct ReadMesh {
    std::string texture;
    std::vector<double> positions;
    std::vector<double> texCoords;
};

std::int32_t le32(const unsigned char* p) {
    return static_cast<std::int32_t>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                                     std::uint32_t(p[3]) << 24);
}

// Reads a mesh entry; fails the test on any malformation, including bytes left
// over after the last record.
std::vector<ReadMesh> readEntry(EntryBytes bytes) {
    std::vector<ReadMesh> meshes;
    const unsigned char* p = bytes.data;
    const unsigned char* end = bytes.data + bytes.size;
    auto need = [&](std::ptrdiff_t n) { return end - p >= n; };
    if (!need(1)) return ADD_FAILURE() << "empty entry", meshes;
    if (*p++ == 0xFF) p += 4;
    if (!need(4)) return ADD_FAILURE() << "no mesh count", meshes;
    const std::int32_t count = le32(p);
    p += 4;
    EXPECT_GT(count, 0);
    for (std::int32_t k = 0; k < count; ++k) {
        if (!need(4)) return ADD_FAILURE() << "truncated name length", meshes;
        const std::int32_t nameLength = le32(p);
        p += 4;
        if (nameLength < 3 || !need(nameLength + 5)) return ADD_FAILURE() << "bad name length", meshes;
        const void* nul = std::memchr(p, 0, size_t(nameLength));
        if (!nul) return ADD_FAILURE() << "texture name without NUL", meshes;
        ReadMesh mesh;
        mesh.texture = reinterpret_cast<const char*>(p);
        p += nameLength;
        const std::int32_t triangles = le32(p);
        p += 5;  // count and reserved byte
        if (triangles <= 0 || !need(std::ptrdiff_t(triangles) * 120)) return ADD_FAILURE() << "bad count", meshes;
        mesh.positions.resize(size_t(triangles) * 9);
        std::memcpy(mesh.positions.data(), p, size_t(triangles) * 72);
        p += std::ptrdiff_t(triangles) * 72;
        mesh.texCoords.resize(size_t(triangles) * 6);
        std::memcpy(mesh.texCoords.data(), p, size_t(triangles) * 48);
        p += std::ptrdiff_t(triangles) * 48;
        meshes.push_back(std::move(mesh));
    }
    EXPECT_EQ(p, end) << "bytes after the last mesh record";
    return meshes;
}

bool powerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

// Checks a generator spec the way the generator cache reads it: two marker
// characters, "Plasma", width, one separator, height, then ":r:g:b".
void expectPlasmaSpec(const std::string& name) {
    const char* p = name.c_str() + 2;
    ASSERT_EQ(std::strncmp(p, "Plasma", 6), 0) << name;
    p += 6;
    char* after = nullptr;
    const long width = std::strtol(p, &after, 10);
    ASSERT_NE(after, p) << name;
    ASSERT_NE(*after, '\0') << name;
    p = after + 1;
    const long height = std::strtol(p, &after, 10);
    ASSERT_NE(after, p) << name;
    EXPECT_TRUE(powerOfTwo(int(width)) && powerOfTwo(int(height))) << name;
    p = after;
    for (int component = 0; component < 3; ++component) {
        ASSERT_EQ(*p, ':') << name;
        const long value = std::strtol(p + 1, &after, 10);
        ASSERT_NE(after, p + 1) << name;
        EXPECT_TRUE(value >= 0 && value <= 255) << name;
        p = after;
    }
    EXPECT_EQ(*p, '\0') << name;
}

TEST(PlasmaTextures, NameAndImageCarryTheSameParameters) {
    const contentgen::ContentPlasma plasma = contentgen::makePlasma('x', 64, 32, 40, 80, 160);
    EXPECT_EQ(plasma.name, "x#Plasma64x32:40:80:160");
    const contentgen::Image image = contentgen::plasmaImage(plasma, 0);
    ASSERT_EQ(image.width, 64);
    ASSERT_EQ(image.height, 32);
    // At time 0 the corner texel lies on the grid: base + 8 with green 127.
    EXPECT_EQ(std::vector<int>(image.at(0, 0), image.at(0, 0) + 4), (std::vector<int>{48, 127, 168, 255}));
}

class GeneratedContent : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = makeTempDir();
        ASSERT_FALSE(dir_.empty());
        ASSERT_TRUE(contentgen::writeContent(dir_));
    }
    static std::string dir_;
};
std::string GeneratedContent::dir_;

TEST_F(GeneratedContent, EntriesAreValidMeshesWhoseTexturesResolve) {
    Archive archive((dir_ + "/main.pak").c_str());
    bool alphaTestedImage = false, blendedImage = false, plasma = false;
    for (const char* entryName : {"sn1", "sn11", "sn12"}) {
        SCOPED_TRACE(entryName);
        const EntryBytes bytes = archive.getEntry(entryName);
        ASSERT_NE(bytes.data, nullptr);
        const std::vector<ReadMesh> meshes = readEntry(bytes);
        ASSERT_GE(meshes.size(), 2u);
        size_t triangles = 0;
        for (const ReadMesh& mesh : meshes) {
            SCOPED_TRACE(mesh.texture);
            triangles += mesh.positions.size() / 9;
            for (double v : mesh.positions) ASSERT_TRUE(std::isfinite(v));
            for (double v : mesh.texCoords) ASSERT_TRUE(std::isfinite(v));
            ASSERT_GE(mesh.texture.size(), 2u);
            if (mesh.texture[1] == '#') {
                expectPlasmaSpec(mesh.texture);
                plasma = true;
                continue;
            }
            const EntryBytes image = archive.getEntry(mesh.texture.c_str());
            ASSERT_NE(image.data, nullptr) << "no image entry";
            SDL_RWops* rw = SDL_RWFromConstMem(image.data, image.size);
            SDL_Surface* surface = IMG_Load_RW(rw, 1);
            ASSERT_NE(surface, nullptr) << IMG_GetError();
            EXPECT_TRUE(powerOfTwo(surface->w) && powerOfTwo(surface->h));
            ASSERT_EQ(surface->format->BitsPerPixel, 32);
            EXPECT_EQ(surface->pitch, surface->w * 4);
            // Bytes in memory must be red, green, blue, alpha.
            const std::uint32_t red = 0xFF, alpha = 0xFFu << 24;
            EXPECT_EQ(surface->format->Rmask, red);
            EXPECT_EQ(surface->format->Amask, alpha);
            int passing = 0, below = 0;
            const auto* px = static_cast<const unsigned char*>(surface->pixels);
            for (int i = 0; i < surface->w * surface->h; ++i) (px[i * 4 + 3] >= 230 ? passing : below)++;
            const bool blend = mesh.texture[1] == '$';
            if (blend) {
                // The additive blend keeps the background's share alpha: anything
                // but opaque would darken what lies behind a glow.
                EXPECT_EQ(below, 0);
                blendedImage = true;
            } else {
                EXPECT_GT(passing, 0) << "nothing survives the alpha test";
                alphaTestedImage = alphaTestedImage || mesh.texture[0] != '#';
            }
            SDL_FreeSurface(surface);
        }
        EXPECT_GE(triangles, 200u);
        EXPECT_LE(triangles, 5000u);
    }
    EXPECT_TRUE(alphaTestedImage);
    EXPECT_TRUE(blendedImage);
    EXPECT_TRUE(plasma);
}

TEST_F(GeneratedContent, ShapesFitTheSceneAtTheirScales) {
    Archive archive((dir_ + "/main.pak").c_str());
    double largest = 0;
    for (const char* entryName : {"sn1", "sn11", "sn12"}) {
        double radius = 0;
        for (const ReadMesh& mesh : readEntry(archive.getEntry(entryName)))
            for (size_t i = 0; i < mesh.positions.size(); i += 3)
                radius = std::max(radius, std::hypot(mesh.positions[i], mesh.positions[i + 1], mesh.positions[i + 2]));
        // Made for the scene's model radius: large enough to fill the view,
        // small enough for what follows.
        EXPECT_GT(radius, 0.95 * kModelRadius) << entryName;
        EXPECT_LE(radius, 1.02 * kModelRadius) << entryName;
        largest = std::max(largest, radius);
    }
    const double pi = 3.14159265358979323846;
    // The nest's outer shape (0.9) at 90 units spans at most 90% of the
    // 45-degree view's height, seen from any side.
    EXPECT_LT(std::tan(std::asin(largest * 0.9 / 90.0)), 0.9 * std::tan(22.5 * pi / 180.0));
    // Square corners (0.35) 25 units apart, cube corners (0.2) 25 apart, and
    // the cube's corners 12.5 * sqrt(3) from its centre shape (0.34).
    EXPECT_LT(2 * largest * 0.35, 25.0);
    EXPECT_LT(2 * largest * 0.2, 25.0);
    EXPECT_LT(largest * 0.34 + largest * 0.2, 12.5 * std::sqrt(3.0));
}

TEST_F(GeneratedContent, OutputIsReproducible) {
    const std::string other = makeTempDir();
    ASSERT_TRUE(contentgen::writeContent(other));
    for (const char* file : {"/main.pak", "/preview.ppk"}) {
        const std::vector<unsigned char> first = readFile(dir_ + file);
        ASSERT_FALSE(first.empty()) << file;
        EXPECT_TRUE(first == readFile(other + file)) << file;
    }
    // The build's own copies came from the same program.
    EXPECT_TRUE(readFile(dir_ + "/main.pak") == readFile(CONTENTGEN_MAIN_PAK));
    EXPECT_TRUE(readFile(dir_ + "/preview.ppk") == readFile(CONTENTGEN_PREVIEW_PPK));
}

TEST_F(GeneratedContent, PreviewIsAFilled24BitPicture) {
    SDL_Surface* picture = SDL_LoadBMP((dir_ + "/preview.ppk").c_str());
    ASSERT_NE(picture, nullptr) << SDL_GetError();
    EXPECT_EQ(picture->w, 152);
    EXPECT_EQ(picture->h, 112);
    ASSERT_EQ(picture->format->BitsPerPixel, 24);
    std::set<std::uint32_t> colours;
    int lit = 0;
    double sumX = 0, sumY = 0;
    const auto* pixels = static_cast<const unsigned char*>(picture->pixels);
    for (int y = 0; y < picture->h; ++y) {
        for (int x = 0; x < picture->w; ++x) {
            const unsigned char* p = pixels + y * picture->pitch + x * 3;
            colours.insert(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16);
            if (p[0] + p[1] + p[2] > 24) {
                ++lit;
                sumX += x;
                sumY += y;
            }
        }
    }
    SDL_FreeSurface(picture);
    EXPECT_GE(colours.size(), 100u);
    const double share = double(lit) / (152 * 112);
    EXPECT_GT(share, 0.05);
    EXPECT_LT(share, 0.9);
    // The scene is centred in the view.
    ASSERT_GT(lit, 0);
    EXPECT_NEAR(sumX / lit, 76, 15);
    EXPECT_NEAR(sumY / lit, 56, 15);
}

}  // namespace
