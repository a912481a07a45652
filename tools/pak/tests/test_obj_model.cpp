#include "tools/pak/ObjModel.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

bool read(const std::string& text, const ObjOptions& options, std::vector<MeshData>& meshes, std::string& error) {
    std::istringstream in(text);
    return readObj(in, "m.obj", "", options, meshes, error);
}

ObjOptions textured(const std::string& name = "tex") {
    ObjOptions o;
    o.texture = name;
    return o;
}

}  // namespace

TEST(ObjModel, PolygonsAreFanTriangulatedWithFlippedV) {
    const std::string obj =
        "# a unit square and a triangle\n"
        "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
        "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1 0\n"
        "vn 0 0 1\n"
        "f 1/1/1 2/2/1 3/3/1 4/4/1\n"
        "f -4/-4 -2/-2 -1/-1   # relative indices\n";
    ObjOptions options = textured();
    options.scale = 2.0;
    std::vector<MeshData> meshes;
    std::string error;
    ASSERT_TRUE(read(obj, options, meshes, error)) << error;
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_EQ(meshes[0].textureName, "tex");
    // Quad 1-2-3-4 gives 1-2-3 and 1-3-4; the last face is 1-3-4 again.
    EXPECT_EQ(meshes[0].positions, (std::vector<double>{0, 0, 0, 2, 0, 0, 2, 2, 0,  //
                                                        0, 0, 0, 2, 2, 0, 0, 2, 0,  //
                                                        0, 0, 0, 2, 2, 0, 0, 2, 0}));
    EXPECT_EQ(meshes[0].texCoords, (std::vector<double>{0, 1, 1, 1, 1, 0,  //
                                                        0, 1, 1, 0, 0, 0,  //
                                                        0, 1, 1, 0, 0, 0}));
}

TEST(ObjModel, MaterialsBecomeMeshesNamedByTheirImages) {
    std::istringstream mtl(
        "newmtl stone\nKd 1 1 1\nmap_Kd textures\\stone.png\n"
        "newmtl glow\nmap_Kd -s 1 1 1 dir/sub/glow.png\n");
    MaterialTextures materials;
    std::string error;
    ASSERT_TRUE(readMaterials(mtl, "m.mtl", materials, error)) << error;
    ASSERT_NE(materials.find("stone"), nullptr);
    EXPECT_EQ(*materials.find("stone"), "stone.png");
    EXPECT_EQ(*materials.find("glow"), "glow.png");
    EXPECT_EQ(materials.find("other"), nullptr);

    // A file name ending in a separator would give an empty texture name.
    std::istringstream directory("newmtl m\nmap_Kd textures/\n");
    EXPECT_FALSE(readMaterials(directory, "d.mtl", materials, error));
    EXPECT_EQ(error, "d.mtl:2: map_Kd names a directory, not an image: textures/");

    // '#' starts a comment, so a plasma or glow name leaves map_Kd bare; the
    // message then points to --texture. A bare map_Kd keeps the plain one.
    const std::string noFile = "m.mtl:3: map_Kd without a file name";
    const std::pair<std::string, std::string> bare[] = {
        {"map_Kd ##Plasma128x128:200:40:90", noFile + " ('#' starts a comment in MTL: give procedural or additive "
                                                      "textures with --texture glow=NAME)"},
        {"map_Kd\t#$glow", noFile + " ('#' starts a comment in MTL: give procedural or additive textures with "
                                    "--texture glow=NAME)"},
        {"map_Kd  ", noFile},
    };
    for (const auto& [line, expected] : bare) {
        std::istringstream text("newmtl stone\nnewmtl glow\n" + line + "\n");
        EXPECT_FALSE(readMaterials(text, "m.mtl", materials, error));
        EXPECT_EQ(error, expected);
        // A material whose texture is given elsewhere needs no map_Kd file name.
        std::istringstream again("newmtl stone\nnewmtl glow\n" + line + "\n");
        MaterialTextures given, read;
        given.entries.emplace_back("glow", "#$glow");
        EXPECT_TRUE(readMaterials(again, "m.mtl", read, error, given)) << error;
        EXPECT_EQ(read.find("glow"), nullptr);
    }

    // Reading the model itself, through a library on disk, is covered by the
    // tool's end-to-end test; here the groups are checked with --texture.
    const std::string obj =
        "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\n"
        "usemtl a\nf 1/1 2/1 3/1\n"
        "usemtl b\nf 3/1 2/1 1/1\n"
        "usemtl a\nf 2/1 3/1 1/1\n"
        "usemtl unused\n";
    std::vector<MeshData> meshes;
    ASSERT_TRUE(read(obj, textured("##Plasma8x8,1,2,3"), meshes, error)) << error;
    ASSERT_EQ(meshes.size(), 2u);  // a (two faces), b; the empty group is dropped
    EXPECT_EQ(meshes[0].positions.size(), 18u);
    EXPECT_EQ(meshes[1].positions.size(), 9u);
    EXPECT_EQ(meshes[1].textureName, "##Plasma8x8,1,2,3");
}

