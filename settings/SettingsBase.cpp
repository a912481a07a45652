#include "settings/SettingsBase.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// Bytes left between the read position and the end, or -1 when the stream
// cannot tell (it is not seekable).
std::streamoff bytesLeft(std::istream& in) {
    std::streampos here = in.tellg();
    if (here == std::streampos(-1)) return -1;
    in.seekg(0, std::ios::end);
    std::streampos end = in.tellg();
    in.clear();
    in.seekg(here);
    if (!in || end == std::streampos(-1)) {
        in.clear();
        return -1;
    }
    return end - here;
}

}  // namespace

std::string SettingsBase::textA() const { return std::string(textA_.c_str()); }
std::string SettingsBase::textB() const { return std::string(textB_.c_str()); }

bool SettingsBase::readInt32(std::istream& in, std::int32_t& value) {
    unsigned char bytes[4];
    if (!in.read(reinterpret_cast<char*>(bytes), 4)) return false;
    std::uint32_t raw = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
                        static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    std::memcpy(&value, &raw, 4);  // two's complement, whatever the host's byte order
    return true;
}

bool SettingsBase::readText(std::istream& in, std::string& text) {
    std::int32_t length = 0;
    if (!readInt32(in, length) || length < 0) return false;
    std::streamoff left = bytesLeft(in);
    if (left >= 0 && length > left) return false;
    // Read in bounded pieces, so a count the stream cannot back costs no more
    // memory than the bytes that are really there.
    constexpr std::size_t kPiece = 64 * 1024;
    std::string bytes;
    auto remaining = static_cast<std::size_t>(length);
    while (remaining > 0) {
        std::size_t piece = std::min(remaining, kPiece);
        std::size_t old = bytes.size();
        bytes.resize(old + piece);
        if (!in.read(&bytes[old], static_cast<std::streamsize>(piece))) return false;
        remaining -= piece;
    }
    text = std::move(bytes);
    return true;
}

void SettingsBase::writeInt32(std::ostream& out, std::int32_t value) {
    std::uint32_t raw;
    std::memcpy(&raw, &value, 4);
    const char bytes[4] = {static_cast<char>(raw & 0xFF), static_cast<char>((raw >> 8) & 0xFF),
                           static_cast<char>((raw >> 16) & 0xFF), static_cast<char>((raw >> 24) & 0xFF)};
    out.write(bytes, 4);
}

bool SettingsBase::writeText(std::ostream& out, const std::string& text) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return false;
    writeInt32(out, static_cast<std::int32_t>(text.size()));
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(out);
}

bool SettingsBase::readCommon(std::istream& in, std::int32_t version) {
    std::int32_t fileVersion = 0;
    if (!readInt32(in, fileVersion) || fileVersion != version) return false;
    char mouse = 0;
    std::int32_t spare = 0;
    std::int32_t displayMode = 0;
    std::string textB;
    std::string textA;
    if (!in.get(mouse) || !readInt32(in, spare) || !readInt32(in, displayMode) || !readText(in, textB) ||
        !readText(in, textA)) {
        return false;
    }
    textA_ = std::move(textA);
    textB_ = std::move(textB);
    loaded_ = true;
    quitOnMouseMove_ = static_cast<std::uint8_t>(mouse);
    spare_ = spare;
    displayMode_ = displayMode;
    return true;
}

bool SettingsBase::writeCommon(std::ostream& out, std::int32_t version) const {
    if (textA_.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) ||
        textB_.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return false;
    }
    writeInt32(out, version);
    out.put(static_cast<char>(quitOnMouseMove_));
    writeInt32(out, spare_);
    writeInt32(out, displayMode_);
    return writeText(out, textB_) && writeText(out, textA_);
}
