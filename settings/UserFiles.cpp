#include "settings/UserFiles.h"

#include <ctime>
#include <sstream>

#include "platform/platform.h"

namespace {

const char* const kSettingsName = "cfg";
const char* const kFailureName = "startup-failure.txt";
// The record is two short lines; anything longer is cut, not trusted.
constexpr std::streamsize kMaxFailureBytes = 4096;

// Makes every missing folder on the way to fileName's own. Failures are not
// examined here: a folder that could not be made shows when the file itself
// cannot be created in it.
void makeFoldersFor(const std::string& fileName) {
    for (std::size_t at = fileName.find(kPathSeparator, 1); at != std::string::npos;
         at = fileName.find(kPathSeparator, at + 1)) {
        CreateDirectoryA(fileName.substr(0, at).c_str(), nullptr);
    }
}

// One line of text: line breaks and other control characters become spaces,
// and none is left at the end (a record written with Windows line ends).
std::string oneLine(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

}  // namespace

std::string userSettingsFile() {
    const std::string folder = userSettingsFolder();
    return folder.empty() ? folder : folder + kSettingsName;
}

bool replaceFile(const std::string& fileName, const std::string& bytes, std::string& problem) {
    makeFoldersFor(fileName);
    std::string temp;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 16 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temp = fileName + ".new" + std::to_string(attempt);
        file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) {
        problem = "cannot create a new file beside " + fileName;
        return false;
    }
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    if (!ok) {
        DeleteFileA(temp.c_str());
        problem = "cannot write " + temp;
        return false;
    }
    if (!MoveFileExA(temp.c_str(), fileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temp.c_str());
        problem = "cannot replace " + fileName;
        return false;
    }
    return true;
}

std::string startupFailureFile() {
    const std::string folder = userSettingsFolder();
    return folder.empty() ? folder : folder + kFailureName;
}

void recordStartupFailure(const std::string& message) {
    const std::string name = startupFailureFile();
    if (name.empty()) return;
    char when[32] = "";
    const std::time_t now = std::time(nullptr);
    if (const std::tm* local = std::localtime(&now)) std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", local);
    std::string ignored;
    replaceFile(name, std::string(when) + "\n" + oneLine(message) + "\n", ignored);
}

void clearStartupFailure() {
    const std::string name = startupFailureFile();
    if (!name.empty()) DeleteFileA(name.c_str());
}

std::optional<StartupFailure> lastStartupFailure() {
    const std::string name = startupFailureFile();
    if (name.empty()) return std::nullopt;
    std::ifstream file(name, std::ios::in | std::ios::binary);
    if (!file) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(kMaxFailureBytes), '\0');
    file.read(&bytes[0], kMaxFailureBytes);
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    std::istringstream lines(bytes);
    StartupFailure failure;
    std::getline(lines, failure.when);
    std::getline(lines, failure.message);
    failure.when = oneLine(failure.when);
    failure.message = oneLine(failure.message);
    if (failure.message.find_first_not_of(' ') == std::string::npos) return std::nullopt;
    return failure;
}
