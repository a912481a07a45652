#include "tools/pak/ObjModel.h"

#include "app/SceneAssembly.h"
#include "assets/Archive.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::vector<std::string> tokens(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string t; in >> t;) out.push_back(t);
    return out;
}

// The line without its comment and surrounding white space.
std::string stripped(const std::string& line) {
    std::string s = line.substr(0, line.find('#'));
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// Everything after the keyword, trimmed.
std::string restAfterKeyword(const std::string& line) {
    const auto space = line.find_first_of(" \t");
    if (space == std::string::npos) return "";
    const auto start = line.find_first_not_of(" \t", space);
    return start == std::string::npos ? "" : line.substr(start);
}

bool parseReal(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0' && errno == 0 && std::isfinite(value);
}

bool parseIndex(const std::string& text, long long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    return *end == '\0' && errno == 0;
}

std::string where(const std::string& source, int line) { return source + ":" + std::to_string(line) + ": "; }

// Resolves a 1-based or negative (relative) OBJ index against `count` items.
// The distance back of a negative index is taken in unsigned arithmetic:
// negating the smallest long long is undefined, and its unsigned magnitude (2^63)
// is simply out of range.
bool resolve(long long index, std::size_t count, std::size_t& out) {
    if (index > 0 && static_cast<std::size_t>(index) <= count) {
        out = static_cast<std::size_t>(index) - 1;
        return true;
    }
    const std::size_t back = 0 - static_cast<std::size_t>(index);
    if (index < 0 && back <= count) {
        out = count - back;
        return true;
    }
    return false;
}

struct Group {
    std::string material;
    MeshData mesh;
};

// An OBJ text read up to the point where materials are needed.
struct ParsedObj {
    std::vector<std::string> libraries;  // mtllib names, in order
    std::vector<Group> groups;
};

}  // namespace

