#include "tools/config/SettingsFile.h"

#include <fstream>
#include <sstream>

#include "platform/platform.h"

namespace configtool {
namespace {

// Replaces fileName by bytes so that it is at every moment either the old or
// the new file: the bytes go to a new file in the same directory, are forced
// to disk, and the new file is then renamed over the old one. On Windows the
// rename fails over a read-only file or one another program holds open
// without sharing deletion.
bool replaceFile(const std::string& fileName, const std::string& bytes, std::string& problem) {
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

}  // namespace

SettingsFile readSettingsFile(const std::string& name) {
    SettingsFile result;
    result.name = name;
    std::ifstream file(name, std::ios::in | std::ios::binary);
    if (file) {
        result.settings.loadSettings(file);
        result.state = result.settings.loaded() ? FileState::Read : FileState::Unreadable;
    }
    return result;
}

bool writeSettingsFile(const std::string& name, const Settings& settings, std::string& problem) {
    std::ostringstream bytes(std::ios::out | std::ios::binary);
    if (!settings.saveSettings(bytes)) {
        problem = "the settings cannot be stored";
        return false;
    }
    return replaceFile(name, bytes.str(), problem);
}

}  // namespace configtool
