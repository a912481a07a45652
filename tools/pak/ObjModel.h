// Reads a Wavefront OBJ model with texture coordinates into mesh data for a
// mesh entry: one mesh per material (usemtl), polygons fan-triangulated,
// V flipped so that t = 0 is the image's top row.
//
//   ObjOptions options;
//   options.scale = 2.0;
//   std::vector<MeshData> meshes;
//   std::string error;
//   if (!readObjModel("model.obj", options, meshes, error)) report(error);
#pragma once

#include "assets/MeshEntryWriter.h"

#include <istream>
#include <string>
#include <vector>

struct ObjOptions {
    // Texture name for every mesh; when empty, each mesh takes the base name
    // of its material's map_Kd image from the material library.
    std::string texture;
    double scale = 1.0;  // multiplies every position
};

// Material name -> base name of its map_Kd image, from .mtl text.
struct MaterialTextures {
    std::vector<std::pair<std::string, std::string>> entries;
    const std::string* find(const std::string& material) const;
};

// Reads .mtl text. False with `error` ("<source>:<line>: <what>") on a
// malformed line, including a map_Kd whose file name ends in a separator.
bool readMaterials(std::istream& in, const std::string& source, MaterialTextures& out, std::string& error);

// Reads OBJ text. Material libraries named by mtllib are opened relative to
// `directory` (which ends with a separator, or is empty) unless options give
// a texture name. False with `error` on the first problem: a malformed line
// (with its line number), an index out of range, a face without texture
// coordinates, a missing material or texture name, a texture name longer
// than 127 bytes, or a model without faces.
bool readObj(std::istream& in, const std::string& source, const std::string& directory, const ObjOptions& options,
             std::vector<MeshData>& meshes, std::string& error);

// readObj with the material textures already read: mtllib statements are not
// followed and no file is opened.
bool readObjWithMaterials(std::istream& in, const std::string& source, const MaterialTextures& materials,
                          const ObjOptions& options, std::vector<MeshData>& meshes, std::string& error);

// Opens `path` and reads it with readObj.
bool readObjModel(const std::string& path, const ObjOptions& options, std::vector<MeshData>& meshes,
                  std::string& error);

// The part of `path` after its last '/' or '\'.
std::string baseName(const std::string& path);
