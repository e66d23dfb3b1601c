#pragma once

// The bytes that make up words for word movement, selection, whole-word search and the word commands:
// digits, ASCII letters, the underscore and the accented letters of Windows-1252 (192-255 without the
// multiplication and division signs).
constexpr bool IsWordChar(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z') ||
           (c >= 192 && c != 215 && c != 247);
}

// The same for a character of UTF-8 text: besides the ASCII word bytes, the letters and digits of every
// script. Without a character database at hand, everything from U+0080 up counts except the blocks of
// punctuation, symbols and spaces, which hold no letters.
constexpr bool IsWordCode(char32_t c) {
    if (c < 0x80) return IsWordChar(static_cast<unsigned char>(c));
    if (c < 0xC0) return c == 0xAA || c == 0xB5 || c == 0xBA; // feminine, micro and masculine signs
    if (c == 0xD7 || c == 0xF7) return false;
    const bool symbols = (c >= 0x2000 && c <= 0x2BFF) ||  // punctuation, arrows, maths, boxes, dingbats
                         (c >= 0x2E00 && c <= 0x2E7F) ||  // supplemental punctuation
                         (c >= 0x3000 && c <= 0x3003) ||  // ideographic space and punctuation
                         (c >= 0x3008 && c <= 0x3020) ||  // CJK brackets and marks
                         (c >= 0xFE30 && c <= 0xFE4F) ||  // CJK compatibility forms
                         (c >= 0xFF01 && c <= 0xFF0F) ||  // full-width punctuation
                         (c >= 0xFFF0 && c <= 0xFFFF) ||  // specials, the replacement mark among them
                         (c >= 0x1F000 && c <= 0x1FAFF); // emoji and other pictographs
    return !symbols;
}
