// preview_parent SCREENSAVER REPORT GO: plays the part of the screensaver
// settings page for the preview test. It opens a top-level window, starts
// "SCREENSAVER /p <its handle>", waits for the screensaver's child window
// under it and writes "child X Y WIDTH HEIGHT" (the child's place on the
// screen and its size) to REPORT. Once the file GO exists (the test has
// looked at the screen) it destroys its window, as the settings page does
// when it closes, waits for the screensaver to end and appends
// "exit CODE" to REPORT. Exit status 0 when all of that happened, 1 otherwise.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr DWORD kTimeoutMs = 60000;

LRESULT CALLBACK parentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

void pumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

bool appendLine(const char* path, const std::string& line) {
    std::FILE* f = std::fopen(path, "a");
    if (!f) return false;
    std::fprintf(f, "%s\n", line.c_str());
    return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: preview_parent SCREENSAVER REPORT GO\n");
        return 2;
    }
    const char* screensaver = argv[1];
    const char* report = argv[2];
    const char* go = argv[3];

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = parentProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "CalvetrinPreviewParent";
    if (!RegisterClassA(&windowClass)) return 1;
    HWND parent = CreateWindowExA(0, windowClass.lpszClassName, "Preview parent", WS_POPUP | WS_VISIBLE, 100, 80, 300,
                                  200, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!parent) return 1;
    pumpMessages();

    std::string commandLine = "\"" + std::string(screensaver) + "\" /p " +
                              std::to_string(static_cast<long long>(reinterpret_cast<INT_PTR>(parent)));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(screensaver, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "preview_parent: cannot start %s (error %lu)\n", screensaver, GetLastError());
        return 1;
    }
    CloseHandle(process.hThread);

    // The child window, as soon as it is there and has been painted.
    HWND child = nullptr;
    const DWORD start = GetTickCount();
    while (!child && GetTickCount() - start < kTimeoutMs) {
        pumpMessages();
        child = FindWindowExA(parent, nullptr, nullptr, nullptr);
        if (!child) Sleep(20);
    }
    bool ok = child != nullptr;
    if (ok) {
        RECT rect{};
        GetWindowRect(child, &rect);
        char line[128];
        std::snprintf(line, sizeof line, "child %ld %ld %ld %ld", rect.left, rect.top, rect.right - rect.left,
                      rect.bottom - rect.top);
        ok = appendLine(report, line);
    } else {
        appendLine(report, "no child window");
    }

    while (ok && !exists(go) && GetTickCount() - start < kTimeoutMs) {
        pumpMessages();
        Sleep(20);
    }
    DestroyWindow(parent);
    pumpMessages();
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    if (code == STILL_ACTIVE) {
        TerminateProcess(process.hProcess, 99);
        appendLine(report, "still running");
        ok = false;
    } else {
        appendLine(report, "exit " + std::to_string(code));
    }
    CloseHandle(process.hProcess);
    return ok ? 0 : 1;
}
