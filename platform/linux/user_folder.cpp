// The folder of a user's own Calvetrin files, after the XDG base directory
// rules, and the directory creation that makes it.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/platform.h"

std::string userSettingsFolder() {
    // The rules ignore a relative XDG_CONFIG_HOME: it would name a different
    // folder from every working directory.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/') {
        return std::string(config) + "/calvetrin/";
    }
    std::string home;
    if (const char* fromEnvironment = std::getenv("HOME"); fromEnvironment != nullptr) home = fromEnvironment;
    if (home.empty()) {
        // A service or a cron job may run without HOME.
        if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) home = entry->pw_dir;
    }
    if (home.empty() || home[0] != '/') return std::string();
    if (home.back() != '/') home += '/';
    return home + ".config/calvetrin/";
}

BOOL CreateDirectoryA(LPCSTR pathName, SECURITY_ATTRIBUTES* /*securityAttributes*/) {
    return pathName != nullptr && mkdir(pathName, 0700) == 0 ? TRUE : FALSE;
}
