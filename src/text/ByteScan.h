#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Finding bytes of a few kinds in text sixteen or sixty-four bytes at a time, where layout would
// otherwise look at every byte: the control bytes that end or shape a line, break characters, and the
// end of a run of one repeated byte.

namespace ByteScan {

// The first TAB, LF, FF or CR in [p, end), or end. Other control bytes are ordinary characters.
const unsigned char* FindControl(const unsigned char* p, const unsigned char* end);
// The first TAB, LF, FF, CR or byte of 128 or more (a part of a UTF-8 sequence) in [p, end), or end.
const unsigned char* FindControlOrHigh(const unsigned char* p, const unsigned char* end);
// The first byte in [p, end) other than `c`, or end.
const unsigned char* FindOther(const unsigned char* p, const unsigned char* end, unsigned char c);
// The first space, hyphen or control byte (as FindControl) in [p, end), or end.
const unsigned char* FindBreakOrControl(const unsigned char* p, const unsigned char* end);
// The last space or hyphen in [p, end), or null.
const unsigned char* FindLastBreak(const unsigned char* p, const unsigned char* end);

// Walks [p, end) sixteen bytes at a time as long as it is plain UTF-8: valid, with characters of one to
// three bytes, and none of the lead bytes that need a closer look (E0 and ED, which may start overlong or
// surrogate forms, and F0 on). Calls block(at, count, leads, leads3, continuation) for the `count` bytes
// at `at`, where bit k of a mask stands for byte at + k: lead bytes, lead bytes of three-byte
// characters, continuation bytes; every character whose lead is in a block lies wholly in [p, end).
// False as soon as the bytes are not plain, or when SSE2 is missing.
template <typename TBlock>
bool PlainUtf8Blocks(const unsigned char* p, const unsigned char* end, TBlock&& block);

// Whether [p, end) is plain UTF-8; then `chars` gets its characters and `chars3` those of three bytes.
bool PlainUtf8(const unsigned char* p, const unsigned char* end, std::int64_t& chars, std::int64_t& chars3);
// At most how many cells UTF-8 bytes [p, end) without control bytes fill in a fixed-pitch font: for
// plain UTF-8 the characters plus those of three bytes (which may be wide), else the byte count.
inline std::int64_t Utf8CellsAtMost(const unsigned char* p, const unsigned char* end) {
    std::int64_t chars = 0, chars3 = 0;
    return PlainUtf8(p, end, chars, chars3) ? chars + chars3 : end - p;
}

// For the 64 bytes at p: bit i is set where p[i] is one of the bytes 9 to 13 (TAB, LF, VT, FF, CR).
inline std::uint64_t ControlMask(const unsigned char* p) {
#if defined(__SSE2__)
    const __m128i nine = _mm_set1_epi8(9), four = _mm_set1_epi8(4);
    auto mask = [&](int at) {
        // c - 9 (wrapping) is at most 4 exactly for the bytes 9 to 13.
        const __m128i v = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at)), nine);
        return std::uint64_t(
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(v, four), v))));
    };
    return mask(0) | mask(16) << 16 | mask(32) << 32 | mask(48) << 48;
#else
    std::uint64_t bits = 0;
    for (int i = 0; i < 64; ++i)
        bits |= std::uint64_t{p[i] >= 9 && p[i] <= 13} << i;
    return bits;
#endif
}

template <typename TBlock>
bool PlainUtf8Blocks(const unsigned char* p, const unsigned char* end, TBlock&& block) {
#if defined(__SSE2__)
    auto equal = [](__m128i v, int c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(c))); };
    auto bits = [](__m128i v) { return static_cast<unsigned>(_mm_movemask_epi8(v)); };
    std::uint32_t carry = 0; // continuation bytes that leads of the last block expect in the next
    for (const unsigned char* at = p; at < end; at += 16) {
        const auto count = static_cast<int>(end - at < 16 ? end - at : 16);
        __m128i v;
        int skip = 0; // bytes of the block read that lie before `at`
        if (count == 16) {
            v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        } else if (end - p >= 16) { // the last sixteen bytes, some of them seen already
            v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16));
            skip = 16 - count;
        } else { // a short text, after zeros: ASCII, which changes nothing
            alignas(16) unsigned char tail[16] = {};
            for (int k = 0; k < count; ++k) tail[k] = at[k];
            v = _mm_load_si128(reinterpret_cast<const __m128i*>(tail));
        }
        const __m128i top2 = _mm_and_si128(v, _mm_set1_epi8(static_cast<char>(0xC0)));
        const unsigned continuation = bits(equal(top2, 0x80)) >> skip;
        const unsigned leads = bits(equal(top2, 0xC0)) >> skip;
        const unsigned leads3 = bits(equal(_mm_and_si128(v, _mm_set1_epi8(static_cast<char>(0xE0))), 0xE0)) >> skip;
        const unsigned closer = (bits(_mm_or_si128(_mm_or_si128(equal(v, 0xC0), equal(v, 0xC1)),
                                                   _mm_or_si128(equal(v, 0xE0), equal(v, 0xED)))) |
                                 bits(equal(_mm_and_si128(v, _mm_set1_epi8(static_cast<char>(0xF0))), 0xF0))) >>
                                skip;
        // Each lead expects one continuation byte after it, a lead of three bytes a second one.
        const std::uint32_t expected = carry | leads << 1 | leads3 << 2;
        const std::uint32_t beyond = expected >> count; // continuation bytes due after the block
        if (closer || (expected & ((1u << count) - 1)) != continuation ||
            (beyond && end - at <= count + 31 - __builtin_clz(beyond)))
            return false;
        carry = expected >> 16;
        block(at, count, leads, leads3, continuation);
    }
    return carry == 0;
#else
    (void)p;
    (void)end;
    (void)block;
    return false;
#endif
}

} // namespace ByteScan
