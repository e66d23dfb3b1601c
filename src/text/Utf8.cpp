#include "text/Utf8.h"

namespace {

// The smallest code point each sequence length may carry; anything below is an overlong form.
constexpr char32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};

int SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0; // a continuation byte, or a lead byte no valid sequence starts with
}

} // namespace

TUtf8Char DecodeUtf8(const unsigned char* p, const unsigned char* end) {
    const int length = SequenceLength(*p);
    if (length == 1) return {*p, 1, true};
    const TUtf8Char invalid{kReplacementChar, 1, false};
    if (length == 0 || end - p < length) return invalid;
    char32_t code = *p & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if (!IsUtf8Continuation(p[i])) return invalid;
        code = code << 6 | (p[i] & 0x3F);
    }
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return invalid;
    return {code, length, true};
}

const unsigned char* Utf8CharStart(const unsigned char* begin, const unsigned char* end,
                                   const unsigned char* limit) {
    // A valid sequence covering end[-1] starts at one of the three bytes before it, at a lead byte.
    for (const unsigned char* q = end - 1; q >= begin && end - q <= 4; --q) {
        if (!IsUtf8Continuation(*q)) {
            const TUtf8Char c = DecodeUtf8(q, limit > end ? limit : end);
            return c.Valid && q + c.Length >= end ? q : end - 1;
        }
    }
    return end - 1;
}

int EncodeUtf8(char32_t code, unsigned char* out) {
    if (code < 0x80) {
        out[0] = static_cast<unsigned char>(code);
        return 1;
    }
    const int length = code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    for (int i = length - 1; i > 0; --i, code >>= 6)
        out[i] = static_cast<unsigned char>(0x80 | (code & 0x3F));
    out[0] = static_cast<unsigned char>((0xF0 << (4 - length)) | code); // truncated to the length marks
    return length;
}

TTextPos Utf8WholeLength(const unsigned char* p, TTextPos n) {
    for (TTextPos q = n - 1; q >= 0 && n - q <= 3; --q) {
        if (IsUtf8Continuation(p[q])) continue;
        return q + SequenceLength(p[q]) > n ? q : n;
    }
    return n;
}

TTextPos Utf8CharCount(const unsigned char* p, const unsigned char* end) {
    TTextPos count = 0;
    for (; p < end; ++count)
        p += DecodeUtf8Fast(p, end).Length;
    return count;
}
