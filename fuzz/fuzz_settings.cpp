// Settings-file bytes -> Settings::loadSettings from a string stream, every
// accessor read, and the record saved again: a loaded record writes back
// exactly the bytes it was read from, and a refused one is all defaults.
#include "fuzz/FuzzSupport.h"
#include "settings/Settings.h"

#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::istringstream in(bytes, std::ios::in | std::ios::binary);
    Settings settings;
    settings.setSpinLevel(-1);  // a used record: a refused load must not keep this
    settings.loadSettings(in);

    // Every accessor read once; the sum only keeps the reads from being dropped.
    const std::int64_t reads[] = {settings.spinLevel(),       settings.phaseSeconds(),     settings.modeWidth(),
                                  settings.modeHeight(),      settings.modeBitsPerPixel(), settings.spare(),
                                  settings.quitOnMouseMove(), settings.mouseMoveEndsRun(), settings.displayMode(),
                                  static_cast<std::int64_t>(settings.textA().size() + settings.textB().size())};
    volatile std::int64_t sink = 0;
    for (std::int64_t r : reads) sink = sink + r;
    fuzzCheck(Settings::usableSpinLevel(settings.spinLevel()) && Settings::usablePhaseSeconds(settings.phaseSeconds()),
              "the accessors hand out usable values");

    std::ostringstream out(std::ios::out | std::ios::binary);
    fuzzCheck(settings.saveSettings(out), "a record can be saved");
    const std::string saved = out.str();
    if (settings.loaded()) {
        fuzzCheck(bytes.compare(0, saved.size(), saved) == 0, "a loaded record saves the bytes it was read from");
    } else {
        std::ostringstream fresh(std::ios::out | std::ios::binary);
        Settings().saveSettings(fresh);
        fuzzCheck(saved == fresh.str(), "a refused file leaves every field at its default");
    }
    return 0;
}
