#include "tools/contentgen/Output.h"

#include "assets/Archive.h"
#include "assets/MeshEntryWriter.h"
#include "texgen/PlasmaPainter.h"

#include <cstring>

namespace contentgen {

namespace {
// The preview pane is tiny: the eye comes closer than the screensaver's 90
// units so that the nest fills the picture.
const double kPreviewDistance = 80.0;
}  // namespace

std::vector<unsigned char> meshEntryBytes(const ContentEntry& entry) {
    std::vector<MeshData> meshes;
    for (const GenMesh& m : entry.meshes) {
        MeshData data;
        data.textureName = m.textureName;
        data.positions = m.positions;
        data.texCoords = m.texCoords;
        meshes.push_back(std::move(data));
    }
    return buildMeshEntry(meshes);
}

bool writeMainPak(const Content& content, const std::string& path) {
    Archive archive;
    for (const ContentEntry& entry : content.entries) {
        const std::vector<unsigned char> bytes = meshEntryBytes(entry);
        if (!archive.addMemory(entry.name.c_str(), bytes.data(), static_cast<std::int32_t>(bytes.size())))
            return false;
    }
    for (const ContentImage& image : content.images) {
        const std::vector<unsigned char> png = encodePng(image.image);
        if (png.empty()) return false;
        if (!archive.addMemory(image.name.c_str(), png.data(), static_cast<std::int32_t>(png.size()))) return false;
    }
    return archive.save(path.c_str());
}

Image plasmaImage(const ContentPlasma& plasma, std::int32_t timeMs) {
    // The same painter that repaints the screensaver's plasma textures.
    PlasmaPainter painter(plasma.width, plasma.height, plasma.colour);
    Image image(plasma.width, plasma.height);
    painter.paint(timeMs, image.rgba.data());
    return image;
}

std::map<std::string, Image> textureImages(const Content& content, std::int32_t timeMs) {
    std::map<std::string, Image> textures;
    for (const ContentImage& image : content.images) textures[image.name] = image.image;
    for (const ContentPlasma& plasma : content.plasmas) textures[plasma.name] = plasmaImage(plasma, timeMs);
    return textures;
}

std::vector<PreviewNode> previewScene(const Content& content) {
    // The nest, the group with the largest shapes: the knot outside, the
    // lantern in it and the star crystal at the heart, caught mid-spin.
    PreviewNode outer{content.entry("sn12"), 0.9, {}, 30.0, 40.0, {}};
    PreviewNode middle{content.entry("sn1"), 0.45, {}, 70.0, 20.0, {}};
    PreviewNode inner{content.entry("sn11"), 0.2, {}, 10.0, 50.0, {}};
    middle.children.push_back(inner);
    outer.children.push_back(middle);
    return {outer};
}

bool writePreview(const Content& content, const std::string& path) {
    const RgbImage picture = renderPreview(previewScene(content), textureImages(content, kPreviewTimeMs), 152, 112, 4, kPreviewDistance);
    return savePreviewBmp(picture, path);
}

bool writeContent(const std::string& outDir) {
    const Content content = buildContent();
    const std::string dir = outDir.empty() || outDir.back() == '/' ? outDir : outDir + "/";
    return writeMainPak(content, dir + "main.pak") && writePreview(content, dir + "preview.ppk");
}

}  // namespace contentgen
