#include "editor/TextViewer.h"

#include <algorithm>

#include "text/Exceptions.h"
#include "text/Utf8.h"

TTextViewer::TTextViewer(QWidget* parent) : TLinesViewer(parent) {
    Constructed();
    m_PrimaryTimer.setSingleShot(true);
    m_PrimaryTimer.setInterval(0);
    connect(&m_PrimaryTimer, &QTimer::timeout, this, [this] { Guarded([this] { OfferPrimary(); }); });
}

TTextViewer::~TTextViewer() = default;

void TTextViewer::SetTextBuffer(std::unique_ptr<TLinesBuffer> buffer) {
    m_TextBuffer = std::move(buffer);
    if (!m_TextBuffer) return;
    m_TextBuffer->SetCanvas(&m_Canvas);
    m_TextBuffer->OnChange = [this](TTextBuffer& text) {
        SetState(sfEmpty, text.TextSize() == 0);
        if (OnChange) OnChange(*this);
    };
    m_TextBuffer->OnSearchStatus = [this](TTextPos done, bool& cancelled) { cancelled = !PollAbort(done); };
    TextLoaded();
}

TTextPos TTextViewer::TextSize() const {
    return m_TextBuffer ? m_TextBuffer->TextSize() : 0;
}

void TTextViewer::Reset() {
    if (m_TextBuffer) m_TextBuffer->Clear();
    TextLoaded();
}

void TTextViewer::TextLoaded() {
    TLinesViewer::Reset();
    m_ScanPage = 1;
    m_AvgLinesPerPage = 1;
    m_WalkPage = 1;
    m_HardBreakLines.clear();
    m_WalkHardIndex = -1;
    m_Sel.StartOffset = m_Sel.EndOffset = 0;
    m_Sel.StartLine = m_Sel.EndLine = {};
    m_MaxLineWidth = 0;
    m_TopStart = 0;
    m_CaretStart = 0;
    m_Estimated = false;
    m_LayoutComplete = true;
    m_PendingLine = 0;
    if (!m_TextBuffer) return;
    ApplyWrapWidth();
    m_HorzScrollBar->SetLimit(std::max<TTextPos>(ClientWidth() - 1, m_MaxLineWidth + m_LeftMargin));
    Restart();
    RestartScan();
    ScanStep();
    Estimate();
    MoveCaretTo(0, 0);
    TIdleDriver::Instance().Kick();
}

// Offsets and positions -------------------------------------------------------------------------

TTextPos TTextViewer::CaretOffset() {
    return m_CaretStart + std::min(m_CaretChar, m_LineLength);
}

TTextPos TTextViewer::PosToOffset(TViewPos pos) {
    WalkToLine(pos.Line, false);
    // The text's final line break has no line after it: a place right of the last line takes it in.
    const TTextPos last = m_WalkNext >= TextSize() ? TextSize() - m_WalkStart : m_WalkLength;
    return m_WalkStart + std::min(pos.Char, last);
}

TViewPos TTextViewer::OffsetToPos(TTextPos offset) {
    WalkToOffset(offset);
    return {offset - m_WalkStart, m_WalkLine};
}

void TTextViewer::GoToOffset(TTextPos offset, bool updateNow) {
    const TViewPos pos = OffsetToPos(std::clamp<TTextPos>(offset, 0, TextSize()));
    SetCaretLine(pos.Line);
    SetCaretChar(pos.Char);
    if (updateNow) viewport()->repaint();
}

void TTextViewer::GoToLine(TTextPos number) {
    m_PendingLine = 0;
    if (number < 1) {
        GoToOffset(0, false);
        return;
    }
    const TTextPos lines = m_LastLine + 1 - static_cast<TTextPos>(m_HardBreakLines.size());
    if (m_LayoutComplete && !m_Estimated && number > lines)
        throw EUserError("The specified line does not exist");
    // A far line is placed by its share of the bytes rather than by laying out every line before it.
    PutCaretOnLine(number, true);
    if (m_Estimated) { // the line the caret stands on is a guess: the scan will tell
        m_PendingLine = number;
        m_PendingOffset = CaretOffset();
        m_PendingRow = m_CaretLine - m_TopLine;
    }
}

void TTextViewer::PutCaretOnLine(TTextPos number, bool estimate) {
    SetState(sfGoToLine, true);
    WalkToLine(number - 1, estimate);
    // Hard page-break lines do not count.
    while (m_WalkHardIndex + number > m_WalkLine && NextLine()) {
    }
    SetCaretLine(m_WalkLine);
    SetCaretChar(0);
    SetState(sfGoToLine, false);
}

void TTextViewer::FinishGoToLine() {
    const TTextPos number = m_PendingLine;
    m_PendingLine = 0;
    if (CaretOffset() != m_PendingOffset) return; // the caret went elsewhere since
    PutCaretOnLine(number, false);                // from the caret's line, whose number is exact now
    SetTopLine(m_CaretLine - m_PendingRow);
    m_TopStart = PosToOffset({0, m_TopLine}); // the top line the scan is to find is this one now
    InvalidateAll();
}

