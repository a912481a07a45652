#include "assets/Archive.h"
#include "assets/tests/ArchiveBytes.h"
#include "assets/tests/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

// A regular expression matching exactly `text`.
std::string literalRegex(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (std::strchr("\\^$.|?*+()[]{}", c) != nullptr) out += '\\';
        out += c;
    }
    return out;
}

std::vector<unsigned char> pattern(std::size_t n, unsigned seed) {
    std::vector<unsigned char> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<unsigned char>(seed + i * 7);
    return v;
}

std::vector<unsigned char> bytesOf(EntryBytes e) {
    if (!e.data) return {};
    return std::vector<unsigned char>(e.data, e.data + e.size);
}

}  // namespace

TEST(ArchiveLoad, OneEntryFileOf271BytesLoadsAndSavesByteForByte) {
    TempDir tmp;
    const auto data = pattern(259, 3);
    const auto file = ArchiveBytes(1).entry("sn1", data).bytes;
    ASSERT_EQ(file.size(), 271u);
    ASSERT_EQ(file[4], 3);  // the first name length sits right after the count
    TempDir::write(tmp.file("in.pak"), file);

    Archive pak(tmp.file("in.pak").c_str());
    ASSERT_EQ(pak.entryCount(), 1u);
    EXPECT_EQ(pak.nameAt(0), "sn1");
    EXPECT_EQ(pak.getEntry("sn1").size, 259);
    EXPECT_EQ(bytesOf(pak.getEntry("sn1")), data);
    EXPECT_EQ(pak.textureSlotAt(0), 0u);

    ASSERT_TRUE(pak.save(tmp.file("out.pak").c_str()));
    EXPECT_EQ(TempDir::read(tmp.file("out.pak")), file);
}

TEST(ArchiveLoad, EmptyNamesDuplicatesAndEmptyEntriesRoundTrip) {
    TempDir tmp;
    const auto file = ArchiveBytes(5)
                          .entry("", {9, 8, 7})
                          .entry("dup", {'A'})
                          .entry("zero", {})
                          .entry("dup", {'B', 'B'})
                          .entry("Dup", {'C'})
                          .bytes;
    TempDir::write(tmp.file("a.pak"), file);
    Archive pak(tmp.file("a.pak").c_str());
    ASSERT_EQ(pak.entryCount(), 5u);

    EXPECT_EQ(bytesOf(pak.getEntry("")), (std::vector<unsigned char>{9, 8, 7}));
    // The first entry of a name wins; names compare case-sensitively.
    EXPECT_EQ(bytesOf(pak.getEntry("dup")), (std::vector<unsigned char>{'A'}));
    EXPECT_EQ(bytesOf(pak.getEntry("Dup")), (std::vector<unsigned char>{'C'}));
    EXPECT_EQ(bytesOf(pak.entryAt(3)), (std::vector<unsigned char>{'B', 'B'}));
    // A size-0 entry is present: a real (non-null) block of no bytes.
    EXPECT_NE(pak.getEntry("zero").data, nullptr);
    EXPECT_EQ(pak.getEntry("zero").size, 0);
    // Absent names, including prefixes of present ones, fail softly.
    for (const char* missing : {"du", "dupe", "missing", "ZERO"}) {
        EXPECT_EQ(pak.getEntry(missing).data, nullptr) << missing;
        EXPECT_EQ(pak.getEntry(missing).size, 0) << missing;
    }

    ASSERT_TRUE(pak.save(tmp.file("b.pak").c_str()));
    EXPECT_EQ(TempDir::read(tmp.file("b.pak")), file);
}

TEST(ArchiveLoad, CountZeroOrNegativeGivesAnEmptyArchive) {
    TempDir tmp;
    TempDir::write(tmp.file("zero.pak"), ArchiveBytes(0).bytes);
    Archive zero(tmp.file("zero.pak").c_str());
    EXPECT_EQ(zero.entryCount(), 0u);
    EXPECT_EQ(zero.getEntry("").data, nullptr);
    EXPECT_EQ(zero.getEntry("sn1").size, 0);

    TempDir::write(tmp.file("neg.pak"), ArchiveBytes(-3).bytes);
    Archive negative(tmp.file("neg.pak").c_str());
    EXPECT_EQ(negative.entryCount(), 0u);
}

