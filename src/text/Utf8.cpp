#include "text/Utf8.h"

#include <algorithm>
#include <iterator>

namespace {

// The smallest code point each sequence length may carry (anything below is an overlong form), and the
// marker bits of its lead byte.
constexpr char32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
constexpr unsigned char kLeadBits[5] = {0, 0, 0xC0, 0xE0, 0xF0};

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

int EncodeUtf8(char32_t c, unsigned char* out) {
    if (c < 0x80) {
        out[0] = static_cast<unsigned char>(c);
        return 1;
    }
    const int length = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    for (int i = length - 1; i > 0; --i, c >>= 6)
        out[i] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    out[0] = static_cast<unsigned char>(kLeadBits[length] | c);
    return length;
}

bool IsWideChar(char32_t c) {
    // East Asian Wide (W) and Fullwidth (F) blocks, as terminals count them.
    static constexpr char32_t kRanges[][2] = {
        {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},
        {0x23F0, 0x23F0},   {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},
        {0x2648, 0x2653},   {0x267F, 0x267F},   {0x2693, 0x2693},   {0x26A1, 0x26A1},
        {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},   {0x26CE, 0x26CE},
        {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
        {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},
        {0x2728, 0x2728},   {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},
        {0x2757, 0x2757},   {0x2795, 0x2797},   {0x27B0, 0x27B0},   {0x27BF, 0x27BF},
        {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},   {0x2E80, 0x303E},
        {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
        {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},
        {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4},
        {0x17000, 0x18CFF}, {0x1B000, 0x1B2FF}, {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF},
        {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F251}, {0x1F300, 0x1F64F},
        {0x1F680, 0x1F6FF}, {0x1F900, 0x1F9FF}, {0x1FA70, 0x1FAFF}, {0x20000, 0x2FFFD},
        {0x30000, 0x3FFFD},
    };
    if (c < kRanges[0][0]) return false;
    const auto* range = std::upper_bound(std::begin(kRanges), std::end(kRanges), c,
                                         [](char32_t value, const char32_t(&r)[2]) { return value < r[0]; });
    return (*std::prev(range))[1] >= c;
}
