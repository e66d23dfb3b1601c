// The background layout scan of TTextViewer, the line-count estimate and the wrap modes.

#include <algorithm>
#include <cmath>
#include <limits>

#include <QPrinter>

#include "editor/IdleDriver.h"
#include "editor/PrinterAccess.h"
#include "editor/TextViewer.h"

namespace {
// A step lays out this many lines one at a time (those at anchors, form feeds, the text's end), and
// the lines between them in bulk, until it has covered this much text.
constexpr TTextPos kLinesPerStep = 100;
constexpr TTextPos kBytesPerStep = 256 << 10;
constexpr TTextPos kNoLimit = std::numeric_limits<TTextPos>::max();
} // namespace

void TTextViewer::RestartScan() {
    m_ScanPos = m_ScanLine = 0;
    m_ScanPage = 1;
    m_ScanBreak = 0;
    m_HardBreakLines.clear();
    m_LayoutComplete = TextSize() == 0;
    m_Estimated = TextSize() > 0;
}

void TTextViewer::RelayoutFrom(TTextPos offset) {
    if (m_ScanDepth > 0 || offset >= m_ScanPos) return;
    if (!m_Estimated && m_CaretStart > 0 && offset >= m_CaretStart) {
        m_ScanPos = m_CaretStart;
        m_ScanLine = m_CaretLine;
        m_ScanPage = m_CaretPage;
    } else if (m_Estimated || offset < m_WalkPrev || m_WalkLine == 0) {
        RestartScan();
        return;
    } else {
        m_ScanPos = m_WalkPrev;
        m_ScanLine = std::max<TTextPos>(0, m_WalkLine - 1);
        m_ScanPage = m_WalkPage - (m_WalkBreak != 0 ? 1 : 0);
    }
    m_HardBreakLines.erase(std::upper_bound(m_HardBreakLines.begin(), m_HardBreakLines.end(), m_ScanLine),
                           m_HardBreakLines.end());
    m_ScanBreak = BreakKind(m_ScanLine, static_cast<TTextPos>(m_HardBreakLines.size()) - 1);
    m_LayoutComplete = TextSize() == 0;
    m_Estimated = TextSize() > 0;
}

void TTextViewer::ScanStep() {
    if (m_ScanDepth > 0 || (m_State & (sfMouseSelecting | sfDragging)) || !m_TextBuffer) return;
    struct TGuard {
        int& Depth;
        explicit TGuard(int& depth) : Depth(depth) { ++Depth; }
        ~TGuard() { --Depth; }
    } guard(m_ScanDepth);
    TLinesBuffer& text = *m_TextBuffer;
    const TTextPos size = text.TextSize();
    if (m_ScanPos == 0 && m_ScanLine == 0 && m_HardBreakLines.empty() && text.IsFormFeedAt(0)) {
        m_HardBreakLines.push_back(0);
        m_ScanPage = 2;
        m_ScanBreak = 2;
    }
    const TTextPos stepEnd = m_ScanPos + kBytesPerStep;
    for (TTextPos lines = 0, budget = kLinesPerStep; lines < budget && m_ScanPos < stepEnd; ++lines) {
        if (m_ScanPos == m_CaretStart) {
            m_CaretPage = m_ScanPage;
            m_CaretLine = m_ScanLine;
        }
        if (m_ScanPos == m_TopStart && m_TopLine != m_ScanLine) {
            m_TopLine = m_ScanLine;
            m_VertScrollBar->SetPosition(m_ScanLine);
            budget += m_VisibleLines;
        }
        for (auto [anchor, end] :
             {std::pair{&m_Sel.StartLine, &m_Sel.Start}, std::pair{&m_Sel.EndLine, &m_Sel.End}})
            if (m_ScanPos == anchor->Offset) {
                anchor->Line = end->Line = m_ScanLine;
                anchor->Page = m_ScanPage;
            }
        if (m_ScanPos == m_WalkStart) {
            m_WalkLine = m_ScanLine;
            m_WalkPage = m_ScanPage;
            m_WalkBreak = m_ScanBreak;
            m_WalkHardIndex = static_cast<TTextPos>(m_HardBreakLines.size()) - 1;
        }
        TTextPos next = m_ScanPos, width = 0, count = 0;
        text.NextLineEnd(next, width, count);
        NoteLineWidth(width);
        const bool atEnd = next >= size || next <= m_ScanPos;
        NoteScannedTo(atEnd ? size : next);
        if (atEnd) {
            m_ScanPos = std::max(next, m_ScanPos);
            SetLastLine(m_ScanLine);
            m_LayoutComplete = true;
            m_PageCount = m_ScanPage;
            m_VertScrollBar->SetPosition(m_TopLine);
            return;
        }
        AdvanceScan(1, next);
        ScanInBulk(stepEnd);
    }
}

