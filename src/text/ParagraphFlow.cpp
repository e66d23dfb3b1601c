#include "text/ParagraphFlow.h"

#include <algorithm>

#include "text/LinesBuffer.h"

namespace {
constexpr unsigned char LF = 10;
constexpr unsigned char FF = 12;
constexpr unsigned char CR = 13;
constexpr TTextPos kCopyBlock = 64 * 1024;
} // namespace

TParagraphFlow::TParagraphFlow(TLinesBuffer& text, TTextPos start, TTextPos end)
    : m_Text(text), m_Start(std::clamp<TTextPos>(start, 0, text.TextSize())),
      m_End(std::clamp<TTextPos>(end, m_Start, text.TextSize())) {}

TTextPos TParagraphFlow::LastLineStart() {
    TTextPos p = m_End;
    if (m_Text.IsLineBreakAt(p)) m_Text.FindLineStart(p);
    // Only a line feed starts a line here: a range that ends just after a form feed inside a line ends in
    // that line, so the form feed stays.
    if (p > 0 && *m_Text.GetCharPtr(p - 1) != LF) m_Text.FindLineStart(p);
    return p;
}

bool TParagraphFlow::StaysApart(TTextPos lineStart) {
    if (m_Text.IsLineBreakAt(lineStart)) return true;
    return *m_Text.GetCharPtr(lineStart) == FF &&
           (lineStart + 1 == m_Text.TextSize() || m_Text.IsLineBreakAt(lineStart + 1));
}

void TParagraphFlow::CopyDown(TTextPos from) {
    unsigned char block[kCopyBlock];
    while (m_ChangeStart > from) {
        const TTextPos n = std::min(kCopyBlock, m_ChangeStart - from);
        m_ChangeStart -= m_Text.CopyToBuffer(block, m_ChangeStart - n, n);
        m_Output->Prepend(block, n);
    }
}

void TParagraphFlow::Join(TTextPos breakPos, TTextPos nextLine) {
    if (!m_Output) {
        m_Output = TSpillText::Backwards(nextLine);
        m_ChangeStart = m_ChangeEnd = nextLine;
    }
    CopyDown(nextLine);
    const TTextPos length = *m_Text.GetCharPtr(breakPos) == CR ? 2 : 1;
    const unsigned char before = *m_Text.GetCharPtr(breakPos - 1);
    // A line ending in a hyphen keeps it and joins without a space: a divided word comes together.
    const TTextPos space = before == ' ' || before == '-' ? 0 : 1;
    if (space) m_Output->Prepend(" ");
    m_ChangeStart = breakPos;
    for (TTextPos& mark : Marks) {
        if (mark >= breakPos + length)
            mark += space - length;
        else if (mark > breakPos)
            mark = breakPos;
    }
    ++m_Joins;
}

bool TParagraphFlow::Run(const std::function<bool(TTextPos done)>& poll) {
    TTextPos p = LastLineStart();
    while (p > m_Start) {
        // p starts a line; its break begins at b, and q is the last byte of the line before the break.
        const TTextPos b = m_Text.LastCharBeforeBreak(p) + 1;
        const TTextPos q = m_Text.LastCharBeforeBreak(b);
        // q == b: the line before is not empty and does not end in a form feed. An empty first line
        // (b == 0) has nothing to join to.
        if (b > 0 && q == b) {
            Join(b, p);
            p = b;
            m_Text.FindLineStart(p); // the joined line's start
        } else {
            // The line before is empty or ends in a page break. The walk goes on from the nearest line
            // above that may be joined to the one before it: not an empty line, nor one holding only a page
            // break, however short the lines between.
            p = b;
            m_Text.FindLineStart(p);
            while (p > m_Start && StaysApart(p))
                m_Text.FindLineStart(p);
        }
        if (poll && !poll(m_End - p)) return false;
    }
    if (!m_Output) m_Output = TSpillText::Backwards(0);
    return true;
}
