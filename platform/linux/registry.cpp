// Read-only registry over a text file in the registry export format.
//
// The file is parsed completely whenever a key is opened from
// HKEY_LOCAL_MACHINE; the opened key keeps that parsed snapshot until it is
// closed. A file that cannot be parsed from start to end counts as holding no
// keys at all, so a damaged file never yields half its values.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "registry_text.h"

namespace {

struct Value {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

using Values = std::map<std::string, Value>;  // by lower-case name; "" is the default value "@"

struct Hive {
    std::map<std::string, Values> keys;  // by lower-case full path without trailing backslash
};

const char* const kRootName = "hkey_local_machine";

// Regedit files are small; anything far larger is not one.
constexpr std::streamoff kMaxFileBytes = 64 * 1024 * 1024;

std::string lowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string trimRight(const std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r')) --end;
    return text.substr(0, end);
}

std::size_t skipBlanks(const std::string& text, std::size_t pos) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    return pos;
}

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// UTF-16LE bytes (even count) to UTF-8; nullopt for an odd count or a broken
// surrogate pair.
std::optional<std::string> utf16ToUtf8(const unsigned char* bytes, std::size_t count) {
    if (count % 2 != 0) return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < count; i += 2) {
        std::uint32_t unit = bytes[i] | (bytes[i + 1] << 8);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 3 >= count) return std::nullopt;
            std::uint32_t low = bytes[i + 2] | (bytes[i + 3] << 8);
            if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return std::nullopt;
        }
        appendUtf8(out, unit);
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A quoted text starting at text[pos] == '"' with the escapes \\ and \".
// On success pos is left after the closing quote.
std::optional<std::string> parseQuoted(const std::string& text, std::size_t& pos) {
    if (pos >= text.size() || text[pos] != '"') return std::nullopt;
    std::string out;
    for (std::size_t i = pos + 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            pos = i + 1;
            return out;
        }
        if (c == '\\') {
            if (i + 1 >= text.size()) return std::nullopt;
            char next = text[i + 1];
            if (next != '\\' && next != '"') return std::nullopt;
            out += next;
            ++i;
        } else {
            out += c;
        }
    }
    return std::nullopt;  // unterminated
}

// Comma-separated hex bytes ("01,ab,ff"); an empty list is allowed.
std::optional<std::vector<BYTE>> parseHexList(const std::string& text) {
    std::vector<BYTE> out;
    std::size_t pos = skipBlanks(text, 0);
    if (pos == text.size()) return out;
    while (true) {
        pos = skipBlanks(text, pos);
        int digits = 0;
        int value = 0;
        while (pos < text.size() && hexDigit(text[pos]) >= 0) {
            value = value * 16 + hexDigit(text[pos]);
            ++pos;
            if (++digits > 2) return std::nullopt;
        }
        if (digits == 0) return std::nullopt;
        out.push_back(static_cast<BYTE>(value));
        pos = skipBlanks(text, pos);
        if (pos == text.size()) return out;
        if (text[pos] != ',') return std::nullopt;
        ++pos;
    }
}

struct Lines {
    std::vector<std::string> lines;
    std::size_t next = 0;
};

// The data after '=' of a value line; continuation lines of hex data ("\" at
// the end of a line) are taken from lines.
std::optional<Value> parseData(std::string data, Lines& lines, bool unicodeFile) {
    Value value;
    if (!data.empty() && data[0] == '"') {
        std::size_t pos = 0;
        auto text = parseQuoted(data, pos);
        if (!text || skipBlanks(data, pos) != data.size()) return std::nullopt;
        value.type = REG_SZ;
        value.data.assign(text->begin(), text->end());
        value.data.push_back(0);
        return value;
    }
    std::string lower = lowerCase(data);
    if (lower.compare(0, 6, "dword:") == 0) {
        std::string digits = trimRight(data.substr(6));
        if (digits.empty() || digits.size() > 8) return std::nullopt;
        std::uint32_t number = 0;
        for (char c : digits) {
            if (hexDigit(c) < 0) return std::nullopt;
            number = number * 16 + static_cast<std::uint32_t>(hexDigit(c));
        }
        value.type = REG_DWORD;
        for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<BYTE>(number >> (8 * i)));
        return value;
    }
    if (lower.compare(0, 3, "hex") != 0) return std::nullopt;
    std::size_t pos = 3;
    value.type = REG_BINARY;
    if (pos < data.size() && data[pos] == '(') {
        std::size_t close = data.find(')', pos);
        if (close == std::string::npos || close == pos + 1 || close - pos - 1 > 8) return std::nullopt;
        std::uint32_t type = 0;
        for (std::size_t i = pos + 1; i < close; ++i) {
            if (hexDigit(data[i]) < 0) return std::nullopt;
            type = type * 16 + static_cast<std::uint32_t>(hexDigit(data[i]));
        }
        value.type = type;
        pos = close + 1;
    }
    if (pos >= data.size() || data[pos] != ':') return std::nullopt;
    std::string list = trimRight(data.substr(pos + 1));
    while (!list.empty() && list.back() == '\\') {
        list.pop_back();
        if (lines.next >= lines.lines.size()) return std::nullopt;
        const std::string& more = lines.lines[lines.next++];
        list += trimRight(more.substr(skipBlanks(more, 0)));
    }
    auto bytes = parseHexList(list);
    if (!bytes) return std::nullopt;
    value.data = std::move(*bytes);
    // Version 5 files store the text types as UTF-16LE; the A functions hand
    // out 8-bit text, here UTF-8.
    if (unicodeFile && (value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ)) {
        if (auto text = utf16ToUtf8(value.data.data(), value.data.size())) {
            value.data.assign(text->begin(), text->end());
        }
    }
    return value;
}

