#include "assets/Mesh.h"
#include "assets/MeshEntryWriter.h"
#include "assets/tests/ForgetGenerators.h"
#include "assets/tests/MeshBytes.h"
#include "texgen/TexturegenCache.h"

#include <gtest/gtest.h>

namespace {

MeshData triangles(const std::string& name, int count, double start) {
    MeshData m;
    m.textureName = name;
    for (int i = 0; i < count * 9; ++i) m.positions.push_back(start + i * 0.25);
    for (int i = 0; i < count * 6; ++i) m.texCoords.push_back(-start - i * 0.125);
    return m;
}

}  // namespace

TEST(MeshEntryWriter, EntriesReadBackThroughTheReader) {
    // Generated texture names keep the archive out of this test.
    const std::vector<MeshData> meshes = {triangles("##Plasma4x4,1,2,3", 2, 1.0), triangles("##Plasma4x4,1,2,3", 0, 0),
                                          triangles("##Plasma8x4,1,2,3", 3, -50.5)};
    for (bool longHeader : {false, true}) {
        SCOPED_TRACE(longHeader);
        const auto bytes = buildMeshEntry(meshes, longHeader);
        const std::size_t records = (4 + 18 + 4 + 1 + 240) + (4 + 18 + 4 + 1) + (4 + 18 + 4 + 1 + 360);
        ASSERT_EQ(bytes.size(), (longHeader ? 9u : 5u) + records);
        EXPECT_EQ(bytes[0], longHeader ? 0xFF : 0x00);
        if (longHeader) {
            EXPECT_EQ(loadInt32LE(&bytes[1]), static_cast<std::int32_t>(bytes.size() - 5));
        }

        ExactEntry e(bytes);
        std::vector<Mesh> read;
        ASSERT_EQ(readMeshEntry(e.entry(), "unused.pak", read), 3);
        for (std::size_t k = 0; k < 3; ++k) {
            EXPECT_EQ(read[k].textureName, meshes[k].textureName);
            ASSERT_EQ(read[k].triangleCount, static_cast<std::int32_t>(meshes[k].positions.size() / 9));
            for (std::size_t i = 0; i < meshes[k].positions.size(); ++i)
                EXPECT_EQ(loadDoubleLE(read[k].positions + 8 * i), meshes[k].positions[i]);
            for (std::size_t i = 0; i < meshes[k].texCoords.size(); ++i)
                EXPECT_EQ(loadDoubleLE(read[k].texCoords + 8 * i), meshes[k].texCoords[i]);
        }
        EXPECT_NE(read[2].texture, read[0].texture);
        EXPECT_EQ(read[0].texture, read[1].texture);
    }
    forgetGenerators();
}

TEST(MeshEntryWriter, WritesTheSameBytesAsTheLayout) {
    EXPECT_EQ(buildMeshEntry({triangles("abcd", 2, 0.5)}), MeshBytes(0, 1).record(std::string("abcd", 5), 5, 2, 0, [] {
                  std::vector<double> v;
                  for (int i = 0; i < 18; ++i) v.push_back(0.5 + i * 0.25);
                  for (int i = 0; i < 12; ++i) v.push_back(-0.5 - i * 0.125);
                  return v;
              }()).bytes);
    EXPECT_EQ(buildMeshEntry({}), (std::vector<unsigned char>{0, 0, 0, 0, 0}));
}

TEST(MeshEntryWriter, InconsistentMeshesGiveNoBytes) {
    MeshData ragged = triangles("a", 1, 0);
    ragged.positions.pop_back();
    MeshData unpaired = triangles("a", 1, 0);
    unpaired.texCoords.push_back(1);
    MeshData nulName = triangles(std::string("a\0b", 3), 1, 0);
    for (const MeshData& bad : {ragged, unpaired, nulName}) {
        EXPECT_TRUE(buildMeshEntry({triangles("ok", 1, 0), bad}).empty());
    }
}
