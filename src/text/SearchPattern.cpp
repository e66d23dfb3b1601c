#include "text/SearchPattern.h"

#include <cstdint>
#include <cstring>

namespace {

inline bool IsLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
// The second byte, after the lead byte C3, of a Latin-1 letter with two cases: U+00C0 to U+00FE
// without the multiplication and division signs (ß and ÿ have no capital in Latin-1).
inline bool IsLatin1LetterTail(unsigned char c) {
    const unsigned char lower = c | 0x20;
    return lower >= 0xA0 && lower <= 0xBE && lower != 0xB7;
}

using TVector = unsigned char __attribute__((vector_size(16)));

TVector Splat(unsigned char c) {
    TVector v;
    for (int i = 0; i < 16; ++i) v[i] = c;
    return v;
}

// One bit per lane of a comparison result that holds all ones.
template <typename TLanes> unsigned LaneBits(const TLanes& lanes) {
    static_assert(sizeof lanes == 16);
    std::uint64_t halves[2];
    std::memcpy(halves, &lanes, 16);
    unsigned bits = 0;
    for (int half = 0; half < 2; ++half)
        for (std::uint64_t h = halves[half] & 0x8080808080808080ULL; h; h &= h - 1)
            bits |= 1u << (half * 8 + __builtin_ctzll(h) / 8);
    return bits;
}

} // namespace

TSearchPattern::TSearchPattern(std::string_view pattern, bool matchCase, TCharSets set)
    : m_Pattern(pattern), m_Fold(pattern.size(), '\0'), m_MatchCase(matchCase) {
    if (!matchCase)
        for (size_t i = 0; i < m_Pattern.size(); ++i) {
            const auto c = static_cast<unsigned char>(m_Pattern[i]);
            const bool latin1 = set == TCharSets::csUtf8 && i > 0 &&
                                static_cast<unsigned char>(m_Pattern[i - 1]) == 0xC3 && IsLatin1LetterTail(c);
            if (IsLetter(c) || latin1) {
                m_Pattern[i] = static_cast<char>(c | 0x20);
                m_Fold[i] = 0x20;
            }
        }
    if (!m_Pattern.empty()) {
        m_First = {static_cast<unsigned char>(m_Fold.front()), static_cast<unsigned char>(m_Pattern.front())};
        m_Last = {static_cast<unsigned char>(m_Fold.back()), static_cast<unsigned char>(m_Pattern.back())};
    }
}

bool TSearchPattern::MatchesAt(const unsigned char* p) const {
    if (m_MatchCase) return std::memcmp(p, m_Pattern.data(), m_Pattern.size()) == 0;
    for (size_t i = 0; i < m_Pattern.size(); ++i)
        if ((p[i] | static_cast<unsigned char>(m_Fold[i])) != static_cast<unsigned char>(m_Pattern[i])) return false;
    return true;
}

unsigned TSearchPattern::CandidateMask(const unsigned char* p) const {
    TVector first, last;
    std::memcpy(&first, p, 16);
    std::memcpy(&last, p + m_Pattern.size() - 1, 16);
    const auto hits = ((first | Splat(m_First.Fold)) == Splat(m_First.Value)) &
                      ((last | Splat(m_Last.Fold)) == Splat(m_Last.Value));
    return LaneBits(hits);
}

TTextPos TSearchPattern::FindFirst(const unsigned char* buffer, TTextPos first, TTextPos last) const {
    if (m_Pattern.empty()) return -1;
    TTextPos s = first;
    for (; s + 15 <= last; s += 16)
        for (unsigned bits = CandidateMask(buffer + s); bits; bits &= bits - 1) {
            const TTextPos at = s + __builtin_ctz(bits);
            if (MatchesAt(buffer + at)) return at;
        }
    for (; s <= last; ++s)
        if (m_First.Matches(buffer[s]) && MatchesAt(buffer + s)) return s;
    return -1;
}

TTextPos TSearchPattern::FindLast(const unsigned char* buffer, TTextPos first, TTextPos last) const {
    if (m_Pattern.empty()) return -1;
    TTextPos s = last;
    for (; s - 15 >= first; s -= 16)
        for (unsigned bits = CandidateMask(buffer + s - 15); bits; bits &= ~(1u << (31 - __builtin_clz(bits)))) {
            const TTextPos at = s - 15 + (31 - __builtin_clz(bits));
            if (MatchesAt(buffer + at)) return at;
        }
    for (; s >= first; --s)
        if (m_First.Matches(buffer[s]) && MatchesAt(buffer + s)) return s;
    return -1;
}
