// The registry file reader: the value formats, the size protocol of
// RegQueryValueExA, name matching, encodings, and the rule that a damaged file
// holds no keys at all.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/tests/TestFiles.h"

namespace {

using testfiles::ScopedEnv;
using testfiles::TempDir;

const char* const kHeader = "Windows Registry Editor Version 5.00\n";
const char* const kKey = "Software\\Quorvane\\Calvetrin\\Settings";
const char* const kSection = "[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\Calvetrin\\Settings]\n";

struct Read {
    DWORD type;
    std::string bytes;
};

class RegistryFile : public ::testing::Test {
protected:
    void use(const std::string& content) {
        testfiles::writeFile(dir.file("registry.reg"), content);
        env.emplace("CALVETRIN_REGISTRY", dir.file("registry.reg").c_str());
    }

    bool keyExists(const char* keyPath) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        return true;
    }

    // The value's type and bytes read with the size query first, as callers do.
    std::optional<Read> read(const char* name, const char* keyPath = kKey) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
        std::optional<Read> result;
        DWORD size = 0;
        if (RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
            std::vector<BYTE> data(size + 1, 0xAA);
            DWORD type = 0;
            DWORD got = size;
            EXPECT_EQ(RegQueryValueExA(key, name, nullptr, &type, data.data(), &got), ERROR_SUCCESS);
            EXPECT_EQ(got, size);
            EXPECT_EQ(data[size], 0xAA) << "wrote past the size it reported";
            result = Read{type, std::string(data.begin(), data.begin() + got)};
        }
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        return result;
    }

    TempDir dir;
    std::optional<ScopedEnv> env;
};

TEST_F(RegistryFile, TextValuesUnescapeAndCountTheirTerminatingZero) {
    use(std::string(kHeader) + kSection +
        "\"Path\"=\"C:\\\\Games\\\\Calvetrin\\\\\"\n"
        "\"Quoted\"=\"say \\\"hi\\\"\"\n"
        "\"Empty\"=\"\"\n");
    auto path = read("Path");
    ASSERT_TRUE(path);
    EXPECT_EQ(path->type, REG_SZ);
    EXPECT_EQ(path->bytes, std::string("C:\\Games\\Calvetrin\\\0", 20));
    EXPECT_EQ(read("Quoted")->bytes, std::string("say \"hi\"\0", 9));
    EXPECT_EQ(read("Empty")->bytes, std::string("\0", 1));
    EXPECT_FALSE(read("Missing"));
}

