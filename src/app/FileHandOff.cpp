#include "app/FileHandOff.h"

#include <algorithm>
#include <cstring>

namespace {

std::string LineText(TTextPos line) {
    return line > 0 ? "+" + std::to_string(line) : std::string();
}

} // namespace

bool TFileHandOff::Fits() const {
    const std::string line = LineText(Line);
    const size_t used = FileName.size() + 1 + (line.empty() ? 0 : line.size() + 1);
    return !FileName.empty() && FileName.find('\0') == std::string::npos && used <= NameSize;
}

std::array<unsigned char, TFileHandOff::Size> TFileHandOff::Encode() const {
    std::array<unsigned char, Size> bytes{};
    bytes[0] = WrapGiven ? 1 : 0;
    bytes[1] = static_cast<unsigned char>(WrapMode);
    const auto length = static_cast<std::uint32_t>(LineLength);
    for (int i = 0; i < 4; ++i)
        bytes[4 + static_cast<size_t>(i)] = static_cast<unsigned char>(length >> (8 * i));
    const std::string name = FileName + '\0' + LineText(Line);
    std::memcpy(bytes.data() + 8, name.data(), std::min(name.size(), NameSize - 1));
    return bytes;
}

std::optional<TFileHandOff> TFileHandOff::Decode(const unsigned char* bytes) {
    const char* name = reinterpret_cast<const char*>(bytes + 8);
    const char* nameEnd = std::find(name, name + NameSize, '\0');
    if (nameEnd == name || nameEnd == name + NameSize || bytes[1] > 3) return std::nullopt;
    TFileHandOff record;
    record.WrapGiven = bytes[0] != 0;
    record.WrapMode = bytes[1];
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i)
        length |= static_cast<std::uint32_t>(bytes[4 + static_cast<size_t>(i)]) << (8 * i);
    record.LineLength = static_cast<std::int32_t>(length);
    record.FileName.assign(name, nameEnd);
    const char* line = nameEnd + 1;
    const char* lineEnd = std::find(line, name + NameSize, '\0');
    if (lineEnd != name + NameSize && lineEnd - line > 1 && *line == '+' &&
        std::all_of(line + 1, lineEnd, [](char c) { return c >= '0' && c <= '9'; }))
        for (const char* digit = line + 1; digit != lineEnd; ++digit)
            record.Line = std::min<TTextPos>(record.Line * 10 + (*digit - '0'), TTextPos{1} << 48);
    return record;
}