void TTextViewer::GoToBookmark(int handle) {
    const TTextPos offset = m_TextBuffer ? m_TextBuffer->GetBookmark(handle) : -1;
    if (offset < 0) {
        Beep();
    } else {
        GoToOffset(offset, false);
    }
    InvalidateAll();
}

TTextPos TTextViewer::LineToPage(TTextPos line) {
    WalkToLine(line, false);
    return m_WalkPage;
}

TTextPos TTextViewer::PageToLine(TTextPos page) {
    TBusy busy(*this, m_PageCount);
    while (!m_LayoutComplete && m_ScanPage <= page)
        ScanStep();
    while (page <= m_WalkPage && PrevLine()) {
    }
    while (page > m_WalkPage && NextLine()) {
    }
    return m_WalkLine;
}

void TTextViewer::SetTabStopCount(int count) {
    if (!m_TextBuffer) return;
    m_TextBuffer->SetNumTabStops(count);
    InvalidateAll();
}

void TTextViewer::SetTabStop(int index, float inches) {
    if (!m_TextBuffer) return;
    m_TextBuffer->SetTabStop(index, inches);
    LayOutWalkLine(); // the walker's line, measured with the old stop, is laid out again
    InvalidateAll();
}

// Line-level operations of the caret ------------------------------------------------------------

void TTextViewer::GetLineInfo(TTextPos& line, TTextPos& endX, TTextPos& sectionStart, TTextPos& lineBase,
                              TTextPos& page, TTextPos& length) {
    if (!m_TextBuffer) {
        endX = sectionStart = lineBase = length = 0;
        page = 1;
        return;
    }
    WalkToLine(line, true);
    line = m_WalkLine;
    endX = m_WalkEndX;
    length = m_WalkLength;
    page = m_WalkPage;
    lineBase = m_WalkHardIndex + 1;
    sectionStart =
        lineBase > 0
            ? m_HardBreakLines[static_cast<size_t>(
                  std::min<TTextPos>(lineBase, static_cast<TTextPos>(m_HardBreakLines.size())) - 1)] +
                  1
            : 0;
    m_CaretStart = m_WalkStart;
}

TTextPos TTextViewer::CharToX(TTextPos ch) {
    if (!m_TextBuffer) return 0;
    WalkToLine(m_CaretLine, false);
    return m_TextBuffer->MeasureWidth(m_WalkStart, m_WalkStart + ch);
}

void TTextViewer::XToChar(TTextPos& x, TTextPos& ch) {
    if (!m_TextBuffer) {
        ch = 0;
        return;
    }
    WalkToLine(m_CaretLine, false);
    if (x > m_WalkEndX) {
        ch = m_WalkLength;
        if (m_WrapMode == TWrapModes::opWrapScreenWidth && x > m_MaxLineWidth) {
            x = m_HorzOffset + m_LeftMargin + m_HorzScrollBar->Limit();
        } else {
            // Right of the end the caret stands on the nearest whole space: where typing puts the next
            // character after filling the line up with spaces.
            const TTextPos space = SpaceWidth();
            x = m_WalkEndX + (x - m_WalkEndX + space / 2) / space * space;
        }
        return;
    }
    if (x == 0) {
        ch = 0;
        return;
    }
    TTextPos pos = m_WalkStart, width = 0;
    if (!m_TextBuffer->PosFromX(pos, x, width) && pos >= m_TextBuffer->TextSize()) {
        ch = m_TextBuffer->TextSize() - m_WalkStart;
        return;
    }
    ch = pos - m_WalkStart;
    if (x - width > m_CharWidth / 2 && ch < m_WalkLength) {
        ch = CharAfterIn(m_WalkStart, m_WalkLength, ch);
        x = m_TextBuffer->MeasureWidth(m_WalkStart, m_WalkStart + ch);
    } else {
        x = width;
    }
}

TTextPos TTextViewer::CharAfterIn(TTextPos start, TTextPos length, TTextPos ch) {
    return std::min(length, m_TextBuffer->CharAfter(start + ch) - start);
}

TTextPos TTextViewer::NextCharOnLine(TTextPos ch) {
    return m_TextBuffer ? CharAfterIn(m_CaretStart, m_LineLength, ch) : ch + 1;
}

TTextPos TTextViewer::PrevCharOnLine(TTextPos ch) {
    if (!m_TextBuffer) return ch - 1;
    return std::max<TTextPos>(0, m_TextBuffer->CharBefore(m_CaretStart + ch) - m_CaretStart);
}

TTextPos TTextViewer::CharStartOnLine(TTextPos ch) {
    if (!m_TextBuffer || ch <= 0 || ch >= m_LineLength) return ch;
    return std::max<TTextPos>(0, m_TextBuffer->CharStart(m_CaretStart + ch) - m_CaretStart);
}