std::string normaliseKeyPath(std::string path) {
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return lowerCase(path);
}

bool isUnder(const std::string& path, const std::string& ancestor) {
    return path == ancestor ||
           (path.size() > ancestor.size() && path.compare(0, ancestor.size(), ancestor) == 0 &&
            path[ancestor.size()] == '\\');
}

std::optional<Hive> parseHive(const std::string& text) {
    Lines lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.lines.push_back(trimRight(text.substr(start, end - start)));
        start = end + 1;
    }
    if (lines.lines.empty()) return std::nullopt;
    const std::string& header = lines.lines[0];
    bool unicodeFile;
    if (header == "Windows Registry Editor Version 5.00") {
        unicodeFile = true;
    } else if (header == "REGEDIT4") {
        unicodeFile = false;
    } else {
        return std::nullopt;
    }
    lines.next = 1;

    Hive hive;
    Values* current = nullptr;
    bool inDeletedKey = false;
    while (lines.next < lines.lines.size()) {
        const std::string& raw = lines.lines[lines.next++];
        std::size_t pos = skipBlanks(raw, 0);
        if (pos == raw.size() || raw[pos] == ';') continue;
        if (raw[pos] == '[') {
            if (raw.back() != ']') return std::nullopt;
            std::string path = raw.substr(pos + 1, raw.size() - pos - 2);
            if (!path.empty() && path[0] == '-') {
                std::string gone = normaliseKeyPath(path.substr(1));
                for (auto it = hive.keys.begin(); it != hive.keys.end();) {
                    it = isUnder(it->first, gone) ? hive.keys.erase(it) : std::next(it);
                }
                current = nullptr;
                inDeletedKey = true;
                continue;
            }
            path = normaliseKeyPath(path);
            if (path.empty()) return std::nullopt;
            current = &hive.keys[path];
            inDeletedKey = false;
            continue;
        }
        std::string name;
        if (raw[pos] == '@') {
            ++pos;
        } else {
            auto quoted = parseQuoted(raw, pos);
            if (!quoted) return std::nullopt;
            name = lowerCase(*quoted);
        }
        pos = skipBlanks(raw, pos);
        if (pos >= raw.size() || raw[pos] != '=') return std::nullopt;
        std::string data = raw.substr(skipBlanks(raw, pos + 1));
        if (current == nullptr && !inDeletedKey) return std::nullopt;  // a value outside any key
        if (data == "-") {
            if (current != nullptr) current->erase(name);
            continue;
        }
        auto value = parseData(data, lines, unicodeFile);
        if (!value) return std::nullopt;
        if (current != nullptr) (*current)[name] = std::move(*value);
    }
    return hive;
}

std::string registryFileName() {
    if (const char* file = std::getenv("CALVETRIN_REGISTRY"); file != nullptr && *file != '\0') return file;
    const std::string folder = userSettingsFolder();
    return folder.empty() ? std::string() : folder + "registry.reg";
}

// The hive held by the bytes of a registry file: UTF-16LE after the mark FF FE,
// otherwise 8-bit text with an optional UTF-8 mark. Empty when the bytes are
// not a whole registry file.
std::shared_ptr<const Hive> hiveFromBytes(const std::string& bytes) {
    auto empty = std::make_shared<const Hive>();
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(kMaxFileBytes)) return empty;
    std::string text;
    const auto* u = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() >= 2 && u[0] == 0xFF && u[1] == 0xFE) {
        auto decoded = utf16ToUtf8(u + 2, bytes.size() - 2);
        if (!decoded) return empty;
        text = std::move(*decoded);
    } else if (bytes.size() >= 3 && u[0] == 0xEF && u[1] == 0xBB && u[2] == 0xBF) {
        text = bytes.substr(3);
    } else {
        text = bytes;
    }
    auto hive = parseHive(text);
    if (!hive) return empty;
    return std::make_shared<const Hive>(std::move(*hive));
}

