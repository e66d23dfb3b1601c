#include "text/CharSet.h"

#include "text/Utf8.h"

namespace {

// Whether [p, end), shorter than a sequence, may be the start of a valid one: the lead byte's sequence
// is longer than what is there, and completing it with continuation bytes can give a valid character.
bool StartsASequence(const unsigned char* p, const unsigned char* end) {
    unsigned char whole[4] = {p[0], 0x80, 0x80, 0x80};
    for (int second = 0x80; second <= 0xBF; ++second) {
        whole[1] = end - p > 1 ? p[1] : static_cast<unsigned char>(second);
        for (const unsigned char* q = p + 2; q < end; ++q) whole[q - p] = *q;
        const TUtf8Char c = DecodeUtf8(whole, whole + 4);
        if (c.Valid && c.Length > end - p) return true;
    }
    return false;
}

} // namespace

TCharSets DetectCharSet(const unsigned char* bytes, std::size_t count, bool wholeFile) {
    if (count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) return TCharSets::csUtf8;
    const unsigned char* const end = bytes + count;
    bool multiByte = false;
    for (const unsigned char* p = bytes; p < end;) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const TUtf8Char c = DecodeUtf8(p, end);
        if (!c.Valid) {
            // A sequence the sample's edge cuts short says nothing either way.
            const bool cut = !wholeFile && end - p < 4 && StartsASequence(p, end);
            return cut && multiByte ? TCharSets::csUtf8 : TCharSets::csWindows1252;
        }
        multiByte = true;
        p += c.Length;
    }
    return multiByte ? TCharSets::csUtf8 : TCharSets::csWindows1252;
}
