// What the installer test does inside Wine that a shell cannot:
//
//   installer_helper hold FILE GO     opens FILE without sharing writes or
//                                     deletion, as a virus scanner or backup
//                                     program may, prints "held", and keeps it
//                                     until the file GO appears (at most 300 s)
//   installer_helper run COMMAND_LINE  starts the command line exactly as
//                                     given (Wine would quote arguments with
//                                     spaces), waits for it and prints
//                                     "exit code: N" (a Unix parent sees only
//                                     the low 8 bits of an exit code)
//   installer_helper show TITLE BUTTON
//                                     waits (at most 60 s) for a shown window
//                                     titled TITLE with a button labelled
//                                     BUTTON and prints the texts of its
//                                     shown controls, one a line
//   installer_helper press TITLE BUTTON...
//                                     the same, then clicks each BUTTON in turn
//
// It runs with the programs' manifest, so texts are UTF-8 both ways. Exit
// status 0, or 1 when the file or window is not found, 255 when the command
// line cannot be started.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string textOf(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

std::vector<HWND> children(HWND window) {
    std::vector<HWND> found;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM param) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND button(HWND window, const std::string& label) {
    for (HWND child : children(window)) {
        char className[16] = "";
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Button") == 0 && IsWindowVisible(child) && textOf(child) == label) return child;
    }
    return nullptr;
}

int run(const char* commandLine) {
    std::string line = commandLine;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "installer_helper: cannot start %s\n", commandLine);
        return 255;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 255;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::printf("exit code: %lu\n", static_cast<unsigned long>(code));
    return 0;
}

int hold(const char* file, const char* go) {
    HANDLE held = CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 1;
    std::printf("held\n");
    std::fflush(stdout);
    const ULONGLONG deadline = GetTickCount64() + 300000;
    while (GetFileAttributesA(go) == INVALID_FILE_ATTRIBUTES && GetTickCount64() < deadline) Sleep(50);
    CloseHandle(held);
    return 0;
}

int press(const std::string& title, const std::vector<std::string>& labels, bool click) {
    struct Search {
        std::string title;
        std::string label;
        HWND found;
    } search{title, labels.front(), nullptr};
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (search.found == nullptr && GetTickCount64() < deadline) {
        EnumWindows(
            [](HWND window, LPARAM param) -> BOOL {
                auto* s = reinterpret_cast<Search*>(param);
                if (IsWindowVisible(window) && textOf(window) == s->title && button(window, s->label) != nullptr) {
                    s->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) Sleep(100);
    }
    if (search.found == nullptr) return 1;
    // A page is shown once its controls are; let them all arrive.
    Sleep(500);
    for (HWND child : children(search.found)) {
        if (IsWindowVisible(child) && GetWindowTextLengthA(child) > 0) std::printf("%s\n", textOf(child).c_str());
    }
    std::fflush(stdout);
    for (const std::string& label : labels) {
        if (!click) break;
        HWND target = button(search.found, label);
        if (target == nullptr) return 1;
        // Posted, not sent: a click may open a message box that waits.
        PostMessageA(target, BM_CLICK, 0, 0);
        Sleep(300);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "run" && argc == 3) return run(argv[2]);
    if (command == "hold" && argc == 4) return hold(argv[2], argv[3]);
    if (command == "show" && argc == 4) return press(argv[2], {argv[3]}, false);
    if (command == "press" && argc >= 4) return press(argv[2], std::vector<std::string>(argv + 3, argv + argc), true);
    std::fprintf(stderr, "usage: installer_helper run COMMAND_LINE | hold FILE GO | show TITLE BUTTON | "
                         "press TITLE BUTTON...\n");
    return 2;
}
