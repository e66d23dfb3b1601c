#pragma once

#include "text/TextPos.h"

// UTF-8 as the text holds it: a character is a whole, valid sequence; any other byte (a stray
// continuation byte, a lead byte whose sequence is cut short, overlong or out of range, a surrogate) is
// a character of one byte of its own, shown as a replacement mark and saved as it was. Every byte that
// is not a continuation byte starts a character, so a character's bounds can be found from either side
// without reading from a line's start.

struct TUtf8Char {
    char32_t Code = 0; // the code point, or U+FFFD for an invalid byte
    int Length = 1;    // bytes taken, 1 to 4
    bool Valid = true;
};

constexpr char32_t kReplacementChar = 0xFFFD;

constexpr bool IsUtf8Continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The character starting at p; end bounds the bytes that may be read (p < end).
TUtf8Char DecodeUtf8(const unsigned char* p, const unsigned char* end);

// DecodeUtf8 with the common two- and three-byte characters decoded in line, for loops over text.
inline TUtf8Char DecodeUtf8Fast(const unsigned char* p, const unsigned char* end) {
    const unsigned char c = *p;
    if (c < 0x80) return {c, 1, true};
    if (c >= 0xC2 && c < 0xE0 && end - p >= 2 && IsUtf8Continuation(p[1]))
        return {char32_t(c & 0x1F) << 6 | (p[1] & 0x3F), 2, true};
    if (c >= 0xE0 && c < 0xF0 && end - p >= 3 && IsUtf8Continuation(p[1]) && IsUtf8Continuation(p[2])) {
        const char32_t code = char32_t(c & 0x0F) << 12 | char32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
        if (code >= 0x800 && (code < 0xD800 || code > 0xDFFF)) return {code, 3, true};
    }
    return DecodeUtf8(p, end);
}

// How many characters the bytes [p, end) hold.
TTextPos Utf8CharCount(const unsigned char* p, const unsigned char* end);

// Where the character holding the byte end[-1] starts: end - 1 for an invalid byte, else its valid
// sequence's lead byte. begin (< end) is a character's start or lies three bytes or more before end;
// bytes up to limit may be read past end to see the sequence whole (limit = end when none may).
const unsigned char* Utf8CharStart(const unsigned char* begin, const unsigned char* end,
                                   const unsigned char* limit);

// Writes the UTF-8 sequence of `code` (a code point other than a surrogate) to out, which holds four
// bytes; returns its length.
int EncodeUtf8(char32_t code, unsigned char* out);

// How many of the n bytes at p hold whole characters, when more bytes follow them: the bytes of a
// sequence that the end cuts short are left for the next read. At most three bytes are left; n >= 4
// leaves at least one.
TTextPos Utf8WholeLength(const unsigned char* p, TTextPos n);
