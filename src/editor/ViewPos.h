#pragma once

#include <compare>

#include "text/TextPos.h"

// A place in the display: a character index within a display line and the line's number, both from 0.
struct TViewPos {
    TTextPos Char = 0;
    TTextPos Line = 0;
    bool operator==(const TViewPos&) const = default;
    auto operator<=>(const TViewPos& other) const {
        return Line != other.Line ? Line <=> other.Line : Char <=> other.Char;
    }
};

// A display line whose number is known, by its start: the line walker may jump there.
struct TLineAnchor {
    TTextPos Offset = 0, Line = 0, Page = 1;
};
