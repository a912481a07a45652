// The screensaver's default content as data: the three mesh entries the
// scene draws from ("sn1", "sn11", "sn12") and the texture images their
// archive texture names refer to. Everything is computed, so the same
// program always produces the same content.
//
//   Content content = buildContent();
//   for (const ContentEntry& e : content.entries) ... e.meshes ...
//
// Texture names follow the screensaver's rules: a first character other than
// '#' draws with alpha test, a second character '$' draws additively without
// depth test, a second character '#' names a procedural plasma.
#pragma once

#include "tools/contentgen/Geometry.h"
#include "tools/contentgen/Textures.h"

#include <string>
#include <vector>

namespace contentgen {

struct ContentEntry {
    std::string name;
    std::vector<GenMesh> meshes;  // drawn in this order: solid parts, then additive ones
};

struct ContentImage {
    std::string name;
    Image image;
};

// A procedural plasma texture named by a mesh: its texture name (the
// generator spec) and the parameters that name encodes.
struct ContentPlasma {
    std::string name;
    int width = 0;
    int height = 0;
    unsigned char colour[3] = {0, 0, 0};
};

// The spec text for a plasma: two marker characters (first, '#'), the type,
// width 'x' height and the colour as ":r:g:b".
ContentPlasma makePlasma(char first, int width, int height, int r, int g, int b);

struct Content {
    std::vector<ContentEntry> entries;
    std::vector<ContentImage> images;
    std::vector<ContentPlasma> plasmas;

    const ContentEntry* entry(const std::string& name) const;
    const Image* image(const std::string& name) const;
};

Content buildContent();

}  // namespace contentgen
