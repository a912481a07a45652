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
#include <utility>
#include <vector>

// Material name -> texture name: from the map_Kd images of a material
// library (their base names), or from the command line.
struct MaterialTextures {
    std::vector<std::pair<std::string, std::string>> entries;
    const std::string* find(const std::string& material) const;  // the first entry for it, or null
};

struct ObjOptions {
    // Texture name for every mesh whose material `materialTextures` does not
    // name; when empty, such a mesh takes the base name of its material's
    // map_Kd image from the material library.
    std::string texture;
    // Texture name per material, overriding `texture` and the material's
    // map_Kd. Every material named here must be used (usemtl) by the model.
    MaterialTextures materialTextures;
    double scale = 1.0;  // multiplies every position
};

// Reads .mtl text. False with `error` ("<source>:<line>: <what>") on a
// malformed line, including a map_Kd whose file name ends in a separator or
// is missing (the message says when a '#' comment removed it). The map_Kd
// lines of the materials `given` names are skipped: their textures come from
// elsewhere, so such a line need not hold a usable file name.
bool readMaterials(std::istream& in, const std::string& source, MaterialTextures& out, std::string& error,
                   const MaterialTextures& given = MaterialTextures{});

// Reads OBJ text. Material libraries named by mtllib are opened relative to
// `directory` (which ends with a separator, or is empty) unless the options
// give the texture of every material that has faces. False with `error` on
// the first problem: a malformed line (with its line number), an index out
// of range, a face without texture coordinates, a material in
// options.materialTextures that the model does not use, a missing material
// or texture name, a texture name longer than 127 bytes, or a model without
// faces.
bool readObj(std::istream& in, const std::string& source, const std::string& directory, const ObjOptions& options,
             std::vector<MeshData>& meshes, std::string& error);

// readObj with the material textures already read: mtllib statements are not
// followed and no file is opened.
bool readObjWithMaterials(std::istream& in, const std::string& source, const MaterialTextures& materials,
                          const ObjOptions& options, std::vector<MeshData>& meshes, std::string& error);

// Opens `path` and reads it with readObj.
bool readObjModel(const std::string& path, const ObjOptions& options, std::vector<MeshData>& meshes,
                  std::string& error);

// The largest distance of any mesh vertex from the origin.
double modelRadius(const std::vector<MeshData>& meshes);

// One or two lines (each ending in a newline) telling the user the model's
// radius after `scale` and the radius the scene is laid out for, with the
// --scale to use when the two differ by more than 10%.
std::string sizeAdvice(double radius, double scale);

// The part of `path` after its last '/' or '\'.
std::string baseName(const std::string& path);
