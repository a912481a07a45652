// Registry-file bytes -> lookUpRegistryText (the reader behind RegOpenKeyExA
// and RegQueryValueExA on Linux) for the screensaver's own value and a few
// others. Names are matched without regard to case, so asking in upper case
// must give the same answer.
#include "fuzz/FuzzSupport.h"
#include "platform/linux/registry_text.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Lookup {
    const char* subKey;
    const char* valueName;
    const char* subKeyUpper;
    const char* valueNameUpper;
};

const Lookup kLookups[] = {
    {"Software\\Quorvane\\Calvetrin\\Settings", "Path", "\\SOFTWARE\\QUORVANE\\CALVETRIN\\SETTINGS\\", "PATH"},
    {"Software\\Quorvane", "", "SOFTWARE\\QUORVANE", ""},
    {"", "Path", "", "PATH"},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const Lookup& l : kLookups) {
        DWORD type = 0, typeUpper = 0;
        std::vector<BYTE> value, valueUpper;
        const RegistryTextAnswer answer = lookUpRegistryText(bytes, l.subKey, l.valueName, type, value);
        const RegistryTextAnswer upper = lookUpRegistryText(bytes, l.subKeyUpper, l.valueNameUpper, typeUpper, valueUpper);
        fuzzCheck(answer == upper && type == typeUpper && value == valueUpper, "names match without regard to case");
    }
    return 0;
}
