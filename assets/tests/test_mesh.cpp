#include "assets/Mesh.h"
#include "assets/ResourceCache.h"
#include "assets/tests/ArchiveBytes.h"
#include "assets/tests/ForgetGenerators.h"
#include "assets/tests/ImageBytes.h"
#include "assets/tests/MeshBytes.h"
#include "assets/tests/TempDir.h"
#include "tests/doubles/gl_recorder.h"
#include "texgen/TexturegenCache.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<unsigned char>;

const char* const kPlasma = "##Plasma8x8,10,20,30";
const char* const kAlphaPlasma = "x#Plasma8x8,10,20,30";

// An archive on disk with one small image per texture name the tests use; the
// process-wide resourceCache opens it by its full path (base path "0").
class MeshTest : public ::testing::Test {
protected:
    void SetUp() override {
        ArchiveBytes pak(9);
        unsigned char shade = 10;
        for (const char* name : {"abcd", "#$img", "#xy", "x$img", "xyz", "q", "", "ab", "#"}) {
            pak.entry(name, encodePng(1, 1, 4, Bytes{shade, shade, shade, 255}));
            shade += 10;
        }
        archive = tmp.file("main.pak");
        TempDir::write(archive, pak.bytes);
        glrec::reset();
    }
    void TearDown() override { forgetGenerators(); }

    std::int32_t references() const { return resourceCache.referenceCount(archive.c_str()); }
    // The texture the archive made for `name` (already decoded: no GL call).
    std::uint32_t archiveTexture(const char* name) {
        Archive* a = resourceCache.acquire(archive.c_str());
        resourceCache.release(archive.c_str());
        return a->getTexture(name);
    }

    TempDir tmp;
    std::string archive;
};

std::vector<std::string> drawCalls(const Mesh& mesh) {
    glrec::reset();
    mesh.draw();
    return glrec::texts();
}

}  // namespace

TEST_F(MeshTest, EntriesOf259And263BytesReadTheSameMesh) {
    const auto shortEntry = MeshBytes(0, 1).mesh("abcd", 2, 0.5).bytes;
    const auto longEntry = MeshBytes(0xFF, 1, -7).mesh("abcd", 2, 0.5).bytes;
    ASSERT_EQ(shortEntry.size(), 259u);
    ASSERT_EQ(longEntry.size(), 263u);

    ExactEntry shortBytes(shortEntry), longBytes(longEntry);
    std::vector<Mesh> meshes;
    ASSERT_EQ(readMeshEntry(shortBytes.entry(), archive.c_str(), meshes), 1);
    ASSERT_EQ(readMeshEntry(longBytes.entry(), archive.c_str(), meshes), 1);
    ASSERT_EQ(meshes.size(), 2u);

    const Mesh& m = meshes[0];
    EXPECT_EQ(m.triangleCount, 2);
    EXPECT_STREQ(m.textureName, "abcd");
    EXPECT_EQ(m.textureName, reinterpret_cast<const char*>(shortBytes.entry().data) + 9);  // read in place
    EXPECT_EQ(m.positions, shortBytes.entry().data + 19);
    EXPECT_EQ(m.texCoords, shortBytes.entry().data + 19 + 144);
    EXPECT_EQ(loadDoubleLE(m.texCoords), 0.5 + 18);
    EXPECT_TRUE(m.alphaTest);
    EXPECT_FALSE(m.blend);
    EXPECT_EQ(m.texture, archiveTexture("abcd"));
    EXPECT_NE(m.texture, 0u);
    // The same archive texture is shared, decoded once.
    EXPECT_EQ(meshes[1].texture, m.texture);
    EXPECT_EQ(glrec::count("glTexImage2D"), 1u);
    EXPECT_EQ(drawCalls(meshes[1]), drawCalls(m));
}