std::string baseName(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const std::string* MaterialTextures::find(const std::string& material) const {
    for (const auto& [name, texture] : entries) {
        if (name == material) return &texture;
    }
    return nullptr;
}

bool readMaterials(std::istream& in, const std::string& source, MaterialTextures& out, std::string& error,
                   const MaterialTextures& given) {
    std::string current;
    bool haveMaterial = false;
    int number = 0;
    for (std::string raw; std::getline(in, raw);) {
        ++number;
        const std::string line = stripped(raw);
        const auto t = tokens(line);
        if (t.empty()) continue;
        if (t[0] == "newmtl") {
            current = restAfterKeyword(line);
            if (current.empty()) {
                error = where(source, number) + "newmtl without a name";
                return false;
            }
            haveMaterial = true;
        } else if (t[0] == "map_Kd") {
            if (!haveMaterial) {
                error = where(source, number) + "map_Kd before newmtl";
                return false;
            }
            if (given.find(current)) continue;
            if (t.size() < 2) {
                // Names such as "##Plasma..." and "#$glow" cannot be written
                // here: the comment takes them away. The raw line holds a '#'
                // only after the keyword, since the keyword survived.
                error = where(source, number) + "map_Kd without a file name";
                if (raw.find('#') != std::string::npos) {
                    error += " ('#' starts a comment in MTL: give procedural or additive textures with --texture " +
                             current + "=NAME)";
                }
                return false;
            }
            // Options may precede the file name; the file name is the last word.
            // A word ending in a separator names a directory: its base name,
            // the texture name, would be empty.
            const std::string texture = baseName(t.back());
            if (texture.empty()) {
                error = where(source, number) + "map_Kd names a directory, not an image: " + t.back();
                return false;
            }
            out.entries.emplace_back(current, texture);
        }
    }
    return true;
}

namespace {

// Reads the statements of OBJ text into groups of triangles by material,
// remembering the material libraries named. False with `error` on the first
// malformed statement.
bool parseObj(std::istream& in, const std::string& source, const ObjOptions& options, ParsedObj& parsed,
              std::string& error) {
    std::vector<std::array<double, 3>> positions;
    std::vector<std::array<double, 2>> texCoords;
    std::vector<std::string>& libraries = parsed.libraries;
    std::vector<Group>& groups = parsed.groups;
    std::size_t current = 0;
    bool haveGroup = false;
    int number = 0;

    for (std::string raw; std::getline(in, raw);) {
        ++number;
        const std::string line = stripped(raw);
        const auto t = tokens(line);
        if (t.empty()) continue;
        const std::string& key = t[0];
        if (key == "v") {
            std::array<double, 3> p{};
            if (t.size() < 4 || t.size() > 5 || !parseReal(t[1], p[0]) || !parseReal(t[2], p[1]) ||
                !parseReal(t[3], p[2])) {
                error = where(source, number) + "malformed vertex: " + line;
                return false;
            }
            positions.push_back(p);
        } else if (key == "vt") {
            std::array<double, 2> uv{0.0, 0.0};
            double w = 0.0;
            if (t.size() < 2 || t.size() > 4 || !parseReal(t[1], uv[0]) || (t.size() > 2 && !parseReal(t[2], uv[1])) ||
                (t.size() > 3 && !parseReal(t[3], w))) {
                error = where(source, number) + "malformed texture coordinate: " + line;
                return false;
            }
            texCoords.push_back(uv);
        } else if (key == "usemtl") {
            const std::string material = restAfterKeyword(line);
            if (material.empty()) {
                error = where(source, number) + "usemtl without a name";
                return false;
            }
            current = groups.size();
            for (std::size_t g = 0; g < groups.size(); ++g) {
                if (groups[g].material == material) current = g;
            }
            if (current == groups.size()) groups.push_back(Group{material, {}});
            haveGroup = true;
        } else if (key == "mtllib") {
            for (std::size_t i = 1; i < t.size(); ++i) libraries.push_back(t[i]);
        } else if (key == "f") {
            if (t.size() < 4) {
                error = where(source, number) + "a face needs at least 3 vertices: " + line;
                return false;
            }
            std::vector<std::pair<std::size_t, std::size_t>> corners;
            for (std::size_t i = 1; i < t.size(); ++i) {
                const std::string& corner = t[i];
                const auto slash = corner.find('/');
                const auto slash2 = slash == std::string::npos ? slash : corner.find('/', slash + 1);
                const std::string vText = corner.substr(0, slash);
                const std::string vtText = slash == std::string::npos
                                               ? ""
                                               : corner.substr(slash + 1, slash2 == std::string::npos
                                                                              ? std::string::npos
                                                                              : slash2 - slash - 1);
                long long v = 0, vt = 0;
                if (!parseIndex(vText, v) || (slash2 != std::string::npos && corner.find('/', slash2 + 1) != std::string::npos)) {
                    error = where(source, number) + "malformed face vertex '" + corner + "'";
                    return false;
                }
                if (vtText.empty()) {
                    error = where(source, number) + "face vertex '" + corner + "' has no texture coordinate";
                    return false;
                }
                if (!parseIndex(vtText, vt)) {
                    error = where(source, number) + "malformed face vertex '" + corner + "'";
                    return false;
                }
                std::size_t vi = 0, ti = 0;
                if (!resolve(v, positions.size(), vi) || !resolve(vt, texCoords.size(), ti)) {
                    error = where(source, number) + "index out of range in '" + corner + "'";
                    return false;
                }
                corners.emplace_back(vi, ti);
            }
            if (!haveGroup) {
                current = groups.size();
                groups.push_back(Group{"", {}});
                haveGroup = true;
            }
            MeshData& mesh = groups[current].mesh;
            for (std::size_t i = 1; i + 1 < corners.size(); ++i) {
                for (std::size_t c : {std::size_t{0}, i, i + 1}) {
                    const auto& p = positions[corners[c].first];
                    const auto& uv = texCoords[corners[c].second];
                    for (double x : p) mesh.positions.push_back(x * options.scale);
                    mesh.texCoords.push_back(uv[0]);
                    mesh.texCoords.push_back(1.0 - uv[1]);  // OBJ's v = 0 is the bottom row
                }
            }
        }
        // Other statements (vn, o, g, s, l, ...) do not affect the meshes.
    }
    // A material given a texture but never used is most likely misspelt.
    for (const auto& entry : options.materialTextures.entries) {
        const std::string& material = entry.first;
        bool used = false;
        std::string names;
        for (const Group& g : groups) {
            used = used || g.material == material;
            if (!g.material.empty()) names += (names.empty() ? "" : ", ") + g.material;
        }
        if (!used) {
            error = source + ": --texture names material '" + material + "', which the model does not use (" +
                    (names.empty() ? std::string("it uses none") : "it uses: " + names) + ")";
            return false;
        }
    }
    return true;
}

// The texture the options give the faces of `material`, or null.
const std::string* givenTexture(const ObjOptions& options, const std::string& material) {
    if (const std::string* texture = options.materialTextures.find(material)) return texture;
    return options.texture.empty() ? nullptr : &options.texture;
}

// Turns the groups into meshes named by their textures.
bool finishMeshes(ParsedObj& parsed, const std::string& source, const MaterialTextures& materials,
                  const ObjOptions& options, std::vector<MeshData>& meshes, std::string& error) {
    meshes.clear();
    for (Group& g : parsed.groups) {
        if (g.mesh.positions.empty()) continue;
        if (const std::string* texture = givenTexture(options, g.material)) {
            g.mesh.textureName = *texture;
        } else if (g.material.empty()) {
            error = source + ": faces without a material; give --texture";
            return false;
        } else if (const std::string* texture = materials.find(g.material)) {
            g.mesh.textureName = *texture;
        } else {
            error = source + ": material '" + g.material + "' has no map_Kd texture";
            return false;
        }
        if (g.mesh.textureName.size() > Archive::kMaxNameLength) {
            error = source + ": texture name longer than 127 bytes: " + g.mesh.textureName;
            return false;
        }
        meshes.push_back(std::move(g.mesh));
    }
    if (meshes.empty()) {
        error = source + ": no faces";
        return false;
    }
    return true;
}

}  // namespace

bool readObj(std::istream& in, const std::string& source, const std::string& directory, const ObjOptions& options,
             std::vector<MeshData>& meshes, std::string& error) {
    ParsedObj parsed;
    if (!parseObj(in, source, options, parsed, error)) return false;
    MaterialTextures materials;
    bool needLibraries = false;
    for (const Group& g : parsed.groups) {
        needLibraries = needLibraries || (!g.mesh.positions.empty() && !givenTexture(options, g.material));
    }
    if (needLibraries) {
        for (const std::string& library : parsed.libraries) {
            const std::string path = directory + library;
            std::ifstream mtl(path);
            if (!mtl) {
                error = source + ": cannot open material library " + path;
                return false;
            }
            if (!readMaterials(mtl, path, materials, error, options.materialTextures)) return false;
        }
    }
    return finishMeshes(parsed, source, materials, options, meshes, error);
}

bool readObjWithMaterials(std::istream& in, const std::string& source, const MaterialTextures& materials,
                          const ObjOptions& options, std::vector<MeshData>& meshes, std::string& error) {
    ParsedObj parsed;
    return parseObj(in, source, options, parsed, error) && finishMeshes(parsed, source, materials, options, meshes, error);
}

bool readObjModel(const std::string& path, const ObjOptions& options, std::vector<MeshData>& meshes,
                  std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    const std::string directory = path.substr(0, path.size() - baseName(path).size());
    return readObj(in, path, directory, options, meshes, error);
}

double modelRadius(const std::vector<MeshData>& meshes) {
    double radius = 0.0;
    for (const MeshData& m : meshes) {
        for (std::size_t i = 0; i + 2 < m.positions.size(); i += 3) {
            // hypot, so that coordinates beyond 1e154 do not overflow when squared.
            radius = std::max(radius, std::hypot(m.positions[i], m.positions[i + 1], m.positions[i + 2]));
        }
    }
    return radius;
}

namespace {

// `value` with `digits` significant digits, without an exponent and without
// trailing zeros, which a new user reads at a glance and --scale accepts as
// it is. Values too large or too small for that keep the exponent.
std::string plainNumber(double value, int digits) {
    char text[64];
    // Checked before the cast: converting an infinite or NaN double to int is
    // undefined.
    const bool hasLog = std::isfinite(value) && value != 0.0;
    const int magnitude = hasLog ? static_cast<int>(std::floor(std::log10(std::fabs(value)))) : 0;
    if (!std::isfinite(value) || magnitude < -6 || magnitude > 12) {
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        return text;
    }
    std::snprintf(text, sizeof text, "%.*f", std::max(digits - 1 - magnitude, 0), value);
    std::string s = text;
    if (s.find('.') != std::string::npos) {
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.') s.pop_back();
    }
    return s;
}

}  // namespace

std::string sizeAdvice(double radius, double scale) {
    const std::string expected = "the scene expects about " + plainNumber(kModelRadius, 3);
    if (radius == 0.0) return "model radius 0: every vertex is at the origin; " + expected + "\n";
    std::string text = "model radius " + plainNumber(radius, 3) + " units (after --scale " + plainNumber(scale, 6) +
                       "); " + expected + "\n";
    const double suggested = scale * kModelRadius / radius;
    // Within 10% the difference hardly shows; an infinite radius (positions
    // that overflowed) has no useful scale to suggest.
    if (std::fabs(radius / kModelRadius - 1.0) > 0.1 && std::isfinite(suggested) && suggested != 0.0) {
        text += "to fit the scene, try --scale " + plainNumber(suggested, 3) + "\n";
    }
    return text;
}
