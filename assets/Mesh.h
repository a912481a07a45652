// A mesh read in place from a mesh entry of an archive: a list of independent
// textured triangles with one texture, whose name also picks the render
// states. The mesh keeps pointers into the entry's bytes (owned by the
// archive, alive for the process's life) and copies nothing.
//
// Mesh entry layout, little-endian, packed, reals as IEEE binary64:
//   uint8 header H; int32 (ignored) only when H is 0xFF; int32 mesh count K;
//   K records of: int32 name field length L; L bytes holding a NUL-terminated
//   texture name; int32 triangle count T; 1 reserved byte; 9 * T doubles of
//   positions (x, y, z per vertex, 3 vertices per triangle); 6 * T doubles
//   of texture coordinates (s, t per vertex).
//
// Texture name rules: first character '#' turns the alpha test off (it is on
// otherwise); second character '$' turns additive blending on; second
// character '#' takes the texture from texturegenCache by the whole name,
// otherwise from resourceCache, the named entry of the mesh's own archive.
//
//   std::vector<Mesh> meshes;
//   readMeshEntry(resourceCache.getEntry("main.pak", "sn1"), "main.pak", meshes);
//   for (const Mesh& m : meshes) m.draw();
#pragma once

#include "assets/Archive.h"

#include <cstdint>
#include <vector>

class Mesh {
public:
    // Reads one mesh record from [cursor, end), fetches its texture and moves
    // cursor past the record. A record that does not fit (negative or
    // oversized L or T, L = 0, no NUL within the name field) is refused:
    // false, nothing fetched, cursor and mesh unchanged.
    bool parse(const unsigned char*& cursor, const unsigned char* end, const char* archiveName);

    // Draws the triangles with the mesh's texture and render states
    // (texturing, alpha test GL_GREATER 0.9, blending GL_ONE/GL_SRC_ALPHA
    // without depth test), one GL_TRIANGLES begin/end pair, and switches the
    // states off again. Needs a current OpenGL context.
    void draw() const;

    // Size in bytes of the well-formed mesh record at p, or 0 when it does not
    // fit in [p, end) by the rules above.
    static std::size_t recordSize(const unsigned char* p, const unsigned char* end);

    const unsigned char* positions = nullptr;  // triangleCount * 9 unaligned doubles
    const unsigned char* texCoords = nullptr;  // triangleCount * 6 unaligned doubles
    std::int32_t triangleCount = 0;
    const char* textureName = nullptr;  // NUL-terminated, inside the entry
    bool alphaTest = false;
    bool blend = false;
    std::uint32_t texture = 0;
};

// Reads a mesh entry (header byte, optional 4-byte value after 0xFF, mesh
// count, records) and appends its meshes to `meshes`, fetching each mesh's
// texture in record order. Returns the number appended; an absent or
// malformed entry appends nothing and returns 0. The whole entry is checked
// before the first texture is fetched, so a refused entry makes no texture.
std::int32_t readMeshEntry(const EntryBytes& entry, const char* archiveName, std::vector<Mesh>& meshes);
