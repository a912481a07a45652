// Bytes -> config.exe's command line (cut at NULs into arguments after the
// program name) -> configtool::parseArguments. A refusal says why; an
// accepted line holds only values the screensaver can use.
#include "fuzz/FuzzSupport.h"
#include "settings/Settings.h"
#include "tools/config/Options.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> words = splitAtNul(data, size, 64);
    std::vector<const char*> argv = {"config.exe"};
    for (const std::string& w : words) argv.push_back(w.c_str());  // a word ends at its first NUL, as in a real argv
    argv.push_back(nullptr);

    configtool::Changes changes;
    std::string problem;
    if (!configtool::parseArguments(static_cast<int>(argv.size()) - 1, argv.data(), changes, problem)) {
        fuzzCheck(!problem.empty(), "a refused command line says why");
        return 0;
    }
    fuzzCheck(!changes.displayMode || Settings::usableDisplayMode(*changes.displayMode), "a usable display mode");
    fuzzCheck(!changes.spinLevel || Settings::usableSpinLevel(*changes.spinLevel), "a usable spin level");
    fuzzCheck(!changes.phaseSeconds || Settings::usablePhaseSeconds(*changes.phaseSeconds), "a usable phase");
    fuzzCheck(!changes.quitOnMouseMove || *changes.quitOnMouseMove <= 1, "mouse-quits is 0 or 1");
    return 0;
}
