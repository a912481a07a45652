#include "assets/Archive.h"

#include "assets/ByteReader.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ios>
#include <string>
#include <utility>

#include "settings/UserFiles.h"

namespace {

// Ends the process when the archive cannot be read (exit status 1), after
// recording why as the user's last start-up failure, which the settings
// dialog shows. Only a damaged file is also named on the standard error
// stream; a missing one ends the run silently.
[[noreturn]] void endRun(const char* what, const char* path, bool print) {
    const std::string message = std::string(what) + ": " + path;
    if (print) std::fprintf(stderr, "%s\n", message.c_str());
    recordStartupFailure(message);
    std::exit(1);
}

// Reads exactly n bytes from a stream of which `remaining` bytes are known to
// be left. Never asks for more than the file still holds, so a corrupt size
// cannot cause a huge allocation before it is caught.
class FileSource {
public:
    FileSource(std::ifstream& in, std::streamoff remaining) : in_(in), remaining_(remaining) {}

    std::streamoff remaining() const { return remaining_; }

    bool read(void* dst, std::size_t n) {
        if (static_cast<std::streamoff>(n) > remaining_) return false;
        if (n == 0) return true;
        in_.read(static_cast<char*>(dst), static_cast<std::streamsize>(n));
        if (in_.gcount() != static_cast<std::streamsize>(n)) return false;
        remaining_ -= static_cast<std::streamoff>(n);
        return true;
    }

private:
    std::ifstream& in_;
    std::streamoff remaining_;
};

// The same reads over bytes already in memory.
class MemorySource {
public:
    MemorySource(const unsigned char* data, std::size_t size) : in_(data, data + size) {}

    std::streamoff remaining() const { return static_cast<std::streamoff>(in_.remaining()); }

    bool read(void* dst, std::size_t n) {
        const unsigned char* from = in_.position();
        if (!in_.skip(n)) return false;
        if (n) std::memcpy(dst, from, n);
        return true;
    }

private:
    ByteReader in_;
};

template <class Source>
bool readInt32(Source& src, std::int32_t& value) {
    unsigned char b[4];
    if (!src.read(b, 4)) return false;
    value = loadInt32LE(b);
    return true;
}

bool writeAll(std::ofstream& out, const void* data, std::size_t n) {
    if (n) out.write(static_cast<const char*>(data), static_cast<std::streamsize>(n));
    return static_cast<bool>(out);
}

}  // namespace

Archive::Archive() = default;

Archive::Archive(const char* path) {
    // A directory, a device or a pipe opens as a stream on some systems but
    // cannot be read as an archive file: treated like a missing file. stat()
    // takes the name in the program's own code page, as the stream does
    // (std::filesystem would read it in the ANSI code page on Windows).
    struct stat info {};
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode)) endRun("Cannot open archive", path, false);
    std::ifstream in(path, std::ios::binary);
    if (!in) endRun("Cannot open archive", path, false);
    in.seekg(0, std::ios::end);
    const std::streamoff total = in.tellg();
    in.seekg(0, std::ios::beg);
    if (!in || total < 0) endRun("Cannot open archive", path, false);  // not a readable, seekable file

    FileSource src(in, total);
    if (!readRecords(src)) endRun("Corrupt archive", path, true);
}

bool Archive::loadBytes(const unsigned char* data, std::size_t size) {
    if (!names_.empty() || (size > 0 && !data)) return false;
    MemorySource src(data, size);
    return readRecords(src);
}

template <class Source>
bool Archive::readRecords(Source& src) {
    std::int32_t count = 0;
    bool good = readInt32(src, count);
    for (std::int32_t i = 0; good && i < count; ++i) {
        unsigned char lengthByte = 0;
        if (!src.read(&lengthByte, 1) || lengthByte > kMaxNameLength) {  // negative as a signed byte
            good = false;
            break;
        }
        char nameBuffer[kMaxNameLength + 1];
        if (!src.read(nameBuffer, lengthByte)) {
            good = false;
            break;
        }
        nameBuffer[lengthByte] = '\0';  // a NUL inside a stored name ends the name there
        std::int32_t size = 0;
        if (!readInt32(src, size) || size < 0 || size > src.remaining()) {
            good = false;
            break;
        }
        unsigned char* data = new unsigned char[static_cast<std::size_t>(size)];
        if (!src.read(data, static_cast<std::size_t>(size))) {
            delete[] data;
            good = false;
            break;
        }
        append(nameBuffer, data, size);
    }
    if (!good) freeEntries();
    return good;
}

Archive::~Archive() { freeEntries(); }

void Archive::freeEntries() {
    for (EntryBytes& e : entries_) {
        delete[] e.data;
        e.data = nullptr;
    }
    textures_.clear();
    entries_.clear();
    names_.clear();
}

void Archive::append(std::string name, const unsigned char* ownedData, std::int32_t size) {
    textures_.push_back(0);
    entries_.push_back(EntryBytes{ownedData, size});
    names_.push_back(std::move(name));
}

long Archive::findEntry(const char* name) const {
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (names_[i] == name) return static_cast<long>(i);
    }
    return -1;
}

EntryBytes Archive::getEntry(const char* name) const {
    const long i = findEntry(name);
    if (i < 0) return EntryBytes{};
    return entries_[static_cast<std::size_t>(i)];
}

bool Archive::addFile(const char* path) {
    if (std::strlen(path) > kMaxNameLength) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff total = in.tellg();
    in.seekg(0, std::ios::beg);
    if (!in || total < 0 || total > INT32_MAX) return false;
    const auto size = static_cast<std::size_t>(total);
    unsigned char* data = new unsigned char[size];
    if (size) in.read(reinterpret_cast<char*>(data), static_cast<std::streamsize>(size));
    if (size && in.gcount() != static_cast<std::streamsize>(size)) {
        delete[] data;
        return false;
    }
    append(path, data, static_cast<std::int32_t>(size));
    return true;
}

bool Archive::addMemory(const char* name, const void* data, std::int32_t size) {
    if (size < 0 || (size > 0 && !data) || std::strlen(name) > kMaxNameLength) return false;
    unsigned char* copy = new unsigned char[static_cast<std::size_t>(size)];
    if (size) std::memcpy(copy, data, static_cast<std::size_t>(size));
    append(name, copy, size);
    return true;
}

bool Archive::save(const char* path) const {
    for (const std::string& name : names_) {
        if (name.size() > kMaxNameLength) return false;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    std::vector<unsigned char> header;
    appendInt32LE(header, static_cast<std::int32_t>(names_.size()));
    bool good = writeAll(out, header.data(), header.size());
    for (std::size_t i = 0; good && i < names_.size(); ++i) {
        header.clear();
        header.push_back(static_cast<unsigned char>(names_[i].size()));
        header.insert(header.end(), names_[i].begin(), names_[i].end());
        appendInt32LE(header, entries_[i].size);
        good = writeAll(out, header.data(), header.size()) &&
               writeAll(out, entries_[i].data, static_cast<std::size_t>(entries_[i].size));
    }
    out.close();
    return good && !out.fail();
}

bool Archive::extractAll(const char* prefix) const {
    bool allWritten = true;
    for (std::size_t i = 0; i < names_.size(); ++i) {
        const std::string path = std::string(prefix) + names_[i];
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        bool good = static_cast<bool>(out) &&
                    writeAll(out, entries_[i].data, static_cast<std::size_t>(entries_[i].size));
        out.close();
        if (!good || out.fail()) allWritten = false;
    }
    return allWritten;
}
