// Procedural texture generators: each one owns an OpenGL texture and an RGBA
// pixel array that it repaints from a formula of time. The generator cache
// creates them from spec text and calls update() once per frame with the
// current tick count; meshes draw with getTextureId().
#pragma once

#include <cstdint>

class Texturegen {
public:
    Texturegen() = default;
    Texturegen(const Texturegen&) = delete;
    Texturegen& operator=(const Texturegen&) = delete;
    // The running system never destroys a generator; the destructor exists so
    // that a short-lived owner (a test) can release the pixel array. The
    // OpenGL texture is left alone, since no context may be current then.
    virtual ~Texturegen();

    // Recomputes the image for the tick count timeMs and uploads it.
    virtual void update(std::int32_t timeMs) = 0;

    std::uint32_t getTextureId() const { return textureId; }

    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t textureId = 0;
    // byteCount bytes of 4-byte RGBA texels; row y starts at byte 4 * y * width.
    std::uint8_t* pixels = nullptr;
    std::int32_t byteCount = 0;
};
