#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>

#include "text/TextPos.h"

// Characters that take two cells in a fixed-pitch font: East Asian wide and full-width forms.
bool IsWideChar(char32_t code);

// The widths of the characters beyond ASCII on one device, for UTF-8 text, asked of the font once per
// character and kept. With a fixed-pitch font every character is one cell wide and an East Asian wide
// one two, whatever the fallback font that draws it. A character is given no more than the widest
// byte's width for each of its bytes, which no real font exceeds: so a line's byte count bounds its
// width, and layout can pass over lines that cannot wrap without measuring them.
class TCodeWidths {
public:
    using TMeasure = std::function<TTextPos(char32_t code)>;

    // `cell` > 0: a fixed-pitch font of that cell width; else `measure` gives a character's width.
    void Reset(TTextPos cell, TTextPos widestByte, TMeasure measure);

    TTextPos Width(char32_t code) {
        if (code <= 0xFFFF) {
            if (const TPage* page = m_Pages[code >> 8].get())
                if (const std::int32_t w = (*page)[code & 255]; w >= 0) return w;
        }
        return Find(code);
    }

private:
    using TPage = std::array<std::int32_t, 256>; // -1: not asked yet

    TTextPos Find(char32_t code);
    TTextPos Compute(char32_t code) const;

    TTextPos m_Cell = 0;
    TTextPos m_WidestByte = 0;
    TMeasure m_Measure;
    std::array<std::unique_ptr<TPage>, 256> m_Pages;
    std::unordered_map<char32_t, TTextPos> m_Beyond; // the planes past the first
};
