#include "texgen/TexturegenCache.h"

#include "texgen/Plasma.h"

#include <SDL.h>

#include <cctype>
#include <cstring>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Reads a decimal integer as a formatted stream would (leading white space,
// optional sign, at least one digit). Values past the cache's kMaxSide are
// clamped to kMaxSide + 1 so that they cannot overflow and are still refused.
bool readSize(const char*& p, std::int32_t& out) {
    while (isSpace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (!isDigit(*p)) return false;
    std::int32_t value = 0;
    for (; isDigit(*p); ++p) {
        if (value <= TexturegenCache::kMaxSide) value = value * 10 + (*p - '0');
    }
    if (value > TexturegenCache::kMaxSide) value = TexturegenCache::kMaxSide + 1;
    out = negative ? -value : value;
    return true;
}

}  // namespace

std::uint32_t TexturegenCache::getTexture(const char* spec) {
    if (!spec) return 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == spec) return generators[i]->getTextureId();
    }

    const char* p = spec;
    for (int i = 0; i < 2; ++i) {
        if (*p == '\0') return 0;
        ++p;  // marker character
    }
    const char* typeStart = p;
    while (*p != '\0' && !isDigit(*p)) ++p;
    const std::string type(typeStart, p);
    std::int32_t width = 0, height = 0;
    if (!readSize(p, width)) return 0;  // no digit after the type
    if (*p == '\0') return 0;           // no separator, so no height
    ++p;                                // separator, any character
    if (!readSize(p, height)) return 0;
    while (isSpace(*p)) ++p;
    const char* colourStart = p;
    while (*p != '\0' && !isSpace(*p)) ++p;
    // A missing colour word leaves the colour text empty: base colour black.
    const std::string colourText(colourStart, p);

    if (type != "Plasma" || width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return 0;
    if (totalTexels() + std::int64_t{width} * height > kMaxTotalTexels) return 0;
    Texturegen* generator = new Plasma(width, height, colourText.c_str());
    generators.push_back(generator);
    names.push_back(spec);
    return generator->getTextureId();
}

std::int64_t TexturegenCache::totalTexels() const {
    std::int64_t texels = 0;
    for (const Texturegen* generator : generators) texels += std::int64_t{generator->width} * generator->height;
    return texels;
}

void TexturegenCache::update() {
    const std::int32_t t = static_cast<std::int32_t>(SDL_GetTicks());
    for (Texturegen* generator : generators) generator->update(t);
}
