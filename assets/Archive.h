// An archive file held whole in memory: a sequence of named blobs (mesh
// entries, encoded images) read once and kept for the archive's life.
//
// File layout, little-endian, packed:
//   int32 entry count K, then K records of
//   int8 name length N (0..127), N name bytes (no terminator),
//   int32 data size S, S data bytes.
//
//   Archive pak("main.pak");                // exits with status 1 if missing
//   EntryBytes mesh = pak.getEntry("sn1");  // {nullptr, 0} when absent
//   std::uint32_t tex = pak.getTexture("stone.png");
//
// Lookups take the first entry, in archive order, whose name matches exactly.
// Entry bytes stay at the same address, unchanged, until the archive is
// destroyed, so callers may keep pointers into them.
//
// A file that cannot be opened, or that is not a regular file (a directory,
// a device), ends the process with exit status 1 and no message. A file that
// opens but is truncated or corrupt (a short read, a negative name length, a
// negative data size or one larger than the rest of the file) ends the
// process with exit status 1 after the single line "Corrupt archive: <path>"
// on the standard error stream. Either way the reason ("Cannot open archive:
// <path>", "Corrupt archive: <path>") is recorded as the user's last start-up
// failure (settings/UserFiles.h), which the settings dialog shows; tools that
// must not leave such a record read with loadBytes. A negative entry count
// reads as no entries, and bytes after the last record are ignored.
//
// getTexture lives in ArchiveTexture.cpp so that programs that only read and
// write archives need no OpenGL.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One entry's data: a pointer to its first byte and its size. The archive
// owns the bytes. An absent entry is {nullptr, 0}.
struct EntryBytes {
    const unsigned char* data = nullptr;
    std::int32_t size = 0;
};

class Archive {
public:
    // Longest entry name the file format can hold.
    static constexpr std::size_t kMaxNameLength = 127;

    Archive();
    explicit Archive(const char* path);
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    // Fills an empty archive from the bytes of an archive file, copying each
    // entry's data, by the same rules as the file constructor. False, and the
    // archive left empty, when the bytes are truncated or corrupt (or the
    // archive was not empty); the process never ends here.
    bool loadBytes(const unsigned char* data, std::size_t size);

    EntryBytes getEntry(const char* name) const;

    // Longest texture side taken from an image entry, whatever more the
    // OpenGL implementation would take: 64 MiB of texels at most.
    static constexpr std::int64_t kMaxTextureSide = 4096;
    // Texels of all the textures one archive makes: 256 MiB of RGBA, four
    // images of 4096 x 4096. A small compressed image can declare a large
    // one, so an archive of them could otherwise fill memory.
    static constexpr std::int64_t kMaxTotalTextureTexels = std::int64_t{64} * 1024 * 1024;
    // Texels of the textures this archive has made so far.
    std::int64_t textureTexels() const;

    // The OpenGL texture of the first entry named `name`, decoded and uploaded
    // on first use and remembered in the entry's texture slot; 0 when there is
    // no such entry or it does not decode. Images are PNG, JPEG or BMP;
    // one whose header declares a side above kMaxTextureSide or
    // GL_MAX_TEXTURE_SIZE, or more texels than are left of
    // kMaxTotalTextureTexels, is refused (0) before it is decoded. Needs a
    // current OpenGL context.
    std::uint32_t getTexture(const char* name);

    // Appends the whole content of the file at `path` as an entry named by the
    // path itself. False, and nothing appended, when the file cannot be read
    // or the path is longer than kMaxNameLength bytes.
    bool addFile(const char* path);

    // Appends a copy of `size` bytes at `data` under `name`. False, and
    // nothing appended, for a negative size, null data with a nonzero size, or
    // a name longer than kMaxNameLength bytes.
    bool addMemory(const char* name, const void* data, std::int32_t size);

    // Writes the archive to `path` in the file layout above. False when the
    // file cannot be written, or (writing nothing) when an entry's name is
    // longer than kMaxNameLength bytes.
    bool save(const char* path) const;

    // Writes each entry's data to the file named `prefix` followed directly by
    // the entry's name (no separator added), in archive order. Tries every
    // entry; false if any file could not be written.
    bool extractAll(const char* prefix) const;

    // Read-only views for tools and tests; index i is entry i in archive order.
    std::size_t entryCount() const { return names_.size(); }
    const std::string& nameAt(std::size_t i) const { return names_[i]; }
    EntryBytes entryAt(std::size_t i) const { return entries_[i]; }
    std::uint32_t textureSlotAt(std::size_t i) const { return textures_[i]; }

private:
    // Index of the first entry named `name`, or -1.
    long findEntry(const char* name) const;
    // Appends the records of an archive file read from `src`; on a corrupt
    // record frees every entry and returns false.
    template <class Source>
    bool readRecords(Source& src);
    void append(std::string name, const unsigned char* ownedData, std::int32_t size);
    void freeEntries();

    // Index-aligned: texture slot (0 = not decoded), owned data block, name.
    std::vector<std::uint32_t> textures_;
    std::vector<EntryBytes> entries_;
    std::vector<std::string> names_;
};
