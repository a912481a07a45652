// The program icon of the Windows build: the preview's nest of shapes rendered
// at the sizes Windows shows (48, 32 and 16 pixels), stored as an .ico file
// that the resource compiler embeds in calvetrin.scr and config.exe.
//
//   if (!contentgen::writeIcon(buildContent(), "calvetrin.ico")) return 1;
#pragma once

#include "tools/contentgen/Content.h"
#include "tools/contentgen/Preview.h"

#include <string>
#include <vector>

namespace contentgen {

// The bytes of an .ico file holding one 32-bit image per picture (square,
// 1 to 256 pixels a side). Black pixels of a picture are transparent: the
// scene is drawn on black. Empty when a picture cannot be stored.
std::vector<unsigned char> iconBytes(const std::vector<RgbImage>& pictures);

// Renders the icon's pictures and writes the file. False when it cannot be written.
bool writeIcon(const Content& content, const std::string& path);

}  // namespace contentgen
