// Writing the default content: the archive "main.pak" with the mesh entries
// and their texture images, and the preview picture "preview.ppk".
//
//   if (!writeContent("build/bin")) return 1;
#pragma once

#include "tools/contentgen/Content.h"
#include "tools/contentgen/Preview.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace contentgen {

// The moment of the plasma's flow shown in the preview (and the icon), in
// milliseconds.
inline constexpr std::int32_t kPreviewTimeMs = 20000;

// The mesh entry bytes of one content entry.
std::vector<unsigned char> meshEntryBytes(const ContentEntry& entry);

// Writes the archive: the mesh entries in content order, then every image as
// a PNG entry under its texture name. False when anything fails.
bool writeMainPak(const Content& content, const std::string& path);

// The RGBA image of a plasma texture at the given tick count.
Image plasmaImage(const ContentPlasma& plasma, std::int32_t timeMs);

// Every texture the content's meshes name, archive images and plasmas (the
// latter at timeMs), by texture name.
std::map<std::string, Image> textureImages(const Content& content, std::int32_t timeMs);

// The scene shown in the preview: one of the screensaver's groups, turned
// to a pleasing moment.
std::vector<PreviewNode> previewScene(const Content& content);

// Renders and writes the 152 x 112 preview picture.
bool writePreview(const Content& content, const std::string& path);

// Builds the content and writes "main.pak" and "preview.ppk" into outDir
// (which must exist). False when either file cannot be written.
bool writeContent(const std::string& outDir);

}  // namespace contentgen
