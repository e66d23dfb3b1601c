#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "text/TextPos.h"

// The replacements that one undo record of a run of them (Replace All) undoes, in ascending order:
// each puts In bytes in place of Out bytes. Only the lengths of the unchanged stretches between them are
// kept, four bytes each, so that undoing moves bookmarks as undoing each replacement alone would.
class TReplacedPieces {
public:
    TReplacedPieces(TTextPos out, TTextPos in) : m_Out(out), m_In(in) {}

    TTextPos Out() const { return m_Out; }
    TTextPos In() const { return m_In; }
    TTextPos Count() const { return m_Count; }
    // Another replacement, `gap` bytes after the end of the last one, or before the start of the first.
    void Append(TTextPos gap);
    void Prepend(TTextPos gap);
    // Where each replacement starts, ascending, the first at `start`.
    template <typename TEach> void ForEach(TTextPos start, TEach each) const {
        each(start);
        auto step = [&](auto next) {
            TTextPos gap = next();
            if (gap == kLong) {
                gap = next();
                gap |= next() << 32;
            }
            start += m_Out + gap;
            each(start);
        };
        // The gaps before the first replacement are kept the other way round, so that adding one is cheap.
        for (size_t i = m_Before.size(); i > 0;)
            step([&] { return TTextPos{m_Before[--i]}; });
        for (size_t i = 0; i < m_After.size();)
            step([&] { return TTextPos{m_After[i++]}; });
    }
    // The same replacements the other way round, as undoing them leaves them; this one is emptied.
    std::unique_ptr<TReplacedPieces> Inverted();

private:
    // A gap of 4 GiB or more takes three entries: this marker, then its low and high halves.
    static constexpr std::uint32_t kLong = 0xFFFFFFFF;

    TTextPos m_Out, m_In;
    TTextPos m_Count = 1;
    std::vector<std::uint32_t> m_Before, m_After;
};
