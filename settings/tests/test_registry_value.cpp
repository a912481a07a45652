// RegistryValue over a real registry file: the texts it hands out, its
// fallback to the executable's directory, and launching a program.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "platform/tests/TestFiles.h"
#include "settings/RegistryValue.h"

namespace {

using testfiles::ScopedEnv;
using testfiles::TempDir;

const char* const kKey = "Software\\Quorvane\\Calvetrin\\Settings";

std::string registryWith(const std::string& valueLines) {
    return "Windows Registry Editor Version 5.00\r\n\r\n"
           "[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\Calvetrin\\Settings]\r\n" +
           valueLines;
}

// "Path" = text, written in the file format (backslashes and quotes escaped).
std::string pathLine(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        if (c == '\\' || c == '"') escaped += '\\';
        escaped += c;
    }
    return "\"Path\"=\"" + escaped + "\"\r\n";
}

class RegistryValueTest : public ::testing::Test {
protected:
    void useRegistry(const std::string& content) {
        testfiles::writeFile(dir.file("registry.reg"), content);
        env.emplace("CALVETRIN_REGISTRY", dir.file("registry.reg").c_str());
    }
    TempDir dir;
    std::optional<ScopedEnv> env;
};

TEST_F(RegistryValueTest, SuffixesAreAppendedWithoutSeparatorAndDoNotAccumulate) {
    useRegistry(registryWith(pathLine("C:\\Dir\\")));
    RegistryValue path(kKey, "Path");
    EXPECT_TRUE(path.hasData());
    EXPECT_EQ(path.get(), "C:\\Dir\\");
    EXPECT_EQ(path.getWithSuffix("cfg"), "C:\\Dir\\cfg");
    EXPECT_EQ(path.getWithSuffix("preview.ppk"), "C:\\Dir\\preview.ppk");
    EXPECT_EQ(path.get(), "C:\\Dir\\");

    useRegistry(registryWith(pathLine("/opt/calvetrin")));
    RegistryValue noSeparator(kKey, "path");
    EXPECT_EQ(noSeparator.getWithSuffix("cfg"), "/opt/calvetrincfg");
}

TEST_F(RegistryValueTest, TextEndsAtTheFirstZeroByteWhateverTheType) {
    useRegistry(registryWith("\"Path\"=hex:2f,61,2f,00,62,63\r\n\"Number\"=dword:00000041\r\n"));
    EXPECT_EQ(RegistryValue(kKey, "Path").get(), "/a/");
    EXPECT_EQ(RegistryValue(kKey, "Number").getWithSuffix("x"), "Ax");
}

TEST_F(RegistryValueTest, ValueIsReadOnceAtConstruction) {
    useRegistry(registryWith(pathLine("/first/")));
    RegistryValue path(kKey, "Path");
    useRegistry(registryWith(pathLine("/second/")));
    EXPECT_EQ(path.get(), "/first/");
    EXPECT_EQ(RegistryValue(kKey, "Path").get(), "/second/");
}

TEST_F(RegistryValueTest, WithoutAValueTheTextIsTheExecutablesDirectory) {
    const std::string ownDirectory = std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/";
    env.emplace("CALVETRIN_REGISTRY", dir.file("missing.reg").c_str());
    RegistryValue missingFile(kKey, "Path");
    EXPECT_FALSE(missingFile.hasData());
    EXPECT_EQ(missingFile.get(), ownDirectory);
    EXPECT_EQ(missingFile.getWithSuffix("cfg"), ownDirectory + "cfg");

    useRegistry(registryWith("\"Other\"=\"/x/\"\r\n"));
    EXPECT_EQ(RegistryValue(kKey, "Path").get(), ownDirectory);
    useRegistry(registryWith(pathLine("/unterminated/") + "\"Bad\"=\"oops\r\n"));
    EXPECT_EQ(RegistryValue(kKey, "Path").get(), ownDirectory);
}

TEST_F(RegistryValueTest, LaunchStartsTheProgramInItsOwnDirectoryAndDoesNotWait) {
    const std::string install = dir.file("install dir") + "/";
    std::filesystem::create_directory(install);
    const std::string go = dir.file("go");
    const std::string out = dir.file("out");
    // The program waits (at most 30 s) until the test creates "go", which
    // happens only after launchProgram has returned; had launchProgram waited
    // for it, the program would report "no go".
    testfiles::writeFile(install + "config.exe",
                         "#!/bin/sh\n"
                         "i=0\n"
                         "while [ ! -e '" + go + "' ] && [ $i -lt 1500 ]; do sleep 0.02; i=$((i+1)); done\n"
                         "if [ -e '" + go + "' ]; then pwd > '" + out + ".tmp'; else echo 'no go' > '" + out + ".tmp'; fi\n"
                         "mv '" + out + ".tmp' '" + out + "'\n");
    chmod((install + "config.exe").c_str(), 0755);
    useRegistry(registryWith(pathLine(install)));

    RegistryValue path(kKey, "Path");
    path.launchProgram("config.exe");
    ASSERT_FALSE(std::filesystem::exists(out)) << "launchProgram waited for the program";
    testfiles::writeFile(go, "");
    auto reported = testfiles::waitForFile(out, std::chrono::seconds(60));
    ASSERT_TRUE(reported);
    EXPECT_EQ(*reported, dir.file("install dir") + "\n");
}

TEST_F(RegistryValueTest, EmptyPathStaysEmptyAndLaunchingMissingProgramsIsQuiet) {
    useRegistry(registryWith(pathLine(dir.path() + "/")));
    RegistryValue path(kKey, "Path");
    path.launchProgram("config.exe");
    useRegistry(registryWith(pathLine("")));
    RegistryValue empty(kKey, "Path");
    EXPECT_EQ(empty.get(), "");
    empty.launchProgram("config.exe");
    EXPECT_EQ(empty.getWithSuffix("cfg"), "cfg");
}

}  // namespace
