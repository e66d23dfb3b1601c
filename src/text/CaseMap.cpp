#include "text/CaseMap.h"

namespace {

// Lower-case letters [First, Last] that lie `Distance` above their capitals, but for `Except`.
struct TShifted {
    char32_t First, Last, Distance, Except;
};
constexpr TShifted kShifted[] = {
    {U'a', U'z', 0x20, 0},          {0x00E0, 0x00FE, 0x20, 0x00F7}, // Latin-1 but the division sign
    {0x03B1, 0x03CB, 0x20, 0x03C2},                                 // Greek but the final sigma
    {0x03AD, 0x03AF, 0x25, 0},      {0x03CD, 0x03CE, 0x3F, 0},      // Greek with tonos
    {0x0430, 0x044F, 0x20, 0},      {0x0450, 0x045F, 0x50, 0},      // Cyrillic
    {0x0561, 0x0586, 0x30, 0},                                      // Armenian
};

// Blocks [First, Last] where a capital and its lower case alternate, the capital first.
struct TAlternating {
    char32_t First, Last;
};
constexpr TAlternating kAlternating[] = {
    {0x0100, 0x012F}, {0x0132, 0x0137}, {0x0139, 0x0148}, {0x014A, 0x0177}, {0x0179, 0x017E}, // Latin
    {0x0460, 0x0481}, {0x048A, 0x04BF}, {0x04C1, 0x04CE}, {0x04D0, 0x052F},                   // Cyrillic
};

// Single pairs; a lower-case letter whose capital lowers to another letter goes one way only.
struct TPair {
    char32_t Lower, Upper;
    bool BothWays;
};
constexpr TPair kPairs[] = {
    {0x00FF, 0x0178, true}, {0x03AC, 0x0386, true},  {0x03CC, 0x038C, true},
    {0x04CF, 0x04C0, true}, {0x00B5, 0x039C, false}, {0x03C2, 0x03A3, false}, // micro sign and final sigma
};

char32_t Upper(char32_t c) {
    for (const TShifted& s : kShifted)
        if (c >= s.First && c <= s.Last && c != s.Except) return c - s.Distance;
    for (const TAlternating& a : kAlternating)
        if (c >= a.First && c <= a.Last && (c - a.First) % 2 == 1) return c - 1;
    for (const TPair& p : kPairs)
        if (c == p.Lower) return p.Upper;
    return c;
}

char32_t Lower(char32_t c) {
    for (const TShifted& s : kShifted)
        if (const char32_t lower = c + s.Distance; lower >= s.First && lower <= s.Last && lower != s.Except)
            return lower;
    for (const TAlternating& a : kAlternating)
        if (c >= a.First && c <= a.Last && (c - a.First) % 2 == 0) return c + 1;
    for (const TPair& p : kPairs)
        if (p.BothWays && c == p.Upper) return p.Lower;
    return c;
}

// Windows-1252 keeps its letters above U+00FF elsewhere than Latin-1 does: they are left alone.
char32_t InSet(char32_t c, char32_t cased, TCharSets set) {
    return set == TCharSets::csUtf8 || cased <= 0xFF ? cased : c;
}

} // namespace

char32_t UpperCaseOf(char32_t c, TCharSets set) {
    return InSet(c, Upper(c), set);
}

char32_t LowerCaseOf(char32_t c, TCharSets set) {
    return InSet(c, Lower(c), set);
}
