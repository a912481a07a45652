// Mesh entry bytes -> readMeshEntry, then every mesh drawn into the recording
// OpenGL. Archive texture names are looked up in a small archive written once
// at start-up; "##" names make plasma generators, painted once per input and
// then released.
#include "assets/Archive.h"
#include "assets/Mesh.h"
#include "assets/ResourceCache.h"
#include "assets/tests/ArchiveBytes.h"
#include "assets/tests/ForgetGenerators.h"
#include "assets/tests/ImageBytes.h"
#include "fuzz/FuzzSupport.h"
#include "tests/doubles/fake_clock.h"
#include "tests/doubles/gl_recorder.h"
#include "texgen/TexturegenCache.h"

#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char* const kArchiveName = "fuzz.pak";

// Writes an archive with two PNG textures ("stone.png", "glass.png") to a
// fresh temporary directory and opens it through the resource cache, keeping
// one reference for the whole run: the archive is never opened again, so the
// file can go at once, and a texture lookup can never end the process.
void openTextureArchive() {
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/calvetrin-fuzz-mesh-XXXXXX";
    if (!mkdtemp(&dir[0])) {
        std::perror("fuzz_mesh: mkdtemp");
        std::abort();
    }
    const std::vector<unsigned char> rgba = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 9, 9, 9, 255};
    const std::vector<unsigned char> greyAlpha = {10, 255, 200, 0};
    const ArchiveBytes pak = ArchiveBytes(2)
                                 .entry("stone.png", encodePng(2, 2, 4, rgba))
                                 .entry("glass.png", encodePng(2, 1, 2, greyAlpha));
    const std::string path = dir + "/" + kArchiveName;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(pak.bytes.data()),
                                                static_cast<std::streamsize>(pak.bytes.size()));
    resourceCache.setBasePath((dir + "/").c_str());
    resourceCache.acquire(kArchiveName);
    std::remove(path.c_str());
    rmdir(dir.c_str());
}

bool within(const void* p, std::size_t bytes, const std::uint8_t* begin, const std::uint8_t* end) {
    const auto* q = static_cast<const std::uint8_t*>(p);
    return q >= begin && q <= end && bytes <= static_cast<std::size_t>(end - q);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    openTextureArchive();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > INT_MAX) return 0;
    glrec::reset();
    fakeclock::set(static_cast<std::uint32_t>(size) * 997u);
    const EntryBytes entry{data, static_cast<std::int32_t>(size)};
    std::vector<Mesh> meshes;
    const std::int32_t count = readMeshEntry(entry, kArchiveName, meshes);
    fuzzCheck(count >= 0 && static_cast<std::size_t>(count) == meshes.size(), "the count returned is the meshes added");

    const std::uint8_t* const end = data + size;
    for (const Mesh& m : meshes) {
        const auto triangles = static_cast<std::size_t>(m.triangleCount);
        fuzzCheck(m.triangleCount >= 0, "triangle count not negative");
        fuzzCheck(within(m.textureName, std::strlen(m.textureName) + 1, data, end), "texture name inside the entry");
        fuzzCheck(within(m.positions, 72 * triangles, data, end) && m.texCoords == m.positions + 72 * triangles &&
                      within(m.texCoords, 48 * triangles, data, end),
                  "triangle data inside the entry");
        m.draw();
    }
    texturegenCache.update();

    forgetGenerators();
    while (resourceCache.referenceCount(kArchiveName) > 1) resourceCache.release(kArchiveName);
    return 0;
}