TEST(ArchiveLoad, NulInsideStoredNameEndsTheName) {
    TempDir tmp;
    TempDir::write(tmp.file("stored-nul.pak"), ArchiveBytes(1).entry(std::string("ab\0cd", 5), {1, 2}).bytes);
    Archive pak(tmp.file("stored-nul.pak").c_str());
    EXPECT_EQ(pak.nameAt(0), "ab");
    EXPECT_EQ(bytesOf(pak.getEntry("ab")), (std::vector<unsigned char>{1, 2}));
}

TEST(ArchiveLoad, AFolderNamedOutsideAsciiIsRead) {
    // UTF-8, the programs' code page on both systems: "Calvetrin Ω 日本".
    TempDir tmp;
    const std::string folder = tmp.path() + "Calvetrin \xCE\xA9 \xE6\x97\xA5\xE6\x9C\xAC";
    std::filesystem::create_directories(std::filesystem::u8path(folder));
    const std::string path = folder + "/main.pak";
    TempDir::write(path, ArchiveBytes(1).entry("sn1", {1, 2, 3}).bytes);
    Archive pak(path.c_str());
    EXPECT_EQ(bytesOf(pak.getEntry("sn1")), (std::vector<unsigned char>{1, 2, 3}));
}

TEST(ArchiveLoadDeathTest, MissingFileOrDirectoryExitsWithStatus1AndNoMessage) {
    TempDir tmp;
    const std::string path = tmp.file("absent.pak");
    EXPECT_EXIT(Archive pak(path.c_str()), ::testing::ExitedWithCode(1), "^$");
    const std::string directory = tmp.file("dir.pak");
    std::filesystem::create_directory(directory);
    EXPECT_EXIT(Archive pak(directory.c_str()), ::testing::ExitedWithCode(1), "^$");
}

TEST(ArchiveLoadDeathTest, TruncatedOrCorruptFilesAreRefusedWithOneLine) {
    TempDir tmp;
    const auto good = ArchiveBytes(2).entry("one", pattern(10, 1)).entry("two", pattern(4, 2)).bytes;

    std::vector<std::pair<std::string, std::vector<unsigned char>>> cases;
    cases.emplace_back("short count", std::vector<unsigned char>{1, 0});
    cases.emplace_back("count beyond records", ArchiveBytes(3).entry("one", {1}).bytes);
    cases.emplace_back("cut in data", std::vector<unsigned char>(good.begin(), good.end() - 1));
    cases.emplace_back("cut in name", std::vector<unsigned char>(good.begin(), good.begin() + 6));
    cases.emplace_back("cut in size", std::vector<unsigned char>(good.begin(), good.begin() + 10));
    auto negativeLength = ArchiveBytes(1).bytes;
    negativeLength.push_back(0x80);
    negativeLength.resize(negativeLength.size() + 200, 'x');
    cases.emplace_back("negative name length", negativeLength);
    auto negativeSize = ArchiveBytes(1).bytes;
    negativeSize.push_back(1);
    negativeSize.push_back('n');
    appendInt32LE(negativeSize, -1);
    cases.emplace_back("negative size", negativeSize);
    auto hugeSize = ArchiveBytes(1).bytes;
    hugeSize.push_back(1);
    hugeSize.push_back('n');
    appendInt32LE(hugeSize, 0x7FFFFFFF);  // must be caught before any allocation
    hugeSize.resize(hugeSize.size() + 16, 0);
    cases.emplace_back("size beyond file", hugeSize);

    int n = 0;
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        const std::string name = "bad" + std::to_string(n++) + ".pak";
        const std::string path = tmp.file(name);
        TempDir::write(path, bytes);
        // Where death tests run the test again in a new process (Windows), the
        // temporary directory there has another name: the file name is checked.
        EXPECT_EXIT(Archive pak(path.c_str()), ::testing::ExitedWithCode(1),
                    "^Corrupt archive: .*" + literalRegex(name) + "\n$");
        Archive inMemory;
        EXPECT_FALSE(inMemory.loadBytes(bytes.data(), bytes.size()));
        EXPECT_EQ(inMemory.entryCount(), 0u);
    }

    Archive fromBytes;
    ASSERT_TRUE(fromBytes.loadBytes(good.data(), good.size()));
    EXPECT_EQ(bytesOf(fromBytes.getEntry("two")), pattern(4, 2));
    EXPECT_FALSE(fromBytes.loadBytes(good.data(), good.size()));  // only into an empty archive
}

