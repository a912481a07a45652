// The settings dialog's model: the drop-down entries (the display modes the
// screen offers), the record turned into control values and back with every
// hidden field kept, the phase box's validation, and the notes on where the
// values came from and on the last start-up failure.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "platform/tests/TestFiles.h"
#include "settings/tests/SettingsBytes.h"
#include "settings/UserFiles.h"
#include "tools/config/SettingsFile.h"
#include "tools/config/SettingsForm.h"

namespace {

using configtool::FileState;
using configtool::FormValues;
using configtool::SettingsForm;

// A record with non-empty texts and spare, as a user's file may hold them.
std::string cfgBytes(std::uint8_t mouse, std::int32_t mode, std::int32_t spin, std::int32_t phase) {
    return Bytes().i32(3).u8(mouse).i32(-9).i32(mode).text(std::string("B\0b", 3)).text("A").i32(spin).i32(phase).data;
}

Settings fromBytes(const std::string& bytes) {
    std::istringstream in(bytes, std::ios::binary);
    Settings settings(in);
    EXPECT_TRUE(settings.loaded());
    return settings;
}

std::string toBytes(const Settings& settings) {
    std::ostringstream out(std::ios::binary);
    EXPECT_TRUE(settings.saveSettings(out));
    return out.str();
}

TEST(SettingsForm, DropDownsListTheModeTableAndTheOfferedSpinLevels) {
    const SettingsForm form(Settings{});
    ASSERT_EQ(form.modeChoices().size(), 19u);
    for (int row = 0; row < 19; ++row) EXPECT_EQ(form.modeChoices()[row].value, row);
    EXPECT_EQ(form.modeChoices()[0].label, "The desktop's own mode");
    EXPECT_EQ(form.modeChoices()[6].label, "1024x768, 32 bits");
    EXPECT_EQ(form.modeChoices()[17].label, "1600x1200, 16 bits");

    ASSERT_EQ(form.spinChoices().size(), 20u);
    EXPECT_EQ(form.spinChoices().front().value, 1);
    EXPECT_EQ(form.spinChoices().front().label, "6.0 degrees per second (level 1)");
    EXPECT_EQ(form.spinChoices()[6].label, "9.0 degrees per second (level 7, the default)");
    EXPECT_EQ(form.spinChoices().back().label, "15.5 degrees per second (level 20)");

    const FormValues shown = form.initialValues();
    EXPECT_EQ(shown.modeIndex, 0);
    EXPECT_EQ(form.spinChoices()[shown.spinIndex].value, 7);
    EXPECT_EQ(shown.phaseText, "15");
    EXPECT_FALSE(shown.mouseQuits);
}

TEST(SettingsForm, OkWithoutTouchingAnythingWritesTheSameBytes) {
    // Values the lists do not offer get an entry of their own; a mouse byte
    // other than 0 and 1 is kept while the box stays unchecked.
    const std::string records[] = {
        cfgBytes(1, 14, 9, 20),  cfgBytes(0, 0, 1, 1),         cfgBytes(2, 18, 20, 715827),
        cfgBytes(0, 25, 40, 15), cfgBytes(7, -1, -3, 15),      cfgBytes(0, 3, -2147483647 - 1, 15),
    };
    for (const std::string& bytes : records) {
        const SettingsForm form(fromBytes(bytes));
        std::string problem;
        const auto saved = form.apply(form.initialValues(), problem);
        ASSERT_TRUE(saved) << problem;
        EXPECT_EQ(toBytes(*saved), bytes);
    }

    const SettingsForm odd(fromBytes(cfgBytes(0, 25, 40, 15)));
    EXPECT_EQ(odd.modeChoices().back().label, "Row 25, not in the table: the desktop's own mode is used");
    EXPECT_EQ(odd.spinChoices().back().label, "25.5 degrees per second (level 40)");
    const SettingsForm low(fromBytes(cfgBytes(0, 3, -2147483647 - 1, 15)));
    EXPECT_EQ(low.spinChoices().front().label,
              "Level -2147483648 is unusable: 9.0 degrees per second is used");
    EXPECT_EQ(low.spinChoices()[low.initialValues().spinIndex].value, -2147483647 - 1);
}

TEST(SettingsForm, ChangedControlsChangeOnlyTheirFields) {
    const SettingsForm form(fromBytes(cfgBytes(2, 25, 40, 15)));
    FormValues values = form.initialValues();
    values.modeIndex = 14;  // 1280x1024, 32 bits
    values.spinIndex = 2;   // level 3
    values.phaseText = " 42 ";
    values.mouseQuits = true;
    std::string problem;
    auto saved = form.apply(values, problem);
    ASSERT_TRUE(saved) << problem;
    EXPECT_EQ(toBytes(*saved), cfgBytes(1, 14, 3, 42));

    const SettingsForm quitting(fromBytes(cfgBytes(1, 0, 7, 15)));
    values = quitting.initialValues();
    EXPECT_TRUE(values.mouseQuits);
    values.mouseQuits = false;
    saved = quitting.apply(values, problem);
    ASSERT_TRUE(saved) << problem;
    EXPECT_EQ(toBytes(*saved), cfgBytes(0, 0, 7, 15));
}

TEST(SettingsForm, RefusesAPhaseTheScreensaverCannotUseAndAnEmptyChoice) {
    // A stored phase it cannot use is shown as it is, and must be corrected.
    const SettingsForm form(fromBytes(cfgBytes(0, 3, 7, 0)));
    EXPECT_EQ(form.initialValues().phaseText, "0");
    for (const char* text : {"0", "", "  ", "-4", "715828", "1.5", "abc", "99999999999", "2 0"}) {
        SCOPED_TRACE(text);
        FormValues values = form.initialValues();
        values.phaseText = text;
        std::string problem;
        EXPECT_FALSE(form.apply(values, problem));
        EXPECT_NE(problem.find("from 1 to 715827"), std::string::npos) << problem;
    }
    FormValues values = form.initialValues();
    values.phaseText = "715827";
    for (int FormValues::*index : {&FormValues::modeIndex, &FormValues::spinIndex}) {
        FormValues none = values;
        none.*index = -1;  // what a drop-down reports with nothing chosen
        std::string problem;
        EXPECT_FALSE(form.apply(none, problem));
        EXPECT_FALSE(problem.empty());
    }
    std::string problem;
    EXPECT_TRUE(form.apply(values, problem)) << problem;
}

TEST(SettingsForm, OffersTheModesTheScreenShowsAndKeepsAStoredOneItLacks) {
    const std::vector<DisplayMode> screen = {{1024, 768, 32}, {800, 600, 32}, {1024, 768, 16}, {1920, 1080, 32}};
    const SettingsForm form(fromBytes(cfgBytes(0, 18, 7, 15)), screen);
    std::vector<std::int32_t> rows;
    for (const auto& choice : form.modeChoices()) rows.push_back(choice.value);
    EXPECT_EQ(rows, (std::vector<std::int32_t>{0, 4, 5, 6, 18}));
    EXPECT_EQ(form.modeChoices()[2].label, "1024x768, 16 bits");
    EXPECT_EQ(form.modeChoices()[4].label, "1600x1200, 32 bits (not available on this display)");
    // Untouched, the stored mode is kept; another choice replaces it.
    std::string problem;
    FormValues values = form.initialValues();
    EXPECT_EQ(values.modeIndex, 4);
    EXPECT_EQ(toBytes(*form.apply(values, problem)), cfgBytes(0, 18, 7, 15));
    values.modeIndex = 3;
    EXPECT_EQ(toBytes(*form.apply(values, problem)), cfgBytes(0, 6, 7, 15));
}

TEST(SettingsForm, NotesSayWhereTheValuesCameFromAndWhatFailedLast) {
    configtool::SettingsFile file;
    file.name = "/home/u/.config/calvetrin/cfg";
    EXPECT_EQ(configtool::sourceNote(file), "No settings file yet: these are the defaults.");
    file.readFrom = "/usr/lib/calvetrin/cfg";
    file.state = FileState::Read;
    EXPECT_EQ(configtool::sourceNote(file), "No settings of your own yet: these are the installation's.");
    file.state = FileState::Unreadable;
    EXPECT_EQ(configtool::sourceNote(file),
              "The installation's settings file could not be read: these are the defaults.");
    file.readFrom = file.name;
    EXPECT_EQ(configtool::sourceNote(file), "Your settings file could not be read: these are the defaults.");
    file.state = FileState::Read;
    EXPECT_EQ(configtool::sourceNote(file), "");

    testfiles::TempDir dir;
    testfiles::ScopedEnv config("XDG_CONFIG_HOME", dir.path().c_str());
    EXPECT_EQ(configtool::lastFailureNote(), "");
    recordStartupFailure("Corrupt archive: /opt/calvetrin/main.pak");
    const std::string note = configtool::lastFailureNote();
    EXPECT_EQ(note.substr(0, 51), "The screensaver could not start at its last run (20") << note;
    EXPECT_EQ(note.substr(note.size() - 43), "): Corrupt archive: /opt/calvetrin/main.pak") << note;
}

}  // namespace
