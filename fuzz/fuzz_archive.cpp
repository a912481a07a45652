// Archive bytes -> Archive::loadBytes, then every entry looked up by name and
// decoded as a texture into the recording OpenGL.
#include "assets/Archive.h"
#include "fuzz/FuzzSupport.h"
#include "tests/doubles/gl_recorder.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    glrec::reset();
    glrec::setMaxTextureSize(kFuzzMaxTextureSide);
    Archive archive;
    if (!archive.loadBytes(data, size)) {
        fuzzCheck(archive.entryCount() == 0, "a refused archive is left empty");
        return 0;
    }
    // Every record costs at least 5 bytes of header beyond its name and data,
    // after the 4-byte count: the entries cannot hold more than the input.
    std::size_t used = 4;
    volatile unsigned char edges = 0;
    for (std::size_t i = 0; i < archive.entryCount(); ++i) {
        const std::string& name = archive.nameAt(i);
        const EntryBytes mine = archive.entryAt(i);
        fuzzCheck(mine.size >= 0 && name.size() <= Archive::kMaxNameLength, "entry size and name length in range");
        used += 5 + name.size() + static_cast<std::size_t>(mine.size);
        // Touch both ends of the copied data, so a wrong size shows up as an
        // out-of-bounds read here.
        if (mine.size > 0) edges ^= mine.data[0] ^ mine.data[mine.size - 1];
        // Lookups find the first entry of that name, which may be an earlier one.
        std::size_t first = 0;
        while (archive.nameAt(first) != name) ++first;
        const EntryBytes found = archive.getEntry(name.c_str());
        fuzzCheck(found.data == archive.entryAt(first).data && found.size == archive.entryAt(first).size,
                  "getEntry finds the first entry of a name");
        archive.getTexture(name.c_str());
    }
    (void)edges;
    fuzzCheck(used <= size, "entries hold no more than the input's bytes");
    return 0;
}
