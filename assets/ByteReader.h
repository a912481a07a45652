// Little-endian decoding and encoding of the packed, unaligned fields used by
// archive files and mesh entries. Values are assembled byte by byte, so the
// bytes may lie at any address and the host's byte order does not matter.
//
//   ByteReader in(bytes, bytes + size);
//   std::int32_t count = in.readInt32();
//   double x = in.readDouble();
//   if (!in.ok()) { /* some read ran past the end */ }
//
// The free functions load or store one value at a given address without any
// bounds check; callers use them only on ranges they have already checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

inline std::uint32_t loadUint16LE(const unsigned char* p) { return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8); }

inline std::uint32_t loadUint32LE(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

inline std::int32_t loadInt32LE(const unsigned char* p) {
    const std::uint32_t u = loadUint32LE(p);
    std::int32_t v;
    std::memcpy(&v, &u, sizeof v);  // two's complement reinterpretation
    return v;
}

inline double loadDoubleLE(const unsigned char* p) {
    std::uint64_t u = 0;
    for (int i = 7; i >= 0; --i) u = (u << 8) | p[i];
    double v;
    std::memcpy(&v, &u, sizeof v);
    return v;
}

inline void appendInt32LE(std::vector<unsigned char>& out, std::int32_t value) {
    std::uint32_t u;
    std::memcpy(&u, &value, sizeof u);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(u >> (8 * i)));
}

inline void appendDoubleLE(std::vector<unsigned char>& out, double value) {
    std::uint64_t u;
    std::memcpy(&u, &value, sizeof u);
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<unsigned char>(u >> (8 * i)));
}

// A cursor over [begin, end). A read that does not fit in the remaining bytes
// consumes nothing, returns 0 and marks the reader as failed for good.
class ByteReader {
public:
    ByteReader(const unsigned char* begin, const unsigned char* end) : cur_(begin), end_(end) {}

    bool ok() const { return ok_; }
    std::size_t remaining() const { return static_cast<std::size_t>(end_ - cur_); }
    const unsigned char* position() const { return cur_; }

    // Steps over n bytes; fails (and stays put) when fewer remain.
    bool skip(std::size_t n) {
        if (!take(n)) return false;
        cur_ += n;
        return true;
    }

    std::uint8_t readUint8() {
        if (!take(1)) return 0;
        return *cur_++;
    }

    std::int8_t readInt8() {
        const std::uint8_t u = readUint8();
        std::int8_t v;
        std::memcpy(&v, &u, 1);
        return v;
    }

    std::int32_t readInt32() {
        if (!take(4)) return 0;
        const std::int32_t v = loadInt32LE(cur_);
        cur_ += 4;
        return v;
    }

    double readDouble() {
        if (!take(8)) return 0.0;
        const double v = loadDoubleLE(cur_);
        cur_ += 8;
        return v;
    }

private:
    bool take(std::size_t n) {
        if (!ok_ || n > remaining()) {
            ok_ = false;
            return false;
        }
        return true;
    }

    const unsigned char* cur_;
    const unsigned char* end_;
    bool ok_ = true;
};
