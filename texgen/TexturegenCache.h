// The texture generator cache: turns a generated texture name from a mesh
// record into a live procedural texture and repaints every generator once per
// frame. One process-wide instance, texturegenCache, lives for the whole run.
//
//   GLuint tex = texturegenCache.getTexture("##Plasma128x64,40,80,160");
//   ...
//   texturegenCache.update();  // each frame, before the scene is drawn
//
// A spec is: two marker characters, the generator type (everything up to the
// first decimal digit), the width, one separator character of any kind, the
// height and the colour text (the next white-space-delimited word).
#pragma once

#include "texgen/Texturegen.h"

#include <cstdint>
#include <string>
#include <vector>

class TexturegenCache {
public:
    // The texture name of the generator for spec, creating the generator on
    // the first request; the same spec text always gives the same generator.
    // Returns 0 (no texture), and keeps nothing, when the spec cannot be
    // parsed, names no known type ("Plasma" is the only one) or gives a size
    // outside 1..PlasmaPainter::kMaxSide.
    std::uint32_t getTexture(const char* spec);

    // Reads SDL_GetTicks once and updates every generator with it, as a
    // 32-bit signed tick count, in creation order.
    void update();

    // Generators in creation order and the spec each was requested with. The
    // cache never deletes the generators: they live until the process ends.
    std::vector<Texturegen*> generators;
    std::vector<std::string> names;
};

extern TexturegenCache texturegenCache;
