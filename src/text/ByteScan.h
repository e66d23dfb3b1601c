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

} // namespace ByteScan
