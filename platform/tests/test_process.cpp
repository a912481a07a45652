// Starting programs, the executable's own path, and safe file replacement.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "platform/tests/TestFiles.h"

namespace {

using testfiles::TempDir;

// A shell script that writes its path, its working directory and $MARK to
// outFile (through a temporary name, so the reader never sees half of it).
void writeReporter(const std::string& script, const std::string& outFile) {
    testfiles::writeFile(script, "#!/bin/sh\nprintf '%s|%s|%s' \"$0\" \"$(pwd)\" \"$MARK\" > '" + outFile +
                                     ".tmp'\nmv '" + outFile + ".tmp' '" + outFile + "'\n");
    chmod(script.c_str(), 0755);
}

BOOL start(const std::string& program, const char* directory, const char* environment = nullptr) {
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    std::memset(&info, 0, sizeof info);
    return CreateProcessA(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0,
                          const_cast<char*>(environment), directory, &startup, &info);
}

TEST(CreateProcess, StartsTheProgramInTheGivenDirectoryWithTheGivenEnvironment) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("work"));
    writeReporter(dir.file("report.sh"), dir.file("out"));
    const char environment[] = "MARK=given\0PATH=/usr/bin:/bin\0";
    ASSERT_TRUE(start(dir.file("report.sh"), dir.file("work").c_str(), environment));
    auto out = testfiles::waitForFile(dir.file("out"), std::chrono::seconds(60));
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, dir.file("report.sh") + "|" + dir.file("work") + "|given");
}

TEST(CreateProcess, RelativeProgramIsFoundFromTheCallersDirectory) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("elsewhere"));
    writeReporter(dir.file("report.sh"), dir.file("out"));
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    BOOL started = start("report.sh", dir.file("elsewhere").c_str());
    std::filesystem::current_path(previous);
    ASSERT_TRUE(started);
    auto out = testfiles::waitForFile(dir.file("out"), std::chrono::seconds(60));
    ASSERT_TRUE(out);
    EXPECT_NE(out->find("|" + dir.file("elsewhere") + "|"), std::string::npos);
}

TEST(CreateProcess, RefusesWhatCannotStart) {
    TempDir dir;
    writeReporter(dir.file("report.sh"), dir.file("out"));
    testfiles::writeFile(dir.file("plain.txt"), "not a program");
    EXPECT_FALSE(start(dir.file("missing.exe"), dir.path().c_str()));
    EXPECT_FALSE(start(dir.file("report.sh"), dir.file("no-such-dir").c_str()));
    EXPECT_FALSE(start(dir.file("report.sh"), dir.file("plain.txt").c_str()));
    EXPECT_FALSE(start(dir.file("plain.txt"), dir.path().c_str()));
    EXPECT_FALSE(start(dir.path(), dir.path().c_str()));
    EXPECT_FALSE(start("", dir.path().c_str()));
}

TEST(ModuleFileName, NamesThisExecutableAndTruncatesLikeWindows) {
    char full[4096];
    DWORD length = GetModuleFileNameA(nullptr, full, sizeof full);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, sizeof full);
    EXPECT_EQ(std::strlen(full), length);
    EXPECT_EQ(std::filesystem::path(full).filename(), "test_process");
    EXPECT_TRUE(std::filesystem::is_regular_file(full));

    char small[6];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), sizeof small);
    EXPECT_EQ(std::string(small), std::string(full, 5));
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, 0), 0u);
}

TEST(FileReplace, NewFileIsWrittenFlushedAndMovedOverTheOld) {
    TempDir dir;
    const std::string target = dir.file("cfg");
    const std::string temp = dir.file("cfg.new");
    testfiles::writeFile(target, "old");
    testfiles::writeFile(temp, "stale");
    EXPECT_EQ(CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr),
              INVALID_HANDLE_VALUE)
        << "CREATE_NEW must not reuse an existing file";

    HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, "new\0bytes", 9, &written, nullptr));
    EXPECT_EQ(written, 9u);
    EXPECT_TRUE(FlushFileBuffers(file));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));

    EXPECT_FALSE(MoveFileExA(temp.c_str(), target.c_str(), 0)) << "must not replace without the flag";
    EXPECT_EQ(testfiles::readFile(target), "old");
    EXPECT_TRUE(MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(testfiles::readFile(target), std::string("new\0bytes", 9));
    EXPECT_FALSE(std::filesystem::exists(temp));
    EXPECT_TRUE(DeleteFileA(target.c_str()));
    EXPECT_FALSE(DeleteFileA(target.c_str()));
}

}  // namespace
