#pragma once

// The text is single-byte Windows-1252: this is the character each byte shows.
extern const char16_t Windows1252ToUnicode[256];
// The byte of a character, or '?' for a character Windows-1252 does not have.
unsigned char UnicodeToWindows1252(char32_t c);
