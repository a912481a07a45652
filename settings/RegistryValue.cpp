#include "settings/RegistryValue.h"

#include <cstring>
#include <vector>

namespace {

// The directory holding the running executable, ending in kPathSeparator;
// empty when the executable's path cannot be learnt.
std::string executableDirectory() {
    std::vector<char> buffer(256);
    while (true) {
        DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::string();
        if (length < buffer.size()) break;
        if (buffer.size() >= (1u << 16)) return std::string();
        buffer.resize(buffer.size() * 2);
    }
    std::string path(buffer.data());
    std::size_t cut = path.rfind(kPathSeparator);
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

}  // namespace

RegistryValue::RegistryValue(const char* keyPath, const char* valueName) {
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
    keyOpen = true;
    DWORD needed = 0;
    if (RegQueryValueExA(key, valueName, nullptr, nullptr, nullptr, &needed) != ERROR_SUCCESS) return;
    std::unique_ptr<BYTE[]> buffer(new BYTE[needed > 0 ? needed : 1]);
    DWORD got = needed;
    // The value could have grown between the two calls; then it is taken as
    // missing rather than cut short.
    if (RegQueryValueExA(key, valueName, nullptr, &type, buffer.get(), &got) != ERROR_SUCCESS) return;
    data = std::move(buffer);
    size = got;
}

RegistryValue::~RegistryValue() {
    if (keyOpen) RegCloseKey(key);
}

std::string RegistryValue::get() {
    if (data == nullptr) {
        text = executableDirectory();
    } else {
        const char* bytes = reinterpret_cast<const char*>(data.get());
        const void* zero = std::memchr(bytes, 0, size);
        text.assign(bytes, zero != nullptr ? static_cast<const char*>(zero) - bytes : size);
    }
    return text;
}

std::string RegistryValue::getWithSuffix(const char* suffix) {
    get();
    if (suffix != nullptr) text += suffix;
    return text;
}

void RegistryValue::launchProgram(const char* fileName) {
    std::string target = getWithSuffix(fileName);
    std::string directory = target;
    std::size_t cut = directory.rfind(kPathSeparator);
    // A program in the root directory keeps the separator as its directory.
    if (cut != std::string::npos) directory.erase(cut == 0 ? 1 : cut);

    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    std::memset(&process, 0, sizeof process);
    if (CreateProcessA(target.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(), &startup,
                       &process)) {
        // The program runs on by itself; its handles are not needed.
        if (process.hThread != nullptr) CloseHandle(process.hThread);
        if (process.hProcess != nullptr) CloseHandle(process.hProcess);
    }
}