void TTextViewer::NoteLineWidth(TTextPos width) {
    if (width > m_MaxLineWidth && m_WrapMode != TWrapModes::opWrapScreenWidth) {
        m_MaxLineWidth = width;
        m_HorzScrollBar->SetLimit(width + m_LeftMargin + m_CharWidth);
    }
}

void TTextViewer::NoteScannedTo(TTextPos next) {
    if (!m_Estimated) return;
    // Past every provisional line number (or at the end), the numbers are exact again.
    if (next < TextSize() && (next <= m_WalkStart || next <= m_CaretStart || next <= m_Sel.EndOffset)) return;
    m_Estimated = false;
    m_LastIdleLine = -1;
    InvalidateAll();
}

void TTextViewer::AdvanceScan(TTextPos lines, TTextPos pos) {
    // Of the lines that start now, all but the last hold no form feed: their page breaks are soft,
    // every LinesPerPage lines after the last hard one.
    const TTextPos first = m_ScanLine + 1, last = m_ScanLine + lines - 1;
    if (last >= first) {
        const TTextPos hard = m_HardBreakLines.empty() ? 0 : m_HardBreakLines.back();
        const TTextPos perPage = std::max<TTextPos>(1, m_LinesPerPage);
        const TTextPos pages = (last - hard) / perPage - (first - 1 - hard) / perPage;
        if (pages > 0) {
            const TTextPos lastPage = hard + (last - hard) / perPage * perPage;
            const TTextPos firstPage = lastPage - (pages - 1) * perPage;
            m_ScanPage += pages;
            m_AvgLinesPerPage = std::max<TTextPos>(1, lastPage / m_ScanPage);
            // The first of those page lines at or below the top line, if any, may be in view.
            const TTextPos shown =
                m_TopLine <= firstPage
                    ? firstPage
                    : firstPage + (m_TopLine - firstPage + perPage - 1) / perPage * perPage;
            if (shown <= lastPage && shown < m_TopLine + m_VisibleLines) InvalidateAll();
        }
    }
    m_ScanPos = pos;
    m_ScanLine += lines;
    if (m_TextBuffer->IsFormFeedLine(m_ScanPos)) {
        m_HardBreakLines.push_back(m_ScanLine);
        m_ScanBreak = 2;
        CountScanPage();
    } else if (SoftBreakBefore(m_ScanLine, static_cast<TTextPos>(m_HardBreakLines.size()) - 1)) {
        m_ScanBreak = 1;
        CountScanPage();
    } else {
        m_ScanBreak = 0;
    }
}

void TTextViewer::CountScanPage() {
    ++m_ScanPage;
    m_AvgLinesPerPage = std::max<TTextPos>(1, m_ScanLine / m_ScanPage);
    if (m_ScanLine >= m_TopLine && m_ScanLine < m_TopLine + m_VisibleLines) InvalidateAll();
}

void TTextViewer::ScanInBulk(TTextPos stepEnd) {
    // Up to the next line start that something is noted at.
    TTextPos stop = stepEnd;
    for (TTextPos anchor :
         {m_CaretStart, m_TopStart, m_Sel.StartLine.Offset, m_Sel.EndLine.Offset, m_WalkStart})
        if (anchor >= m_ScanPos) stop = std::min(stop, anchor);
    if (stop <= m_ScanPos) return;
    TTextPos pos = m_ScanPos;
    TTextPos widest = m_WrapMode == TWrapModes::opWrapScreenWidth ? kNoLimit : m_MaxLineWidth;
    const TTextPos lines = m_TextBuffer->NextLineEnds(pos, stop, kNoLimit, widest);
    if (lines == 0) return;
    NoteLineWidth(widest);
    NoteScannedTo(pos);
    AdvanceScan(lines, pos);
}

void TTextViewer::Estimate() {
    if (TextSize() == 0) {
        SetLastLine(0);
        m_LayoutComplete = true;
        m_Estimated = false;
        m_PageCount = 1;
        return;
    }
    if (!m_LayoutComplete && m_ScanPos > 0) {
        const auto estimate =
            static_cast<TTextPos>(static_cast<long double>(TextSize()) / m_ScanPos * m_ScanLine);
        if (estimate > m_CaretLine) SetLastLine(estimate);
        m_PageCount = m_LastLine / std::max<TTextPos>(1, m_LinesPerPage) + 1;
    }
}

// Wrap modes --------------------------------------------------------------------------------------

