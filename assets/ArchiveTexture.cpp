// Archive::getTexture: decodes an image entry with IMG_Load_RW (our decoder,
// platform/image, on every system) and uploads it as an OpenGL texture, once
// per entry. Kept apart from Archive.cpp so that programs that only read and
// write archives do not link OpenGL.
#include "assets/Archive.h"

#include "assets/ImageHeader.h"

#include <GL/gl.h>
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The largest side the OpenGL implementation takes, and at most
// Archive::kMaxTextureSide.
std::int64_t usableTextureSide() {
    GLint glMax = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &glMax);
    return std::min<std::int64_t>(glMax, Archive::kMaxTextureSide);
}

// The channel mask that selects byte `index` of a pixel as it lies in memory,
// whatever the host byte order.
Uint32 maskOfByte(int index) {
    unsigned char bytes[4] = {0, 0, 0, 0};
    bytes[index] = 0xFF;
    Uint32 mask;
    std::memcpy(&mask, bytes, sizeof mask);
    return mask;
}

bool isPackedRgba(const SDL_Surface* s) {
    const SDL_PixelFormat* f = s->format;
    return f->BitsPerPixel == 32 && f->BytesPerPixel == 4 && f->Rmask == maskOfByte(0) &&
           f->Gmask == maskOfByte(1) && f->Bmask == maskOfByte(2) && f->Amask == maskOfByte(3);
}

// A new surface of 32-bit pixels with bytes R, G, B, A in memory, holding the
// decoded image. Source alpha is copied as is (no blending); a source without
// alpha becomes opaque, and colour-keyed pixels stay fully transparent.
SDL_Surface* convertToRgba(SDL_Surface* decoded) {
    SDL_Surface* rgba = SDL_CreateRGBSurface(SDL_SWSURFACE, decoded->w, decoded->h, 32, maskOfByte(0), maskOfByte(1),
                                             maskOfByte(2), maskOfByte(3));
    if (!rgba) return nullptr;
    SDL_SetAlpha(decoded, 0, SDL_ALPHA_OPAQUE);
    if (SDL_BlitSurface(decoded, nullptr, rgba, nullptr) != 0) {
        SDL_FreeSurface(rgba);
        return nullptr;
    }
    return rgba;
}

// Uploads a surface already in R, G, B, A byte order to the bound texture,
// repacking rows first if the surface pads them.
void uploadRgba(SDL_Surface* s) {
    if (SDL_MUSTLOCK(s)) SDL_LockSurface(s);
    const std::size_t rowBytes = static_cast<std::size_t>(s->w) * 4;
    const void* pixels = s->pixels;
    std::vector<unsigned char> packed;
    if (static_cast<std::size_t>(s->pitch) != rowBytes) {
        packed.resize(rowBytes * static_cast<std::size_t>(s->h));
        const auto* src = static_cast<const unsigned char*>(s->pixels);
        for (int y = 0; y < s->h; ++y) {
            std::memcpy(&packed[rowBytes * static_cast<std::size_t>(y)],
                        src + static_cast<std::size_t>(s->pitch) * static_cast<std::size_t>(y), rowBytes);
        }
        pixels = packed.data();
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, s->w, s->h, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
}

}  // namespace

// Derived from the headers of the decoded entries, whose sizes the decoded
// pictures matched.
std::int64_t Archive::textureTexels() const {
    std::int64_t texels = 0;
    for (std::size_t i = 0; i < textures_.size(); ++i) {
        if (textures_[i] == 0) continue;
        const ImageHeader h = readImageHeader(entries_[i].data, static_cast<std::size_t>(entries_[i].size));
        texels += h.width * h.height;
    }
    return texels;
}

std::uint32_t Archive::getTexture(const char* name) {
    const long found = findEntry(name);
    if (found < 0) return 0;
    const auto i = static_cast<std::size_t>(found);
    if (textures_[i] != 0) return textures_[i];

    const EntryBytes& entry = entries_[i];
    // Refused before decoding: a format without a readable size, or a size
    // the decoder would allocate for but OpenGL could not take.
    const ImageHeader header = readImageHeader(entry.data, static_cast<std::size_t>(entry.size));
    if (!header.fits(kMaxTextureSide) || !header.fits(usableTextureSide())) return 0;
    const std::int64_t texels = header.width * header.height;
    if (textureTexels() + texels > kMaxTotalTextureTexels) return 0;
    SDL_RWops* stream = SDL_RWFromMem(const_cast<unsigned char*>(entry.data), entry.size);
    if (!stream) return 0;
    SDL_Surface* decoded = IMG_Load_RW(stream, 0);  // 0: the decoder leaves the stream open
    SDL_RWclose(stream);
    if (!decoded) return 0;
    if (decoded->w != header.width || decoded->h != header.height) {  // the header did not tell the truth
        SDL_FreeSurface(decoded);
        return 0;
    }

    SDL_Surface* rgba = isPackedRgba(decoded) ? decoded : convertToRgba(decoded);
    if (rgba) {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        uploadRgba(rgba);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        textures_[i] = texture;
        if (rgba != decoded) SDL_FreeSurface(rgba);
    }
    SDL_FreeSurface(decoded);
    return textures_[i];
}
