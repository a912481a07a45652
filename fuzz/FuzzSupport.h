// Small helpers shared by the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// A property every input must keep. A broken one aborts, which libFuzzer
// reports as a crash and saves the input; refused inputs never come here.
inline void fuzzCheck(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "fuzz property broken: %s\n", what);
    std::abort();
}

// The input cut at every NUL into at most maxParts pieces; the last piece
// keeps whatever follows, NULs included.
inline std::vector<std::string> splitAtNul(const unsigned char* data, std::size_t size, std::size_t maxParts) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\0' && parts.size() < maxParts) {
            parts.emplace_back();
        } else {
            parts.back() += static_cast<char>(data[i]);
        }
    }
    return parts;
}
