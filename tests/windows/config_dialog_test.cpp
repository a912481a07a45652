// config.exe's settings dialog under Wine, driven as a user would drive it
// but by window messages: each case copies config.exe (from beside this
// program) into a folder of its own, named outside ASCII as any folder may be,
// starts it there without arguments (the Wine prefix has no "Path", so
// config.exe takes its own folder for the installation), finds its dialog,
// sets the controls, presses OK or Cancel and checks the bytes of the user's
// own "cfg" (in %APPDATA%\Calvetrin) afterwards; the installation's "cfg" is
// only ever read. Also config.exe's option runs, which must still print
// although it is a GUI program.
//
// Windows refuses to replace a read-only file; Wine 8 replaces it all the
// same. A file another program holds open without sharing deletion is refused
// by both, and makes the same call (MoveFileExA) fail, so the failed write is
// tested with that.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "settings/tests/SettingsBytes.h"
#include "tools/config/windows/SettingsDialogIds.h"

namespace {

// Wine starts programs slowly on a busy machine; a deadline, never a pause.
constexpr DWORD kDeadlineMs = 60000;

// Polls until `found` gives something non-null (or true), or the deadline.
template <typename Find>
auto poll(Find found) -> decltype(found()) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (auto result = found()) return result;
        if (GetTickCount() - start > kDeadlineMs) return {};
        Sleep(20);
    }
}

std::string cfgBytes(std::uint8_t mouse, std::int32_t mode, std::int32_t spin, std::int32_t phase) {
    return Bytes()
        .i32(3)
        .u8(mouse)
        .i32(0x5A17)
        .i32(mode)
        .text(std::string("tb\0hidden", 9))
        .text("text A")
        .i32(spin)
        .i32(phase)
        .data;
}

std::string readFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

std::vector<std::string> fileNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = entry.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return names;
}

// The user's own folder, as config.exe finds it, emptied of what config.exe
// and the screensaver put there.
void clearUserFolder() {
    for (const char* name : {"cfg", "cfg.new0", "startup-failure.txt"}) {
        const std::string file = userSettingsFolder() + name;
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(file.c_str());
    }
}