TEST_F(MeshTest, HeaderByteOtherThan0xFFHasNoMeaning) {
    for (unsigned char h : {0x00, 0x01, 0x7F, 0x80, 0xFE}) {
        SCOPED_TRACE(int(h));
        ExactEntry e(MeshBytes(h, 2).mesh("q", 1).mesh("xyz", 0).bytes);
        std::vector<Mesh> meshes;
        ASSERT_EQ(readMeshEntry(e.entry(), archive.c_str(), meshes), 2);
        EXPECT_STREQ(meshes[1].textureName, "xyz");
    }
    // Whatever 4-byte value follows 0xFF is skipped, even one that reads like a count.
    for (std::int32_t ignored : {0, -1, 1000, 0x7FFFFFFF}) {
        ExactEntry e(MeshBytes(0xFF, 1, ignored).mesh("q", 1).bytes);
        std::vector<Mesh> meshes;
        EXPECT_EQ(readMeshEntry(e.entry(), archive.c_str(), meshes), 1);
    }
}

TEST_F(MeshTest, EmptyCountsAndReservedByte) {
    std::vector<Mesh> meshes(1);
    ExactEntry none(MeshBytes(0, 0).bytes);
    EXPECT_EQ(readMeshEntry(none.entry(), archive.c_str(), meshes), 0);
    EXPECT_EQ(meshes.size(), 1u);
    EXPECT_TRUE(glrec::calls().empty());
    EXPECT_EQ(references(), 0);

    // T = 0: a record of 9 + L bytes whose texture is still fetched.
    ExactEntry flat(MeshBytes(0, 2).mesh("xyz", 0).mesh("q", 1, 0.0, 0xAB).bytes);
    ASSERT_EQ(readMeshEntry(flat.entry(), archive.c_str(), meshes), 2);
    EXPECT_EQ(meshes[1].triangleCount, 0);
    EXPECT_EQ(meshes[1].texture, archiveTexture("xyz"));
    EXPECT_NE(meshes[1].texture, 0u);
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(meshes[2].textureName), flat.entry().data + 5 + 13 + 4);
    // The reserved byte 0xAB changes neither the count nor the layout.
    EXPECT_EQ(meshes[2].triangleCount, 1);
    EXPECT_EQ(loadDoubleLE(meshes[2].positions), 0.0);
    EXPECT_EQ(loadDoubleLE(meshes[2].texCoords), 9.0);
}

TEST_F(MeshTest, TextureNameDecidesFlagsAndSource) {
    struct Case {
        std::string field;  // the name field as stored, NUL included
        const char* name;
        bool alphaTest, blend, generated;
    };
    const Case cases[] = {
        {std::string(kPlasma) + '\0', kPlasma, false, false, true},
        {std::string("#$img", 6), "#$img", false, true, false},
        {std::string("#xy", 4), "#xy", false, false, false},
        {std::string(kAlphaPlasma) + '\0', kAlphaPlasma, true, false, true},
        {std::string("x$img", 6), "x$img", true, true, false},
        {std::string("xyz", 4), "xyz", true, false, false},
        {std::string("q", 2), "q", true, false, false},             // second character is the NUL
        {std::string("", 1), "", true, false, false},               // empty: no second character
        {std::string("ab\0$#zz", 7), "ab", true, false, false},     // bytes after the NUL are ignored
        {std::string("#\0$img", 6), "#", false, false, false},      // '$' after the NUL does not count
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("name '") + c.name + "'");
        ExactEntry e(MeshBytes(0, 1).record(c.field, static_cast<std::int32_t>(c.field.size()), 0, 0, {}).bytes);
        const std::int32_t refsBefore = references();
        const std::size_t generatorsBefore = texturegenCache.generators.size();
        std::vector<Mesh> meshes;
        ASSERT_EQ(readMeshEntry(e.entry(), archive.c_str(), meshes), 1);
        const Mesh& m = meshes[0];
        EXPECT_STREQ(m.textureName, c.name);
        EXPECT_EQ(m.alphaTest, c.alphaTest);
        EXPECT_EQ(m.blend, c.blend);
        EXPECT_NE(m.texture, 0u);
        if (c.generated) {
            EXPECT_EQ(references(), refsBefore);  // no archive lookup
            EXPECT_EQ(texturegenCache.names.back(), c.name);
            EXPECT_EQ(m.texture, texturegenCache.getTexture(c.name));
        } else {
            EXPECT_EQ(references(), refsBefore + 1);
            EXPECT_EQ(texturegenCache.generators.size(), generatorsBefore);
            EXPECT_EQ(m.texture, archiveTexture(c.name));
        }
    }
}

