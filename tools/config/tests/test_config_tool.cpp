// config.exe end to end: a temporary installation directory named by a
// registry file and a temporary user folder (XDG_CONFIG_HOME), the settings
// files' bytes before and after each run, exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/tests/SettingsBytes.h"
#include "platform/tests/TestFiles.h"

namespace {

using testfiles::ScopedEnv;
using testfiles::TempDir;


std::string cfgBytes(std::uint8_t mouse, std::int32_t mode, std::int32_t spin, std::int32_t phase) {
    Bytes b;
    b.i32(3).u8(mouse).i32(77).i32(mode).text(std::string("tb\0hidden", 9)).text("text A").i32(spin).i32(phase);
    return b.data;
}

struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

class ConfigTool : public ::testing::Test {
protected:
    void SetUp() override {
        install = dir.file("install") + "/";
        std::filesystem::create_directory(install);
        testfiles::writeFile(dir.file("registry.reg"),
                             "Windows Registry Editor Version 5.00\n\n"
                             "[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\Calvetrin\\Settings]\n\"Path\"=\"" +
                                 install + "\"\n");
        env.emplace("CALVETRIN_REGISTRY", dir.file("registry.reg").c_str());
        userFolder.emplace("XDG_CONFIG_HOME", dir.file("config").c_str());
        userCfg = dir.file("config") + "/calvetrin/cfg";
    }

    Outcome run(const std::vector<std::string>& args) {
        std::string command = std::string("'") + CONFIG_TOOL + "'";
        for (const auto& arg : args) command += " '" + arg + "'";
        command += " >'" + dir.file("out") + "' 2>'" + dir.file("err") + "'";
        int status = std::system(command.c_str());
        return Outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, testfiles::readFile(dir.file("out")).value_or(""),
                   testfiles::readFile(dir.file("err")).value_or("")};
    }

    // The user's own settings file, which config.exe writes.
    std::string cfg() { return testfiles::readFile(userCfg).value_or("<missing>"); }

    // Nothing but cfg may be left in the user's folder, and the installation
    // directory is never written.
    void expectNoLeftovers() {
        for (const auto& entry : std::filesystem::directory_iterator(dir.file("config") + "/calvetrin")) {
            EXPECT_EQ(entry.path().filename(), "cfg");
        }
        EXPECT_FALSE(std::filesystem::exists(install + "cfg"));
    }

    TempDir dir;
    std::string install;
    std::string userCfg;
    std::optional<ScopedEnv> env;
    std::optional<ScopedEnv> userFolder;
};

