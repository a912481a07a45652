#include "assets/Mesh.h"

#include "assets/ByteReader.h"
#include "assets/ResourceCache.h"
#include "texgen/TexturegenCache.h"

#include <GL/gl.h>

#include <cstring>

namespace {

constexpr std::size_t kPositionBytes = 9 * 8;  // per triangle
constexpr std::size_t kTexCoordBytes = 6 * 8;  // per triangle

}  // namespace

std::size_t Mesh::recordSize(const unsigned char* p, const unsigned char* end) {
    ByteReader in(p, end);
    const std::int32_t nameField = in.readInt32();
    if (!in.ok() || nameField < 1 || static_cast<std::size_t>(nameField) > in.remaining()) return 0;
    if (!std::memchr(in.position(), '\0', static_cast<std::size_t>(nameField))) return 0;
    in.skip(static_cast<std::size_t>(nameField));
    const std::int32_t triangles = in.readInt32();
    in.skip(1);  // reserved byte
    if (!in.ok() || triangles < 0) return 0;
    const std::size_t dataBytes = static_cast<std::size_t>(triangles) * (kPositionBytes + kTexCoordBytes);
    if (dataBytes > in.remaining()) return 0;
    return static_cast<std::size_t>(in.position() - p) + dataBytes;
}

bool Mesh::parse(const unsigned char*& cursor, const unsigned char* end, const char* archiveName) {
    const std::size_t size = recordSize(cursor, end);
    if (size == 0) return false;

    const char* name = reinterpret_cast<const char*>(cursor + 4);
    const std::int32_t nameField = loadInt32LE(cursor);
    // The characters after the terminator are not part of the name: an empty
    // name has no second character, which reads as NUL (no blending, archive
    // texture).
    const char first = name[0];
    const char second = first ? name[1] : '\0';
    textureName = name;
    alphaTest = first != '#';
    blend = second == '$';
    texture = second == '#' ? texturegenCache.getTexture(name) : resourceCache.getTexture(archiveName, name);

    const unsigned char* p = cursor + 4 + nameField;
    triangleCount = loadInt32LE(p);
    p += 4 + 1;  // the count and the reserved byte
    positions = p;
    p += kPositionBytes * static_cast<std::size_t>(triangleCount);
    texCoords = p;
    cursor += size;
    return true;
}

void Mesh::draw() const {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    if (alphaTest) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.9f);
    }
    if (blend) {
        glBlendFunc(GL_ONE, GL_SRC_ALPHA);
        glEnable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
    }
    glBegin(GL_TRIANGLES);
    for (std::int32_t i = 0; i < triangleCount; ++i) {
        const unsigned char* pos = positions + kPositionBytes * static_cast<std::size_t>(i);
        const unsigned char* tex = texCoords + kTexCoordBytes * static_cast<std::size_t>(i);
        for (int j = 0; j < 3; ++j) {
            glTexCoord2d(loadDoubleLE(tex + 16 * j), loadDoubleLE(tex + 16 * j + 8));
            glVertex3d(loadDoubleLE(pos + 24 * j), loadDoubleLE(pos + 24 * j + 8), loadDoubleLE(pos + 24 * j + 16));
        }
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
    if (alphaTest) glDisable(GL_ALPHA_TEST);
    if (blend) {
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
    }
}

std::int32_t readMeshEntry(const EntryBytes& entry, const char* archiveName, std::vector<Mesh>& meshes) {
    if (!entry.data || entry.size <= 0) return 0;
    const unsigned char* const end = entry.data + entry.size;
    ByteReader header(entry.data, end);
    if (header.readUint8() == 0xFF) header.skip(4);
    const std::int32_t count = header.readInt32();
    if (!header.ok() || count <= 0) return 0;

    // Check every record before fetching any texture; each record takes at
    // least 10 bytes, so the loop is bounded by the entry size whatever the
    // count claims.
    const unsigned char* p = header.position();
    for (std::int32_t i = 0; i < count; ++i) {
        const std::size_t size = Mesh::recordSize(p, end);
        if (size == 0) return 0;
        p += size;
    }

    const unsigned char* cursor = header.position();
    meshes.reserve(meshes.size() + static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        Mesh mesh;
        mesh.parse(cursor, end, archiveName);
        meshes.push_back(mesh);
    }
    return count;
}
