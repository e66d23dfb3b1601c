#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "text/TextPos.h"

// What one instance sends another to have a file opened there: 268 bytes, little-endian. Byte 0 is 1
// when a wrap mode was given, byte 1 the mode (0-3), bytes 4-7 the line length, and bytes 8-267 the
// absolute file name in UTF-8, ended by a NUL. A line to open at follows that NUL as "+N" and its own
// NUL, where a receiver that reads the name up to its end never looks.
struct TFileHandOff {
    static constexpr size_t Size = 268;
    static constexpr size_t NameSize = 260;

    bool WrapGiven = false;
    int WrapMode = 0;
    std::int32_t LineLength = 0;
    std::string FileName;
    TTextPos Line = 0;

    // Whether the name (and the line, when there is one) fits the record.
    bool Fits() const;
    std::array<unsigned char, Size> Encode() const;
    // Nothing for a record without a name, without its NUL, or with a wrap mode beyond 3.
    static std::optional<TFileHandOff> Decode(const unsigned char* bytes);
};