void TTextViewer::ApplyWrapWidth() {
    if (!m_TextBuffer) return;
    TLinesBuffer& text = *m_TextBuffer;
    // The layout measures with the zoomed font, so a width in window pixels needs no zoom adjustment;
    // a printer page's width grows and shrinks with the zoom like the font.
    auto zoomed = [this](TTextPos width) { return m_Zoom >= 0 ? width << m_Zoom : width >> -m_Zoom; };
    // While printing, lines are measured on the printer: a width from the screen breaks them where
    // the screen's lines break.
    auto onDevice = [&text](TTextPos width) {
        if (text.OutputDevice() != TOutputDevice::odPrinter) return width;
        return static_cast<TTextPos>(std::llround(static_cast<double>(width) * text.PrinterAvgCharWidth() /
                                                  text.ScreenAvgCharWidth()));
    };
    switch (m_WrapMode) {
    case TWrapModes::opNone:
        text.SetMode(TlbModes::lbDisplay);
        text.SetMaxWidth(0);
        m_MaxLineWidth = 0;
        break;
    case TWrapModes::opWrapScreenWidth:
        text.SetMode(TlbModes::lbDisplay);
        m_MaxLineWidth = std::max<TTextPos>(1, ClientWidth() - 1 - m_LeftMargin - m_RightMargin);
        text.SetMaxWidth(onDevice(m_MaxLineWidth));
        break;
    case TWrapModes::opAbsoluteWrap:
        text.SetMode(TlbModes::lbDisplay);
        m_MaxLineWidth = m_CharWidth * m_MaxLineLength;
        text.SetMaxWidth(onDevice(m_MaxLineWidth));
        if (OnWrapModeChange) OnWrapModeChange(*this);
        break;
    case TWrapModes::opPrinter: {
        text.SetMode(TlbModes::lbPrinter);
        QPrinter* printer = TPrinterAccess::Printer();
        // Without a printer the page is a Letter sheet at the screen's resolution.
        const TTextPos pageWidth = printer
                                       ? printer->pageLayout().fullRectPixels(printer->resolution()).width()
                                       : static_cast<TTextPos>(8.5 * logicalDpiX());
        const TTextPos width =
            std::max<TTextPos>(1, zoomed(pageWidth - m_PrintMargins[0] - m_PrintMargins[2]));
        text.SetMaxWidth(width);
        m_MaxLineWidth =
            std::lround(static_cast<double>(width) / text.LayoutAvgCharWidth() * text.ScreenAvgCharWidth());
        break;
    }
    }
}

void TTextViewer::Relayout() {
    if (!m_TextBuffer) return;
    // Places kept by offset stay on characters' starts when the character set has changed.
    const TTextPos caret = m_TextBuffer->CharStart(CaretOffset());
    const TTextPos row = m_CaretLine - m_TopLine;
    const TSelModes selMode = m_Sel.Mode;
    const TTextPos selStart = m_TextBuffer->CharStart(m_Sel.StartOffset);
    const TTextPos selEnd = m_TextBuffer->CharStart(m_Sel.EndOffset);
    m_Sel.Remove();
    ApplyWrapWidth();
    // Every anchor is stale now. The caret's keeps its number as a guess, but starts a line of the new
    // layout, so that the scan finds it and corrects the number.
    JumpTo(caret, m_CaretLine, m_CaretPage);
    m_CaretStart = m_WalkStart;
    m_TopStart = -1;
    m_HorzScrollBar->SetLimit(std::max<TTextPos>(ClientWidth() - 1, m_MaxLineWidth + m_LeftMargin));
    RestartScan();
    ScanStep();
    Estimate();
    GoToOffset(caret, false);
    SetTopLine(m_CaretLine - row);
    if (selMode != TSelModes::smNone) { // the selection again, from its offsets, laid out anew
        const TViewPos start = OffsetToPos(selStart);
        SetSelection(start, OffsetToPos(selEnd), selMode);
    }
    if (!(m_State & sfPrinting)) InvalidateAll();
    TIdleDriver::Instance().Kick();
}

void TTextViewer::SetCharSet(TCharSets set) {
    if (!m_TextBuffer) return;
    m_TextBuffer->SetCharSet(set);
    Relayout();
}

void TTextViewer::SetWrapMode(TWrapModes mode) {
    m_WrapMode = mode;
    Relayout();
    if (OnWrapModeChange) OnWrapModeChange(*this);
}

void TTextViewer::SetMaxLineLength(TTextPos chars) {
    m_MaxLineLength = std::max<TTextPos>(0, chars);
    if (m_WrapMode == TWrapModes::opAbsoluteWrap) Relayout();
}

void TTextViewer::SetShowLineBreaks(bool show) {
    m_ShowLineBreaks = show;
    InvalidateAll();
}

void TTextViewer::SetShowPageBreaks(TPageBreakDisplayModes mode) {
    m_ShowPageBreaks = mode;
    InvalidateAll();
}

void TTextViewer::FontMeasured() {
    Relayout();
}

void TTextViewer::ResizeHorz() {
    if (m_WrapMode == TWrapModes::opWrapScreenWidth)
        Relayout();
    else
        TLinesViewer::ResizeHorz();
}
