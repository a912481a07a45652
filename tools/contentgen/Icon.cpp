#include "tools/contentgen/Icon.h"

#include "tools/contentgen/Output.h"

#include <cstdint>
#include <fstream>

namespace contentgen {

namespace {

constexpr std::size_t kDirectoryBytes = 6;
constexpr std::size_t kEntryBytes = 16;
constexpr std::size_t kBitmapHeaderBytes = 40;
constexpr int kIconSizes[] = {48, 32, 16};

void put16(std::vector<unsigned char>& out, std::uint32_t v) {
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

void put32(std::vector<unsigned char>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// Rows of the 1-bit AND mask are padded to 4 bytes.
std::size_t maskRowBytes(int side) { return static_cast<std::size_t>((side + 31) / 32 * 4); }

std::size_t imageBytes(int side) {
    const auto s = static_cast<std::size_t>(side);
    return kBitmapHeaderBytes + s * s * 4 + maskRowBytes(side) * s;
}

// One icon image: a bitmap header whose height counts the colour rows and the
// mask rows, the colour rows bottom first as blue, green, red, alpha, then the
// mask (all zero: the alpha channel decides).
void putImage(std::vector<unsigned char>& out, const RgbImage& picture) {
    const int side = picture.width;
    put32(out, kBitmapHeaderBytes);
    put32(out, static_cast<std::uint32_t>(side));
    put32(out, static_cast<std::uint32_t>(side * 2));
    put16(out, 1);   // planes
    put16(out, 32);  // bits per pixel
    put32(out, 0);   // no compression
    put32(out, static_cast<std::uint32_t>(imageBytes(side) - kBitmapHeaderBytes));
    for (int i = 0; i < 4; ++i) put32(out, 0);  // resolution and palette: unused
    for (int y = side - 1; y >= 0; --y) {
        for (int x = 0; x < side; ++x) {
            const unsigned char* p = &picture.rgb[3 * (static_cast<std::size_t>(y) * side + x)];
            const bool lit = p[0] != 0 || p[1] != 0 || p[2] != 0;
            out.insert(out.end(), {p[2], p[1], p[0], static_cast<unsigned char>(lit ? 0xFF : 0)});
        }
    }
    out.insert(out.end(), maskRowBytes(side) * static_cast<std::size_t>(side), 0);
}

}  // namespace

std::vector<unsigned char> iconBytes(const std::vector<RgbImage>& pictures) {
    for (const RgbImage& p : pictures) {
        if (p.width < 1 || p.width > 256 || p.height != p.width ||
            p.rgb.size() != static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height) * 3)
            return {};
    }
    std::vector<unsigned char> out;
    put16(out, 0);  // reserved
    put16(out, 1);  // an icon, not a cursor
    put16(out, static_cast<std::uint32_t>(pictures.size()));
    std::size_t offset = kDirectoryBytes + kEntryBytes * pictures.size();
    for (const RgbImage& p : pictures) {
        out.push_back(static_cast<unsigned char>(p.width & 0xFF));  // 256 is written as 0
        out.push_back(static_cast<unsigned char>(p.height & 0xFF));
        out.push_back(0);  // no palette
        out.push_back(0);  // reserved
        put16(out, 1);     // planes
        put16(out, 32);    // bits per pixel
        put32(out, static_cast<std::uint32_t>(imageBytes(p.width)));
        put32(out, static_cast<std::uint32_t>(offset));
        offset += imageBytes(p.width);
    }
    for (const RgbImage& p : pictures) putImage(out, p);
    return out;
}

bool writeIcon(const Content& content, const std::string& path) {
    std::vector<RgbImage> pictures;
    const auto textures = textureImages(content, kPreviewTimeMs);
    // Closer than the preview, so the nest fills the square.
    for (int side : kIconSizes) pictures.push_back(renderPreview(previewScene(content), textures, side, side, 4, 30.0));
    const std::vector<unsigned char> bytes = iconBytes(pictures);
    if (bytes.empty()) return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

}  // namespace contentgen
