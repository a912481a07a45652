#include "assets/ResourceCache.h"
#include "assets/tests/ArchiveBytes.h"
#include "assets/tests/ImageBytes.h"
#include "assets/tests/TempDir.h"
#include "tests/doubles/gl_recorder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes entryBytes(EntryBytes e) { return e.data ? Bytes(e.data, e.data + e.size) : Bytes{}; }

// Runs with the current directory moved to `dir`, restoring it afterwards.
class InDirectory {
public:
    explicit InDirectory(const std::string& dir) : saved_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~InDirectory() { std::filesystem::current_path(saved_); }

private:
    std::filesystem::path saved_;
};

}  // namespace

TEST(ResourceCache, BasePathStartingWithZeroMeansNamesAsGiven) {
    TempDir tmp;
    TempDir::write(tmp.file("main.pak"), ArchiveBytes(1).entry("sn1", {1, 1}).bytes);
    InDirectory here(tmp.path());

    ResourceCache plain;
    EXPECT_EQ(plain.basePath(), "0");
    EXPECT_EQ(entryBytes(plain.getEntry("main.pak", "sn1")), (Bytes{1, 1}));

    ResourceCache zeroSomething;
    zeroSomething.setBasePath("0/elsewhere/");
    EXPECT_EQ(entryBytes(zeroSomething.getEntry("main.pak", "sn1")), (Bytes{1, 1}));
}

TEST(ResourceCache, DirectoryBasePathIsJoinedWithoutSeparator) {
    TempDir tmp;
    std::filesystem::create_directories(tmp.file("install"));
    TempDir::write(tmp.file("install/main.pak"), ArchiveBytes(1).entry("sn1", {2}).bytes);
    TempDir::write(tmp.file("installmain.pak"), ArchiveBytes(1).entry("sn1", {3}).bytes);

    ResourceCache withSeparator;
    withSeparator.setBasePath(tmp.file("install/").c_str());
    EXPECT_EQ(entryBytes(withSeparator.getEntry("main.pak", "sn1")), (Bytes{2}));

    ResourceCache withoutSeparator;
    withoutSeparator.setBasePath(tmp.file("install").c_str());
    EXPECT_EQ(entryBytes(withoutSeparator.getEntry("main.pak", "sn1")), (Bytes{3}));
}

TEST(ResourceCache, EveryRequestCountsAndTheFileIsReadOnce) {
    TempDir tmp;
    const std::string pak = tmp.file("a.pak");
    TempDir::write(pak, ArchiveBytes(2).entry("sn1", {4}).entry("img", encodePng(1, 1, 4, {1, 2, 3, 4})).bytes);
    glrec::reset();

    ResourceCache cache;
    Archive* first = cache.acquire(pak.c_str());
    EXPECT_EQ(entryBytes(cache.getEntry(pak.c_str(), "sn1")), (Bytes{4}));
    EXPECT_EQ(cache.getEntry(pak.c_str(), "absent").data, nullptr);
    EXPECT_EQ(cache.getTexture(pak.c_str(), "img"), 1u);
    EXPECT_EQ(cache.getTexture(pak.c_str(), "absent"), 0u);
    EXPECT_EQ(cache.acquire(pak.c_str()), first);
    EXPECT_EQ(cache.openCount(), 1u);
    EXPECT_EQ(cache.referenceCount(pak.c_str()), 6);

    // Held archives are not reread: changing the file shows nowhere.
    TempDir::write(pak, ArchiveBytes(1).entry("sn1", {5}).bytes);
    EXPECT_EQ(entryBytes(cache.getEntry(pak.c_str(), "sn1")), (Bytes{4}));
}

TEST(ResourceCache, ReleaseDestroysAtZeroAndTheNextRequestRereads) {
    TempDir tmp;
    const std::string a = tmp.file("a.pak"), b = tmp.file("b.pak"), c = tmp.file("c.pak");
    for (const std::string& p : {a, b, c}) TempDir::write(p, ArchiveBytes(1).entry("e", {6}).bytes);

    ResourceCache cache;
    cache.release(a.c_str());  // never requested: nothing happens
    EXPECT_EQ(cache.openCount(), 0u);

    cache.acquire(a.c_str());
    cache.acquire(b.c_str());
    cache.acquire(b.c_str());
    Archive* archiveC = cache.acquire(c.c_str());
    cache.release("not-open");
    EXPECT_EQ(cache.openCount(), 3u);

    cache.release(b.c_str());
    EXPECT_EQ(cache.referenceCount(b.c_str()), 1);
    cache.release(b.c_str());
    EXPECT_EQ(cache.openCount(), 2u);
    EXPECT_EQ(cache.referenceCount(b.c_str()), 0);
    // The others keep their places and counts.
    EXPECT_EQ(cache.referenceCount(a.c_str()), 1);
    EXPECT_EQ(cache.acquire(c.c_str()), archiveC);

    TempDir::write(b, ArchiveBytes(1).entry("e", {7}).bytes);
    EXPECT_EQ(entryBytes(cache.getEntry(b.c_str(), "e")), (Bytes{7}));
    EXPECT_EQ(cache.referenceCount(b.c_str()), 1);
}

TEST(ResourceCache, TheSameFileUnderTwoNamesIsOpenedTwice) {
    TempDir tmp;
    TempDir::write(tmp.file("main.pak"), ArchiveBytes(1).entry("sn1", {8}).bytes);
    ResourceCache cache;
    cache.setBasePath(tmp.path().c_str());
    Archive* plain = cache.acquire("main.pak");
    Archive* dotted = cache.acquire("./main.pak");
    EXPECT_NE(plain, dotted);
    EXPECT_EQ(cache.openCount(), 2u);
    EXPECT_EQ(cache.referenceCount("main.pak"), 1);
    EXPECT_EQ(cache.referenceCount("./main.pak"), 1);
    EXPECT_EQ(entryBytes(dotted->getEntry("sn1")), (Bytes{8}));
}

TEST(ResourceCacheDeathTest, MissingArchiveEndsTheProcessWithStatus1) {
    TempDir tmp;
    ResourceCache cache;
    cache.setBasePath(tmp.path().c_str());
    EXPECT_EXIT(cache.getEntry("main.pak", "sn1"), ::testing::ExitedWithCode(1), "^$");
}
