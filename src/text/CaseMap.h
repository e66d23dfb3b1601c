#pragma once

#include "text/CharSet.h"

// Letter case without a character database: the letters of ASCII, Latin-1, Latin Extended-A, Greek,
// Cyrillic and Armenian, whose two cases take the same number of bytes in UTF-8 (and in Windows-1252,
// where the text's set holds both), so that a case change can overwrite a character in place.

// The upper-case partner of character `c` of a text in `set`, or `c` itself when it has none the set can
// hold in as many bytes.
char32_t UpperCaseOf(char32_t c, TCharSets set);
// The same for the lower case.
char32_t LowerCaseOf(char32_t c, TCharSets set);

inline bool IsLowerCase(char32_t c, TCharSets set) {
    return UpperCaseOf(c, set) != c;
}
inline bool IsUpperCase(char32_t c, TCharSets set) {
    return LowerCaseOf(c, set) != c;
}
