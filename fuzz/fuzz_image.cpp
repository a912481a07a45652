// Picture bytes -> both ways the screensaver decodes a picture: as the one
// image entry of an archive (Archive::getTexture, uploading into the
// recording OpenGL) and as the preview picture (loadPreviewPicture). An
// accepted texture is uploaded once, at the size its header declares.
#include "app/Preview.h"
#include "assets/Archive.h"
#include "assets/ImageHeader.h"
#include "assets/tests/ArchiveBytes.h"
#include "fuzz/FuzzSupport.h"
#include "tests/doubles/gl_recorder.h"

#include <SDL.h>

#include <climits>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > INT_MAX / 2) return 0;
    glrec::reset();
    glrec::setMaxTextureSize(kFuzzMaxTextureSide);
    const std::vector<unsigned char> picture(data, data + size);
    const std::vector<unsigned char> pak = ArchiveBytes(1).entry("picture", picture).bytes;
    Archive archive;
    fuzzCheck(archive.loadBytes(pak.data(), pak.size()), "a one-entry archive loads");
    if (const std::uint32_t texture = archive.getTexture("picture")) {
        const ImageHeader header = readImageHeader(data, size);
        const auto& images = glrec::texImages();
        fuzzCheck(images.size() == 1 && images[0].texture == texture, "one upload, of the texture returned");
        fuzzCheck(images[0].width == header.width && images[0].height == header.height,
                  "uploaded at the size the header declares");
    }
    if (SDL_Surface* preview = loadPreviewPicture(data, size)) {
        fuzzCheck(preview->format->BytesPerPixel == 3 && preview->w <= 2048 && preview->h <= 2048,
                  "a 24-bit preview picture of at most 2048 pixels a side");
        SDL_FreeSurface(preview);
    }
    return 0;
}