TEST(ObjModel, TexturesGivenPerMaterialOverrideMapKdAndMustNameUsedMaterials) {
    const std::string obj =
        "mtllib absent.mtl\n"
        "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\n"
        "usemtl a\nf 1/1 2/1 3/1\n"
        "usemtl b\nf 1/1 2/1 3/1\n"
        "usemtl unused\n";
    MaterialTextures library;
    library.entries = {{"a", "a.png"}, {"b", "b.png"}};
    const auto textures = [&](const ObjOptions& options, std::string& error) {
        std::istringstream in(obj);
        std::vector<MeshData> meshes;
        std::vector<std::string> names;
        if (readObjWithMaterials(in, "m.obj", library, options, meshes, error)) {
            for (const MeshData& m : meshes) names.push_back(m.textureName);
        }
        return names;
    };
    std::string error;
    ObjOptions options;
    options.materialTextures.entries = {{"b", "##Plasma8x8:1:2:3"}};
    EXPECT_EQ(textures(options, error), (std::vector<std::string>{"a.png", "##Plasma8x8:1:2:3"})) << error;
    options.texture = "every";
    EXPECT_EQ(textures(options, error), (std::vector<std::string>{"every", "##Plasma8x8:1:2:3"})) << error;

    // The library is opened only while some material still needs its map_Kd.
    std::vector<MeshData> meshes;
    options.texture.clear();
    EXPECT_FALSE(read(obj, options, meshes, error));
    EXPECT_EQ(error, "m.obj: cannot open material library absent.mtl");
    options.materialTextures.entries.emplace_back("a", "#$glow");
    EXPECT_TRUE(read(obj, options, meshes, error)) << error;

    // A misspelt material fails, naming it; a used one without faces does not.
    options.materialTextures.entries = {{"unused", "x"}, {"A", "x"}};
    EXPECT_TRUE(textures(options, error).empty());
    EXPECT_EQ(error, "m.obj: --texture names material 'A', which the model does not use (it uses: a, b, unused)");
    EXPECT_FALSE(read("v 0 0 0\nvt 0 0\nf 1/1 1/1 1/1\n", options, meshes, error));
    EXPECT_EQ(error, "m.obj: --texture names material 'unused', which the model does not use (it uses none)");
}

TEST(ObjModel, SizeAdviceSuggestsAScaleOnlyWhenTheRadiusIsOffByMoreThanATenth) {
    const std::string expects = "; the scene expects about 30\n";
    EXPECT_EQ(sizeAdvice(12.4, 1.0), "model radius 12.4 units (after --scale 1)" + expects +
                                         "to fit the scene, try --scale 2.42\n");
    EXPECT_EQ(sizeAdvice(34, 0.5), "model radius 34 units (after --scale 0.5)" + expects +
                                       "to fit the scene, try --scale 0.441\n");
    EXPECT_EQ(sizeAdvice(32.9, 1.0), "model radius 32.9 units (after --scale 1)" + expects);
    EXPECT_EQ(sizeAdvice(27.1, 3.0), "model radius 27.1 units (after --scale 3)" + expects);
    EXPECT_EQ(sizeAdvice(0.0, 1.0), "model radius 0: every vertex is at the origin" + expects);
}

TEST(ObjModel, BadInputIsReportedWithItsLine) {
    const std::string head = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\n";  // lines 1-4
    const std::pair<std::string, std::string> cases[] = {
        {head + "v 1 2\n", "m.obj:5: malformed vertex"},
        {head + "v 1 2 x\n", "m.obj:5: malformed vertex"},
        {head + "vt\n", "m.obj:5: malformed texture coordinate"},
        {head + "f 1/1 2/1\n", "m.obj:5: a face needs at least 3 vertices"},
        {head + "f 1 2 3\n", "m.obj:5: face vertex '1' has no texture coordinate"},
        {head + "f 1//1 2//1 3//1\n", "m.obj:5: face vertex '1//1' has no texture coordinate"},
        {head + "\nf 1/1 2/1 4/1\n", "m.obj:6: index out of range in '4/1'"},
        {head + "f 1/1 2/1 0/1\n", "m.obj:5: index out of range in '0/1'"},
        {head + "f 1/1 2/1 -4/1\n", "m.obj:5: index out of range in '-4/1'"},
        {head + "f 1/2 2/1 3/1\n", "m.obj:5: index out of range in '1/2'"},
        // The smallest 64-bit index, whose negation overflows.
        {head + "f 1/1 2/1 -9223372036854775808/1\n",
         "m.obj:5: index out of range in '-9223372036854775808/1'"},
        {head + "f 1/-9223372036854775808 2/1 3/1\n", "m.obj:5: index out of range in '1/-9223372036854775808'"},
        {head + "f a/1 2/1 3/1\n", "m.obj:5: malformed face vertex 'a/1'"},
        {head, "m.obj: no faces"},
    };
    for (const auto& [text, expected] : cases) {
        std::vector<MeshData> meshes;
        std::string error;
        EXPECT_FALSE(read(text, textured(), meshes, error));
        EXPECT_EQ(error.substr(0, expected.size()), expected) << error;
    }

    std::vector<MeshData> meshes;
    std::string error;
    EXPECT_FALSE(read(head + "f 1/1 2/1 3/1\n", ObjOptions{}, meshes, error));
    EXPECT_EQ(error, "m.obj: faces without a material; give --texture");
    EXPECT_FALSE(read(head + "usemtl none\nf 1/1 2/1 3/1\n", ObjOptions{}, meshes, error));
    EXPECT_EQ(error, "m.obj: material 'none' has no map_Kd texture");
    EXPECT_FALSE(read(head + "f 1/1 2/1 3/1\n", textured(std::string(128, 't')), meshes, error));
    EXPECT_EQ(error.substr(0, 40), "m.obj: texture name longer than 127 byte");
}
