// Linux side of the platform boundary: the subset of the Windows API that
// Calvetrin calls, with the same names, types and constants, implemented over
// POSIX (registry.cpp, process.cpp, user_folder.cpp), Xlib (window.cpp) and a
// main() that calls WinMain (entry.cpp).
//
// The registry is a read-only text file in the registry export format
// ("Windows Registry Editor Version 5.00"), named by the environment variable
// CALVETRIN_REGISTRY, else registry.reg in the user's folder
// (userSettingsFolder(): $XDG_CONFIG_HOME/calvetrin/, else
// ~/.config/calvetrin/). A window handle is an X window id. Paths are UTF-8
// text, as on Windows, where the programs run with the UTF-8 code page.
#pragma once

#include <cstdint>
#include <string>

constexpr char kPathSeparator = '/';

#define WINAPI
#define CALLBACK

using BYTE = unsigned char;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using BOOL = int;
using ATOM = std::uint16_t;
using COLORREF = DWORD;
using LPSTR = char*;
using LPCSTR = const char*;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using LPVOID = void*;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

// ---- Registry (registry.cpp) ----------------------------------------------
struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;

inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u));
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr REGSAM KEY_QUERY_VALUE = 1;
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

// The registry file is read when a key is opened; an opened key keeps the
// values it had then. A file that is missing, empty or malformed anywhere
// (no header line, unterminated text, unknown escape, bad hex) holds no keys.
// Text values (REG_SZ) are returned with their terminating zero counted in
// the size, as Windows does. Only HKEY_LOCAL_MACHINE (or a key opened from
// it) may serve as the root.

LONG RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
LONG RegCloseKey(HKEY key);

// ---- Processes and files (process.cpp) --------------------------------------
struct HANDLE__;
using HANDLE = HANDLE__*;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

// Closes a handle from CreateFileA. The process and thread handles that
// CreateProcessA hands out are null on Linux; closing them returns FALSE.
BOOL CloseHandle(HANDLE handle);

// Just enough of the file API to replace a file safely: create a new file,
// write it, force it to disk, and move it over the old one.
struct SECURITY_ATTRIBUTES;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
constexpr DWORD MOVEFILE_WRITE_THROUGH = 0x8;
// Supports GENERIC_WRITE with CREATE_NEW (fails if the file exists) or
// CREATE_ALWAYS; the other arguments are ignored. INVALID_HANDLE_VALUE on failure.
HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, SECURITY_ATTRIBUTES* securityAttributes,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPVOID overlapped);
BOOL FlushFileBuffers(HANDLE file);
// Renames within one file system; with MOVEFILE_WRITE_THROUGH the directory
// entry is forced to disk as well before it returns.
BOOL MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags);
BOOL DeleteFileA(LPCSTR fileName);

struct SECURITY_ATTRIBUTES;
struct STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX, dwY, dwXSize, dwYSize, dwXCountChars, dwYCountChars, dwFillAttribute, dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput, hStdOutput, hStdError;
};
struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};

// Starts applicationName (no arguments but its own name) in currentDirectory
// (null: the caller's) and returns at once; the child is never waited for. A
// relative applicationName is taken relative to the caller's directory, as on
// Windows. environment, when given, is a block of "NAME=value" texts each
// ended by a zero byte, the block ended by one more. FALSE when the program
// could not be started, including when the working directory does not exist.
// dwProcessId receives the process id; the handles are null. Children that
// have ended are collected on later calls, so they do not linger as zombies.
BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, SECURITY_ATTRIBUTES* processAttributes,
                    SECURITY_ATTRIBUTES* threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                    LPVOID environment, LPCSTR currentDirectory, STARTUPINFOA* startupInfo,
                    PROCESS_INFORMATION* processInformation);

// The full path of the running executable (the process has only the one
// module, so any module argument names it). Returns the length copied without
// the terminating zero, 0 on failure. When the buffer is too small the text is
// truncated to size - 1 characters and size is returned, as on Windows.
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);

// ---- The user's own files (user_folder.cpp) -----------------------------------
// The folder of this user's own Calvetrin files (the settings each user
// changes), ending in kPathSeparator; it need not exist yet. Windows:
// %APPDATA%\Calvetrin\, the roaming profile. Linux, after the XDG base
// directory rules: $XDG_CONFIG_HOME/calvetrin/ when that is an absolute path,
// else $HOME/.config/calvetrin/ (the home directory from the password
// database when HOME is unset or empty). Empty when the system names no such
// folder.
std::string userSettingsFolder();

// Makes one directory, not its parents. On Linux it is private to the user
// (mode 0700, as the XDG rules ask) and the security attributes are ignored.
// FALSE when it cannot be made, including when it exists already.
BOOL CreateDirectoryA(LPCSTR pathName, SECURITY_ATTRIBUTES* securityAttributes);

// ---- Process entry (entry.cpp) ----------------------------------------------
// main() calls WinMain with the command-line arguments joined by single spaces.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);

// ---- Windows and GDI (window.cpp) ---------------------------------------------
struct HWND__;
using HWND = HWND__*;
struct HDC__;
using HDC = HDC__*;
struct HICON__;
using HICON = HICON__*;
using HCURSOR = HICON;
struct HBRUSH__;
using HBRUSH = HBRUSH__*;
struct HMENU__;
using HMENU = HMENU__*;

using WNDPROC = LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};

struct POINT {
    LONG x;
    LONG y;
};
struct RECT {
    LONG left, top, right, bottom;
};
struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

inline LPCSTR const IDI_APPLICATION = reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(32512));
inline LPCSTR const IDC_ARROW = reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(32512));
constexpr UINT CS_DBLCLKS = 0x0008;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_PAINT = 0x000F;
constexpr int COLOR_SCROLLBAR = 0;

HICON LoadIconA(HINSTANCE instance, LPCSTR iconName);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR cursorName);
ATOM RegisterClassExA(const WNDCLASSEXA* windowClass);
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
BOOL UpdateWindow(HWND window);
BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF colour);
