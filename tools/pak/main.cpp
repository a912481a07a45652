// calvetrin-pak: builds, lists and unpacks the screensaver's archive files and
// turns Wavefront OBJ models into mesh entries.
#include "assets/Archive.h"
#include "assets/MeshEntryWriter.h"
#include "tools/pak/ObjModel.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* const kUsage =
    "Usage: calvetrin-pak COMMAND ...\n"
    "\n"
    "  list ARCHIVE                 print each entry's size and name, in archive order\n"
    "  create ARCHIVE [NAME=]FILE...\n"
    "                               write a new archive holding the files in the given\n"
    "                               order; an entry is named NAME, or the file's base\n"
    "                               name (the text before the first '=' is the name)\n"
    "  extract ARCHIVE PREFIX       write every entry to PREFIX followed by its name\n"
    "                               (PREFIX \"out/\" puts them into the directory out)\n"
    "  obj-to-mesh [--texture [MATERIAL=]NAME]... [--scale S] MODEL.obj OUT\n"
    "                               write a mesh entry made from a Wavefront OBJ model\n"
    "                               with texture coordinates; each material becomes one\n"
    "                               mesh whose texture is its map_Kd image's base name.\n"
    "                               --texture NAME: NAME for every mesh instead;\n"
    "                               --texture MATERIAL=NAME: NAME for that material's\n"
    "                               mesh, over map_Kd and --texture NAME (the text\n"
    "                               before the first '=' is the material, which the\n"
    "                               model must use; at most once per material). Give\n"
    "                               plasma ('##...') and glow ('#$...') textures this\n"
    "                               way: '#' starts a comment in MTL.\n"
    "                               --scale S multiplies every position. Prints the\n"
    "                               model's radius and the radius the scene expects.\n"
    "                               Put the result into main.pak with create, e.g.\n"
    "                               sn1=OUT.\n"
    "  --help                       show this text\n"
    "\n"
    "Exit status: 0 on success, 1 on failure, 2 on wrong usage.\n";

int usageError(const char* what) {
    std::fprintf(stderr, "calvetrin-pak: %s\nTry 'calvetrin-pak --help'.\n", what);
    return 2;
}

int fail(const std::string& what) {
    std::fprintf(stderr, "calvetrin-pak: %s\n", what.c_str());
    return 1;
}

