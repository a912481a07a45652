// RegistryValue against the real registry (Wine's, when the cross build runs
// its tests): "Path" as an installer writes it, the fallback to the
// executable's folder, and starting a program from an installation folder
// whose name is outside the ANSI code page (this program runs with the UTF-8
// code page of the programs' manifest, as they do).
//
// Every case writes HKEY_LOCAL_MACHINE\Software\Quorvane\Calvetrin\Settings
// and puts back what was there before. All such cases live in this one
// program: GoogleTest runs them one after another, while ctest may run other
// programs in the same Wine prefix at the same time.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "settings/RegistryValue.h"

namespace {

const char* const kKey = "Software\\Quorvane\\Calvetrin\\Settings";

// The folder holding this test program (and launch_probe.exe), ending in a backslash.
std::string ownFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    const std::string text(path, length < sizeof path ? length : 0);
    return text.substr(0, text.rfind('\\') + 1);
}

// Text as REG_SZ data: with its terminating zero.
std::string sz(const std::string& text) { return text + '\0'; }

// A fresh folder under the Windows temporary folder, ending in a backslash,
// removed at the end. A program started from it may still be exiting then,
// and Windows keeps a running program's file, so removal is retried a while.
class ScratchFolder {
public:
    ScratchFolder() {
        char temp[MAX_PATH];
        const DWORD length = GetTempPathA(sizeof temp, temp);
        path = std::string(temp, length < sizeof temp ? length : 0) + "calvetrin-registry-" +
               std::to_string(GetCurrentProcessId()) + "\\";
        std::error_code leftOver;  // from an earlier run that ended early
        std::filesystem::remove_all(path, leftOver);
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() {
        std::error_code error;
        for (int attempt = 0; attempt < 300; ++attempt) {
            std::filesystem::remove_all(path, error);
            if (!error) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    std::string path;
};

// The content of a file another process writes (under a temporary name, then
// renamed), waiting generously for it; empty after the timeout.
std::string waitForFile(const std::string& name) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    while (std::chrono::steady_clock::now() < end) {
        std::ifstream in(name, std::ios::binary);
        if (in) return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::string();
}

// Opens the key for each case (creating what is missing) and afterwards puts
// back the earlier "Path" value, or none, and removes the key levels it made.
class RegistryValueWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* level : {"Software\\Quorvane", "Software\\Quorvane\\Calvetrin", kKey}) {
            HKEY probe;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, level, 0, KEY_READ, &probe) == ERROR_SUCCESS) {
                RegCloseKey(probe);
            } else {
                createdLevels.insert(createdLevels.begin(), level);  // deepest first
            }
        }
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        DWORD size = 0;
        if (RegQueryValueExA(key, "Path", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
            saved.resize(size + 1);
            hadValue = RegQueryValueExA(key, "Path", nullptr, &savedType, saved.data(), &size) == ERROR_SUCCESS;
            saved.resize(size);
        }
    }
    void TearDown() override {
        if (key == nullptr) return;
        if (hadValue) {
            RegSetValueExA(key, "Path", 0, savedType, saved.data(), static_cast<DWORD>(saved.size()));
        } else {
            RegDeleteValueA(key, "Path");
        }
        RegCloseKey(key);
        for (const std::string& level : createdLevels) RegDeleteKeyA(HKEY_LOCAL_MACHINE, level.c_str());
    }

    // As an installer writes it: in UTF-16, given here in UTF-8.
    void setPathUnicode(const std::string& text) {
        std::wstring wide(text.size() + 1, L'\0');
        wide.resize(static_cast<std::size_t>(
            MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()))));
        ASSERT_EQ(RegSetValueExW(key, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                                 static_cast<DWORD>(wide.size() * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

    void setPath(const std::string& bytes, DWORD type = REG_SZ) {
        ASSERT_EQ(RegSetValueExA(key, "Path", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }

    HKEY key = nullptr;
    std::vector<std::string> createdLevels;
    bool hadValue = false;
    DWORD savedType = REG_SZ;
    std::vector<BYTE> saved;
};

TEST_F(RegistryValueWindowsTest, StringPathIsTakenAsItIsAndSuffixesFollowWithoutSeparator) {
    setPath(sz("C:\\Program Files\\Calvetrin\\"));
    RegistryValue path(kKey, "Path");
    EXPECT_TRUE(path.hasData());
    EXPECT_EQ(path.get(), "C:\\Program Files\\Calvetrin\\");
    EXPECT_EQ(path.getWithSuffix("cfg"), "C:\\Program Files\\Calvetrin\\cfg");
    EXPECT_EQ(path.getWithSuffix("preview.ppk"), "C:\\Program Files\\Calvetrin\\preview.ppk");

    setPath(sz("D:\\Games"));
    EXPECT_EQ(RegistryValue(kKey, "Path").getWithSuffix("cfg"), "D:\\Gamescfg");
}

TEST_F(RegistryValueWindowsTest, TextEndsAtTheFirstZeroOrAtTheEndOfTheData) {
    setPath(sz(std::string("C:\\first\\\0C:\\second\\", 20)));
    EXPECT_EQ(RegistryValue(kKey, "Path").get(), "C:\\first\\");
    // Strings stored without their terminating zero, of either type.
    setPath("C:\\bare\\");
    EXPECT_EQ(RegistryValue(kKey, "Path").getWithSuffix("cfg"), "C:\\bare\\cfg");
    setPath("C:\\raw\\", REG_BINARY);
    EXPECT_EQ(RegistryValue(kKey, "Path").getWithSuffix("cfg"), "C:\\raw\\cfg");
}

TEST_F(RegistryValueWindowsTest, WithoutPathValueTheTextIsTheExecutablesFolder) {
    const LONG removed = RegDeleteValueA(key, "Path");
    ASSERT_TRUE(removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND);
    RegistryValue path(kKey, "Path");
    EXPECT_FALSE(path.hasData());
    EXPECT_EQ(path.get(), ownFolder());
    EXPECT_EQ(path.getWithSuffix("cfg"), ownFolder() + "cfg");
}

TEST_F(RegistryValueWindowsTest, LaunchStartsTheProgramInItsOwnFolderAndReturnsWithoutWaiting) {
    ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "the test program lacks the programs' manifest";
    ScratchFolder scratch;
    // "Calvetrin Ω 日本", in UTF-8.
    const std::string install = scratch.path + "Calvetrin \xCE\xA9 \xE6\x97\xA5\xE6\x9C\xAC\\";
    ASSERT_TRUE(CreateDirectoryA(install.c_str(), nullptr));
    ASSERT_TRUE(CopyFileA((ownFolder() + "launch_probe.exe").c_str(), (install + "config.exe").c_str(), TRUE));
    setPathUnicode(install);
    EXPECT_EQ(RegistryValue(kKey, "Path").get(), install);

    // The probe waits for "go" (at most 30 s) and reports "no go" without it.
    // "go" is created only after launchProgram has returned: had it waited
    // for the program, the report would be "no go".
    const std::string probeFolder = scratch.path.substr(0, scratch.path.size() - 1);
    ASSERT_TRUE(SetEnvironmentVariableA("CALVETRIN_PROBE_DIR", probeFolder.c_str()));
    RegistryValue(kKey, "Path").launchProgram("config.exe");
    SetEnvironmentVariableA("CALVETRIN_PROBE_DIR", nullptr);
    std::ofstream(scratch.path + "go").put('\n');

    EXPECT_EQ(waitForFile(scratch.path + "out"), install.substr(0, install.size() - 1));
}

}  // namespace
