#include "settings/SettingText.h"

#include <charconv>

#include "settings/Settings.h"

std::optional<std::int32_t> parseWholeNumber(const std::string& text) {
    std::int32_t value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    // from_chars takes '-' but not '+'; a sign after the '+' is refused.
    if (first != last && *first == '+') {
        ++first;
        if (first != last && (*first == '-' || *first == '+')) return std::nullopt;
    }
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last) return std::nullopt;
    return value;
}

std::optional<std::int32_t> parseSpinLevel(const std::string& text, std::string& problem) {
    const std::optional<std::int32_t> level = parseWholeNumber(text);
    if (level && Settings::usableSpinLevel(*level)) return level;
    problem = "spin level '" + text + "' is not a whole number from " + std::to_string(Settings::kMinSpinLevel) +
              " to 2147483647";
    return std::nullopt;
}

std::optional<std::int32_t> parsePhaseSeconds(const std::string& text, std::string& problem) {
    const std::optional<std::int32_t> seconds = parseWholeNumber(text);
    if (seconds && Settings::usablePhaseSeconds(*seconds)) return seconds;
    problem = "phase seconds '" + text + "' is not a whole number from 1 to " + std::to_string(Settings::kMaxPhaseSeconds);
    return std::nullopt;
}
