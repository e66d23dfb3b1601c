#pragma once

// The text is single-byte Windows-1252: this is the character each byte shows.
extern const char16_t Windows1252ToUnicode[256];
