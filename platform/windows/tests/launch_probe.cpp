// A stand-in for config.exe in test_registry_value_windows. It waits (at most
// 30 s) until a file "go" appears in the folder CALVETRIN_PROBE_DIR names,
// then writes its working directory -- or "no go" when the file never came --
// to "out" in that folder. The file is written under another name and renamed,
// so the test never reads half of it.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
    char folder[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("CALVETRIN_PROBE_DIR", folder, sizeof folder);
    if (length == 0 || length >= sizeof folder) return 2;
    const std::string base = std::string(folder) + "\\";

    const ULONGLONG deadline = GetTickCount64() + 30000;
    bool go = false;
    while (!(go = GetFileAttributesA((base + "go").c_str()) != INVALID_FILE_ATTRIBUTES) &&
           GetTickCount64() < deadline) {
        Sleep(20);
    }
    std::string report = "no go";
    char directory[MAX_PATH];
    const DWORD got = GetCurrentDirectoryA(sizeof directory, directory);
    if (go && got > 0 && got < sizeof directory) report.assign(directory, got);

    std::FILE* out = std::fopen((base + "out.tmp").c_str(), "wb");
    if (out == nullptr) return 1;
    const bool written = std::fwrite(report.data(), 1, report.size(), out) == report.size();
    if (std::fclose(out) != 0 || !written) return 1;
    return MoveFileExA((base + "out.tmp").c_str(), (base + "out").c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
