#pragma once

#include <cstddef>

// The character set a document's bytes are read in. The text itself is always bytes; the set decides
// how they show and what typed or pasted characters become.
enum class TCharSets { csWindows1252, csUtf8 };

// How much of a file's start decides its set.
constexpr std::size_t kCharSetSample = 64 * 1024;

// The set of a file whose first bytes are given (at most kCharSetSample of them; `wholeFile` when the file
// ends there): UTF-8 when it starts with the UTF-8 byte-order mark, or when the bytes are valid UTF-8
// and hold at least one multi-byte sequence; Windows-1252 otherwise. A sequence cut short by the end of
// a sample that is not the whole file counts as valid.
TCharSets DetectCharSet(const unsigned char* bytes, std::size_t count, bool wholeFile);