// A folder of its own in the temporary directory with a copy of config.exe,
// and an empty user folder for as long as it exists.
class Folder {
public:
    Folder() {
        clearUserFolder();
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        static int count = 0;
        // "Calvetrin Ω 日本" in UTF-8, the programs' code page.
        path_ = std::string(temp) + "Calvetrin \xCE\xA9 \xE6\x97\xA5 " + std::to_string(GetCurrentProcessId()) +
                "-" + std::to_string(++count);
        CreateDirectoryA(path_.c_str(), nullptr);
        char self[MAX_PATH];
        std::string bin(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
        bin.erase(bin.rfind('\\'));
        copied_ = CopyFileA((bin + "\\config.exe").c_str(), program().c_str(), FALSE);
    }
    ~Folder() {
        for (const std::string& name : fileNames(path_)) {
            SetFileAttributesA(file(name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(file(name).c_str());
        }
        RemoveDirectoryA(path_.c_str());
        clearUserFolder();
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    bool ready() const { return copied_; }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }
    std::string program() const { return file("config.exe"); }
    // The user's own settings file, which config.exe writes.
    static std::string userCfg() { return userSettingsFolder() + "cfg"; }
    std::string cfg() const { return readFile(userCfg()); }
    void writeCfg(const std::string& bytes) const {
        CreateDirectoryA(userSettingsFolder().c_str(), nullptr);
        writeFile(userCfg(), bytes);
    }

private:
    std::string path_;
    bool copied_ = false;
};

// config.exe running in a folder; ended by force if a test leaves it running.
class ConfigRun {
public:
    ConfigRun(const Folder& folder, const std::string& arguments, STARTUPINFOA startup = STARTUPINFOA{},
        BOOL inheritHandles = FALSE) {
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + folder.program() + "\"" + arguments;
        started_ = CreateProcessA(folder.program().c_str(), &commandLine[0], nullptr, nullptr, inheritHandles, 0,
                                  nullptr, folder.path().c_str(), &startup, &process_);
    }
    ~ConfigRun() {
        if (!started_) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    ConfigRun(const ConfigRun&) = delete;
    ConfigRun& operator=(const ConfigRun&) = delete;

    bool started() const { return started_; }
    bool running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }
    // The exit code, or -1 when the process has not ended by the deadline.
    long exitCode() const {
        DWORD code = 0;
        if (WaitForSingleObject(process_.hProcess, kDeadlineMs) != WAIT_OBJECT_0) return -1;
        GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<long>(code);
    }
    // The process's top-level dialog windows (class #32770) that are shown.
    std::vector<HWND> dialogs() const {
        struct Search {
            DWORD processId;
            std::vector<HWND> found;
        } search{process_.dwProcessId, {}};
        EnumWindows(
            [](HWND window, LPARAM param) -> BOOL {
                auto* s = reinterpret_cast<Search*>(param);
                DWORD owner = 0;
                char className[16] = "";
                GetWindowThreadProcessId(window, &owner);
                GetClassNameA(window, className, sizeof className);
                if (owner == s->processId && IsWindowVisible(window) && std::string(className) == "#32770") {
                    s->found.push_back(window);
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    HWND settingsDialog() const {
        return poll([&]() -> HWND {
            for (HWND d : dialogs()) {
                if (GetDlgItem(d, IDC_MODE)) return d;
            }
            return nullptr;
        });
    }
    // A message box over the settings dialog.
    HWND messageBox(HWND dialog) const {
        return poll([&]() -> HWND {
            for (HWND d : dialogs()) {
                if (GetWindow(d, GW_OWNER) == dialog) return d;
            }
            return nullptr;
        });
    }

private:
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};

std::string textOf(HWND window) {
    std::string text(static_cast<std::size_t>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
    return text;
}

// What a message box says: the texts of its static controls.
std::string messageText(HWND box) {
    std::string text;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM param) -> BOOL {
            char className[16] = "";
            GetClassNameA(child, className, sizeof className);
            if (lstrcmpiA(className, "Static") == 0) *reinterpret_cast<std::string*>(param) += textOf(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    return text;
}

// The controls, set as a user's actions set them, with the notifications
// that come with those actions.
void choose(HWND dialog, int id, int index) {
    HWND list = GetDlgItem(dialog, id);
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}
int chosen(HWND dialog, int id) { return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0)); }
// Asked for in UTF-16: Wine hands another process's drop-down entry over in
// UTF-16 even to the ANSI message. The labels are plain ASCII.
std::string chosenText(HWND dialog, int id) {
    HWND list = GetDlgItem(dialog, id);
    const WPARAM index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    std::wstring text(static_cast<std::size_t>(SendMessageW(list, CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]))));
    return std::string(text.begin(), text.end());
}
void type(HWND dialog, int id, const char* text) {
    SendDlgItemMessageA(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
bool checked(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }
// Posted, not sent: OK may open a message box, which would hold a sent
// message until it is closed.
void press(HWND window, int id) { PostMessageA(GetDlgItem(window, id), BM_CLICK, 0, 0); }

// Presses OK on a message box and waits until it has gone.
bool dismiss(HWND box) {
    press(box, IDOK);
    return poll([&] { return !IsWindow(box); });
}

class ConfigDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.ready()) << "config.exe is not beside this program";
        // With "Path" set config.exe would use that folder instead of its own.
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Quorvane\\Calvetrin\\Settings", 0, KEY_QUERY_VALUE, &key) ==
            ERROR_SUCCESS) {
            const LONG found = RegQueryValueExA(key, "Path", nullptr, nullptr, nullptr, nullptr);
            RegCloseKey(key);
            ASSERT_NE(found, ERROR_SUCCESS) << "this Wine prefix sets Path; the test needs one without";
        }
    }
    // The installation folder is never written, and nothing but cfg is left
    // in the user's.
    void expectNoLeftovers() {
        for (const std::string& name : fileNames(folder.path())) {
            EXPECT_TRUE(name == "config.exe" || name == "cfg") << name;
        }
        for (const std::string& name : fileNames(userSettingsFolder())) {
            EXPECT_EQ(name, "cfg");
        }
    }

    Folder folder;
};

TEST_F(ConfigDialog, OkWritesTheChosenValuesAfterRefusingABadPhaseAndKeepsTheTextsAndSpare) {
    folder.writeCfg(cfgBytes(0, 6, 9, 20));
    ConfigRun run(folder, "");
    ASSERT_TRUE(run.started());
    HWND dialog = run.settingsDialog();
    ASSERT_NE(dialog, nullptr) << "no settings dialog within the deadline";
    EXPECT_EQ(textOf(GetDlgItem(dialog, IDC_NOTE)), "Settings file: " + Folder::userCfg());
    EXPECT_EQ(textOf(GetDlgItem(dialog, IDC_LAST_FAILURE)), "");
    // The screen of tests/with-xvfb.sh offers 1024x768 at 16 and at 32 bits.
    EXPECT_EQ(chosenText(dialog, IDC_MODE), "1024x768, 32 bits");
    EXPECT_EQ(chosenText(dialog, IDC_SPIN), "10.0 degrees per second (level 9)");
    EXPECT_EQ(textOf(GetDlgItem(dialog, IDC_PHASE)), "20");
    EXPECT_FALSE(checked(dialog, IDC_MOUSE));

    choose(dialog, IDC_MODE, 1);  // 1024x768, 16 bits
    choose(dialog, IDC_SPIN, 0);   // level 1
    type(dialog, IDC_PHASE, "0");
    SendDlgItemMessageA(dialog, IDC_MOUSE, BM_CLICK, 0, 0);
    EXPECT_TRUE(checked(dialog, IDC_MOUSE));

    press(dialog, IDOK);
    HWND box = run.messageBox(dialog);
    ASSERT_NE(box, nullptr) << "no message about the phase";
    EXPECT_NE(messageText(box).find("from 1 to 715827"), std::string::npos) << messageText(box);
    ASSERT_TRUE(dismiss(box));
    EXPECT_TRUE(run.running());
    EXPECT_EQ(folder.cfg(), cfgBytes(0, 6, 9, 20));

    type(dialog, IDC_PHASE, "42");
    press(dialog, IDOK);
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_EQ(folder.cfg(), cfgBytes(1, 5, 1, 42));
    expectNoLeftovers();
}

TEST_F(ConfigDialog, OkUntouchedKeepsValuesTheListsDoNotOffer) {
    // A mode outside the table, a spin level above the offered ones and a
    // mouse byte that is neither 0 nor 1.
    const std::string odd = cfgBytes(2, 25, 40, 715827);
    folder.writeCfg(odd);
    ConfigRun run(folder, "");
    HWND dialog = run.settingsDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(chosenText(dialog, IDC_MODE), "Row 25, not in the table: the desktop's own mode is used");
    EXPECT_EQ(chosenText(dialog, IDC_SPIN), "25.5 degrees per second (level 40)");
    press(dialog, IDOK);
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_EQ(folder.cfg(), odd);
}

TEST_F(ConfigDialog, CancelAndClosingTheWindowWriteNothing) {
    const std::string before = cfgBytes(1, 3, 7, 15);
    folder.writeCfg(before);
    for (bool viaCancel : {true, false}) {
        SCOPED_TRACE(viaCancel ? "Cancel" : "closing the window");
        ConfigRun run(folder, "");
        HWND dialog = run.settingsDialog();
        ASSERT_NE(dialog, nullptr);
        choose(dialog, IDC_MODE, 2);
        type(dialog, IDC_PHASE, "99");
        if (viaCancel) {
            press(dialog, IDCANCEL);
        } else {
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        EXPECT_EQ(run.exitCode(), 0);
        EXPECT_EQ(folder.cfg(), before);
    }
    expectNoLeftovers();
}

TEST_F(ConfigDialog, ACfgThatCannotBeReplacedKeepsTheDialogOpenWithTheValuesEntered) {
    // What the case relies on: replacing a file held open fails, here as on Windows.
    writeFile(folder.file("a"), "a");
    writeFile(folder.file("b"), "b");
    HANDLE held = CreateFileA(folder.file("b").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    EXPECT_FALSE(MoveFileExA(folder.file("a").c_str(), folder.file("b").c_str(), MOVEFILE_REPLACE_EXISTING));
    CloseHandle(held);
    DeleteFileA(folder.file("a").c_str());
    DeleteFileA(folder.file("b").c_str());

    const std::string before = cfgBytes(0, 6, 9, 20);
    folder.writeCfg(before);
    struct Closed {
        HANDLE handle;
        ~Closed() { CloseHandle(handle); }
    } cfgHeld{CreateFileA(Folder::userCfg().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                          nullptr)};
    ASSERT_NE(cfgHeld.handle, INVALID_HANDLE_VALUE);
    {
        ConfigRun run(folder, "");
        HWND dialog = run.settingsDialog();
        ASSERT_NE(dialog, nullptr);
        choose(dialog, IDC_MODE, 1);
        choose(dialog, IDC_SPIN, 11);
        type(dialog, IDC_PHASE, "33");
        SendDlgItemMessageA(dialog, IDC_MOUSE, BM_CLICK, 0, 0);
        press(dialog, IDOK);

        HWND box = run.messageBox(dialog);
        ASSERT_NE(box, nullptr) << "no message about the failed write";
        const std::string message = messageText(box);
        EXPECT_NE(message.find("could not be saved"), std::string::npos) << message;
        EXPECT_NE(message.find("cannot replace " + Folder::userCfg()), std::string::npos) << message;
        ASSERT_TRUE(dismiss(box));

        EXPECT_TRUE(run.running());
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(chosen(dialog, IDC_MODE), 1);
        EXPECT_EQ(chosen(dialog, IDC_SPIN), 11);
        EXPECT_EQ(textOf(GetDlgItem(dialog, IDC_PHASE)), "33");
        EXPECT_TRUE(checked(dialog, IDC_MOUSE));
        press(dialog, IDCANCEL);
        EXPECT_EQ(run.exitCode(), 0);
    }
    EXPECT_EQ(folder.cfg(), before);
    expectNoLeftovers();
}

TEST_F(ConfigDialog, TheInstallationsCfgIsTheDefaultAndOkSavesItAsTheUsersOwn) {
    const std::string installed = cfgBytes(1, 6, 12, 30);
    writeFile(folder.file("cfg"), installed);
    ConfigRun run(folder, "");
    HWND dialog = run.settingsDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(textOf(GetDlgItem(dialog, IDC_NOTE)), "No settings of your own yet: these are the installation's.");
    EXPECT_EQ(chosen(dialog, IDC_MODE), 2);  // the desktop's, 1024x768 at 16 and at 32 bits
    EXPECT_EQ(textOf(GetDlgItem(dialog, IDC_PHASE)), "30");
    press(dialog, IDOK);
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_EQ(folder.cfg(), installed);
    EXPECT_EQ(readFile(folder.file("cfg")), installed);
    expectNoLeftovers();
}

TEST_F(ConfigDialog, OffersTheScreensModesKeepsAStoredOneItLacksAndTellsOfTheLastFailure) {
    folder.writeCfg(cfgBytes(0, 18, 7, 15));  // 1600x1200, 32 bits, on a 1024x768 screen
    const std::string failure = "Corrupt archive: " + folder.file("main.pak");
    writeFile(userSettingsFolder() + "startup-failure.txt", "2024-05-17 21:04\r\n" + failure + "\r\n");
    ConfigRun run(folder, "");
    HWND dialog = run.settingsDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(chosenText(dialog, IDC_MODE), "1600x1200, 32 bits (not available on this display)");
    std::vector<std::string> offered;
    HWND list = GetDlgItem(dialog, IDC_MODE);
    for (int i = 0; i < SendMessageA(list, CB_GETCOUNT, 0, 0); ++i) {
        choose(dialog, IDC_MODE, i);
        offered.push_back(chosenText(dialog, IDC_MODE));
    }
    EXPECT_EQ(offered.front(), "The desktop's own mode");
    EXPECT_NE(std::find(offered.begin(), offered.end(), "1024x768, 32 bits"), offered.end());
    EXPECT_EQ(std::find(offered.begin(), offered.end(), "1600x1200, 16 bits"), offered.end());
    EXPECT_EQ(std::find(offered.begin(), offered.end(), "1280x1024, 32 bits"), offered.end());
    EXPECT_EQ(textOf(GetDlgItem(dialog, IDC_LAST_FAILURE)),
              "The screensaver could not start at its last run (2024-05-17 21:04): " + failure);
    press(dialog, IDCANCEL);
    EXPECT_EQ(run.exitCode(), 0);
}

TEST_F(ConfigDialog, AMissingCfgOpensWithTheDefaultsAndSaysSo) {
    ConfigRun run(folder, "");
    HWND dialog = run.settingsDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(textOf(GetDlgItem(dialog, IDC_NOTE)), "No settings file yet: these are the defaults.");
    EXPECT_EQ(chosenText(dialog, IDC_MODE), "The desktop's own mode");
    EXPECT_EQ(chosenText(dialog, IDC_SPIN), "9.0 degrees per second (level 7, the default)");
    EXPECT_EQ(textOf(GetDlgItem(dialog, IDC_PHASE)), "15");
    EXPECT_FALSE(checked(dialog, IDC_MOUSE));
    press(dialog, IDCANCEL);
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_EQ(folder.cfg(), "<missing>");
}

// Option runs of the GUI program: into a pipe, and into the console of the
// program that starts it.
TEST_F(ConfigDialog, ConfigExeIsAGuiProgramWhoseOptionRunsStillPrint) {
    const std::string image = readFile(folder.program());
    ASSERT_GT(image.size(), 0x400u);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(image.data() + dos->e_lfanew);
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);

    folder.writeCfg(cfgBytes(0, 6, 9, 20));
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, &inheritable, 0));
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = writeEnd;
    std::string output;
    {
        ConfigRun run(folder, " --phase 25", startup, TRUE);
        CloseHandle(writeEnd);
        char chunk[512];
        DWORD got = 0;
        while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0) output.append(chunk, got);
        EXPECT_EQ(run.exitCode(), 0);
    }
    CloseHandle(readEnd);
    EXPECT_NE(output.find("Phase seconds: 25"), std::string::npos) << output;
    EXPECT_EQ(folder.cfg(), cfgBytes(0, 6, 9, 25));

    // A console of this program's own, which config.exe attaches to. Its
    // standard handles are none, as a GUI program started from a Windows
    // console gets them (Wine would otherwise hand it this console's).
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    {
        STARTUPINFOA none{};
        none.dwFlags = STARTF_USESTDHANDLES;
        ConfigRun run(folder, " --bad-option", none, TRUE);
        EXPECT_EQ(run.exitCode(), 2);
    }
    HANDLE screen = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    ASSERT_TRUE(GetConsoleScreenBufferInfo(screen, &info));
    std::string shown(static_cast<std::size_t>(info.dwSize.X) * info.dwSize.Y, ' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterA(screen, &shown[0], static_cast<DWORD>(shown.size()), COORD{0, 0}, &read);
    shown.resize(read);
    CloseHandle(screen);
    FreeConsole();
    EXPECT_NE(shown.find("config.exe: unknown option '--bad-option'"), std::string::npos) << shown;
}

}  // namespace
