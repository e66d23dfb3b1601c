#include "text/SearchPattern.h"

#include <cstdint>
#include <cstring>

namespace {

inline bool IsLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
inline unsigned char Lower(unsigned char c) { return IsLetter(c) ? c | 0x20 : c; }

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

TSearchPattern::TSearchPattern(std::string_view pattern, bool matchCase)
    : m_Pattern(pattern), m_MatchCase(matchCase) {
    if (!matchCase)
        for (char& c : m_Pattern) c = static_cast<char>(Lower(static_cast<unsigned char>(c)));
    if (!m_Pattern.empty()) {
        m_First = AnchorFor(static_cast<unsigned char>(m_Pattern.front()));
        m_Last = AnchorFor(static_cast<unsigned char>(m_Pattern.back()));
    }
}

TSearchPattern::TAnchor TSearchPattern::AnchorFor(unsigned char c) const {
    if (!m_MatchCase && IsLetter(c)) return {0x20, c};
    return {0, c};
}

bool TSearchPattern::MatchesAt(const unsigned char* p) const {
    if (m_MatchCase) return std::memcmp(p, m_Pattern.data(), m_Pattern.size()) == 0;
    for (size_t i = 0; i < m_Pattern.size(); ++i)
        if (Lower(p[i]) != static_cast<unsigned char>(m_Pattern[i])) return false;
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
