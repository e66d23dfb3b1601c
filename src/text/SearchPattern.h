#pragma once

#include <string>
#include <string_view>

#include "text/CharSet.h"
#include "text/TextPos.h"

// A search pattern prepared for scanning memory: candidates are found by testing the pattern's first
// and last bytes sixteen positions at a time, then checked whole. Without match case the ASCII letters
// match either case and every other byte only itself; in UTF-8 text the Latin-1 letters (U+00C0 to
// U+00FE, whose two cases differ in bit 5 of their second byte) match either case too.
class TSearchPattern {
public:
    TSearchPattern(std::string_view pattern, bool matchCase, TCharSets set);

    TTextPos Length() const { return static_cast<TTextPos>(m_Pattern.size()); }
    bool MatchesAt(const unsigned char* p) const;
    // The first (last) start in [first, last] of a match lying inside `buffer`, or -1. The caller
    // guarantees that buffer[last + Length() - 1] exists.
    TTextPos FindFirst(const unsigned char* buffer, TTextPos first, TTextPos last) const;
    TTextPos FindLast(const unsigned char* buffer, TTextPos first, TTextPos last) const;

private:
    // A byte compared as (byte | Fold) == Value: Fold is 0x20 for a letter when case does not matter.
    // Candidates are only a first sieve: the fold of a Latin-1 letter's second byte holds only after
    // its lead byte, which MatchesAt checks.
    struct TAnchor {
        unsigned char Fold = 0;
        unsigned char Value = 0;
        bool Matches(unsigned char c) const { return (c | Fold) == Value; }
    };
    // Bit i set when a match may start at p + i, for i in 0..15.
    unsigned CandidateMask(const unsigned char* p) const;

    std::string m_Pattern; // lower-cased when case does not matter
    std::string m_Fold;    // for each byte of the pattern, the bits a text byte may differ in
    bool m_MatchCase;
    TAnchor m_First;
    TAnchor m_Last;
};
