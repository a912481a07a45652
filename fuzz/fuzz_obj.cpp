// Bytes -> material library text (up to the first NUL) and OBJ text (the
// rest) -> readMaterials and readObjWithMaterials, each mesh named by its
// material's texture; an accepted model must make a valid mesh entry.
#include "assets/MeshEntryWriter.h"
#include "fuzz/FuzzSupport.h"
#include "tools/pak/ObjModel.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> parts = splitAtNul(data, size, 2);
    std::istringstream mtl(parts[0]);
    MaterialTextures materials;
    std::string error;
    if (!readMaterials(mtl, "fuzz.mtl", materials, error)) {
        fuzzCheck(!error.empty(), "a refused material library says why");
        return 0;
    }

    std::istringstream obj(parts.size() > 1 ? parts[1] : std::string());
    ObjOptions options;  // no texture name given: the materials name the textures
    std::vector<MeshData> meshes;
    if (!readObjWithMaterials(obj, "fuzz.obj", materials, options, meshes, error)) {
        fuzzCheck(!error.empty(), "a refused model says why");
        return 0;
    }
    fuzzCheck(!meshes.empty(), "an accepted model has a mesh");
    for (const MeshData& m : meshes) {
        fuzzCheck(!m.textureName.empty() && m.textureName.size() <= 127, "every mesh names a texture of 1..127 bytes");
        fuzzCheck(!m.positions.empty() && m.positions.size() % 9 == 0 &&
                      m.texCoords.size() == m.positions.size() / 9 * 6,
                  "whole triangles with a texture coordinate per vertex");
    }
    fuzzCheck(!buildMeshEntry(meshes).empty(), "an accepted model makes a mesh entry");
    return 0;
}
