#pragma once

#include <cstdint>

// Positions, lengths and counts of text, and pixel widths: signed 64-bit so that no file size or line
// length can overflow them; -1 means "none".
using TTextPos = std::int64_t;
