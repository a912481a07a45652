// Hack mode's command line: which command lines are hack mode at all, the
// window they name, and the values refused.
#include <gtest/gtest.h>

#include "platform/linux/hack_options.h"

namespace {

HackOptions parse(std::vector<std::string> args, const char* env = nullptr) { return parseHackOptions(args, env); }

}  // namespace

TEST(HackOptions, WindowsCommandLinesAreNotHackMode) {
    for (const auto& args : std::vector<std::vector<std::string>>{{}, {"/s"}, {"/p", "123"}, {"/c:12"}, {"-c"}, {"anything"}}) {
        EXPECT_FALSE(parse(args).requested);
        EXPECT_TRUE(parse(args).error.empty());
    }
    // A mode word first wins even inside a host's session.
    EXPECT_FALSE(parse({"/s"}, "0x40000C").requested);
    EXPECT_FALSE(parse({"/p", "5"}, "0x40000C").requested);
}

TEST(HackOptions, TheWindowComesFromTheCommandLineOrTheHost) {
    EXPECT_EQ(parse({"--window-id", "4194316"}).window, 4194316u);
    EXPECT_EQ(parse({"-window-id", "0x40000C"}).window, 0x40000Cu);
    EXPECT_EQ(parse({"--window-id=0X40000c"}).window, 0x40000Cu);
    EXPECT_EQ(parse({"-root"}).window, 0u);  // the root window
    EXPECT_EQ(parse({"-root"}, "0x40000C").window, 0x40000Cu);
    EXPECT_EQ(parse({"--root", "--fps", "5"}, "4194316").window, 4194316u);
    EXPECT_EQ(parse({"--window-id", "7", "-root"}, "0x40000C").window, 7u);
    const HackOptions hostOnly = parse({}, "0x40000C");
    EXPECT_TRUE(hostOnly.requested);
    EXPECT_EQ(hostOnly.window, 0x40000Cu);
    // A value the host could not mean is not a window.
    EXPECT_FALSE(parse({}, "garbage").requested);
}

TEST(HackOptions, PacingAndSettingsOverrides) {
    const HackOptions defaults = parse({"-root"});
    EXPECT_EQ(defaults.fps, 30);
    EXPECT_FALSE(defaults.showFps);
    EXPECT_FALSE(defaults.spinLevel);
    EXPECT_FALSE(defaults.phaseSeconds);
    const HackOptions set = parse({"-root", "--fps=0", "-show-fps", "--spin", "-3", "-phase", "4"});
    EXPECT_TRUE(set.error.empty()) << set.error;
    EXPECT_EQ(set.fps, 0);
    EXPECT_TRUE(set.showFps);
    EXPECT_EQ(set.spinLevel, -3);
    EXPECT_EQ(set.phaseSeconds, 4);
}

TEST(HackOptions, BadCommandLinesAreRefusedWithAReason) {
    const std::vector<std::vector<std::string>> bad = {
        {"--window-id"},          {"--window-id", "0"},        {"--window-id", "12x"},
        {"--window-id", "-5"},    {"--window-id", "0x1FFFFFFFF"}, {"-root", "--fps", "1001"},
        {"-root", "--fps", "-1"}, {"-root", "--phase", "0"},   {"-root", "--phase", "715828"},
        {"-root", "--spin", "x"}, {"-root", "--show-fps=1"},   {"-root", "--bogus"},
        {"--fps", "10"},  // no window at all
    };
    for (const auto& args : bad) {
        const HackOptions hack = parse(args);
        EXPECT_TRUE(hack.requested) << args.back();
        EXPECT_FALSE(hack.error.empty()) << args.back();
    }
}
