#pragma once

#include "mail/SumCheck.h"

// What uuencoding and uudecoding share: the checksum of the file's bytes and of one section's text
// lines, from the "begin" line to the "end" line.
class TUUBase {
public:
    TSumCheck FileSum;
    TSumCheck SectionSum;

    // The character of a 6-bit value in encoded text: '`' for 0, '!' to '_' for 1 to 63.
    static char EncodeChar(unsigned value) { return value == 0 ? '`' : static_cast<char>(32 + value); }
    // The value of an encoded character ('`' and ' ' are both 0), or -1 for a character not in the code.
    static int DecodeChar(unsigned char c) { return c == '`' ? 0 : (c >= 32 && c <= 95 ? c - 32 : -1); }
};
