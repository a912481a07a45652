#include "hack_options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "settings/SettingText.h"

namespace {

struct OptionName {
    const char* name;  // the one-dash form
    bool takesValue;
};
constexpr OptionName kOptions[] = {
    {"-window-id", true}, {"-root", false}, {"-window", false}, {"-delay", true}, {"-fps", false},
    {"-spin", true},      {"-phase", true}, {"-help", false},   {"-version", false}, {"-show-fps", false},
};

// Earlier versions took "--fps N", frames per second (0: unpaced), and
// "--show-fps"; a host keeps the command lines it stored from them (the
// programs line of ~/.xscreensaver), and they still run: a number after --fps
// (or --fps=N) is that old rate, and --show-fps is --fps.
bool isLegacyRate(const std::string& word) {
    return !word.empty() && word[0] >= '0' && word[0] <= '9' && parseWholeNumber(word).has_value();
}

// The option a word names (its one-dash form, "=value" left out), or null.
const OptionName* optionOf(std::string word) {
    if (word.rfind("--", 0) == 0) word.erase(0, 1);  // --fps and -fps alike
    word.erase(std::min(word.find('='), word.size()));
    for (const OptionName& option : kOptions)
        if (word == option.name) return &option;
    return nullptr;
}

}  // namespace

std::optional<unsigned long> parseWindowId(const std::string& text) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits[0] == '-' || digits[0] == '+' || digits[0] == ' ') return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(digits.c_str(), &end, hex ? 16 : 10);
    if (*end != '\0' || errno != 0 || value == 0 || value > 0xFFFFFFFFLL) return std::nullopt;
    return static_cast<unsigned long>(value);
}

HackOptions parseHackOptions(const std::vector<std::string>& args, const char* xscreensaverWindow) {
    HackOptions hack;
    if (!args.empty() && !args[0].empty() && args[0][0] == '/') return hack;

    std::optional<unsigned long> envWindow;
    if (xscreensaverWindow != nullptr) envWindow = parseWindowId(xscreensaverWindow);
    // Without a word of ours or a host's window, this is the Windows command
    // line (any word but the mode words runs full screen).
    const bool anyOfOurs = std::any_of(args.begin(), args.end(), [](const std::string& word) {
        return optionOf(word) != nullptr || word.rfind("--", 0) == 0;
    });
    if (!anyOfOurs && (!envWindow || !args.empty())) return hack;

    bool windowGiven = false;
    for (std::size_t i = 0; i < args.size() && hack.error.empty(); ++i) {
        const OptionName* option = optionOf(args[i]);
        if (option == nullptr) {
            hack.error = args[i].rfind("-", 0) == 0 ? "unknown option '" + args[i] + "' (see --help)"
                                                     : "unexpected word '" + args[i] + "' (see --help)";
            break;
        }
        const std::string name = option->name;
        std::optional<std::string> value;
        const std::size_t equals = args[i].find('=');
        if (equals != std::string::npos) value = args[i].substr(equals + 1);
        if (name == "-fps" && (value || (i + 1 < args.size() && isLegacyRate(args[i + 1])))) {
            const std::string rateText = value ? *value : args[++i];
            const std::optional<std::int32_t> rate = parseWholeNumber(rateText);
            if (!rate || *rate < 0 || *rate > 1000) hack.error = "frame rate '" + rateText + "' is not from 0 to 1000";
            else hack.delayMicroseconds = *rate == 0 ? 0 : 1000000 / *rate;
            continue;
        }
        if (option->takesValue && !value) {
            if (i + 1 >= args.size()) {
                hack.error = "option " + args[i] + " needs a value";
                break;
            }
            value = args[++i];
        } else if (!option->takesValue && value) {
            hack.error = "option -" + name + " takes no value";
            break;
        }
        if (name == "-help" || name == "-version") {
            hack.mode = name == "-help" ? HackMode::Help : HackMode::Version;
            return hack;
        }
        if (name == "-window-id") {
            const std::optional<unsigned long> id = parseWindowId(*value);
            if (!id) hack.error = "window id '" + *value + "' is not a window number (decimal or 0x hexadecimal)";
            else hack.window = *id;
            windowGiven = true;
        } else if (name == "-root") {
            if (!windowGiven) hack.window = envWindow.value_or(0);
            windowGiven = true;
        } else if (name == "-window") {
            hack.mode = HackMode::OwnWindow;
        } else if (name == "-delay") {
            const std::optional<std::int32_t> delay = parseWholeNumber(*value);
            if (!delay || *delay < 0 || *delay > kMaxDelayMicroseconds)
                hack.error = "delay '" + *value + "' is not a whole number of microseconds from 0 to " +
                             std::to_string(kMaxDelayMicroseconds);
            else hack.delayMicroseconds = *delay;
        } else if (name == "-fps" || name == "-show-fps") {
            hack.showFps = true;
        } else if (name == "-spin") {
            hack.spinLevel = parseSpinLevel(*value, hack.error);
        } else {  // -phase
            hack.phaseSeconds = parsePhaseSeconds(*value, hack.error);
        }
    }
    if (hack.error.empty() && hack.mode == HackMode::OwnWindow && windowGiven)
        hack.error = "--window draws in a window of its own: it takes no --window-id or -root";
    if (!hack.error.empty()) {
        hack.mode = HackMode::None;
        return hack;
    }
    if (hack.mode == HackMode::OwnWindow) return hack;
    if (!windowGiven && !envWindow) {
        hack.error = "no window to draw in: give --window-id ID, -root or --window";
        return hack;
    }
    if (!windowGiven) hack.window = *envWindow;
    hack.mode = HackMode::HostWindow;
    return hack;
}

std::string hackUsage() {
    return "Usage: calvetrin [/s | /p WINDOW | /c]\n"
           "       calvetrin (--window-id ID | -root | --window) [--delay MICROSECONDS] [--fps]\n"
           "                 [--spin LEVEL] [--phase SECONDS]\n"
           "       calvetrin --help | --version\n"
           "\n"
           "A 3-D OpenGL screensaver. With no option, or /s, it runs full screen until\n"
           "Escape; /p paints the preview into the X window WINDOW; /c starts config.exe.\n"
           "\n"
           "As an xscreensaver hack it draws into a window its host owns:\n"
           "  --window-id ID          the X window ID (decimal or 0x hexadecimal)\n"
           "  -root                   the window XSCREENSAVER_WINDOW names, else the root window\n"
           "  --window                a resizable window of its own instead (Escape, q or\n"
           "                          closing it ends the run)\n"
           "  --delay MICROSECONDS    at most one frame every MICROSECONDS (default 30000;\n"
           "                          0: as fast as the machine draws)\n"
           "  --fps                   show the frame rate in the lower left corner\n"
           "  --spin LEVEL            spin speed for this run: (LEVEL - 5) * 0.5 + 8 degrees\n"
           "                          per second (settings file: 7 unless changed)\n"
           "  --phase SECONDS         seconds each group is shown for this run (1 to 715827)\n"
           "Each option may also be written with one dash, and as --option=VALUE.\n"
           "Settings otherwise come from the user's settings file (see config.exe).\n";
}