bool readWholeFile(const std::string& path, std::vector<unsigned char>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Reads the archive at path whole. Not with Archive(path), which ends the
// process without a reason when the file cannot be opened, and records a
// failure as the screensaver's own; the messages here are the same.
bool readArchive(const std::string& path, Archive& archive, int& status) {
    std::vector<unsigned char> bytes;
    if (!readWholeFile(path, bytes)) {
        status = fail("cannot open archive " + path);
        return false;
    }
    if (!archive.loadBytes(bytes.data(), bytes.size())) {
        std::fprintf(stderr, "Corrupt archive: %s\n", path.c_str());
        status = 1;
        return false;
    }
    return true;
}

int list(const std::string& path) {
    Archive archive;
    int status = 0;
    if (!readArchive(path, archive, status)) return status;
    for (std::size_t i = 0; i < archive.entryCount(); ++i) {
        std::printf("%10d  %s\n", static_cast<int>(archive.entryAt(i).size), archive.nameAt(i).c_str());
    }
    return 0;
}

int create(const std::string& path, const std::vector<std::string>& items) {
    Archive archive;
    for (const std::string& item : items) {
        const auto eq = item.find('=');
        const std::string file = eq == std::string::npos ? item : item.substr(eq + 1);
        const std::string name = eq == std::string::npos ? baseName(item) : item.substr(0, eq);
        if (name.size() > Archive::kMaxNameLength) {
            return fail("entry name longer than 127 bytes: " + name);
        }
        std::vector<unsigned char> data;
        if (!readWholeFile(file, data)) return fail("cannot read " + file);
        if (data.size() > static_cast<std::size_t>(INT32_MAX)) return fail("file too large: " + file);
        if (archive.getEntry(name.c_str()).data) {
            std::fprintf(stderr, "calvetrin-pak: warning: entry name '%s' used twice; lookups find the first\n",
                         name.c_str());
        }
        if (!archive.addMemory(name.c_str(), data.data(), static_cast<std::int32_t>(data.size()))) {
            return fail("cannot add " + file);
        }
    }
    if (!archive.save(path.c_str())) return fail("cannot write " + path);
    return 0;
}

// Entry names that could leave the prefix's directory, or name the directory
// itself, are refused.
bool safeEntryName(const std::string& name) {
    return !name.empty() && name != "." && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos && name.find("..") == std::string::npos;
}

int extract(const std::string& path, const std::string& prefix) {
    Archive archive;
    int status = 0;
    if (!readArchive(path, archive, status)) return status;
    for (std::size_t i = 0; i < archive.entryCount(); ++i) {
        if (!safeEntryName(archive.nameAt(i))) {
            return fail("refusing to extract entry '" + archive.nameAt(i) + "': not a plain file name");
        }
    }
    if (!archive.extractAll(prefix.c_str())) return fail("cannot write every entry under " + prefix);
    return 0;
}

int objToMesh(const std::vector<std::string>& args) {
    ObjOptions options;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--texture" || args[i] == "--scale") {
            if (i + 1 == args.size()) return usageError((args[i] + " needs a value").c_str());
            const std::string& value = args[++i];
            if (args[i - 1] == "--texture") {
                // MATERIAL=NAME splits at the first '=', so that a texture name
                // may hold '='; a material whose name holds one cannot be named.
                const auto eq = value.find('=');
                const std::string material = eq == std::string::npos ? "" : value.substr(0, eq);
                const std::string name = eq == std::string::npos ? value : value.substr(eq + 1);
                if (eq == 0) return usageError(("--texture " + value + ": no material before '='").c_str());
                if (name.empty() || name.size() > Archive::kMaxNameLength) {
                    return fail("texture name must be 1 to 127 bytes: --texture " + value);
                }
                if (material.empty()) {
                    options.texture = name;
                } else if (options.materialTextures.find(material)) {
                    return usageError(("--texture given twice for material '" + material + "'").c_str());
                } else {
                    options.materialTextures.entries.emplace_back(material, name);
                }
            } else {
                char* end = nullptr;
                options.scale = std::strtod(value.c_str(), &end);
                if (value.empty() || *end != '\0' || !std::isfinite(options.scale)) {
                    return usageError(("bad scale: " + value).c_str());
                }
            }
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) return usageError("obj-to-mesh needs MODEL.obj and OUT");

    std::vector<MeshData> meshes;
    std::string error;
    if (!readObjModel(files[0], options, meshes, error)) return fail(error);
    const std::vector<unsigned char> entry = buildMeshEntry(meshes);
    if (entry.empty()) return fail("cannot encode the meshes of " + files[0]);
    std::ofstream out(files[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(entry.data()), static_cast<std::streamsize>(entry.size()));
    out.close();
    if (!out) return fail("cannot write " + files[1]);
    std::fputs(sizeAdvice(modelRadius(meshes), options.scale).c_str(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return usageError("no command given");
    const std::string& command = args[0];
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "list") {
        if (args.size() != 2) return usageError("list needs ARCHIVE");
        return list(args[1]);
    }
    if (command == "create") {
        if (args.size() < 2) return usageError("create needs ARCHIVE");
        return create(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
    }
    if (command == "extract") {
        if (args.size() != 3) return usageError("extract needs ARCHIVE and PREFIX");
        return extract(args[1], args[2]);
    }
    if (command == "obj-to-mesh") return objToMesh(std::vector<std::string>(args.begin() + 1, args.end()));
    return usageError(("unknown command: " + command).c_str());
}
