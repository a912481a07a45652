#include "hack_options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "settings/Settings.h"

namespace {

std::optional<long long> parseWhole(const std::string& text, int base) {
    if (text.empty() || text[0] == '-' || text[0] == '+' || text[0] == ' ') return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, base);
    if (*end != '\0' || errno != 0) return std::nullopt;
    return value;
}

std::optional<std::int32_t> parseInt32(const std::string& text) {
    const bool negative = !text.empty() && text[0] == '-';
    const std::optional<long long> magnitude = parseWhole(negative ? text.substr(1) : text, 10);
    if (!magnitude || *magnitude > 2147483648LL) return std::nullopt;
    const long long value = negative ? -*magnitude : *magnitude;
    if (value > 2147483647LL) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// A hack option's name in its one-dash form, without "=value"; empty for
// anything else.
std::string hackOptionName(std::string word) {
    if (word.rfind("--", 0) == 0) word.erase(0, 1);  // --fps and -fps alike
    word.erase(std::min(word.find('='), word.size()));
    for (const char* name : {"-window-id", "-root", "-fps", "-show-fps", "-spin", "-phase"})
        if (word == name) return word;
    return std::string();
}

}  // namespace

std::optional<unsigned long> parseWindowId(const std::string& text) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::optional<long long> value = parseWhole(hex ? text.substr(2) : text, hex ? 16 : 10);
    if (!value || *value == 0 || *value > 0xFFFFFFFFLL) return std::nullopt;
    return static_cast<unsigned long>(*value);
}

HackOptions parseHackOptions(const std::vector<std::string>& args, const char* xscreensaverWindow) {
    HackOptions hack;
    if (!args.empty() && !args[0].empty() && args[0][0] == '/') return hack;

    std::optional<unsigned long> envWindow;
    if (xscreensaverWindow != nullptr) envWindow = parseWindowId(xscreensaverWindow);
    // Without a hack option or a host's window, this is the Windows command
    // line (any word but the mode words runs full screen).
    bool anyHackOption = false;
    for (const std::string& word : args) anyHackOption = anyHackOption || !hackOptionName(word).empty();
    if (!anyHackOption && (!envWindow || !args.empty())) return hack;
    bool windowGiven = false;

    for (std::size_t i = 0; i < args.size() && hack.error.empty(); ++i) {
        const std::string option = hackOptionName(args[i]);
        if (option.empty()) {
            hack.error = "unknown option '" + args[i] + "'";
            break;
        }
        std::optional<std::string> value;
        const std::size_t equals = args[i].find('=');
        if (equals != std::string::npos) value = args[i].substr(equals + 1);
        const bool takesValue = option == "-window-id" || option == "-fps" || option == "-spin" || option == "-phase";
        if (takesValue && !value) {
            if (i + 1 >= args.size()) {
                hack.error = "option " + args[i] + " needs a value";
                break;
            }
            value = args[++i];
        } else if (!takesValue && value) {
            hack.error = "option -" + option + " takes no value";
            break;
        }
        if (option == "-window-id") {
            const std::optional<unsigned long> id = parseWindowId(*value);
            if (!id) hack.error = "window id '" + *value + "' is not a window number (decimal or 0x hexadecimal)";
            else hack.window = *id;
            windowGiven = true;
        } else if (option == "-root") {
            if (!windowGiven) hack.window = envWindow.value_or(0);
            windowGiven = true;
        } else if (option == "-fps") {
            const std::optional<std::int32_t> fps = parseInt32(*value);
            if (!fps || *fps < 0 || *fps > kMaxHackFps)
                hack.error = "frame rate '" + *value + "' is not a whole number from 0 to " + std::to_string(kMaxHackFps);
            else hack.fps = *fps;
        } else if (option == "-show-fps") {
            hack.showFps = true;
        } else if (option == "-spin") {
            const std::optional<std::int32_t> level = parseInt32(*value);
            if (!level || !Settings::usableSpinLevel(*level))
                hack.error = "spin level '" + *value + "' is not a whole number from " +
                             std::to_string(Settings::kMinSpinLevel) + " up";
            else hack.spinLevel = level;
        } else {  // -phase
            const std::optional<std::int32_t> seconds = parseInt32(*value);
            if (!seconds || !Settings::usablePhaseSeconds(*seconds))
                hack.error = "phase seconds '" + *value + "' is not a whole number from 1 to " +
                             std::to_string(Settings::kMaxPhaseSeconds);
            else hack.phaseSeconds = seconds;
        }
    }
    if (!hack.error.empty()) {
        hack.requested = true;
        return hack;
    }
    if (!windowGiven) {
        if (envWindow) hack.window = *envWindow;
        else hack.error = "no window to draw in: give --window-id ID or -root";
    }
    hack.requested = true;
    return hack;
}
