// The registry file reader of registry.cpp without the file, so that it can
// be checked on bytes in memory (the fuzz target fuzz/fuzz_registry.cpp).
//
//   DWORD type = 0;
//   std::vector<BYTE> data;
//   if (lookUpRegistryText(bytes, "Software\\Quorvane\\Calvetrin\\Settings", "Path", type, data) ==
//       RegistryTextAnswer::Found) { ... }
//
// The bytes are read exactly as the content of the registry file: a mark FF FE
// means UTF-16LE, a mark EF BB BF is skipped, and bytes that are not a whole,
// well-formed file (or are empty or larger than 64 MiB) hold no keys at all.
// Linux only: on Windows the real registry answers.
#pragma once

#include <string>
#include <vector>

#include "platform_api.h"

enum class RegistryTextAnswer {
    NoKey,    // HKEY_LOCAL_MACHINE\subKey does not exist: RegOpenKeyExA would fail
    NoValue,  // the key exists, the value does not: RegQueryValueExA would fail
    Found,    // type and data are the value's, as RegQueryValueExA hands them out
};

// Looks up valueName under HKEY_LOCAL_MACHINE\subKey in the registry file
// whose content is fileBytes, with the name rules of RegOpenKeyExA and
// RegQueryValueExA. type and data are set only when the answer is Found.
RegistryTextAnswer lookUpRegistryText(const std::string& fileBytes, LPCSTR subKey, LPCSTR valueName, DWORD& type,
                                      std::vector<BYTE>& data);