TEST_F(MeshTest, MalformedEntriesAppendNothingAndFetchNoTexture) {
    const auto good = [] { return MeshBytes(0, 2).mesh("abcd", 1); };  // first record fine
    std::vector<std::pair<const char*, Bytes>> cases;
    cases.emplace_back("header only", Bytes{0});
    cases.emplace_back("0xFF without its value", Bytes{0xFF, 1, 0, 0, 0});
    cases.emplace_back("count cut short", Bytes{0, 1, 0});
    cases.emplace_back("negative count", MeshBytes(0, -1).mesh("abcd", 1).bytes);
    cases.emplace_back("count beyond records", MeshBytes(0, 1000).mesh("abcd", 1).bytes);
    cases.emplace_back("huge count", MeshBytes(0, 0x7FFFFFFF).mesh("abcd", 1).bytes);
    cases.emplace_back("second record missing", good().bytes);
    cases.emplace_back("negative L", good().record(std::string("q", 2), -2, 0, 0, {}).bytes);
    cases.emplace_back("L = 0", good().record("", 0, 0, 0, {}).bytes);
    cases.emplace_back("L beyond entry", good().record(std::string("q", 2), 200, 0, 0, {}).bytes);
    cases.emplace_back("no NUL within L", good().record("qrst", 4, 0, 0, {}).bytes);
    cases.emplace_back("NUL just past L", good().record(std::string("qrs", 4), 3, 0, 0, {}).bytes);
    cases.emplace_back("negative T", good().record(std::string("q", 2), 2, -1, 0, std::vector<double>(15)).bytes);
    cases.emplace_back("T beyond entry", good().record(std::string("q", 2), 2, 2, 0, std::vector<double>(29)).bytes);
    cases.emplace_back("huge T", good().record(std::string("q", 2), 2, 0x7FFFFFFF, 0, std::vector<double>(15)).bytes);
    auto noReserved = good().bytes;
    appendInt32LE(noReserved, 2);
    noReserved.insert(noReserved.end(), {'q', 0, 0, 0, 0, 0});  // T = 0, then the entry ends
    cases.emplace_back("reserved byte missing", noReserved);

    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        glrec::reset();
        const std::int32_t refsBefore = references();
        ExactEntry e(bytes);
        std::vector<Mesh> meshes(1);
        EXPECT_EQ(readMeshEntry(e.entry(), archive.c_str(), meshes), 0);
        EXPECT_EQ(meshes.size(), 1u);
        EXPECT_EQ(references(), refsBefore);
        EXPECT_TRUE(glrec::calls().empty());
    }

    std::vector<Mesh> meshes;
    EXPECT_EQ(readMeshEntry(EntryBytes{}, archive.c_str(), meshes), 0);  // absent entry
    EXPECT_TRUE(meshes.empty());
    // The same bytes with the missing piece supplied do read.
    ExactEntry fixed(good().mesh("q", 1).bytes);
    EXPECT_EQ(readMeshEntry(fixed.entry(), archive.c_str(), meshes), 2);
}

TEST_F(MeshTest, ParseMovesTheCursorExactlyOverOneRecord) {
    const Bytes bytes = MeshBytes(0, 2).mesh("xyz", 3).mesh("q", 0).bytes;
    ExactEntry e(bytes);
    const unsigned char* end = e.entry().data + e.entry().size;
    const unsigned char* cursor = e.entry().data + 5;
    Mesh m;
    ASSERT_TRUE(m.parse(cursor, end, archive.c_str()));
    EXPECT_EQ(cursor, e.entry().data + 5 + 9 + 4 + 360);
    ASSERT_TRUE(m.parse(cursor, end, archive.c_str()));
    EXPECT_EQ(cursor, end);
    EXPECT_STREQ(m.textureName, "q");

    // A refused record leaves the cursor and the mesh as they were.
    const unsigned char* start = e.entry().data + 5;
    const unsigned char* cut = start;
    EXPECT_FALSE(m.parse(cut, end - 1 - 9 - 2, archive.c_str()));
    EXPECT_EQ(cut, start);
    EXPECT_STREQ(m.textureName, "q");
    EXPECT_EQ(m.triangleCount, 0);
}

