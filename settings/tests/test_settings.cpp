// The settings file layout, byte for byte, and what the record makes of
// mismatched, short, damaged and out-of-range files; the display-mode table;
// setting values read from text and the spin speed of a level.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <sstream>
#include <streambuf>
#include <string>

#include "settings/tests/SettingsBytes.h"
#include "settings/DisplayMode.h"
#include "settings/SettingText.h"
#include "settings/Settings.h"

namespace {


// A complete record: version, quitOnMouseMove, spare, displayMode, textB, textA, spinLevel, phaseSeconds.
Bytes record(std::int32_t version, std::uint8_t mouse, std::int32_t spare, std::int32_t mode, const std::string& textB,
             const std::string& textA, std::int32_t spin, std::int32_t phase) {
    Bytes b;
    b.i32(version).u8(mouse).i32(spare).i32(mode).text(textB).text(textA).i32(spin).i32(phase);
    return b;
}

Settings load(const std::string& bytes) {
    std::istringstream in(bytes, std::ios::in | std::ios::binary);
    return Settings(in);
}

std::string save(const Settings& settings) {
    std::ostringstream out(std::ios::out | std::ios::binary);
    EXPECT_TRUE(settings.saveSettings(out));
    return out.str();
}

void expectDefaults(const Settings& s) {
    EXPECT_FALSE(s.loaded());
    EXPECT_EQ(s.quitOnMouseMove(), 0);
    EXPECT_EQ(s.spare(), 0);
    EXPECT_EQ(s.displayMode(), 0);
    EXPECT_EQ(s.storedTextA(), "");
    EXPECT_EQ(s.storedTextB(), "");
    EXPECT_EQ(s.spinLevel(), 7);
    EXPECT_EQ(s.phaseSeconds(), 15);
    EXPECT_EQ(s.storedPhaseSeconds(), 15);
}

TEST(SettingsFile, DefaultsWithoutAFile) {
    Settings s;
    expectDefaults(s);
    EXPECT_EQ(s.modeWidth(), 0);
    EXPECT_EQ(s.modeHeight(), 0);
    EXPECT_EQ(s.modeBitsPerPixel(), 0);
    EXPECT_FALSE(s.mouseMoveEndsRun());
    // The defaults saved are a 29-byte file with empty texts.
    EXPECT_EQ(save(s), record(3, 0, 0, 0, "", "", 7, 15).data);
}

TEST(SettingsFile, EmptyTextsMakeA29ByteFileThatYieldsEveryField) {
    const std::string bytes = record(3, 1, -2, 6, "", "", 25, 1).data;
    ASSERT_EQ(bytes.size(), 29u);
    Settings s = load(bytes);
    EXPECT_TRUE(s.loaded());
    EXPECT_EQ(s.quitOnMouseMove(), 1);
    EXPECT_TRUE(s.mouseMoveEndsRun());
    EXPECT_EQ(s.spare(), -2);
    EXPECT_EQ(s.displayMode(), 6);
    EXPECT_EQ(s.modeWidth(), 1024);
    EXPECT_EQ(s.modeHeight(), 768);
    EXPECT_EQ(s.modeBitsPerPixel(), 32);
    EXPECT_EQ(s.spinLevel(), 25);
    EXPECT_EQ(s.phaseSeconds(), 1);
    EXPECT_EQ(save(s), bytes);
}

TEST(SettingsFile, TextBComesFirstInTheFileAndRoundTrips) {
    const std::string bytes = record(3, 0, 0x01020304, 18, "second", "first text", 5, 40).data;
    Settings s = load(bytes);
    EXPECT_TRUE(s.loaded());
    EXPECT_EQ(s.textA(), "first text");
    EXPECT_EQ(s.textB(), "second");
    EXPECT_EQ(s.spare(), 0x01020304);
    EXPECT_EQ(s.phaseSeconds(), 40);
    EXPECT_EQ(save(s), bytes);
    EXPECT_EQ(save(load(save(s))), bytes);
}

TEST(SettingsFile, OtherVersionsAreDiscardedWhole) {
    for (std::int32_t version : {2, 4, 0, -3, 0x03000000}) {
        expectDefaults(load(record(version, 1, 9, 4, "b", "a", 20, 30).data));
    }
}

TEST(SettingsFile, ZeroByteEndsATextButAllItsBytesAreConsumed) {
    const std::string textB("ab\0cd", 5);
    const std::string bytes = record(3, 0, 0, 2, textB, "x", 9, 20).data;
    Settings s = load(bytes);
    EXPECT_TRUE(s.loaded());
    EXPECT_EQ(s.textB(), "ab");
    EXPECT_EQ(s.textA(), "x");
    EXPECT_EQ(s.spinLevel(), 9);
    EXPECT_EQ(s.phaseSeconds(), 20);
    // What was stored is written back as it was.
    EXPECT_EQ(save(s), bytes);
}

TEST(SettingsFile, TrailingBytesAreIgnoredAndMouseNeedsExactlyOne) {
    Settings s = load(record(3, 2, 0, 1, "", "", 8, 12).data + "junk after the record");
    EXPECT_TRUE(s.loaded());
    EXPECT_EQ(s.quitOnMouseMove(), 2);
    EXPECT_FALSE(s.mouseMoveEndsRun());
    EXPECT_EQ(s.phaseSeconds(), 12);
    EXPECT_EQ(load(record(3, 255, 0, 1, "", "", 8, 12).data).mouseMoveEndsRun(), false);
}

TEST(SettingsFile, AFileCutShortAnywhereIsNotUsed) {
    const std::string bytes = record(3, 1, 5, 3, "bb", "aaa", 11, 22).data;
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        SCOPED_TRACE(length);
        expectDefaults(load(bytes.substr(0, length)));
    }
    EXPECT_TRUE(load(bytes).loaded());
}

