// The folder of a user's own Calvetrin files on Windows: in the roaming
// application data of the profile, as Windows names it.
#include <shlobj.h>

#include <string>

#include "platform/platform.h"

std::string userSettingsFolder() {
    // Asked for in UTF-16, which holds any name, then put into the code page
    // that the "A" calls take (UTF-8, see platform_api.h).
    wchar_t folder[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) return std::string();
    const UINT codePage = GetACP();
    // WC_NO_BEST_FIT_CHARS and the default-character flag are refused for UTF-8.
    const bool utf8 = codePage == CP_UTF8;
    BOOL lossy = FALSE;
    const int size = WideCharToMultiByte(codePage, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, folder, -1, nullptr, 0, nullptr,
                                         utf8 ? nullptr : &lossy);
    if (size <= 1 || lossy) return std::string();
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, folder, -1, &text[0], size, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(size - 1));
    if (text.back() != kPathSeparator) text += kPathSeparator;
    return text + "Calvetrin" + kPathSeparator;
}
