// One value under the screensaver's registry key, read once when the object is
// built and handed out as text, optionally with a file name appended. The
// process-wide `pathSetting` holds "Path", the installation directory (ending
// in kPathSeparator), from which every file location is built:
//
//   std::string cfgName = pathSetting.getWithSuffix("cfg");
//   pathSetting.launchProgram("config.exe");
//
// When the value cannot be read, the text is the directory holding the
// running executable, so a build tree or a one-directory installation works
// without any registry set-up.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

class RegistryValue {
public:
    // Reads valueName under HKEY_LOCAL_MACHINE\keyPath. Never fails: a missing
    // key or value leaves the object without data.
    RegistryValue(const char* keyPath, const char* valueName);
    ~RegistryValue();
    RegistryValue(const RegistryValue&) = delete;
    RegistryValue& operator=(const RegistryValue&) = delete;

    // The value's data as text, up to its first zero byte (or the executable's
    // directory when nothing was read).
    std::string get();
    // get() followed directly by suffix; no separator is inserted.
    std::string getWithSuffix(const char* suffix);
    // Starts getWithSuffix(fileName) with its own directory (the text before
    // the last kPathSeparator) as working directory, and returns at once.
    // Failure to start is ignored.
    void launchProgram(const char* fileName);

    // Whether the registry value was read.
    bool hasData() const { return data != nullptr; }

private:
    std::string text;
    HKEY key = nullptr;
    bool keyOpen = false;
    std::unique_ptr<BYTE[]> data;
    DWORD size = 0;
    DWORD type = REG_SZ;
};

// The installation directory, from the value "Path" (defined in app/Globals.cpp).
extern RegistryValue pathSetting;
