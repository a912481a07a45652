// Setting values written as text: the one reader of the numbers a user types,
// shared by every program that takes a setting on its command line or in a
// dialog (config.exe, the screensaver's Linux hack options), so that the same
// text means the same everywhere.
//
// A whole number is decimal, with an optional '+' or '-' sign and nothing
// around it (no spaces, no suffix), within 32 bits: "+3" and "-0" are numbers,
// " 3", "3x", "" and "2147483648" are not. The setting readers add the range
// the screensaver can use and, on refusal, a sentence for the user.
//
//   std::string problem;
//   if (std::optional<std::int32_t> level = parseSpinLevel(text, problem)) settings.setSpinLevel(*level);
//   else usage(problem);
#pragma once

#include <cstdint>
#include <optional>
#include <string>

std::optional<std::int32_t> parseWholeNumber(const std::string& text);

// A usable spin level (Settings::usableSpinLevel), or nothing with problem set.
std::optional<std::int32_t> parseSpinLevel(const std::string& text, std::string& problem);
// A usable number of seconds per group (Settings::usablePhaseSeconds), or
// nothing with problem set.
std::optional<std::int32_t> parsePhaseSeconds(const std::string& text, std::string& problem);