// The parsed registry file, or an empty hive when it is missing or malformed.
std::shared_ptr<const Hive> loadHive() {
    auto empty = std::make_shared<const Hive>();
    std::string fileName = registryFileName();
    if (fileName.empty()) return empty;
    std::ifstream file(fileName, std::ios::binary);
    if (!file) return empty;
    file.seekg(0, std::ios::end);
    std::streamoff length = file.tellg();
    if (length <= 0 || length > kMaxFileBytes) return empty;
    file.seekg(0, std::ios::beg);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    if (!file.read(&bytes[0], length)) return empty;
    return hiveFromBytes(bytes);
}

// The full key path of subKey below `path`, as RegOpenKeyExA names it.
std::string subKeyPath(std::string path, LPCSTR subKey) {
    std::string relative = subKey != nullptr ? subKey : "";
    while (!relative.empty() && relative.front() == '\\') relative.erase(0, 1);
    relative = normaliseKeyPath(relative);
    if (!relative.empty()) path += "\\" + relative;
    return path;
}

// A key exists when it is the root, has a section of its own or any key below
// it does.
bool keyExists(const Hive& hive, const std::string& path) {
    bool exists = path == kRootName;
    for (auto it = hive.keys.lower_bound(path); !exists && it != hive.keys.end(); ++it) {
        if (it->first.compare(0, path.size(), path) != 0) break;
        exists = isUnder(it->first, path);
    }
    return exists;
}

// The value valueName of the key at `path`, or null.
const Value* findValue(const Hive& hive, const std::string& path, LPCSTR valueName) {
    auto keyIt = hive.keys.find(path);
    if (keyIt == hive.keys.end()) return nullptr;
    auto valueIt = keyIt->second.find(lowerCase(valueName != nullptr ? valueName : ""));
    return valueIt == keyIt->second.end() ? nullptr : &valueIt->second;
}

}  // namespace

struct HKEY__ {
    std::shared_ptr<const Hive> hive;
    std::string path;
};

namespace {

// Every key handle handed out and not yet closed, so that a stale or made-up
// handle is refused instead of being followed.
std::set<const HKEY__*>& openKeys() {
    static std::set<const HKEY__*> keys;
    return keys;
}

bool isOpenKey(HKEY key) { return openKeys().count(key) != 0; }

// The hive and full key path behind a handle: the root key, or one opened by
// RegOpenKeyExA. False for any other handle.
bool resolveKey(HKEY key, std::shared_ptr<const Hive>& hive, std::string& path) {
    if (key == HKEY_LOCAL_MACHINE) {
        hive = loadHive();
        path = kRootName;
        return true;
    }
    if (!isOpenKey(key)) return false;
    hive = key->hive;
    path = key->path;
    return true;
}

}  // namespace

LONG RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD /*options*/, REGSAM /*access*/, PHKEY result) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    std::shared_ptr<const Hive> hive;
    std::string path;
    if (!resolveKey(root, hive, path)) return ERROR_INVALID_HANDLE;
    path = subKeyPath(std::move(path), subKey);
    if (!keyExists(*hive, path)) return ERROR_FILE_NOT_FOUND;

    auto* key = new HKEY__{std::move(hive), std::move(path)};
    openKeys().insert(key);
    *result = key;
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
    std::shared_ptr<const Hive> hive;
    std::string path;
    if (!resolveKey(key, hive, path)) return ERROR_INVALID_HANDLE;
    if (reserved != nullptr || (data != nullptr && size == nullptr)) return ERROR_INVALID_PARAMETER;

    const Value* found = findValue(*hive, path, valueName);
    if (found == nullptr) return ERROR_FILE_NOT_FOUND;

    const Value& value = *found;
    const auto needed = static_cast<DWORD>(value.data.size());
    if (type != nullptr) *type = value.type;
    if (data == nullptr) {
        if (size != nullptr) *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (needed > 0) std::memcpy(data, value.data.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
    if (!isOpenKey(key)) return ERROR_INVALID_HANDLE;
    openKeys().erase(key);
    delete key;
    return ERROR_SUCCESS;
}

RegistryTextAnswer lookUpRegistryText(const std::string& fileBytes, LPCSTR subKey, LPCSTR valueName, DWORD& type,
                                      std::vector<BYTE>& data) {
    auto hive = hiveFromBytes(fileBytes);
    const std::string path = subKeyPath(kRootName, subKey);
    if (!keyExists(*hive, path)) return RegistryTextAnswer::NoKey;
    const Value* value = findValue(*hive, path, valueName);
    if (value == nullptr) return RegistryTextAnswer::NoValue;
    type = value->type;
    data = value->data;
    return RegistryTextAnswer::Found;
}
