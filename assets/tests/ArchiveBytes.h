// Builds archive files byte by byte for tests, independently of Archive::save.
#pragma once

#include "assets/ByteReader.h"

#include <string>
#include <vector>

struct ArchiveBytes {
    std::vector<unsigned char> bytes;

    explicit ArchiveBytes(std::int32_t count) { appendInt32LE(bytes, count); }

    ArchiveBytes& entry(const std::string& name, const std::vector<unsigned char>& data) {
        bytes.push_back(static_cast<unsigned char>(name.size()));
        bytes.insert(bytes.end(), name.begin(), name.end());
        appendInt32LE(bytes, static_cast<std::int32_t>(data.size()));
        bytes.insert(bytes.end(), data.begin(), data.end());
        return *this;
    }
};
