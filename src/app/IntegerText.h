#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Reads a 32-bit signed integer the way settings and the command line write one: leading blanks, an
// optional sign, then decimal digits, or hexadecimal ones after "$" or "0x". Anything else in the text,
// or a value beyond 32 bits, reads as nothing.
std::optional<std::int32_t> ParseInteger(std::string_view text);
