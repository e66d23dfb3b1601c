// The line walker of TTextViewer: one cursor on a display line, stepping to the next or previous line
// and jumping between anchors whose line numbers are known.

#include <algorithm>
#include <cmath>

#include "editor/TextViewer.h"

void TTextViewer::LayOutWalkLine() {
    TTextPos pos = m_WalkStart;
    m_TextBuffer->NextLineEnd(pos, m_WalkEndX, m_WalkLength);
    m_WalkNext = pos;
    // A hard line break, not a wrap, ends the line: it gets the line-break mark.
    m_WalkEnded = m_WalkNext > m_WalkStart && *m_TextBuffer->GetCharPtr(m_WalkNext - 1) == '\n';
}

bool TTextViewer::SoftBreakBefore(TTextPos line, TTextPos hardIndex) const {
    const TTextPos perPage = std::max<TTextPos>(1, m_LinesPerPage);
    if (!m_HardBreakLines.empty() && hardIndex >= 0) {
        const TTextPos last = static_cast<TTextPos>(m_HardBreakLines.size()) - 1;
        const TTextPos hard = m_HardBreakLines[static_cast<size_t>(std::min(hardIndex, last))];
        return line != hard && (line - hard) % perPage == 0;
    }
    return line >= 1 && line % perPage == 0;
}

int TTextViewer::BreakKind(TTextPos line, TTextPos hardIndex) const {
    if (hardIndex >= 0 && hardIndex < static_cast<TTextPos>(m_HardBreakLines.size()) &&
        m_HardBreakLines[static_cast<size_t>(hardIndex)] == line)
        return 2;
    return SoftBreakBefore(line, hardIndex) ? 1 : 0;
}

void TTextViewer::RecomputeHardIndex() {
    m_WalkHardIndex = std::upper_bound(m_HardBreakLines.begin(), m_HardBreakLines.end(), m_WalkLine) -
                      m_HardBreakLines.begin() - 1;
}

void TTextViewer::Restart() {
    m_WalkStart = m_WalkPrev = 0;
    m_WalkLine = 0;
    LayOutWalkLine();
    const bool pageBreak = m_TextBuffer->IsFormFeedAt(0);
    m_WalkPage = pageBreak ? 2 : 1;
    m_WalkBreak = pageBreak ? 2 : 0;
    m_WalkHardIndex = !m_HardBreakLines.empty() && m_HardBreakLines.front() == 0 ? 0 : -1;
}

bool TTextViewer::NextLine() {
    if (m_WalkNext >= TextSize() || m_WalkNext <= m_WalkStart) return false;
    m_WalkPrev = m_WalkStart;
    m_WalkStart = m_WalkNext;
    LayOutWalkLine();
    ++m_WalkLine;
    if (m_LayoutComplete && m_WalkLine > m_LastLine) m_LayoutComplete = false;
    const auto next = static_cast<size_t>(m_WalkHardIndex + 1);
    if (next < m_HardBreakLines.size() && m_HardBreakLines[next] == m_WalkLine) {
        m_WalkBreak = 2;
        ++m_WalkPage;
        ++m_WalkHardIndex;
    } else if (SoftBreakBefore(m_WalkLine, m_WalkHardIndex)) {
        m_WalkBreak = 1;
        ++m_WalkPage;
    } else {
        m_WalkBreak = 0;
    }
    return true;
}

bool TTextViewer::PrevLine() {
    if (m_WalkStart <= m_WalkPrev) return false;
    const TTextPos target = m_WalkPrev;
    // The line before the new one: lay lines out from the start of its hard line until one ends at
    // `target`; a line of the previous hard line when `target` starts a hard line.
    TTextPos before = target;
    if (target > 0) {
        TTextPos pos = target;
        m_TextBuffer->FindLineStart(pos);
        TTextPos width = 0, count = 0;
        for (TTextPos start = pos; pos < target; start = pos) {
            m_TextBuffer->NextLineEnd(pos, width, count);
            if (pos >= target || pos <= start) {
                before = start;
                break;
            }
        }
    }
    if (m_WalkBreak != 0) --m_WalkPage;
    if (m_WalkBreak == 2) --m_WalkHardIndex;
    m_WalkStart = target;
    m_WalkPrev = before;
    LayOutWalkLine();
    --m_WalkLine;
    m_WalkBreak = BreakKind(m_WalkLine, m_WalkHardIndex);
    // Coming back from text the scan has not reached, page breaks it has not found yet were missed:
    // the scan's own line has its page exact.
    if (!m_LayoutComplete && m_WalkStart == m_ScanPos && m_WalkLine == m_ScanLine) m_WalkPage = m_ScanPage;
    return true;
}

