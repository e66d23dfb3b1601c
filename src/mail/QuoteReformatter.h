#pragma once

#include <functional>
#include <string>
#include <vector>

#include "text/SpillText.h"
#include "text/TextPos.h"

class TLinesBuffer;

// Reformat Quoted Text worked out on a text without changing it. Paragraph by paragraph, the lines are
// joined (the old quote taken off each, a space put between them where none is), then broken again
// where the text's own layout wraps them, each new line starting with the new quote when the line it
// comes from was quoted. A paragraph ends at a separator (an empty line, or one holding the old quote and
// spaces), which becomes a line holding the new quote alone, and at a page break, which stays as it is. A
// word wider than the room after the quote is never broken: its line is left longer. Lines are written
// with the text's own line break. The result replaces the original bytes [start, ChangeEnd).
class TQuoteReformatter {
public:
    TQuoteReformatter(TLinesBuffer& text, std::string oldQuote, std::string newQuote, std::string lineBreak);

    // Runs from `start`, which begins a display line, for the range that ends at `end`; `poll` is given
    // the bytes read so far after each line and stops the run when it answers false (then nothing is to
    // change). Returns whether it ran to the end.
    bool Run(TTextPos start, TTextPos end, const std::function<bool(TTextPos done)>& poll);
    TTextPos ChangeEnd() const { return m_ChangeEnd; }
    TSpillText& Output() { return m_Output; }
    // Where a position of the text before the change is after it (call after Run). A position inside
    // bytes taken out goes to where the text after them ends up.
    TTextPos NewPosition(TTextPos pos) const;
    // Positions followed through the run besides the range's end, which is always followed.
    void Follow(TTextPos pos) { m_Marks.push_back({pos}); }

private:
    // A line as layout ends it: at a line feed (with a CR before it), or before a form feed that follows
    // text. A form feed at a line's start is a line of its own, with the line break right after it.
    struct TLine {
        TTextPos Start = 0, TextEnd = 0, Next = 0;
        bool FormFeed = false;
    };
    struct TMark {
        TTextPos In;
        TTextPos Out = -1; // in the output; -1 until the run has passed it
    };

    TLine ReadLine(TTextPos pos);
    bool Quoted(const TLine& line);
    // Whether the line holds only spaces after its old quote.
    bool Blank(const TLine& line, TTextPos quote);
    // Whether the range takes in the first display line at `pos`: its end lies at or after that line's
    // text end.
    bool RangeReaches(TTextPos pos);
    // Whether the range's end lies beyond offset `offset` of the pending line.
    bool EndBeyond(size_t offset) const;

    // Starts a paragraph at `line`; the start of the next one, or -1 when the run ends.
    TTextPos Paragraph(const TLine& line);
    // Joins and wraps the pending line until the paragraph or the run ends.
    TTextPos Fill();
    // Where the pending line wraps: its size when it does not.
    size_t WrapPoint() const;
    // Ends the run with the original text from `pos` on left as it is.
    TTextPos Stop(TTextPos pos);

    // The pending line is built from original bytes (Take) and new ones (Put).
    void Take(TTextPos from, TTextPos count);
    void Put(std::string_view bytes);
    // Writes the first `count` bytes of the pending line out, then `lineBreak`; the rest of the line
    // follows `prefix`.
    void Emit(size_t count, std::string_view lineBreak = {}, std::string_view prefix = {});
    void TrimLine();

    TLinesBuffer& m_Text;
    std::string m_OldQuote, m_NewQuote, m_LineBreak;
    TSpillText m_Output;
    std::vector<TMark> m_Marks; // the first is the range's end
    std::function<bool(TTextPos)> m_Poll;
    TTextPos m_Start = 0;
    bool m_Stopped = false;
    std::string m_Line;        // the pending display line, not yet written out
    size_t m_ContentStart = 0; // where the pending line's text starts after its quote
    bool m_Quoted = false;     // whether lines wrapped off the pending one get the new quote
    TLine m_Current;           // the original line whose text the pending line ends with
    TTextPos m_Emitted = 0;
    TTextPos m_ChangeEnd = 0;
};

// The quote prefix of a display line: a tab or space at its start gives none; otherwise every byte up to
// the first quote punctuation, then the quote punctuation after it.
std::string QuotePrefix(std::string_view line);
