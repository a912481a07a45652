// Runs the calvetrin-pak executable on small files and checks its output
// files through the archive and mesh readers.
#include "assets/Archive.h"
#include "assets/ByteReader.h"
#include "assets/Mesh.h"
#include "assets/tests/ImageBytes.h"
#include "assets/tests/TempDir.h"
#include "platform/tests/TestFiles.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <tuple>

namespace {

using Bytes = std::vector<unsigned char>;

struct ToolRun {
    int status;
    std::string out, err;
};

ToolRun pak(const TempDir& tmp, const std::string& args) {
    const std::string out = tmp.file("stdout.txt"), err = tmp.file("stderr.txt");
    const int raw = std::system((std::string(CALVETRIN_PAK) + " " + args + " >" + out + " 2>" + err).c_str());
    const Bytes o = TempDir::read(out), e = TempDir::read(err);
    return ToolRun{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, std::string(o.begin(), o.end()), std::string(e.begin(), e.end())};
}

void writeText(const std::string& path, const std::string& text) { TempDir::write(path, Bytes(text.begin(), text.end())); }

}  // namespace

TEST(PakTool, CreateListExtractRoundTripsByteForByte) {
    TempDir tmp;
    Bytes big(3000), small{1, 2, 3};
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<unsigned char>(i * 31);
    std::filesystem::create_directories(tmp.file("in"));
    TempDir::write(tmp.file("in/big.bin"), big);
    TempDir::write(tmp.file("in/small.bin"), small);
    TempDir::write(tmp.file("in/empty"), {});

    const ToolRun created = pak(tmp, "create " + tmp.file("a.pak") + " " + tmp.file("in/big.bin") + " sn1=" +
                                     tmp.file("in/small.bin") + " " + tmp.file("in/empty"));
    ASSERT_EQ(created.status, 0) << created.err;

    Archive archive(tmp.file("a.pak").c_str());
    ASSERT_EQ(archive.entryCount(), 3u);
    EXPECT_EQ(archive.nameAt(0), "big.bin");
    EXPECT_EQ(archive.nameAt(1), "sn1");
    EXPECT_EQ(archive.nameAt(2), "empty");
    EXPECT_EQ(std::filesystem::file_size(tmp.file("a.pak")), 4u + (5 + 7 + 3000) + (5 + 3 + 3) + (5 + 5));

    const ToolRun listed = pak(tmp, "list " + tmp.file("a.pak"));
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out, "      3000  big.bin\n         3  sn1\n         0  empty\n");

    std::filesystem::create_directories(tmp.file("out"));
    const ToolRun extracted = pak(tmp, "extract " + tmp.file("a.pak") + " " + tmp.file("out/x-"));
    ASSERT_EQ(extracted.status, 0) << extracted.err;
    EXPECT_EQ(TempDir::read(tmp.file("out/x-big.bin")), big);
    EXPECT_EQ(TempDir::read(tmp.file("out/x-sn1")), small);
    EXPECT_TRUE(std::filesystem::exists(tmp.file("out/x-empty")));

    // Re-creating from the extracted files gives the same archive file.
    const ToolRun again = pak(tmp, "create " + tmp.file("b.pak") + " big.bin=" + tmp.file("out/x-big.bin") + " sn1=" +
                                   tmp.file("out/x-sn1") + " empty=" + tmp.file("out/x-empty"));
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(TempDir::read(tmp.file("b.pak")), TempDir::read(tmp.file("a.pak")));
}

TEST(PakTool, ObjModelBecomesAMeshEntryOfAWorkingArchive) {
    TempDir tmp;
    std::filesystem::create_directories(tmp.file("model"));
    writeText(tmp.file("model/box.mtl"), "newmtl red\nmap_Kd images/red.png\nnewmtl blue\nmap_Kd blue.png\n");
    writeText(tmp.file("model/box.obj"),
              "mtllib box.mtl\n"
              "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
              "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
              "usemtl red\nf 1/1/1 2/2/1 3/3/1 4/4/1\n"
              "usemtl blue\nf 1/1 3/3 4/4\n");
    TempDir::write(tmp.file("red.png"), encodePng(1, 1, 4, {255, 0, 0, 255}));
    TempDir::write(tmp.file("blue.png"), encodePng(1, 1, 4, {0, 0, 255, 255}));

    const ToolRun converted = pak(tmp, "obj-to-mesh --scale 10 " + tmp.file("model/box.obj") + " " + tmp.file("box.mesh"));
    ASSERT_EQ(converted.status, 0) << converted.err;
    // The far corner (10, 10, 0) is 14.14 from the origin.
    EXPECT_EQ(converted.out,
              "model radius 14.1 units (after --scale 10); the scene expects about 30\n"
              "to fit the scene, try --scale 21.2\n");
    // A texture given for one material replaces its map_Kd image.
    const ToolRun mapped = pak(tmp, "obj-to-mesh --texture blue=red.png " + tmp.file("model/box.obj") + " " +
                                    tmp.file("mapped.mesh"));
    ASSERT_EQ(mapped.status, 0) << mapped.err;
    const ToolRun created = pak(tmp, "create " + tmp.file("main.pak") + " sn1=" + tmp.file("box.mesh") + " " +
                                     tmp.file("red.png") + " " + tmp.file("blue.png") + " sn11=" +
                                     tmp.file("mapped.mesh"));
    ASSERT_EQ(created.status, 0) << created.err;

    const std::string archivePath = tmp.file("main.pak");
    Archive archive(archivePath.c_str());
    std::vector<Mesh> meshes;
    ASSERT_EQ(readMeshEntry(archive.getEntry("sn1"), archivePath.c_str(), meshes), 2);
    EXPECT_STREQ(meshes[0].textureName, "red.png");
    EXPECT_STREQ(meshes[1].textureName, "blue.png");
    EXPECT_EQ(meshes[0].triangleCount, 2);
    EXPECT_EQ(meshes[1].triangleCount, 1);
    EXPECT_NE(meshes[0].texture, 0u);
    EXPECT_NE(meshes[1].texture, 0u);
    EXPECT_NE(meshes[0].texture, meshes[1].texture);
    // Vertex 2 of the first triangle: position (1, 1, 0) scaled, OBJ (1, 1) -> (1, 0).
    EXPECT_EQ(loadDoubleLE(meshes[0].positions + 6 * 8), 10.0);
    EXPECT_EQ(loadDoubleLE(meshes[0].positions + 7 * 8), 10.0);
    EXPECT_EQ(loadDoubleLE(meshes[0].texCoords + 4 * 8), 1.0);
    EXPECT_EQ(loadDoubleLE(meshes[0].texCoords + 5 * 8), 0.0);
    EXPECT_EQ(loadDoubleLE(meshes[0].texCoords + 1 * 8), 1.0);  // OBJ v = 0 is t = 1

    std::vector<Mesh> mappedMeshes;
    ASSERT_EQ(readMeshEntry(archive.getEntry("sn11"), archivePath.c_str(), mappedMeshes), 2);
    EXPECT_STREQ(mappedMeshes[0].textureName, "red.png");
    EXPECT_STREQ(mappedMeshes[1].textureName, "red.png");
}

