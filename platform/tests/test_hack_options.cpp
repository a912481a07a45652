// The Linux command line: which command lines are the Windows one, hack mode,
// a window of its own, help or version; the window they name; the values
// refused.
#include <gtest/gtest.h>

#include "platform/linux/hack_options.h"

namespace {

HackOptions parse(std::vector<std::string> args, const char* env = nullptr) { return parseHackOptions(args, env); }

}  // namespace

TEST(HackOptions, WindowsCommandLinesAreNotHackMode) {
    for (const auto& args : std::vector<std::vector<std::string>>{{}, {"/s"}, {"/p", "123"}, {"/c:12"}, {"-c"}, {"anything"}}) {
        EXPECT_EQ(parse(args).mode, HackMode::None);
        EXPECT_TRUE(parse(args).error.empty());
    }
    // A mode word first wins even inside a host's session, and over --help.
    EXPECT_EQ(parse({"/s"}, "0x40000C").mode, HackMode::None);
    EXPECT_EQ(parse({"/p", "5"}, "0x40000C").mode, HackMode::None);
    EXPECT_EQ(parse({"/s", "--help"}).mode, HackMode::None);
}

TEST(HackOptions, TheWindowComesFromTheCommandLineOrTheHost) {
    EXPECT_EQ(parse({"--window-id", "4194316"}).window, 4194316u);
    EXPECT_EQ(parse({"-window-id", "0x40000C"}).window, 0x40000Cu);
    EXPECT_EQ(parse({"--window-id=0X40000c"}).mode, HackMode::HostWindow);
    EXPECT_EQ(parse({"-root"}).window, 0u);  // the root window
    EXPECT_EQ(parse({"-root"}, "0x40000C").window, 0x40000Cu);
    EXPECT_EQ(parse({"--root", "--fps"}, "4194316").window, 4194316u);
    EXPECT_EQ(parse({"--window-id", "7", "-root"}, "0x40000C").window, 7u);
    const HackOptions hostOnly = parse({}, "0x40000C");
    EXPECT_EQ(hostOnly.mode, HackMode::HostWindow);
    EXPECT_EQ(hostOnly.window, 0x40000Cu);
    // A value the host could not mean is not a window.
    EXPECT_EQ(parse({}, "garbage").mode, HackMode::None);
    // A window of its own, even inside a host's session.
    EXPECT_EQ(parse({"--window", "--fps"}, "0x40000C").mode, HackMode::OwnWindow);
}

TEST(HackOptions, PacingFrameRateAndSettingsOverrides) {
    const HackOptions defaults = parse({"-root"});
    EXPECT_EQ(defaults.delayMicroseconds, 30000);
    EXPECT_FALSE(defaults.showFps);
    EXPECT_FALSE(defaults.spinLevel);
    EXPECT_FALSE(defaults.phaseSeconds);
    const HackOptions set = parse({"-root", "--delay=0", "-fps", "--spin", "+3", "-phase", "4"});
    EXPECT_TRUE(set.error.empty()) << set.error;
    EXPECT_EQ(set.delayMicroseconds, 0);
    EXPECT_TRUE(set.showFps);
    EXPECT_EQ(set.spinLevel, 3);
    EXPECT_EQ(set.phaseSeconds, 4);
    EXPECT_EQ(parse({"-window", "-delay", "10000000"}).delayMicroseconds, 10000000);
}

TEST(HackOptions, CommandLinesStoredByEarlierVersionsStillRun) {
    const HackOptions old = parse({"-root", "--fps", "20", "--show-fps"});
    EXPECT_TRUE(old.error.empty()) << old.error;
    EXPECT_EQ(old.delayMicroseconds, 50000);
    EXPECT_TRUE(old.showFps);
    const HackOptions unpaced = parse({"-root", "-fps=0"});
    EXPECT_EQ(unpaced.delayMicroseconds, 0);
    EXPECT_FALSE(unpaced.showFps);
    // Without a number --fps is the switch, whatever follows.
    EXPECT_TRUE(parse({"-root", "--fps", "--delay", "0"}).showFps);
}

TEST(HackOptions, HelpAndVersionAnswerBeforeAnythingElse) {
    EXPECT_EQ(parse({"--help"}).mode, HackMode::Help);
    EXPECT_EQ(parse({"-root", "-help"}, "0x40000C").mode, HackMode::Help);
    EXPECT_EQ(parse({"--version"}).mode, HackMode::Version);
    EXPECT_NE(hackUsage().find("--delay MICROSECONDS"), std::string::npos);
}

TEST(HackOptions, BadCommandLinesAreRefusedWithAReason) {
    const std::vector<std::vector<std::string>> bad = {
        {"--window-id"},          {"--window-id", "0"},        {"--window-id", "12x"},
        {"--window-id", "-5"},    {"--window-id", "0x1FFFFFFFF"}, {"-root", "--delay", "10000001"},
        {"-root", "--delay", "-1"}, {"-root", "--phase", "0"},  {"-root", "--phase", "715828"},
        {"-root", "--spin", "x"}, {"-root", "--fps=1001"},     {"-root", "--bogus"},
        {"--window", "0x40000C"}, {"--window", "-root"},       {"--show-fps"},
        {"--delay", "10"},  // no window at all
    };
    for (const auto& args : bad) {
        const HackOptions hack = parse(args);
        EXPECT_EQ(hack.mode, HackMode::None) << args.back();
        EXPECT_FALSE(hack.error.empty()) << args.back();
    }
    EXPECT_EQ(parse({"--windo", "0x40000C"}).error, "unknown option '--windo' (see --help)");
}
