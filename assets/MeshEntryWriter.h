// Builds mesh entries (the byte layout described in assets/Mesh.h) for the
// archive tool and the content generator.
//
//   MeshData m;
//   m.textureName = "stone.png";
//   m.positions = {0,0,0, 1,0,0, 0,1,0};   // 9 doubles per triangle
//   m.texCoords = {0,1, 1,1, 0,0};         // 6 doubles per triangle
//   std::vector<unsigned char> entry = buildMeshEntry({m});
#pragma once

#include <string>
#include <vector>

struct MeshData {
    std::string textureName;
    std::vector<double> positions;  // x, y, z of 3 vertices: 9 per triangle
    std::vector<double> texCoords;  // s, t of 3 vertices: 6 per triangle
};

// The bytes of one mesh entry holding `meshes` in order, with header byte 0,
// or with header byte 0xFF followed by the count of bytes after that 4-byte
// field when longHeader is set. Every record's name field is the name plus
// its NUL, and its reserved byte is 0. Returns an empty vector when a mesh
// is inconsistent: positions not a multiple of 9, texCoords not 6 per
// triangle, or a texture name holding a NUL.
std::vector<unsigned char> buildMeshEntry(const std::vector<MeshData>& meshes, bool longHeader = false);