void TTextViewer::JumpTo(TTextPos offset, TTextPos line, TTextPos page, bool lineStart) {
    const TTextPos size = TextSize();
    offset = std::clamp<TTextPos>(offset, 0, size);
    // Back up two hard lines, so that the line holding `offset` is not the first one laid out.
    TTextPos pos = offset;
    m_TextBuffer->FindLineStart(pos);
    m_TextBuffer->FindLineStart(pos);
    TTextPos prev = pos, start = pos, width = 0, count = 0;
    for (;;) {
        start = pos;
        m_TextBuffer->NextLineEnd(pos, width, count);
        const bool endsHere = !lineStart && offset == pos && EndsLineBeforePageBreak(pos);
        if (offset < pos || endsHere || pos >= size || pos <= start) break;
        prev = start;
    }
    m_WalkStart = start;
    m_WalkPrev = prev;
    LayOutWalkLine();
    m_WalkLine = line;
    m_WalkPage = page;
    RecomputeHardIndex();
    m_WalkBreak = BreakKind(m_WalkLine, m_WalkHardIndex);
}

void TTextViewer::WalkToOffset(TTextPos offset) {
    if (offset <= 0 || TextSize() == 0) {
        Restart();
        return;
    }
    // The nearest anchor in bytes; ties go to the caret, the selection start, the selection end, and
    // the walker last.
    const TLineAnchor anchors[] = {{m_CaretStart, m_CaretLine, m_CaretPage},
                                   m_Sel.StartLine,
                                   m_Sel.EndLine,
                                   {m_WalkStart, m_WalkLine, m_WalkPage}};
    const TLineAnchor* nearest = &anchors[0];
    for (const TLineAnchor& anchor : anchors)
        if (std::abs(anchor.Offset - offset) < std::abs(nearest->Offset - offset)) nearest = &anchor;
    if (nearest != &anchors[3]) JumpTo(nearest->Offset, nearest->Line, nearest->Page, true);
    while (offset < m_WalkStart && PrevLine()) {
    }
    while ((offset > m_WalkNext || (offset == m_WalkNext && !EndsLineBeforePageBreak(offset))) &&
           NextLine()) {
    }
    if (!m_LayoutComplete && m_WalkLine > m_LastLine) SetLastLine(m_WalkLine);
}

void TTextViewer::WalkToLine(TTextPos line, bool estimate) {
    if (line <= 0 || TextSize() == 0) {
        Restart();
        return;
    }
    if (estimate && m_LastLine > 0) {
        const auto guess = static_cast<TTextPos>(static_cast<long double>(TextSize()) * line / m_LastLine);
        auto farFrom = [](TTextPos a, TTextPos b, TTextPos distance) { return std::abs(a - b) > distance; };
        if (farFrom(guess, m_Sel.StartOffset, 4096) && farFrom(guess, m_Sel.EndOffset, 4096) &&
            farFrom(line, m_WalkLine, 100) && farFrom(line, m_CaretLine, 100) &&
            farFrom(line, m_Sel.Start.Line, 100) && farFrom(line, m_Sel.End.Line, 100)) {
            // Far into text not walked: place the line by proportion of bytes and let the scan correct it.
            if (line + 2 * m_VisibleLines < m_LastLine) {
                JumpTo(guess, line, line / std::max<TTextPos>(1, m_AvgLinesPerPage) + 1);
            } else {
                JumpTo(TextSize(), m_LastLine, m_LastLine / std::max<TTextPos>(1, m_AvgLinesPerPage) + 1);
            }
            m_Estimated = true;
            RelayoutFrom(m_WalkStart);
        }
    }
    if (m_WalkLine != line) {
        // From the nearest anchor by lines: the caret first, then the selection ends; the walker stays
        // only when it is strictly nearest.
        const TLineAnchor anchors[] = {
            {m_CaretStart, m_CaretLine, m_CaretPage}, m_Sel.StartLine, m_Sel.EndLine};
        const TLineAnchor* nearest = nullptr;
        TTextPos best = std::abs(m_WalkLine - line);
        for (const TLineAnchor& anchor : anchors)
            if (std::abs(anchor.Line - line) <= best &&
                (!nearest || std::abs(anchor.Line - line) < std::abs(nearest->Line - line))) {
                nearest = &anchor;
                best = std::abs(anchor.Line - line);
            }
        if (nearest && nearest->Line != m_WalkLine)
            JumpTo(nearest->Offset, nearest->Line, nearest->Page, true);
        RecomputeHardIndex();
    }
    while (m_WalkLine < line && NextLine()) {
    }
    while (m_WalkLine > line && PrevLine()) {
    }
    if (!m_LayoutComplete && m_WalkLine > m_LastLine) SetLastLine(m_WalkLine);
}

bool TTextViewer::JumpIfFar(TTextPos offset, TTextPos distance) {
    if (std::abs(offset - m_WalkStart) <= distance || TextSize() == 0) return false;
    const auto line = static_cast<TTextPos>(static_cast<long double>(offset) / TextSize() * m_LastLine);
    JumpTo(offset, line, line / std::max<TTextPos>(1, m_AvgLinesPerPage) + 1);
    m_Estimated = true;
    RelayoutFrom(m_WalkStart);
    return true;
}

void TTextViewer::VertScrolled() {
    // A thumb dragged far places the new top line by estimate, as a far caret move does, rather than
    // laying out every line before it.
    if (m_TextBuffer) WalkToLine(m_VertScrollBar->Position(), true);
    TLinesViewer::VertScrolled();
}
