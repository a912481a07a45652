// Files a user drops into the installation directory can be damaged in any
// way. Each reader is fed thousands of randomly damaged copies of a valid
// file (bytes changed, cut short, bytes inserted or removed) and must either
// refuse it or read it within its bytes; the sanitizers catch any read
// outside them, the checks below any inconsistent result.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/Preview.h"
#include "assets/Archive.h"
#include "assets/ImageHeader.h"
#include "assets/Mesh.h"
#include "assets/ResourceCache.h"
#include "assets/tests/ArchiveBytes.h"
#include "assets/tests/ForgetGenerators.h"
#include "assets/tests/ImageBytes.h"
#include "assets/tests/MeshBytes.h"
#include "assets/tests/TempDir.h"
#include "settings/DisplayMode.h"
#include "settings/Settings.h"
#include "settings/UserFiles.h"
#include "settings/tests/SettingsBytes.h"
#include "tests/doubles/gl_recorder.h"

namespace {

using Data = std::vector<unsigned char>;

// One to four random changes: a byte replaced, the file cut short, a byte
// inserted or a byte removed. Small values (0, 1, 0x7F, 0x80, 0xFF) are
// favoured because they sit on the edges of counts and lengths.
Data damage(Data bytes, std::mt19937& rng) {
    static const unsigned char kEdges[] = {0x00, 0x01, 0x7F, 0x80, 0xFF};
    auto anyByte = [&] {
        return rng() % 2 ? kEdges[rng() % 5] : static_cast<unsigned char>(rng());
    };
    const int changes = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < changes && !bytes.empty(); ++i) {
        const std::size_t at = rng() % bytes.size();
        switch (rng() % 4) {
            case 0: bytes[at] = anyByte(); break;
            case 1: bytes.resize(at); break;
            case 2: bytes.insert(bytes.begin() + static_cast<long>(at), anyByte()); break;
            default: bytes.erase(bytes.begin() + static_cast<long>(at)); break;
        }
    }
    return bytes;
}

}  // namespace

TEST(DamagedFiles, MeshEntriesAreRefusedOrReadWithinTheirBytes) {
    TempDir tmp;
    // The archive the meshes' texture names are looked up in.
    const std::string pak = tmp.file("main.pak");
    TempDir::write(pak, ArchiveBytes(1).entry("other", {1, 2, 3}).bytes);

    const Data valid = MeshBytes(0xFF, 3).mesh("stone.png", 2).mesh("#$glow", 1, 9.0).mesh("ab", 0).bytes;
    std::mt19937 rng(20261208);
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        const Data entry = damage(valid, rng);
        // A private copy of exactly the entry's size, so that any read past
        // its end is a heap overflow the sanitizer reports.
        std::unique_ptr<unsigned char[]> heap(new unsigned char[entry.size() + 1]);
        std::copy(entry.begin(), entry.end(), heap.get());
        const EntryBytes bytes{heap.get(), static_cast<std::int32_t>(entry.size())};
        const unsigned char* const end = heap.get() + entry.size();

        std::vector<Mesh> meshes;
        const std::int32_t count = readMeshEntry(bytes, pak.c_str(), meshes);
        ASSERT_EQ(static_cast<std::size_t>(count), meshes.size()) << "round " << round;
        for (const Mesh& mesh : meshes) {
            ASSERT_GE(mesh.triangleCount, 0);
            ASSERT_LE(mesh.texCoords + 48 * static_cast<std::size_t>(mesh.triangleCount), end) << "round " << round;
            ASSERT_GE(reinterpret_cast<const unsigned char*>(mesh.textureName), heap.get());
            glrec::reset();
            mesh.draw();
        }
        accepted += count > 0;
    }
    // The damage is not so heavy that nothing is ever read.
    EXPECT_GT(accepted, 100);
    forgetGenerators();
}

TEST(DamagedFiles, SettingsFilesGiveUsableValues) {
    const std::string valid = Bytes().i32(3).u8(1).i32(77).i32(6).text("textB").text("textA").i32(9).i32(2).data;
    const Data validBytes(valid.begin(), valid.end());
    std::mt19937 rng(8);
    int loaded = 0;
    for (int round = 0; round < 20000; ++round) {
        const Data file = damage(validBytes, rng);
        std::istringstream in(std::string(file.begin(), file.end()), std::ios::binary);
        const Settings settings(in);
        SCOPED_TRACE(round);
        ASSERT_GE(settings.phaseSeconds(), 1);
        ASSERT_LE(settings.phaseSeconds(), Settings::kMaxPhaseSeconds);
        const DisplayMode& mode = displayModeRow(settings.displayMode());
        ASSERT_EQ(settings.modeWidth(), mode.width);
        if (settings.loaded()) {
            ++loaded;
            ASSERT_LE(settings.storedTextA().size() + settings.storedTextB().size() + 29, file.size());
        } else {
            // A file that is not used leaves every field at its default.
            ASSERT_EQ(settings.displayMode(), 0);
            ASSERT_EQ(settings.quitOnMouseMove(), 0);
            ASSERT_EQ(settings.spinLevel(), 7);
            ASSERT_EQ(settings.phaseSeconds(), 15);
        }
    }
    EXPECT_GT(loaded, 100);
}

