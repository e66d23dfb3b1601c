// Printing by TTextViewer: the layout on the printer for the span of a job, the lines of a range and
// of each page, and the lines themselves.

#include <algorithm>

#include <QElapsedTimer>

#include "editor/TextViewer.h"
#include "text/Exceptions.h"

void TTextViewer::BeginPrint(bool usePrinterWrap) {
    TLinesViewer::BeginPrint(usePrinterWrap);
    try {
        m_Canvas.SetPrinterPainter(PrintPainter());
        m_SavedCaretOffset = CaretOffset();
        m_SavedCaretRow = m_CaretLine - m_TopLine;
        if (usePrinterWrap && m_WrapMode != TWrapModes::opPrinter) SetWrapMode(TWrapModes::opPrinter);
        if (m_TextBuffer) m_TextBuffer->SetOutputDevice(TOutputDevice::odPrinter);
        Relayout();
    } catch (...) {
        EndPrint();
        throw;
    }
}

void TTextViewer::EndPrint() {
    TLinesViewer::EndPrint();
    m_Canvas.SetPrinterPainter(nullptr);
    if (!m_TextBuffer) return;
    m_TextBuffer->SetOutputDevice(TOutputDevice::odDisplay);
    Relayout();
    GoToOffset(m_SavedCaretOffset, false);
    SetTopLine(m_CaretLine - m_SavedCaretRow);
}

void TTextViewer::PrinterChanged() {
    ComputePrinterLayout();
    Relayout();
}

bool TTextViewer::ScanWhile(const std::function<bool()>& more) {
    TBusy busy(*this, 0);
    while (!m_LayoutComplete && more()) {
        const TTextPos before = m_ScanPos;
        ScanStep();
        if (!PollAbort(m_ScanPos)) return false;
        if (m_ScanPos == before && !m_LayoutComplete) break; // a step that cannot run now
    }
    Estimate();
    return true;
}

void TTextViewer::KeepScanAhead() {
    while (!m_LayoutComplete && m_ScanPos < m_WalkNext) {
        const TTextPos before = m_ScanPos;
        ScanStep();
        Estimate();
        if (m_ScanPos == before && !m_LayoutComplete) break;
    }
}

TLinesViewer::TPrintRange TTextViewer::PrintRangeLines(int printRange, TTextPos fromPage, TTextPos toPage) {
    if (!m_TextBuffer) return {.None = true};
    if (printRange == 1) return SelectionRange();
    if (printRange == 2) return PageRange(fromPage, toPage);
    // A text that can be counted in a moment is, so that the sheet count shown is exact; a longer
    // one is counted as it prints.
    QElapsedTimer clock;
    clock.start();
    while (!m_LayoutComplete && clock.elapsed() < 250)
        ScanStep();
    Estimate();
    m_PrintFirst = {0, 0, 1};
    return {};
}

TLinesViewer::TPrintRange TTextViewer::SelectionRange() {
    // The selection's line and page numbers are exact once the scan has passed its end.
    const TTextPos end = m_Sel.EndLine.Offset;
    if (!ScanWhile([&] { return m_ScanPos <= end; })) return {.None = true};
    m_PrintFirst = m_Sel.StartLine;
    TPrintRange range{m_Sel.Start.Line, m_Sel.End.Line, m_Sel.StartLine.Page, m_Sel.EndLine.Page};
    // A selection that ends at the start of a line has nothing of that line, nor of its page.
    if (!m_Sel.IsColumn() && m_Sel.End.Char == 0 && m_Sel.End.Line > m_Sel.Start.Line) {
        JumpTo(m_Sel.EndLine.Offset, m_Sel.EndLine.Line, m_Sel.EndLine.Page, true);
        PrevLine();
        range.Last = m_WalkLine;
        range.LastPage = m_WalkPage;
    }
    return range;
}

TLinesViewer::TPrintRange TTextViewer::PageRange(TTextPos fromPage, TTextPos toPage) {
    // The page lookups walk forwards from the text's start, whose numbers are exact.
    Restart();
    const TTextPos first = PageToLine(fromPage);
    if (fromPage < 1 || (m_LayoutComplete && fromPage > m_PageCount))
        throw EUserError("The specified page does not exist");
    m_PrintFirst = {m_WalkStart, m_WalkLine, m_WalkPage};
    toPage = std::max(toPage, fromPage);
    const TTextPos next = PageToLine(toPage + 1);
    // Up to the text's end when it ends before page toPage + 1: its last line too.
    if (m_WalkPage > toPage) return {first, next - 1, fromPage, toPage};
    return {first, next, fromPage, std::min(toPage, m_WalkPage)};
}

bool TTextViewer::PrintPageLines(TTextPos& line, TTextPos last, TTextPos page, int printRange) {
    if (line == m_PrintFirst.Line && m_WalkStart != m_PrintFirst.Offset) { // a copy begins
        if (m_PrintFirst.Offset == 0)
            Restart();
        else
            JumpTo(m_PrintFirst.Offset, m_PrintFirst.Line, m_PrintFirst.Page, true);
    }
    TTextPos y = m_PrintMargins[1];
    for (;;) {
        if (last >= 0 && m_WalkLine > last) return false;
        if (m_WalkPage > page) return true; // the first line of a later page
        // A page-break line opens its page but shows nothing on paper.
        if (m_WalkBreak != 2 && !m_TextBuffer->IsFormFeedAt(m_WalkStart)) {
            PrintLine(m_PrintMargins[0], y, printRange);
            y += m_PrinterLineHeight;
        }
        KeepScanAhead();
        if (!NextLine()) {
            line = m_WalkLine + 1;
            return false;
        }
        line = m_WalkLine;
    }
}

void TTextViewer::PrintLine(TTextPos x, TTextPos y, int printRange) {
    TTextPos from = m_WalkStart, to = m_WalkStart + m_WalkLength;
    if (printRange == 1 && m_Sel.IsColumn()) {
        TTextPos left = from, right = from, width = 0;
        if (m_Sel.ColLeft > 0) m_TextBuffer->PosFromX(left, m_Sel.ColLeft, width);
        if (m_Sel.ColRight > 0) m_TextBuffer->PosFromX(right, m_Sel.ColRight, width);
        to = std::min(std::max(left, right), to);
        from = std::min({left, right, to});
    } else if (printRange == 1) {
        if (m_WalkLine == m_Sel.Start.Line) from = std::clamp(m_Sel.StartOffset, from, to);
        if (m_WalkLine == m_Sel.End.Line) to = std::clamp(m_Sel.EndOffset, from, to);
    }
    m_TextBuffer->DrawRun(x, y, x, to - from, from);
}