TTextPos TTextViewer::SpaceWidth() const {
    return m_TextBuffer ? std::max<TTextPos>(1, m_TextBuffer->ByteWidth(' ')) : 1;
}

TTextPos TTextViewer::CaretColumn() const {
    TTextPos chars = m_CaretChar;
    if (m_TextBuffer && m_TextBuffer->CharSet() == TCharSets::csUtf8 && m_CaretChar > 0) {
        const std::string before = m_TextBuffer->GetText(m_CaretStart, m_CaretChar); // counted in characters
        const auto* first = reinterpret_cast<const unsigned char*>(before.data());
        chars = Utf8CharCount(first, first + before.size());
    }
    if (m_CaretX <= m_LineEndX) return chars;
    return chars + (m_CaretX - m_LineEndX) / SpaceWidth();
}

void TTextViewer::CaretMoved() {
    TIdleDriver::Instance().Kick();
}

void TTextViewer::IdleStep(bool& done) {
    done = true;
    if (m_TextBuffer && (m_Estimated || !m_LayoutComplete) && !(m_State & sfBusy)) {
        ScanStep();
        Estimate();
        if (m_LayoutComplete && !m_Estimated) m_LastIdleLine = -1; // the numbers are exact now: say so
        if (m_PendingLine > 0 && !m_Estimated) FinishGoToLine();
        done = false;
    }
    if (CaretColumn() != m_LastIdleChar || m_CaretLine != m_LastIdleLine) {
        m_LastIdleChar = CaretColumn();
        m_LastIdleLine = m_CaretLine;
        if (OnCaretMoved) OnCaretMoved(*this);
    }
}

void TTextViewer::focusInEvent(QFocusEvent* event) {
    TLinesViewer::focusInEvent(event);
    if (m_AutoIdle) m_FocusIdle = std::make_unique<TIdleDriver::TRegistration>(*this);
}

void TTextViewer::focusOutEvent(QFocusEvent* event) {
    TLinesViewer::focusOutEvent(event);
    m_FocusIdle.reset();
}

// Changes of the text ----------------------------------------------------------------------------

bool TTextViewer::WordGoesOnBefore(TTextPos pos, TTextPos lineStart) {
    auto breaks = [this](TTextPos at) {
        const unsigned char c = *m_TextBuffer->GetCharPtr(at);
        return c == ' ' || c == '-' || c == '\n' || c == '\f';
    };
    for (TTextPos at = std::min(pos, TextSize()) - 1; at >= lineStart; --at)
        if (breaks(at)) return false;
    return lineStart > 0 && !breaks(lineStart - 1);
}

TTextViewer::TChangeStart TTextViewer::BeforeChange(TTextPos pos) {
    WalkToOffset(pos);
    // Wrapping at words: a word shortened or split at `pos` may move up, wholly or in part, to the line
    // before the one it starts on. (A word that fills a whole line cannot.)
    if (m_WrapMode != TWrapModes::opNone && WordGoesOnBefore(pos, m_WalkStart)) PrevLine();
    TChangeStart start{0, 0, 1}; // the text's start: its page is found after the change
    if (m_WalkLine > 0 && m_WalkPrev < m_WalkStart)
        start = {m_WalkPrev, m_WalkLine - 1, m_WalkPage - (m_WalkBreak != 0 ? 1 : 0)};
    RelayoutFrom(start.Offset); // the scan goes over it again
    return start;
}

void TTextViewer::AfterChange(const TChangeStart& from, TTextPos caret) {
    if (from.Line == 0)
        Restart(); // the text's start: its page depends on the new text
    else
        JumpTo(from.Offset, from.Line, from.Page, true);
    // Every anchor now starts at the unchanged line; the selection is gone.
    m_CaretStart = m_WalkStart;
    m_CaretLine = m_WalkLine;
    m_CaretPage = m_WalkPage;
    m_Sel.Start = m_Sel.End = m_Sel.Anchor = {0, m_WalkLine};
    m_Sel.StartOffset = m_Sel.EndOffset = m_WalkStart;
    m_Sel.StartLine = m_Sel.EndLine = {m_WalkStart, m_WalkLine, m_WalkPage};
    TLinesViewer::SetSelection(m_Sel.Start, m_Sel.End, TSelModes::smNone);
    m_TopStart = -1;
    if (!m_LayoutComplete && m_WalkLine > m_LastLine) SetLastLine(m_WalkLine);
    caret = std::clamp<TTextPos>(caret, 0, TextSize());
    // A change that ends far from where it began (a Replace All) leaves the caret on an estimated line
    // rather than laying out everything in between now.
    JumpIfFar(caret, 256 << 10);
    GoToOffset(caret, false);
    InvalidateAll();
    CaretMoved();
}
