#include "assets/MeshEntryWriter.h"

#include "assets/ByteReader.h"

#include <cstdint>
#include <limits>

std::vector<unsigned char> buildMeshEntry(const std::vector<MeshData>& meshes, bool longHeader) {
    constexpr std::size_t kLimit = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    std::vector<unsigned char> body;
    appendInt32LE(body, static_cast<std::int32_t>(meshes.size()));
    for (const MeshData& mesh : meshes) {
        const std::size_t triangles = mesh.positions.size() / 9;
        if (mesh.positions.size() % 9 != 0 || mesh.texCoords.size() != triangles * 6 ||
            mesh.textureName.find('\0') != std::string::npos || mesh.textureName.size() >= kLimit ||
            triangles > kLimit / 120 || meshes.size() > kLimit) {
            return {};
        }
        appendInt32LE(body, static_cast<std::int32_t>(mesh.textureName.size() + 1));
        body.insert(body.end(), mesh.textureName.begin(), mesh.textureName.end());
        body.push_back(0);
        appendInt32LE(body, static_cast<std::int32_t>(triangles));
        body.push_back(0);  // reserved
        for (double v : mesh.positions) appendDoubleLE(body, v);
        for (double v : mesh.texCoords) appendDoubleLE(body, v);
    }
    std::vector<unsigned char> entry;
    entry.reserve(body.size() + 5);
    if (longHeader) {
        entry.push_back(0xFF);
        appendInt32LE(entry, static_cast<std::int32_t>(body.size() <= kLimit ? body.size() : 0));
    } else {
        entry.push_back(0);
    }
    entry.insert(entry.end(), body.begin(), body.end());
    return entry;
}
