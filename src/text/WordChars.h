#pragma once

// The bytes that make up words for word movement, selection, whole-word search and the word commands:
// digits, ASCII letters, the underscore and the accented letters of Windows-1252 (192-255 without the
// multiplication and division signs).
constexpr bool IsWordChar(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z') ||
           (c >= 192 && c != 215 && c != 247);
}
