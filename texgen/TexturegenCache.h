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
    // parsed, names no known type ("Plasma" is the only one), gives a side
    // outside 1..kMaxSide, or would take the texels of all generators past
    // kMaxTotalTexels: content, however it is made, cannot make the run
    // allocate and repaint more than that every frame.
    std::uint32_t getTexture(const char* spec);

    // Longest side of one generator's texture.
    static constexpr std::int32_t kMaxSide = 1024;
    // Texels of all generators together: 16 MiB of RGBA pixels, as much as
    // four generators of 1024 x 1024 or 256 of 128 x 128.
    static constexpr std::int64_t kMaxTotalTexels = std::int64_t{4} * 1024 * 1024;

    // Texels of every generator made so far.
    std::int64_t totalTexels() const;

    // Reads SDL_GetTicks once and updates every generator with it, as a
    // 32-bit signed tick count, in creation order.
    void update();

    // Generators in creation order and the spec each was requested with. The
    // cache never deletes the generators: they live until the process ends.
    std::vector<Texturegen*> generators;
    std::vector<std::string> names;
};

extern TexturegenCache texturegenCache;
