// Builds settings-file bytes field by field, little-endian, for tests that
// hand-craft "cfg" files.
//
//   std::string cfg = Bytes().i32(3).u8(1).i32(0).i32(6).text("").text("").i32(7).i32(15).data;
#pragma once

#include <cstdint>
#include <string>

struct Bytes {
    std::string data;
    Bytes& i32(std::int32_t value) {
        auto raw = static_cast<std::uint32_t>(value);
        for (int i = 0; i < 4; ++i) data += static_cast<char>((raw >> (8 * i)) & 0xFF);
        return *this;
    }
    Bytes& u8(std::uint8_t value) {
        data += static_cast<char>(value);
        return *this;
    }
    Bytes& text(const std::string& bytes) {
        i32(static_cast<std::int32_t>(bytes.size()));
        data += bytes;
        return *this;
    }
};
