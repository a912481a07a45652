// The files kept for each user: the folder the platform layer names after
// the XDG rules, replacing a file there (making its folders first), and the
// record of the last start-up failure.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cctype>
#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "platform/tests/TestFiles.h"
#include "settings/UserFiles.h"

namespace {

using testfiles::ScopedEnv;
using testfiles::TempDir;

TEST(UserFolder, FollowsTheXdgRules) {
    TempDir dir;
    {
        ScopedEnv config("XDG_CONFIG_HOME", dir.file("config").c_str());
        EXPECT_EQ(userSettingsFolder(), dir.file("config") + "/calvetrin/");
        EXPECT_EQ(userSettingsFile(), dir.file("config") + "/calvetrin/cfg");
    }
    // A relative XDG_CONFIG_HOME is not used; HOME is, and without it the
    // password database's home directory.
    ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");
    {
        ScopedEnv home("HOME", dir.path().c_str());
        EXPECT_EQ(userSettingsFolder(), dir.path() + "/.config/calvetrin/");
    }
    ScopedEnv noHome("HOME", nullptr);
    const std::string fromDatabase = userSettingsFolder();
    ASSERT_FALSE(fromDatabase.empty());
    EXPECT_EQ(fromDatabase.front(), '/');
    EXPECT_EQ(fromDatabase.substr(fromDatabase.size() - 19), "/.config/calvetrin/");
}

// (A file that cannot be replaced is config.exe's case: test_config_tool.)
TEST(UserFiles, ReplaceFileMakesTheMissingFoldersPrivate) {
    TempDir dir;
    const std::string name = dir.file("a/b/calvetrin/cfg");
    std::string problem;
    ASSERT_TRUE(replaceFile(name, "first", problem)) << problem;
    ASSERT_TRUE(replaceFile(name, "second", problem)) << problem;
    EXPECT_EQ(testfiles::readFile(name), "second");
    struct stat info {};
    ASSERT_EQ(stat(dir.file("a/b/calvetrin").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("a/b/calvetrin")), {}), 1);

    // A file where a folder should be: nothing can be made below it.
    testfiles::writeFile(dir.file("plain"), "x");
    EXPECT_FALSE(replaceFile(dir.file("plain/calvetrin/cfg"), "bytes", problem));
    EXPECT_EQ(problem, "cannot create a new file beside " + dir.file("plain/calvetrin/cfg"));
}

TEST(StartupFailureRecord, TellsOfTheLatestFailureUntilAStartClearsIt) {
    TempDir dir;
    ScopedEnv config("XDG_CONFIG_HOME", dir.path().c_str());
    EXPECT_FALSE(lastStartupFailure());
    clearStartupFailure();  // nothing to remove is no error

    recordStartupFailure("Video initialization failed: no display");
    recordStartupFailure("Corrupt archive: /opt/x\r\nmain.pak");
    const auto last = lastStartupFailure();
    ASSERT_TRUE(last);
    EXPECT_EQ(last->message, "Corrupt archive: /opt/x  main.pak");
    // "2024-05-17 21:04"
    std::string shape = last->when;
    for (char& c : shape) c = std::isdigit(static_cast<unsigned char>(c)) ? '9' : c;
    EXPECT_EQ(shape, "9999-99-99 99:99");
    EXPECT_EQ(startupFailureFile(), dir.path() + "/calvetrin/startup-failure.txt");

    clearStartupFailure();
    EXPECT_FALSE(lastStartupFailure());
    EXPECT_FALSE(std::filesystem::exists(startupFailureFile()));
}

TEST(StartupFailureRecord, AFileOfAnyContentReadsAsOneBoundedLineOrNothing) {
    TempDir dir;
    ScopedEnv config("XDG_CONFIG_HOME", dir.path().c_str());
    std::filesystem::create_directories(dir.file("calvetrin"));
    testfiles::writeFile(startupFailureFile(), "when\x1b[2J\n" + std::string(10000, 'm') + "\x07\n");
    const auto odd = lastStartupFailure();
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->when, "when [2J");
    EXPECT_EQ(odd->message, std::string(4096 - 9, 'm'));

    // Windows line ends leave nothing at the ends of the lines.
    testfiles::writeFile(startupFailureFile(), "2024-01-01 10:00\r\nCorrupt archive: C:\\main.pak\r\n");
    EXPECT_EQ(lastStartupFailure()->when, "2024-01-01 10:00");
    EXPECT_EQ(lastStartupFailure()->message, "Corrupt archive: C:\\main.pak");

    for (const char* empty : {"", "2024-01-01 10:00\n", "2024-01-01 10:00\n   \n"}) {
        testfiles::writeFile(startupFailureFile(), empty);
        EXPECT_FALSE(lastStartupFailure()) << empty;
    }
}

}  // namespace
