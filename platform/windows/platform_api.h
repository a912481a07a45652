// Windows side of the platform boundary: the real Windows API, and the few
// functions of our own that have no Windows name (user_folder.cpp).
//
// Every program runs with the UTF-8 code page (the manifest's
// activeCodePage, Windows 10 version 1903 and later), so the "A" calls, the C
// run-time's file names and SDL's all take UTF-8 text, and a folder may have
// any name Windows allows.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

// The separator between directories in a path.
constexpr char kPathSeparator = '\\';

// The folder of this user's own Calvetrin files (the settings each user
// changes): %APPDATA%\Calvetrin\, in the roaming profile, ending in
// kPathSeparator; it need not exist yet. Empty when Windows names no such
// folder, or when its name cannot be written in the process's code page (a
// Windows older than 10 version 1903 ignores the UTF-8 code page).
std::string userSettingsFolder();
