// The files Calvetrin keeps for each user, and the one place that decides
// which settings file a run reads.
//
// Each user's own settings live in that user's folder, which the platform
// layer chooses (userSettingsFolder()): %APPDATA%\Calvetrin\cfg on Windows,
// $XDG_CONFIG_HOME/calvetrin/cfg (else ~/.config/calvetrin/cfg) on Linux. A
// user without a file of their own gets the installation's "cfg", which only
// an installer or an administrator puts there; with neither, the defaults
// apply. The configuration program writes the user's own file, never the
// installation's.
//
//   std::ifstream file = openSettingsFile();
//   Settings* settings = file ? new Settings(file) : new Settings();
//
// Beside the settings lies the record of the last start-up failure that ended
// a run ("Video initialization failed: ...", "Corrupt archive: ...", a missing
// archive), which the settings dialog shows: on Windows the screensaver has no
// console, so its messages reach nobody otherwise. A start that gets past the
// display removes it, so it always tells of the latest run.
//
//   recordStartupFailure("Corrupt archive: C:\\Calvetrin\\main.pak");
//   if (std::optional<StartupFailure> last = lastStartupFailure()) show(last->when + ": " + last->message);
#pragma once

#include <fstream>
#include <optional>
#include <string>

// The user's own settings file; empty when the system names no folder for
// the user.
std::string userSettingsFile();

// The installation's settings file (pathSetting's folder followed by "cfg"),
// the default for users without a file of their own. It and openSettingsFile
// live in OpenSettings.cpp, apart from the rest: they need pathSetting, and
// with it the process-wide objects, which the archive tool does without.
std::string installedSettingsFile();

// Opens, in binary mode, the settings file a run reads: the user's own when it
// can be opened, else the installation's. The stream is in a failed state when
// neither can be opened. `name`, when given, receives the name of the file
// opened (empty when none). A file that opens but is damaged is still the one
// read: the record refuses it whole and the defaults apply, as for the user
// who has none.
std::ifstream openSettingsFile(std::string* name = nullptr);

// Replaces fileName by bytes so that it is at every moment either the old or
// the new file: the bytes go to a new file in the same folder, are forced to
// disk, and the new file is then renamed over the old one. The folder and any
// missing folders above it are made first. On Windows the rename fails over a
// read-only file or one another program holds open without sharing deletion.
// False with problem set, a phrase naming the file ("cannot replace
// C:\...\cfg"), when nothing was changed; no new file is left behind then.
bool replaceFile(const std::string& fileName, const std::string& bytes, std::string& problem);

// A start-up failure as recorded: the local time it happened
// ("2024-05-17 21:04") and the message, one line each.
struct StartupFailure {
    std::string when;
    std::string message;
};

// The record's file in the user's folder; empty when there is no such folder.
std::string startupFailureFile();
// Records message (line breaks become spaces) as the latest start-up failure,
// replacing an earlier one. Nothing is reported when it cannot be written: the
// caller is about to end the process.
void recordStartupFailure(const std::string& message);
// Removes the record: the latest start got past the failures it tells of.
void clearStartupFailure();
// The recorded failure; nullopt when there is none, or when the file holds no
// message. Control characters of the file are shown as spaces, and at most
// the first 4 KiB are read.
std::optional<StartupFailure> lastStartupFailure();