TEST(SettingsFile, TextLengthsThatTheFileCannotHoldAreRefused) {
    // textB's count claims 4 bytes, followed by 16 more bytes in the file;
    // textA's count claims 4 bytes, followed by 12 more.
    auto withTextB = [](std::int32_t count) {
        Bytes b;
        b.i32(3).u8(1).i32(0).i32(2).i32(count).data += "bbbb";
        b.text("").i32(7).i32(15);
        return b.data;
    };
    auto withTextA = [](std::int32_t count) {
        Bytes a;
        a.i32(3).u8(1).i32(0).i32(2).text("").i32(count).data += "aaaa";
        a.i32(7).i32(15);
        return a.data;
    };
    EXPECT_TRUE(load(withTextB(4)).loaded());
    EXPECT_TRUE(load(withTextA(4)).loaded());
    for (std::int32_t bad : {-1, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(bad);
        expectDefaults(load(withTextB(bad)));
        expectDefaults(load(withTextA(bad)));
    }
    // One byte more than the rest of the file.
    expectDefaults(load(withTextB(4 + 16 + 1)));
    expectDefaults(load(withTextA(4 + 12 + 1)));
}

// A stream that cannot seek, like a pipe: the length check then relies on
// reading in bounded pieces.
class UnseekableBuffer : public std::streambuf {
public:
    explicit UnseekableBuffer(std::string bytes) : bytes_(std::move(bytes)) {
        setg(&bytes_[0], &bytes_[0], &bytes_[0] + bytes_.size());
    }

private:
    std::string bytes_;
};

TEST(SettingsFile, HugeLengthOnAnUnseekableStreamIsRefused) {
    Bytes b;
    b.i32(3).u8(0).i32(0).i32(0).i32(INT_MAX).data += "only a few bytes";
    UnseekableBuffer buffer(b.data);
    std::istream in(&buffer);
    expectDefaults(Settings(in));

    UnseekableBuffer good(record(3, 1, 0, 5, "b", "a", 6, 16).data);
    std::istream goodIn(&good);
    Settings s(goodIn);
    EXPECT_TRUE(s.loaded());
    EXPECT_EQ(s.phaseSeconds(), 16);
}

TEST(SettingsFile, UnusablePhaseSpinAndModeReadAsDefaultsButAreKept) {
    for (std::int32_t phase : {0, -1, INT_MIN, 715828, INT_MAX}) {
        SCOPED_TRACE(phase);
        const std::string bytes = record(3, 0, 0, 0, "", "", 7, phase).data;
        Settings s = load(bytes);
        EXPECT_TRUE(s.loaded());
        EXPECT_EQ(s.phaseSeconds(), 15);
        EXPECT_EQ(s.storedPhaseSeconds(), phase);
        EXPECT_EQ(save(s), bytes);
    }
    EXPECT_EQ(load(record(3, 0, 0, 0, "", "", 7, 715827).data).phaseSeconds(), 715827);  // 2147481000 ms

    EXPECT_EQ(load(record(3, 0, 0, 0, "", "", INT_MIN, 15).data).spinLevel(), 7);
    EXPECT_EQ(load(record(3, 0, 0, 0, "", "", INT_MIN + 5, 15).data).spinLevel(), INT_MIN + 5);
    EXPECT_EQ(load(record(3, 0, 0, 0, "", "", -40, 15).data).spinLevel(), -40);

    for (std::int32_t mode : {-1, 19, INT_MAX}) {
        Settings s = load(record(3, 0, 0, mode, "", "", 7, 15).data);
        EXPECT_EQ(s.displayMode(), mode);
        EXPECT_EQ(s.modeWidth(), 0);
        EXPECT_EQ(s.modeHeight(), 0);
        EXPECT_EQ(s.modeBitsPerPixel(), 0);
    }
}

TEST(SettingsFile, LoadingReplacesEveryFieldAndSavingReportsAFailedStream) {
    Settings s = load(record(3, 1, 4, 7, "b", "a", 9, 30).data);
    std::istringstream wrong(record(4, 1, 4, 7, "b", "a", 9, 30).data);
    s.loadSettings(wrong);
    expectDefaults(s);

    std::ostringstream failed;
    failed.setstate(std::ios::badbit);
    EXPECT_FALSE(s.saveSettings(failed));
}

TEST(DisplayModeTable, RowsAndLookups) {
    const DisplayMode expected[] = {{0, 0, 0},       {640, 480, 16},   {640, 480, 32},   {800, 600, 16},
                                    {800, 600, 32},  {1024, 768, 16},  {1024, 768, 32},  {1152, 864, 16},
                                    {1152, 864, 32}, {1280, 800, 16},  {1280, 800, 32},  {1280, 960, 16},
                                    {1280, 960, 32}, {1280, 1024, 16}, {1280, 1024, 32}, {1400, 1050, 16},
                                    {1400, 1050, 32}, {1600, 1200, 16}, {1600, 1200, 32}};
    for (int row = 0; row < kDisplayModeCount; ++row) {
        SCOPED_TRACE(row);
        Settings s;
        s.setDisplayMode(row);
        EXPECT_EQ(s.modeWidth(), expected[row].width);
        EXPECT_EQ(s.modeHeight(), expected[row].height);
        EXPECT_EQ(s.modeBitsPerPixel(), expected[row].bitsPerPixel);
        EXPECT_EQ(findDisplayMode(expected[row].width, expected[row].height, expected[row].bitsPerPixel), row);
    }
    EXPECT_EQ(findDisplayMode(1280, 1024, 24), -1);
    EXPECT_EQ(findDisplayMode(1920, 1080, 32), -1);
    EXPECT_EQ(&displayModeRow(19), &displayModeTable[0]);
    EXPECT_EQ(&displayModeRow(-5), &displayModeTable[0]);
}

}  // namespace

