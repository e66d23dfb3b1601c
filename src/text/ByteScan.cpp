#include "text/ByteScan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr unsigned char TAB = 9;
constexpr unsigned char LF = 10;
constexpr unsigned char FF = 12;
constexpr unsigned char CR = 13;

inline bool IsControl(unsigned char c) {
    return c == TAB || c == LF || c == FF || c == CR;
}

inline bool IsBreak(unsigned char c) {
    return c == ' ' || c == '-';
}

#if defined(__SSE2__)

inline __m128i Load(const unsigned char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline __m128i Equal(__m128i v, unsigned char c) {
    return _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(c)));
}

inline __m128i Controls(__m128i v) {
    return _mm_or_si128(_mm_or_si128(Equal(v, TAB), Equal(v, LF)), _mm_or_si128(Equal(v, FF), Equal(v, CR)));
}

inline __m128i Breaks(__m128i v) {
    return _mm_or_si128(Equal(v, ' '), Equal(v, '-'));
}

inline unsigned Bits(__m128i v) {
    return static_cast<unsigned>(_mm_movemask_epi8(v));
}

// The first byte from p on where `hit` (a function of sixteen loaded bytes) is set, in whole blocks of
// sixteen up to `end`; the scalar tail is left to the caller, which gets the position reached.
template <typename THit>
const unsigned char* FindInBlocks(const unsigned char* p, const unsigned char* end, THit hit, bool& found) {
    found = true;
    for (; end - p >= 64; p += 64) {
        const __m128i a = hit(Load(p)), b = hit(Load(p + 16)), c = hit(Load(p + 32)), d = hit(Load(p + 48));
        if (!Bits(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d)))) continue;
        const std::uint64_t mask = Bits(a) | std::uint64_t{Bits(b)} << 16 | std::uint64_t{Bits(c)} << 32 |
                                   std::uint64_t{Bits(d)} << 48;
        return p + __builtin_ctzll(mask);
    }
    for (; end - p >= 16; p += 16)
        if (const unsigned mask = Bits(hit(Load(p)))) return p + __builtin_ctz(mask);
    found = false;
    return p;
}

#endif

} // namespace

namespace ByteScan {

const unsigned char* FindControl(const unsigned char* p, const unsigned char* end) {
#if defined(__SSE2__)
    bool found = false;
    p = FindInBlocks(
        p, end, [](__m128i v) { return Controls(v); }, found);
    if (found) return p;
#endif
    while (p < end && !IsControl(*p))
        ++p;
    return p;
}

const unsigned char* FindControlOrHigh(const unsigned char* p, const unsigned char* end) {
#if defined(__SSE2__)
    bool found = false;
    // A byte of 128 or more is negative as a signed byte.
    p = FindInBlocks(
        p, end, [](__m128i v) { return _mm_or_si128(Controls(v), _mm_cmplt_epi8(v, _mm_setzero_si128())); },
        found);
    if (found) return p;
#endif
    while (p < end && !IsControl(*p) && *p < 0x80)
        ++p;
    return p;
}

bool PlainUtf8(const unsigned char* p, const unsigned char* end, std::int64_t& chars, std::int64_t& chars3) {
    chars = chars3 = 0;
    return PlainUtf8Blocks(p, end, [&](const unsigned char*, int count, unsigned, unsigned leads3, unsigned continuation) {
        chars += count - __builtin_popcount(continuation);
        chars3 += __builtin_popcount(leads3);
    });
}

const unsigned char* FindOther(const unsigned char* p, const unsigned char* end, unsigned char c) {
#if defined(__SSE2__)
    const __m128i same = _mm_set1_epi8(static_cast<char>(c));
    const __m128i ones = _mm_set1_epi8(-1);
    bool found = false;
    p = FindInBlocks(
        p, end, [&](__m128i v) { return _mm_xor_si128(_mm_cmpeq_epi8(v, same), ones); }, found);
    if (found) return p;
#endif
    while (p < end && *p == c)
        ++p;
    return p;
}

const unsigned char* FindBreakOrControl(const unsigned char* p, const unsigned char* end) {
#if defined(__SSE2__)
    bool found = false;
    p = FindInBlocks(
        p, end, [](__m128i v) { return _mm_or_si128(Controls(v), Breaks(v)); }, found);
    if (found) return p;
#endif
    while (p < end && !IsControl(*p) && !IsBreak(*p))
        ++p;
    return p;
}

const unsigned char* FindLastBreak(const unsigned char* p, const unsigned char* end) {
#if defined(__SSE2__)
    for (; end - p >= 16; end -= 16)
        if (const unsigned mask = Bits(Breaks(Load(end - 16)))) return end - 16 + (31 - __builtin_clz(mask));
#endif
    while (end > p)
        if (IsBreak(*--end)) return end;
    return nullptr;
}

} // namespace ByteScan
