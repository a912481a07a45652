// Bytes -> up to eight NUL-separated generator specs -> texturegenCache
// .getTexture for each, then one update() painting every generator into the
// recording OpenGL at a tick count taken from the input; the generators are
// released after each input. Together they never exceed the cache's budget.
#include "assets/tests/ForgetGenerators.h"
#include "fuzz/FuzzSupport.h"
#include "tests/doubles/fake_clock.h"
#include "tests/doubles/gl_recorder.h"
#include "texgen/TexturegenCache.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    glrec::reset();
    // Any 32-bit tick count, negative ones after the conversion included.
    std::uint32_t ticks = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) ticks = (ticks ^ data[i]) * 16777619u;
    fakeclock::set(ticks);

    for (const std::string& spec : splitAtNul(data, size, 8)) {
        const std::size_t before = texturegenCache.generators.size();
        const std::uint32_t texture = texturegenCache.getTexture(spec.c_str());
        // The cache keys on the C string, so a spec ends at its first NUL.
        fuzzCheck(texturegenCache.getTexture(spec.c_str()) == texture, "the same spec gives the same texture");
        fuzzCheck(texturegenCache.generators.size() <= before + 1 &&
                      texturegenCache.generators.size() == texturegenCache.names.size(),
                  "at most one generator per spec, each with its name");
        fuzzCheck(texturegenCache.totalTexels() <= TexturegenCache::kMaxTotalTexels, "generators within the budget");
    }
    texturegenCache.update();
    forgetGenerators();
    return 0;
}