TEST(ArchiveBuild, AppendedEntriesSaveAndLoadBack) {
    TempDir tmp;
    const auto diskData = pattern(1000, 5);
    const std::string diskPath = tmp.file("image.bin");
    TempDir::write(diskPath, diskData);
    const std::string longest(Archive::kMaxNameLength, 'n');

    Archive built;
    const unsigned char small[] = {1, 2, 3};
    ASSERT_TRUE(built.addMemory("small", small, 3));
    ASSERT_TRUE(built.addFile(diskPath.c_str()));
    ASSERT_TRUE(built.addMemory(longest.c_str(), nullptr, 0));
    ASSERT_EQ(built.entryCount(), 3u);
    EXPECT_EQ(built.nameAt(1), diskPath);  // a disk file's entry is named by its path
    EXPECT_EQ(built.textureSlotAt(2), 0u);

    // Copies, not references: changing the source afterwards changes nothing.
    unsigned char scratch[] = {4, 5};
    ASSERT_TRUE(built.addMemory("scratch", scratch, 2));
    scratch[0] = 99;
    EXPECT_EQ(bytesOf(built.getEntry("scratch")), (std::vector<unsigned char>{4, 5}));

    ASSERT_TRUE(built.save(tmp.file("built.pak").c_str()));
    const auto expected = ArchiveBytes(4)
                              .entry("small", {1, 2, 3})
                              .entry(diskPath, diskData)
                              .entry(longest, {})
                              .entry("scratch", {4, 5})
                              .bytes;
    EXPECT_EQ(TempDir::read(tmp.file("built.pak")), expected);

    Archive loaded(tmp.file("built.pak").c_str());
    EXPECT_EQ(bytesOf(loaded.getEntry(diskPath.c_str())), diskData);
    EXPECT_EQ(loaded.getEntry(longest.c_str()).size, 0);
}

TEST(ArchiveBuild, RefusalsAppendNothingAndFailuresAreReported) {
    TempDir tmp;
    Archive pak;
    const std::string tooLong(Archive::kMaxNameLength + 1, 'n');
    const unsigned char byte = 1;
    EXPECT_FALSE(pak.addMemory(tooLong.c_str(), &byte, 1));
    EXPECT_FALSE(pak.addMemory("negative", &byte, -1));
    EXPECT_FALSE(pak.addMemory("null", nullptr, 4));
    EXPECT_FALSE(pak.addFile(tmp.file("absent").c_str()));
    EXPECT_FALSE(pak.addFile(tmp.path().c_str()));  // a directory is not a readable file
    EXPECT_EQ(pak.entryCount(), 0u);

    ASSERT_TRUE(pak.addMemory("ok", &byte, 1));
    EXPECT_FALSE(pak.save(tmp.file("no-such-dir/out.pak").c_str()));
    EXPECT_FALSE(pak.extractAll(tmp.file("no-such-dir/").c_str()));
}

TEST(ArchiveBuild, ExtractAllWritesEachEntryUnderThePrefix) {
    TempDir tmp;
    Archive pak;
    const auto big = pattern(300, 9);
    ASSERT_TRUE(pak.addMemory("a.png", big.data(), 300));
    ASSERT_TRUE(pak.addMemory("empty", nullptr, 0));
    ASSERT_TRUE(pak.addMemory("a.png", "x", 1));  // same name later: overwrites the first file

    ASSERT_TRUE(pak.extractAll(tmp.file("out-").c_str()));
    EXPECT_EQ(TempDir::read(tmp.file("out-a.png")), (std::vector<unsigned char>{'x'}));
    EXPECT_TRUE(std::filesystem::exists(tmp.file("out-empty")));
    EXPECT_EQ(std::filesystem::file_size(tmp.file("out-empty")), 0u);

    Archive single;
    ASSERT_TRUE(single.addMemory("a.png", big.data(), 300));
    ASSERT_TRUE(single.extractAll(tmp.path().c_str()));
    EXPECT_EQ(TempDir::read(tmp.file("a.png")), big);
}