TEST_F(ConfigTool, ShowsTheUsersOwnFileElseTheInstallationsElseTheDefaultsAndWritesNothing) {
    Outcome shown = run({});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_NE(shown.out.find("Settings file: " + userCfg + "\n  (No settings file yet: these are the defaults.)"),
              std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("Phase seconds: 15"), std::string::npos) << shown.out;

    // The installation's file is every user's default until they have one.
    testfiles::writeFile(install + "cfg", cfgBytes(1, 14, 9, 20));
    shown = run({});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_NE(shown.out.find("these are the installation's.)\nRead from:     " + install + "cfg\n"), std::string::npos)
        << shown.out;
    EXPECT_NE(shown.out.find("1280x1024, 32 bits"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("Spin level:    9 (10 degrees per second)"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("Mouse motion ends the run: yes"), std::string::npos) << shown.out;

    // The user's own file comes first; a damaged one still means the defaults.
    std::filesystem::create_directories(dir.file("config") + "/calvetrin");
    testfiles::writeFile(userCfg, cfgBytes(0, 6, 12, 30));
    shown = run({});
    EXPECT_NE(shown.out.find("Settings file: " + userCfg + "\nDisplay mode:  1024x768, 32 bits"), std::string::npos)
        << shown.out;
    testfiles::writeFile(userCfg, "short");
    shown = run({});
    EXPECT_NE(shown.out.find("(Your settings file could not be read: these are the defaults.)"), std::string::npos)
        << shown.out;
    EXPECT_NE(shown.out.find("Phase seconds: 15"), std::string::npos) << shown.out;
    EXPECT_EQ(cfg(), "short");
    EXPECT_EQ(testfiles::readFile(install + "cfg"), cfgBytes(1, 14, 9, 20));
}

TEST_F(ConfigTool, AnOptionStartsFromTheInstallationsSettingsAndWritesTheUsersOwnFile) {
    testfiles::writeFile(install + "cfg", cfgBytes(1, 14, 9, 20));
    Outcome changed = run({"--spin", "12"});
    EXPECT_EQ(changed.exitCode, 0) << changed.err;
    EXPECT_EQ(cfg(), cfgBytes(1, 14, 12, 20));
    EXPECT_EQ(testfiles::readFile(install + "cfg"), cfgBytes(1, 14, 9, 20));
}

TEST_F(ConfigTool, EachOptionChangesOnlyItsOwnField) {
    std::filesystem::create_directories(dir.file("config") + "/calvetrin");
    testfiles::writeFile(userCfg, cfgBytes(2, 3, 9, 20));
    EXPECT_EQ(run({"--spin", "12"}).exitCode, 0);
    EXPECT_EQ(cfg(), cfgBytes(2, 3, 12, 20));
    EXPECT_EQ(run({"--mode", "1280x1024x32"}).exitCode, 0);
    EXPECT_EQ(cfg(), cfgBytes(2, 14, 12, 20));
    EXPECT_EQ(run({"--phase=30", "--mouse-quits", "yes"}).exitCode, 0);
    EXPECT_EQ(cfg(), cfgBytes(1, 14, 12, 30));
    EXPECT_EQ(run({"--mode=0", "--mouse-quits=no", "--spin", "-3"}).exitCode, 0);
    EXPECT_EQ(cfg(), cfgBytes(0, 0, -3, 30));
    expectNoLeftovers();
}

TEST_F(ConfigTool, WritesAFreshFileWhenThereIsNone) {
    Outcome made = run({"--mode", "18"});
    EXPECT_EQ(made.exitCode, 0) << made.err;
    Bytes expected;
    expected.i32(3).u8(0).i32(0).i32(18).text("").text("").i32(7).i32(15);
    EXPECT_EQ(cfg(), expected.data);
}

TEST_F(ConfigTool, RefusesValuesTheScreensaverCannotUse) {
    const std::string before = cfgBytes(0, 5, 7, 15);
    std::filesystem::create_directories(dir.file("config") + "/calvetrin");
    testfiles::writeFile(userCfg, before);
    const std::vector<std::vector<std::string>> bad = {
        {"--mode", "19"},          {"--mode", "-1"},          {"--mode", "1920x1080x32"}, {"--mode", "640x480"},
        {"--mode", "big"},         {"--phase", "0"},          {"--phase", "-4"},          {"--phase", "715828"},
        {"--phase", "1.5"},        {"--spin", "fast"},        {"--spin", "99999999999"},  {"--spin", "-2147483648"},
        {"--mouse-quits", "maybe"}, {"--phase"},              {"--colour", "red"},        {"--spin", "8", "--phase", "0"},
    };
    for (const auto& args : bad) {
        SCOPED_TRACE(args[0] + (args.size() > 1 ? " " + args[1] : ""));
        Outcome refused = run(args);
        EXPECT_EQ(refused.exitCode, 2);
        EXPECT_NE(refused.err.find("config.exe: "), std::string::npos) << refused.err;
        EXPECT_EQ(cfg(), before);
    }
    expectNoLeftovers();
}

TEST_F(ConfigTool, AFailedWriteLeavesTheOldStateAndNoTemporaryFile) {
    // A directory where the file should be: the rename cannot replace it.
    std::filesystem::create_directories(userCfg);
    Outcome failed = run({"--spin", "8"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.err.find("cannot replace " + userCfg + "; the settings are unchanged"), std::string::npos)
        << failed.err;
    EXPECT_TRUE(std::filesystem::is_directory(userCfg));
    expectNoLeftovers();
}

TEST_F(ConfigTool, HelpListsTheDisplayModes) {
    Outcome help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("18  1600x1200, 32 bits\n"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--mouse-quits"), std::string::npos);
}

}  // namespace
