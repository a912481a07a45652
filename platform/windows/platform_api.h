// Windows side of the platform boundary: the real Windows API.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

// The separator between directories in a path.
constexpr char kPathSeparator = '\\';
