#include "tools/config/Options.h"

#include <vector>

#include "settings/DisplayMode.h"
#include "settings/SettingText.h"
#include "settings/Settings.h"

namespace configtool {

namespace {

// A table row, or WIDTHxHEIGHTxBITS naming one.
std::optional<std::int32_t> parseMode(const std::string& text, std::string& problem) {
    if (auto row = parseWholeNumber(text)) {
        if (Settings::usableDisplayMode(*row)) return row;
        problem = "display mode " + text + " is not a table row (0 to " + std::to_string(kDisplayModeCount - 1) + ")";
        return std::nullopt;
    }
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == 'x' || c == 'X') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    std::optional<std::int32_t> w, h, b;
    if (parts.size() == 3) {
        w = parseWholeNumber(parts[0]);
        h = parseWholeNumber(parts[1]);
        b = parseWholeNumber(parts[2]);
    }
    if (!w || !h || !b) {
        problem = "display mode '" + text + "' is neither a table row nor WIDTHxHEIGHTxBITS";
        return std::nullopt;
    }
    int row = findDisplayMode(*w, *h, *b);
    if (row < 0) {
        problem = "no display mode " + text + " in the table (see --help)";
        return std::nullopt;
    }
    return row;
}

}  // namespace

bool parseArguments(int argc, const char* const* argv, Changes& changes, std::string& problem) {
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        std::optional<std::string> value;
        if (std::size_t equals = option.find('='); option.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = option.substr(equals + 1);
            option.erase(equals);
        }
        if (option == "--help" || option == "-h") {
            changes.help = true;
            continue;
        }
        if (option != "--mode" && option != "--spin" && option != "--phase" && option != "--mouse-quits") {
            problem = "unknown option '" + option + "'";
            return false;
        }
        if (!value) {
            if (i + 1 >= argc) {
                problem = option + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (option == "--mode") {
            changes.displayMode = parseMode(*value, problem);
            if (!changes.displayMode) return false;
        } else if (option == "--spin") {
            changes.spinLevel = parseSpinLevel(*value, problem);
            if (!changes.spinLevel) return false;
        } else if (option == "--phase") {
            changes.phaseSeconds = parsePhaseSeconds(*value, problem);
            if (!changes.phaseSeconds) return false;
        } else {
            const std::string& v = *value;
            if (v == "yes" || v == "on" || v == "1" || v == "true") {
                changes.quitOnMouseMove = 1;
            } else if (v == "no" || v == "off" || v == "0" || v == "false") {
                changes.quitOnMouseMove = 0;
            } else {
                problem = "--mouse-quits takes yes or no, not '" + v + "'";
                return false;
            }
        }
    }
    return true;
}

}  // namespace configtool
