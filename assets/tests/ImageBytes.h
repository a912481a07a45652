// Encoded test images built in memory: PNGs through stb_image_write and BMPs
// through SDL, so texture tests need no image files.
#pragma once

#include <SDL.h>
#include <stb/stb_image_write.h>

#include <cstdio>
#include <string>
#include <vector>

inline void appendToVector(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

// A PNG of w x h pixels with `channels` bytes per pixel (1 grey, 2 grey+alpha,
// 3 RGB, 4 RGBA), rows top first.
inline std::vector<unsigned char> encodePng(int w, int h, int channels, const std::vector<unsigned char>& pixels) {
    std::vector<unsigned char> out;
    stbi_write_png_to_func(appendToVector, &out, w, h, channels, pixels.data(), w * channels);
    return out;
}

// The bytes of a BMP that SDL writes for `surface`, through a scratch file.
inline std::vector<unsigned char> encodeBmp(SDL_Surface* surface, const std::string& scratchPath) {
    std::vector<unsigned char> out;
    if (SDL_SaveBMP(surface, scratchPath.c_str()) != 0) return out;
    if (std::FILE* f = std::fopen(scratchPath.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF) out.push_back(static_cast<unsigned char>(c));
        std::fclose(f);
    }
    std::remove(scratchPath.c_str());
    return out;
}

// A 24-bit BMP of w x h black pixels, as SDL writes it.
inline std::vector<unsigned char> blackBmp24(int w, int h, const std::string& scratchPath) {
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    if (!surface) return {};
    std::vector<unsigned char> out = encodeBmp(surface, scratchPath);
    SDL_FreeSurface(surface);
    return out;
}