TEST(PakTool, BadInputFailsWithAReason) {
    TempDir tmp;
    TempDir::write(tmp.file("f"), {7});
    writeText(tmp.file("bad.obj"), "v 0 0 0\nvt 0 0\nf 1/1 1/1 1/9\n");

    ToolRun r = pak(tmp, "list " + tmp.file("absent.pak"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot open archive"), std::string::npos) << r.err;

    r = pak(tmp, "create " + tmp.file("x.pak") + " " + tmp.file("absent"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot read"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(tmp.file("x.pak")));

    r = pak(tmp, "create " + tmp.file("x.pak") + " " + std::string(128, 'n') + "=" + tmp.file("f"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("longer than 127 bytes"), std::string::npos) << r.err;

    r = pak(tmp, "obj-to-mesh --texture t " + tmp.file("bad.obj") + " " + tmp.file("bad.mesh"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("bad.obj:3: index out of range in '1/9'"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(tmp.file("bad.mesh")));

    // Said as the screensaver says it, but not recorded as its failure.
    TempDir::write(tmp.file("corrupt.pak"), {5, 0, 0, 0, 1});
    const testfiles::ScopedEnv userFolder("XDG_CONFIG_HOME", tmp.file("config").c_str());
    r = pak(tmp, "list " + tmp.file("corrupt.pak"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Corrupt archive: " + tmp.file("corrupt.pak") + "\n");
    EXPECT_FALSE(std::filesystem::exists(tmp.file("config")));

    // Option errors: exit status, and no mesh entry written.
    writeText(tmp.file("good.obj"), "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nusemtl glow\nf 1/1 2/1 3/1\n");
    const std::string files = " " + tmp.file("good.obj") + " " + tmp.file("good.mesh");
    const std::tuple<std::string, int, std::string> optionCases[] = {
        {"--texture", 2, "--texture needs a value"},
        {"--texture =x", 2, "--texture =x: no material before '='"},
        {"--texture 'glow=#$a' --texture glow=b", 2, "--texture given twice for material 'glow'"},
        {"--scale nan --texture x", 2, "bad scale: nan"},
        {"--texture glow=", 1, "texture name must be 1 to 127 bytes: --texture glow="},
        {"--texture glow=" + std::string(128, 't'), 1, "texture name must be 1 to 127 bytes"},
        {"--texture x --texture Glow=y", 1, "good.obj: --texture names material 'Glow', which the model does not use"},
    };
    for (const auto& [options, status, message] : optionCases) {
        r = pak(tmp, "obj-to-mesh " + options + (options == "--texture" ? "" : files));
        EXPECT_EQ(r.status, status) << options;
        EXPECT_NE(r.err.find("calvetrin-pak: "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(tmp.file("good.mesh"))) << options;
    }

    EXPECT_EQ(pak(tmp, "").status, 2);
    EXPECT_EQ(pak(tmp, "frobnicate").status, 2);
    EXPECT_EQ(pak(tmp, "obj-to-mesh only-one").status, 2);
    r = pak(tmp, "--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("obj-to-mesh [--texture [MATERIAL=]NAME]... [--scale S]"), std::string::npos);
}

TEST(PakTool, ExtractRefusesNamesThatLeaveThePrefix) {
    for (const char* evil : {"../escape", "sub/file", "sub\\file", "..", ""}) {
        SCOPED_TRACE(evil);
        TempDir tmp;
        Archive archive;
        ASSERT_TRUE(archive.addMemory("fine", "a", 1));
        ASSERT_TRUE(archive.addMemory(evil, "b", 1));
        ASSERT_TRUE(archive.save(tmp.file("evil.pak").c_str()));
        std::filesystem::create_directories(tmp.file("out/sub"));

        const ToolRun r = pak(tmp, "extract " + tmp.file("evil.pak") + " " + tmp.file("out/"));
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("refusing to extract"), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(tmp.file("out/fine")));  // nothing written at all
        EXPECT_FALSE(std::filesystem::exists(tmp.file("escape")));
    }
}
