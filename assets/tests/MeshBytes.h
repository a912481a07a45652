// Builds mesh entries byte by byte for tests, independently of
// buildMeshEntry, so that malformed entries can be written too.
#pragma once

#include "assets/ByteReader.h"
#include "assets/Archive.h"

#include <memory>
#include <string>
#include <vector>

struct MeshBytes {
    std::vector<unsigned char> bytes;

    // Header byte h (plus the ignored 4-byte value when h is 0xFF) and count k.
    MeshBytes(unsigned char h, std::int32_t k, std::int32_t ignored = 0x5EADBEEF) {
        bytes.push_back(h);
        if (h == 0xFF) appendInt32LE(bytes, ignored);
        appendInt32LE(bytes, k);
    }

    // One record with name field `field` (written as is, so it carries its own
    // NUL), the stated L and T, the reserved byte, and `values` doubles.
    MeshBytes& record(const std::string& field, std::int32_t l, std::int32_t t, unsigned char reserved,
                      const std::vector<double>& values) {
        appendInt32LE(bytes, l);
        bytes.insert(bytes.end(), field.begin(), field.end());
        appendInt32LE(bytes, t);
        bytes.push_back(reserved);
        for (double v : values) appendDoubleLE(bytes, v);
        return *this;
    }

    // A well-formed record: name + NUL, T triangles of values start, start+1, ...
    MeshBytes& mesh(const std::string& name, std::int32_t t, double start = 0.0, unsigned char reserved = 0) {
        std::vector<double> values;
        for (std::int32_t i = 0; i < t * 15; ++i) values.push_back(start + i);
        return record(name + std::string(1, '\0'), static_cast<std::int32_t>(name.size() + 1), t, reserved, values);
    }
};

// Entry bytes in a heap block of exactly their size, so that the address
// sanitizer catches any read past the end.
class ExactEntry {
public:
    explicit ExactEntry(const std::vector<unsigned char>& bytes)
        : block_(new unsigned char[bytes.size() ? bytes.size() : 1]), size_(bytes.size()) {
        std::copy(bytes.begin(), bytes.end(), block_.get());
    }
    EntryBytes entry() const { return EntryBytes{block_.get(), static_cast<std::int32_t>(size_)}; }

private:
    std::unique_ptr<unsigned char[]> block_;
    std::size_t size_;
};
