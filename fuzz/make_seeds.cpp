// fuzz_make_seeds OUTDIR MAIN_PAK PREVIEW_PPK: writes a few valid inputs for
// every fuzz target into OUTDIR/<target>/, made with the tests' byte builders
// and taken from the generated default content (main.pak, preview.ppk).
// These seeds are generated on every run; fuzz/seeds/ holds the few pictures
// of kinds no builder here makes (progressive JPEG, 16-bit PNG, OS/2 BMP, ...).
#include "assets/Archive.h"
#include "assets/tests/ArchiveBytes.h"
#include "assets/tests/ImageBytes.h"
#include "assets/tests/MeshBytes.h"
#include "settings/tests/SettingsBytes.h"

#include <SDL.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes8 = std::vector<unsigned char>;

fs::path outDir;
bool allWritten = true;

void seed(const std::string& target, const std::string& name, const Bytes8& bytes) {
    fs::create_directories(outDir / target);
    std::ofstream out(outDir / target / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) allWritten = false;
}

void seed(const std::string& target, const std::string& name, const std::string& text) {
    seed(target, name, Bytes8(text.begin(), text.end()));
}

// A string literal with the NULs inside it, without its terminator.
template <std::size_t N>
std::string withNuls(const char (&text)[N]) {
    return std::string(text, N - 1);
}

bool readFile(const std::string& path, Bytes8& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// A BMP of a w x h surface of the given depth with a diagonal pattern.
Bytes8 bitmap(int w, int h, int depth) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, depth, 0, 0, 0, 0);
    if (!s) return {};
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 30, 90, 200));
    for (int i = 0; i < w && i < h; ++i) {
        SDL_Rect dot{static_cast<Sint16>(i), static_cast<Sint16>(i), 1, 1};
        SDL_FillRect(s, &dot, SDL_MapRGB(s->format, 250, 240, 10));
    }
    Bytes8 bytes = encodeBmp(s, (outDir / "scratch.bmp").string());
    SDL_FreeSurface(s);
    return bytes;
}

Bytes8 utf16le(const std::string& ascii, bool mark) {
    Bytes8 out;
    if (mark) out = {0xFF, 0xFE};
    for (char c : ascii) {
        out.push_back(static_cast<unsigned char>(c));
        out.push_back(0);
    }
    return out;
}