TEST(DamagedFiles, ArchivesLoadOrAreRefusedWithOneLine) {
    // A damaged archive either loads or ends the process with exit status 1
    // and the one line "Corrupt archive: <path>", which is also the user's
    // record of the last start-up failure; each case runs in a child process,
    // whose standard error comes back through a pipe.
    TempDir tmp;
    setenv("XDG_CONFIG_HOME", tmp.path().c_str(), 1);
    const Data valid = ArchiveBytes(3).entry("sn1", {1, 2, 3, 4, 5}).entry("", {}).entry("tex.png", {9, 8, 7}).bytes;
    std::mt19937 rng(1999);
    int loadedCount = 0;
    for (int round = 0; round < 300; ++round) {
        const std::string path = tmp.file("main" + std::to_string(round) + ".pak");
        TempDir::write(path, damage(valid, rng));
        int errPipe[2];
        ASSERT_EQ(pipe(errPipe), 0);
        fflush(nullptr);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            dup2(errPipe[1], 2);
            close(errPipe[0]);
            {
                Archive archive(path.c_str());
                // Every entry lies within the file it came from.
                std::size_t total = 4;
                for (std::size_t i = 0; i < archive.entryCount(); ++i)
                    total += 5 + archive.nameAt(i).size() + static_cast<std::size_t>(archive.entryAt(i).size);
                if (total > std::filesystem::file_size(path)) _exit(3);
            }
            _exit(0);
        }
        close(errPipe[1]);
        std::string err;
        char buffer[256];
        for (ssize_t n; (n = read(errPipe[0], buffer, sizeof buffer)) > 0;) err.append(buffer, static_cast<std::size_t>(n));
        close(errPipe[0]);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "round " << round << " died by a signal\n" << err;
        if (WEXITSTATUS(status) == 0) {
            ++loadedCount;
            EXPECT_EQ(err, "") << "round " << round;
        } else {
            ASSERT_EQ(WEXITSTATUS(status), 1) << "round " << round << "\n" << err;
            ASSERT_EQ(err, "Corrupt archive: " + path + "\n") << "round " << round;
            const std::optional<StartupFailure> recorded = lastStartupFailure();
            ASSERT_TRUE(recorded) << "round " << round;
            ASSERT_EQ(recorded->message, "Corrupt archive: " + path) << "round " << round;
        }
    }
    EXPECT_GT(loadedCount, 10);
}

TEST(DamagedFiles, PicturesAreRefusedOrDecodedAtTheirDeclaredSize) {
    // A preview bitmap and a texture image: damaged headers must be refused
    // before decoding or decoded at exactly the size they declare.
    TempDir tmp;
    const Data bmp = blackBmp24(20, 10, tmp.file("p.bmp"));
    ASSERT_FALSE(bmp.empty());
    const Data png = encodePng(6, 5, 4, Data(6 * 5 * 4, 0x80));
    std::mt19937 rng(152112);
    int pictures = 0, textures = 0;
    for (int round = 0; round < 4000; ++round) {
        const Data file = damage(round % 2 ? bmp : png, rng);
        std::unique_ptr<unsigned char[]> heap(new unsigned char[file.size() + 1]);
        std::copy(file.begin(), file.end(), heap.get());
        const ImageHeader header = readImageHeader(heap.get(), file.size());
        SCOPED_TRACE(round);

        if (SDL_Surface* picture = loadPreviewPicture(heap.get(), file.size())) {
            ++pictures;
            ASSERT_TRUE(header.fits(2048));
            ASSERT_EQ(picture->format->BitsPerPixel, 24);
            ASSERT_EQ(picture->w, header.width);
            SDL_FreeSurface(picture);
        }
        Archive pak;
        ASSERT_TRUE(pak.addMemory("t", heap.get(), static_cast<std::int32_t>(file.size())));
        glrec::reset();
        if (pak.getTexture("t") != 0) {
            ++textures;
            ASSERT_EQ(glrec::texImages().size(), 1u);
            ASSERT_EQ(glrec::texImages()[0].width, header.width);
            ASSERT_EQ(glrec::texImages()[0].height, header.height);
        }
    }
    EXPECT_GT(pictures, 100);
    EXPECT_GT(textures, 100);
}
