// What the settings dialog shows, as plain values: the entries of its two
// drop-downs, the text of the phase box and the state of the check box, made
// from a settings record; and the record made back from the controls, with
// every field the dialog does not show (the texts, `spare`) kept. The command
// line prints the same labels.
//
//   configtool::SettingsForm form(file.settings);
//   for (const configtool::Choice& c : form.modeChoices()) addToDropDown(c.label);
//   configtool::FormValues values = form.initialValues();   // ...then the user edits them
//   if (std::optional<Settings> changed = form.apply(values, problem)) save(*changed);
//
// The display modes offered are the desktop's own and the table rows the
// screen can show (on Windows as EnumDisplaySettings lists them; every row
// where the system does not say). A stored value the lists do not offer (a
// spin level outside the offered levels, a mode the screen lacks, a display
// mode outside the table) gets an entry of its own, so that it is shown and,
// unless another entry is chosen, written back unchanged.
// Likewise the mouse byte: only exactly 1 means "mouse motion ends the run",
// and a stored byte is kept as long as the check box keeps its meaning.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/DisplayMode.h"
#include "settings/Settings.h"
#include "tools/config/SettingsFile.h"

namespace configtool {

// The spin levels offered: 6.0 to 15.5 degrees per second in steps of 0.5.
constexpr std::int32_t kFirstOfferedSpinLevel = 1;
constexpr std::int32_t kLastOfferedSpinLevel = 20;

// One drop-down entry: the stored value it stands for and its text.
struct Choice {
    std::int32_t value;
    std::string label;
};

// "1024x768, 32 bits"; row 0 is "The desktop's own mode"; a row outside the
// table says so and that the desktop's mode is used.
std::string displayModeLabel(std::int32_t row);
// "9.0 degrees per second (level 7, the default)"; an unusable level says
// which speed is used instead.
std::string spinLabel(std::int32_t level);
// Where the values shown come from when it is not the user's own file ("No
// settings file yet: these are the defaults."); an empty text when they came
// from it.
std::string sourceNote(const SettingsFile& file);
// The last start-up failure in a sentence for the user; empty when none is
// recorded.
std::string lastFailureNote();

// The state of the dialog's controls.
struct FormValues {
    int modeIndex = 0;  // into modeChoices()
    int spinIndex = 0;  // into spinChoices()
    std::string phaseText;
    bool mouseQuits = false;
};

class SettingsForm {
public:
    // screenModes: the modes the screen can show, each as width, height and
    // bits per pixel; empty when the system does not say.
    explicit SettingsForm(const Settings& settings, const std::vector<DisplayMode>& screenModes = {});

    const std::vector<Choice>& modeChoices() const { return modes_; }
    const std::vector<Choice>& spinChoices() const { return spins_; }
    // The controls as the record sets them: its own values, unusable ones included.
    FormValues initialValues() const;
    // The record with values applied; nullopt and problem set, a sentence for
    // the user, when an index is outside its list or the phase text is not a
    // whole number from 1 to Settings::kMaxPhaseSeconds (spaces around it
    // are allowed).
    std::optional<Settings> apply(const FormValues& values, std::string& problem) const;

private:
    Settings settings_;
    std::vector<Choice> modes_;
    std::vector<Choice> spins_;
};

}  // namespace configtool