void contentSeeds(const std::string& mainPak, const std::string& previewPpk) {
    Bytes8 bytes;
    if (readFile(mainPak, bytes)) seed("archive", "main.pak", bytes); else allWritten = false;
    if (readFile(previewPpk, bytes)) {
        seed("preview", "preview.ppk", bytes);
        seed("image", "preview.ppk", bytes);
    } else {
        allWritten = false;
    }
    Archive pak(mainPak.c_str());
    for (std::size_t i = 0; i < pak.entryCount(); ++i) {
        const EntryBytes e = pak.entryAt(i);
        const Bytes8 data(e.data, e.data + e.size);
        const std::string& name = pak.nameAt(i);
        // Entry names may hold '#' and '$'; the seed file names keep to plain characters.
        std::string fileName = name;
        for (char& c : fileName) {
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        // The images are PNGs, whatever their names; everything else is a mesh entry.
        const bool png = data.size() >= 4 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G';
        if (png) {
            seed("archive", "one-image-" + fileName + ".pak", ArchiveBytes(1).entry(name, data).bytes);
            seed("image", "main-" + fileName + ".png", data);
        } else {
            seed("mesh", "main-" + fileName, data);
        }
    }
}

void builtSeeds() {
    const Bytes8 png = encodePng(2, 2, 4, {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 9, 9, 9, 255});
    const Bytes8 grey = encodePng(3, 1, 1, {0, 128, 255});
    const Bytes8 mesh = MeshBytes(0, 2).mesh("stone.png", 1).mesh("##Plasma16x8:40:80:160", 2, 5.0).bytes;
    seed("archive", "empty.pak", ArchiveBytes(0).bytes);
    seed("archive", "mixed.pak",
         ArchiveBytes(4).entry("stone.png", png).entry("grey.png", grey).entry("sn1", mesh).entry("stone.png", grey).bytes);
    seed("archive", "bitmap.pak", ArchiveBytes(1).entry("b.bmp", bitmap(5, 3, 24)).bytes);

    seed("mesh", "two-meshes", mesh);
    seed("mesh", "long-header", MeshBytes(0xFF, 1).mesh("#$glass.png", 2).bytes);
    seed("mesh", "three-kinds",
         MeshBytes(1, 3).mesh("glass.png", 1).mesh("#nothing", 0).mesh("x#Plasma32x32:255:170:40", 1).bytes);

    seed("settings", "defaults", Bytes().i32(3).u8(0).i32(0).i32(0).text("").text("").i32(7).i32(15).data);
    seed("settings", "texts-and-mouse", Bytes().i32(3).u8(1).i32(5).i32(4).text(withNuls("b\0b")).text("Calvetrin").i32(9).i32(30).data);
    seed("settings", "unusable-values", Bytes().i32(3).u8(7).i32(-1).i32(99).text("").text("x").i32(INT32_MIN).i32(0).data);

    seed("texture_cache", "one", "##Plasma128x128:40:80:160");
    seed("texture_cache", "several", withNuls("##Plasma16x16:1:2:3\0x#Plasma8,4 :255:0:9\0##Plasma16x16:1:2:3"));
    seed("texture_cache", "spaces", " #Plasma 64 x 32  :9:9:9 trailing");

    const std::string section = "[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\Calvetrin\\Settings]\n";
    seed("registry", "version5", "Windows Registry Editor Version 5.00\n\n" + section + "\"Path\"=\"/opt/calvetrin/\"\n");
    seed("registry", "regedit4-values",
         "REGEDIT4\n\n; comment\n" + section +
             "@=\"default\"\n\"Count\"=dword:0000001f\n\"Blob\"=hex:01,02,ab,\\\n  cd,ef\n"
             "\"Quoted\"=\"say \\\"hi\\\" \\\\ back\"\n\n[-HKEY_LOCAL_MACHINE\\Software\\Other]\n\"Gone\"=-\n");
    seed("registry", "expand-utf16",
         "Windows Registry Editor Version 5.00\n" + section + "\"Path\"=hex(2):2f,00,6f,00,70,00,74,00,00,00\n");
    seed("registry", "utf16-file", utf16le("Windows Registry Editor Version 5.00\r\n" + section + "\"Path\"=\"/x/\"\r\n", true));
    seed("registry", "utf8-mark", "\xEF\xBB\xBFREGEDIT4\n" + section + "\"PATH\"=\"/y/\"\n");

    const std::string mtl = "# materials\nnewmtl stone\nKd 1 1 1\nmap_Kd -s 1 1 1 textures/stone.png\nnewmtl glass\nmap_Kd glass.png\n";
    const std::string obj =
        "mtllib scene.mtl\no quad\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0 1\nvt 0 0\nvt 1 0\nvt 1 1 0\nvt 0 1\n"
        "vn 0 0 1\nusemtl stone\nf 1/1/1 2/2/1 3/3/1 4/4/1\nusemtl glass\nf -4/-4 -2/-2 -1/-1\ns off\n";
    seed("obj", "two-materials", mtl + std::string(1, '\0') + obj);
    seed("obj", "one-triangle", withNuls("newmtl m\nmap_Kd a.png\n\0usemtl m\nv 1 2 3\nv 4 5 6\nv 7 8 9e-3\nvt .5\nf 1/1 2/1 3/1\n"));

    seed("config_options", "mode-size", withNuls("--mode\0" "1024x768x32\0--spin\0" "9"));
    seed("config_options", "equals", withNuls("--phase=10\0--mouse-quits\0yes\0--mode=3"));
    seed("config_options", "help", "--help");
    seed("config_options", "all", withNuls("--spin=-2147483643\0--phase\0" "715827\0--mouse-quits=off\0-h"));

    Bytes8 jpeg;
    const Bytes8 gradient = [] {
        Bytes8 pixels;
        for (int i = 0; i < 16 * 8 * 3; ++i) pixels.push_back(static_cast<unsigned char>(i * 7));
        return pixels;
    }();
    if (!stbi_write_jpg_to_func(appendToVector, &jpeg, 16, 8, 3, gradient.data(), 90)) allWritten = false;
    seed("image", "rgba.png", png);
    seed("image", "grey.png", grey);
    seed("image", "grey-alpha.png", encodePng(2, 3, 2, {0, 255, 40, 128, 80, 0, 120, 255, 160, 64, 200, 255}));
    seed("image", "gradient.jpg", jpeg);
    seed("image", "paletted.bmp", bitmap(7, 5, 8));
    seed("image", "24-bit.bmp", bitmap(152, 112, 24));

    seed("preview", "paletted.bmp", bitmap(7, 5, 8));
    seed("preview", "16-bit.bmp", bitmap(4, 4, 16));
    seed("preview", "32-bit.bmp", bitmap(3, 2, 32));
    seed("preview", "24-bit.bmp", bitmap(152, 112, 24));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s OUTDIR MAIN_PAK PREVIEW_PPK\n", argv[0]);
        return 2;
    }
    outDir = argv[1];
    fs::create_directories(outDir);
    builtSeeds();
    contentSeeds(argv[2], argv[3]);
    if (!allWritten) {
        std::fprintf(stderr, "%s: some seeds could not be made in %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