TEST(MeshDraw, StatesFollowTheFlagsAroundAnEmptyPrimitive) {
    const std::string tex = "glBindTexture(3553, 7)";
    const std::vector<std::string> plain = {"glEnable(3553)", tex, "glBegin(4)", "glEnd()", "glDisable(3553)"};
    const std::vector<std::string> alpha = {"glEnable(3553)",     tex,        "glEnable(3008)", "glAlphaFunc(516, 0.8999999761581421)",
                                            "glBegin(4)",         "glEnd()",  "glDisable(3553)", "glDisable(3008)"};
    const std::vector<std::string> blend = {"glEnable(3553)", tex,          "glBlendFunc(1, 770)", "glEnable(3042)",
                                            "glDisable(2929)", "glBegin(4)", "glEnd()",             "glDisable(3553)",
                                            "glDisable(3042)", "glEnable(2929)"};
    const std::vector<std::string> both = {
        "glEnable(3553)",  tex,          "glEnable(3008)", "glAlphaFunc(516, 0.8999999761581421)",
        "glBlendFunc(1, 770)", "glEnable(3042)", "glDisable(2929)", "glBegin(4)", "glEnd()", "glDisable(3553)",
        "glDisable(3008)", "glDisable(3042)", "glEnable(2929)"};

    Mesh m;
    m.texture = 7;
    EXPECT_EQ(drawCalls(m), plain);
    m.alphaTest = true;
    EXPECT_EQ(drawCalls(m), alpha);
    EXPECT_EQ(glrec::calls()[3].args[1], double(0.9f));
    m.blend = true;
    EXPECT_EQ(drawCalls(m), both);
    m.alphaTest = false;
    EXPECT_EQ(drawCalls(m), blend);

    Mesh fresh;  // a new mesh binds texture 0 and draws nothing
    const std::vector<std::string> freshCalls = {"glEnable(3553)", "glBindTexture(3553, 0)", "glBegin(4)", "glEnd()",
                                                 "glDisable(3553)"};
    EXPECT_EQ(drawCalls(fresh), freshCalls);
}

TEST(MeshDraw, SendsEveryValueExactlyTexCoordBeforeVertex) {
    // Two triangles of distinct values, stored at odd offsets.
    std::vector<double> values;
    for (int i = 0; i < 30; ++i) values.push_back((i % 2 ? -1.0 : 1.0) * (0.1 + i) * (i == 7 ? 1e-300 : 1.0));
    Bytes bytes{0xAA};  // misaligns everything after it
    for (double v : values) appendDoubleLE(bytes, v);
    ExactEntry e(bytes);

    Mesh m;
    m.triangleCount = 2;
    m.positions = e.entry().data + 1;
    m.texCoords = e.entry().data + 1 + 144;
    glrec::reset();
    m.draw();
    const auto& calls = glrec::calls();
    ASSERT_EQ(calls.size(), 5u + 12u);
    for (int tri = 0; tri < 2; ++tri) {
        for (int j = 0; j < 3; ++j) {
            const auto& tc = calls[3 + tri * 6 + j * 2];
            const auto& vx = calls[3 + tri * 6 + j * 2 + 1];
            ASSERT_EQ(tc.name, "glTexCoord2d");
            ASSERT_EQ(vx.name, "glVertex3d");
            EXPECT_EQ(tc.args, (std::vector<double>{values[18 + tri * 6 + 2 * j], values[18 + tri * 6 + 2 * j + 1]}));
            EXPECT_EQ(vx.args, (std::vector<double>{values[tri * 9 + 3 * j], values[tri * 9 + 3 * j + 1],
                                                    values[tri * 9 + 3 * j + 2]}));
        }
    }
    EXPECT_EQ(calls[2].text(), "glBegin(4)");
    EXPECT_EQ(calls[15].text(), "glEnd()");

    m.triangleCount = -3;  // nothing between begin and end
    EXPECT_EQ(drawCalls(m).size(), 5u);
}
