#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "text/SpillText.h"
#include "text/TextPos.h"

class TLinesBuffer;

// Flow Text worked out on a text without changing it. Walking from the end of the range towards its
// start, each hard line break inside a paragraph is removed, with a space in its place unless the line
// ends in a space or hyphen. A paragraph ends at an empty line and at a line whose last byte is a form
// feed; an empty line at the text's start is never joined away, and a form feed is never removed. The
// result replaces the original bytes [ChangeStart, ChangeEnd), which are empty when nothing joins.
class TParagraphFlow {
public:
    // The range runs from `start` to `end`; a range that ends at the start of a line (or at the text's end
    // after a final line break) joins that line too.
    TParagraphFlow(TLinesBuffer& text, TTextPos start, TTextPos end);

    // Positions carried through the change as the caret is: one at the start of a removed break stays
    // there, one after it moves back by the break and on by the space put there.
    std::vector<TTextPos> Marks;

    // Walks the range, calling `poll` with the bytes walked so far after each line; returns false when
    // `poll` stopped it, and then nothing is to change.
    bool Run(const std::function<bool(TTextPos done)>& poll);
    TTextPos ChangeStart() const { return m_ChangeStart; }
    TTextPos ChangeEnd() const { return m_ChangeEnd; }
    TTextPos Joins() const { return m_Joins; }
    // What replaces [ChangeStart, ChangeEnd).
    TSpillText& Output() { return *m_Output; }

private:
    // Where the walk starts: the start of the last line that may be joined to the one before it.
    TTextPos LastLineStart();
    void Join(TTextPos breakPos, TTextPos nextLine);
    // Whether the line at `lineStart` is never joined to the line above it: an empty line, or one
    // holding only a page break.
    bool StaysApart(TTextPos lineStart);
    // Copies the original bytes [from, m_ChangeStart) in front of the output.
    void CopyDown(TTextPos from);

    TLinesBuffer& m_Text;
    TTextPos m_Start, m_End;
    std::unique_ptr<TSpillText> m_Output;
    TTextPos m_ChangeStart = 0, m_ChangeEnd = 0;
    TTextPos m_Joins = 0;
};
