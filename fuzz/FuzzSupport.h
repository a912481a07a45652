// Small helpers shared by the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// The largest texture side the recording OpenGL of the targets that decode
// textures takes. Larger ones are refused before decoding by the size check
// every texture goes through (tested on its own); keeping textures to the
// default content's largest keeps every input to milliseconds under the
// sanitizers, so that a timeout means a hang, not merely a big picture.
constexpr int kFuzzMaxTextureSide = 128;

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