TEST_F(RegistryFile, SizeQueryAndTooSmallBuffer) {
    use(std::string(kHeader) + kSection + "\"Path\"=\"/opt/cv/\"\n");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    DWORD size = 0;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Path", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 9u);
    EXPECT_EQ(type, REG_SZ);

    char small[4] = {'x', 'x', 'x', 'x'};
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 9u);

    char exact[9];
    size = sizeof exact;
    EXPECT_EQ(RegQueryValueExA(key, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(exact), &size), ERROR_SUCCESS);
    EXPECT_STREQ(exact, "/opt/cv/");
    EXPECT_EQ(RegQueryValueExA(key, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(exact), nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExA(key, "Path", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryFile, KeyAndValueNamesIgnoreCase) {
    use(std::string(kHeader) + "[hkey_local_machine\\SOFTWARE\\quorvane\\CALVETRIN\\settings]\n\"PATH\"=\"/x/\"\n");
    ASSERT_TRUE(read("path"));
    EXPECT_EQ(read("Path", "software\\QUORVANE\\Calvetrin\\Settings")->bytes, std::string("/x/\0", 4));
    // A key that only has keys below it exists too, as on Windows.
    EXPECT_TRUE(keyExists("Software\\Quorvane"));
    EXPECT_FALSE(keyExists("Software\\Quorv"));
    EXPECT_FALSE(keyExists("Software\\Quorvane\\Calvetrin\\Settings\\Deeper"));
}

TEST_F(RegistryFile, NumbersBinaryDefaultValueAndContinuedHex) {
    use(std::string(kHeader) + kSection +
        "@=\"default\"\n"
        "\"Count\"=dword:0000012a\n"
        "\"Raw\"=hex:2f,61,00,62\n"
        "\"Long\"=hex:01,02,\\\n"
        "  03,04\n"
        "\"None\"=hex:\n"
        "\"Wide\"=hex(2):2f,00,e9,00,00,00\n");
    EXPECT_EQ(read(nullptr)->bytes, std::string("default\0", 8));
    EXPECT_EQ(read("")->bytes, std::string("default\0", 8));
    auto count = read("Count");
    EXPECT_EQ(count->type, REG_DWORD);
    EXPECT_EQ(count->bytes, std::string("\x2a\x01\0\0", 4));
    auto raw = read("Raw");
    EXPECT_EQ(raw->type, REG_BINARY);
    EXPECT_EQ(raw->bytes, std::string("/a\0b", 4));
    EXPECT_EQ(read("Long")->bytes, std::string("\x01\x02\x03\x04", 4));
    EXPECT_EQ(read("None")->bytes, std::string());
    auto wide = read("Wide");
    EXPECT_EQ(wide->type, REG_EXPAND_SZ);
    EXPECT_EQ(wide->bytes, std::string("/\xc3\xa9\0", 4));  // UTF-16LE text handed out as UTF-8
}

TEST_F(RegistryFile, CrlfBomsAndUtf16) {
    use("\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\Calvetrin\\Settings]\r\n\"Path\"=\"/crlf/\"\r\n");
    EXPECT_EQ(read("Path")->bytes, std::string("/crlf/\0", 7));

    std::string utf8 = std::string(kHeader) + kSection + "\"Path\"=\"/d\xc3\xa9j\xc3\xa0/\"\r\n";
    std::string utf16 = "\xFF\xFE";
    // Encode the (two-byte) characters used above as UTF-16LE.
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        unsigned unit = c;
        if (c >= 0xC0) unit = ((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F);
        utf16 += static_cast<char>(unit & 0xFF);
        utf16 += static_cast<char>(unit >> 8);
    }
    use(utf16);
    EXPECT_EQ(read("Path")->bytes, std::string("/d\xc3\xa9j\xc3\xa0/\0", 9));
}

TEST_F(RegistryFile, DeletionLinesRemoveEarlierValuesAndKeys) {
    use(std::string(kHeader) + kSection + "\"Path\"=\"/a/\"\n\"Other\"=\"b\"\n\"Other\"=-\n" +
        "[HKEY_LOCAL_MACHINE\\Software\\Gone\\Sub]\n\"X\"=\"y\"\n[-HKEY_LOCAL_MACHINE\\Software\\Gone]\n");
    EXPECT_TRUE(read("Path"));
    EXPECT_FALSE(read("Other"));
    EXPECT_FALSE(keyExists("Software\\Gone\\Sub"));
}

TEST_F(RegistryFile, DamagedFilesHoldNoKeys) {
    const std::string good = std::string(kSection) + "\"Path\"=\"/a/\"\n";
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty", ""},
        {"no header", good},
        {"wrong header", "Windows Registry Editor Version 4.00\n" + good},
        {"unterminated text", std::string(kHeader) + good + "\"Bad\"=\"open\n"},
        {"unknown escape", std::string(kHeader) + good + "\"Bad\"=\"a\\nb\"\n"},
        {"text then junk", std::string(kHeader) + good + "\"Bad\"=\"a\" b\n"},
        {"bad hex", std::string(kHeader) + good + "\"Bad\"=hex:0g\n"},
        {"hex too wide", std::string(kHeader) + good + "\"Bad\"=hex:123\n"},
        {"hex trailing comma", std::string(kHeader) + good + "\"Bad\"=hex:01,\n"},
        {"continuation at end", std::string(kHeader) + good + "\"Bad\"=hex:01,\\\n"},
        {"dword too long", std::string(kHeader) + good + "\"Bad\"=dword:123456789\n"},
        {"dword not hex", std::string(kHeader) + good + "\"Bad\"=dword:xyz\n"},
        {"unknown data", std::string(kHeader) + good + "\"Bad\"=qword:1\n"},
        {"value before any key", std::string(kHeader) + "\"Path\"=\"/a/\"\n" + good},
        {"unclosed section", std::string(kHeader) + good + "[HKEY_LOCAL_MACHINE\\Software\n"},
        {"stray line", std::string(kHeader) + good + "Path=/a/\n"},
        {"odd UTF-16", std::string("\xFF\xFEW\0i\0n", 7)},
    };
    for (const auto& [label, content] : cases) {
        use(content);
        EXPECT_FALSE(keyExists(kKey)) << label;
        EXPECT_FALSE(read("Path")) << label;
    }
    use(std::string(kHeader) + good + "; a comment\n\n");
    EXPECT_TRUE(read("Path")) << "the good part alone must parse";
}

TEST_F(RegistryFile, MissingFileAndOtherRootsHoldNothing) {
    env.emplace("CALVETRIN_REGISTRY", dir.file("absent.reg").c_str());
    EXPECT_FALSE(keyExists(kKey));
    use(std::string(kHeader) + "[HKEY_CURRENT_USER\\Software\\Quorvane\\Calvetrin\\Settings]\n\"Path\"=\"/a/\"\n");
    EXPECT_FALSE(keyExists(kKey));
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(reinterpret_cast<HKEY>(0x1234), kKey, 0, KEY_QUERY_VALUE, &key), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryFile, FileFoundThroughXdgConfigHomeThenHome) {
    ScopedEnv noOverride("CALVETRIN_REGISTRY", nullptr);
    std::filesystem::create_directories(dir.file("xdg/calvetrin"));
    std::filesystem::create_directories(dir.file("home/.config/calvetrin"));
    testfiles::writeFile(dir.file("xdg/calvetrin/registry.reg"), std::string(kHeader) + kSection + "\"Path\"=\"/x/\"\n");
    testfiles::writeFile(dir.file("home/.config/calvetrin/registry.reg"),
                         std::string(kHeader) + kSection + "\"Path\"=\"/h/\"\n");
    ScopedEnv home("HOME", dir.file("home").c_str());
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", dir.file("xdg").c_str());
        EXPECT_EQ(read("Path")->bytes, std::string("/x/\0", 4));
    }
    ScopedEnv noXdg("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(read("Path")->bytes, std::string("/h/\0", 4));
}

}  // namespace
