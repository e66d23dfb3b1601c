#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>

#include "text/TextPos.h"

// Characters that take two cells in a fixed-pitch font: East Asian wide and full-width forms.
bool IsWideChar(char32_t code);

// The widths of the characters of UTF-8 text on one device: ASCII ones from the byte table, the others
// asked of the font once per character and kept. With a fixed-pitch font every character is one cell
// wide and an East Asian wide one two, whatever the fallback font that draws it. A character is given no
// more than the widest byte's width for each of its bytes, which no real font exceeds: so a line's byte
// count bounds its width, and layout can pass over lines that cannot wrap without measuring them.
class TCodeWidths {
public:
    using TMeasure = std::function<TTextPos(char32_t code)>;

    TCodeWidths();
    // `cell` > 0: a fixed-pitch font of that cell width; else `measure` gives a character's width.
    // ASCII characters are as wide as the byte table `byteWidths` has them.
    void Reset(TTextPos cell, TTextPos widestByte, const TTextPos* byteWidths, TMeasure measure);

    // The byte table's widths of ASCII, and 0 for every byte that is part of a longer character.
    const TTextPos* AsciiWidths() const { return m_AsciiWidths.data(); }

    TTextPos Width(char32_t code) {
        if (code <= 0xFFFF)
            if (const std::int16_t w = m_Plane[code]; w >= 0) return w;
        return Find(code);
    }

private:
    TTextPos Find(char32_t code);
    TTextPos Compute(char32_t code) const;

    TTextPos m_Cell = 0;
    TTextPos m_WidestByte = 0;
    std::array<TTextPos, 256> m_AsciiWidths{};
    TMeasure m_Measure;
    // The first plane's widths, -1 where not asked yet: a table shared by all until a width is known.
    const std::int16_t* m_Plane;
    std::unique_ptr<std::int16_t[]> m_OwnPlane;
    std::unordered_map<char32_t, TTextPos> m_Beyond; // the planes past the first
};
