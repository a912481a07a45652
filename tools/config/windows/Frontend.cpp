// Windows side of config.exe: the settings dialog (SettingsDialog.rc) over the
// form model (SettingsForm.h), and the console for option runs. Compiled only
// in the Windows build, so it uses the Win32 dialog API directly; it reaches
// it through platform/platform.h, which there is <windows.h>.
#include "tools/config/Frontend.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tools/config/SettingsForm.h"
#include "tools/config/windows/SettingsDialogIds.h"

namespace configtool {
namespace {

const char* const kTitle = "Calvetrin settings";

// What the dialog works on, owned by showSettings for the dialog's lifetime.
struct Dialog {
    const SettingsFile& file;
    SettingsForm form;
};

std::string itemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(item)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(item, &text[0], static_cast<int>(text.size()))));
    return text;
}

void fillDropDown(HWND dialog, int id, const std::vector<Choice>& choices, int selected) {
    for (const Choice& choice : choices) {
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.label.c_str()));
    }
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

// The modes the primary display can show, which the full-screen run uses.
std::vector<DisplayMode> screenModes() {
    std::vector<DisplayMode> modes;
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &mode); ++i) {
        modes.push_back({static_cast<std::int32_t>(mode.dmPelsWidth), static_cast<std::int32_t>(mode.dmPelsHeight),
                         static_cast<std::int32_t>(mode.dmBitsPerPel)});
    }
    return modes;
}

void initialise(HWND dialog, const Dialog& d) {
    const std::string note = sourceNote(d.file);
    SetDlgItemTextA(dialog, IDC_NOTE, note.empty() ? ("Settings file: " + d.file.name).c_str() : note.c_str());
    SetDlgItemTextA(dialog, IDC_LAST_FAILURE, lastFailureNote().c_str());
    const FormValues values = d.form.initialValues();
    fillDropDown(dialog, IDC_MODE, d.form.modeChoices(), values.modeIndex);
    fillDropDown(dialog, IDC_SPIN, d.form.spinChoices(), values.spinIndex);
    // Eleven characters hold every 32-bit number; more cannot be valid.
    SendDlgItemMessageA(dialog, IDC_PHASE, EM_LIMITTEXT, 11, 0);
    SetDlgItemTextA(dialog, IDC_PHASE, values.phaseText.c_str());
    SetDlgItemTextA(dialog, IDC_PHASE_RANGE, ("(1 to " + std::to_string(Settings::kMaxPhaseSeconds) + ")").c_str());
    CheckDlgButton(dialog, IDC_MOUSE, values.mouseQuits ? BST_CHECKED : BST_UNCHECKED);
}

// OK: the controls' values are checked and written. On a problem the user is
// told and the dialog stays open with what was entered.
void accept(HWND dialog, const Dialog& d) {
    FormValues values;
    values.modeIndex = static_cast<int>(SendDlgItemMessageA(dialog, IDC_MODE, CB_GETCURSEL, 0, 0));
    values.spinIndex = static_cast<int>(SendDlgItemMessageA(dialog, IDC_SPIN, CB_GETCURSEL, 0, 0));
    values.phaseText = itemText(dialog, IDC_PHASE);
    values.mouseQuits = IsDlgButtonChecked(dialog, IDC_MOUSE) == BST_CHECKED;

    std::string problem;
    const std::optional<Settings> settings = d.form.apply(values, problem);
    if (!settings) {
        MessageBoxA(dialog, problem.c_str(), kTitle, MB_OK | MB_ICONWARNING);
        HWND phase = GetDlgItem(dialog, IDC_PHASE);
        SetFocus(phase);
        SendMessageA(phase, EM_SETSEL, 0, -1);
        return;
    }
    if (!writeSettingsFile(d.file.name, *settings, problem)) {
        const std::string message = "The settings could not be saved: " + problem +
                                    ".\n\nThe file may be read-only or open in another program, or the folder "
                                    "may not be writable. Correct that and press OK again, or press Cancel.";
        MessageBoxA(dialog, message.c_str(), kTitle, MB_OK | MB_ICONERROR);
        return;
    }
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            initialise(dialog, *reinterpret_cast<const Dialog*>(lParam));
            return TRUE;  // the focus goes to the first control
        case WM_COMMAND:
            // Closing the window arrives here as IDCANCEL too.
            if (LOWORD(wParam) == IDOK) {
                accept(dialog, *reinterpret_cast<const Dialog*>(GetWindowLongPtrA(dialog, DWLP_USER)));
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
    }
    return FALSE;
}

// A handle the program was given that output can go to as it is: a file or
// a pipe. A GUI program started from a console has none of its own.
bool redirected(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    const DWORD type = GetFileType(handle);
    return type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE;
}

}  // namespace

int showSettings(const SettingsFile& file) {
    Dialog dialog{file, SettingsForm(file.settings, screenModes())};
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS), nullptr,
                                           dialogProc, reinterpret_cast<LPARAM>(&dialog));
    if (result <= 0) {
        MessageBoxA(nullptr, "config.exe: the settings dialog cannot be opened.", kTitle, MB_OK | MB_ICONERROR);
        return 1;
    }
    return 0;
}

Output useConsole() {
    const bool outRedirected = redirected(STD_OUTPUT_HANDLE);
    const bool errRedirected = redirected(STD_ERROR_HANDLE);
    if (outRedirected && errRedirected) return {stdout, stderr};
    // ERROR_ACCESS_DENIED: attached already. Wine attaches a GUI program to
    // the console of the program that starts it, where Windows leaves it
    // without one.
    if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED) return {stdout, stderr};
    // A stream of its own: the C library's stdout of a GUI program has no
    // file behind it, and not every C library lets freopen give it one.
    std::FILE* console = std::fopen("CONOUT$", "w");
    if (!console) return {stdout, stderr};
    return {outRedirected ? stdout : console, errRedirected ? stderr : console};
}

}  // namespace configtool