TEST(SettingText, WholeNumbersAreSignedDecimalWithNothingAroundAndWithin32Bits) {
    EXPECT_EQ(parseWholeNumber("+3"), 3);
    EXPECT_EQ(parseWholeNumber("-0"), 0);
    EXPECT_EQ(parseWholeNumber("-2147483648"), INT32_MIN);
    EXPECT_EQ(parseWholeNumber("2147483647"), INT32_MAX);
    for (const char* refused : {"", "+", "-", " 3", "3 ", "3x", "0x10", "+-3", "++3", "1.5", "2147483648", "-2147483649"})
        EXPECT_EQ(parseWholeNumber(refused), std::nullopt) << refused;
}

TEST(SettingText, SpinAndPhaseReadersRefuseWhatTheScreensaverCannotUseWithASentence) {
    std::string problem;
    EXPECT_EQ(parseSpinLevel("+3", problem), 3);
    EXPECT_EQ(parseSpinLevel(std::to_string(Settings::kMinSpinLevel), problem), Settings::kMinSpinLevel);
    EXPECT_EQ(parsePhaseSeconds("715827", problem), 715827);
    EXPECT_TRUE(problem.empty()) << problem;
    EXPECT_EQ(parseSpinLevel(std::to_string(Settings::kMinSpinLevel - 1), problem), std::nullopt);
    EXPECT_EQ(problem, "spin level '-2147483644' is not a whole number from -2147483643 to 2147483647");
    EXPECT_EQ(parsePhaseSeconds("0", problem), std::nullopt);
    EXPECT_EQ(problem, "phase seconds '0' is not a whole number from 1 to 715827");
}

TEST(SettingText, SpinSpeedIsExactAtTheEndsOf32Bits) {
    EXPECT_EQ(Settings::spinDegreesPerSecond(7), 9.0);
    EXPECT_EQ(Settings::spinDegreesPerSecond(20), 15.5);
    EXPECT_EQ(Settings::spinDegreesPerSecond(INT32_MAX), (2147483647.0 - 5.0) * 0.5 + 8.0);
    EXPECT_EQ(Settings::spinDegreesPerSecond(Settings::kMinSpinLevel), -1073741816.0);
}
