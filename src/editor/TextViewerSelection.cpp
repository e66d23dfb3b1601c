// The selection of TTextViewer: kept as byte offsets too, so that it survives relayout; found by
// search.

#include <algorithm>

#include <QClipboard>
#include <QGuiApplication>
#include <QWidget>

#include "editor/TextViewer.h"
#include "text/Exceptions.h"
#include "text/FileStream.h"
#include "text/SearchSyntax.h"

const char* const TTextViewer::ColumnTextFormat =
    "application/x-qt-windows-mime;value=\"QUORVEL_COLUMN_TEXT\"";

TTextPos TTextViewer::XOfChar(TViewPos pos) {
    WalkToLine(pos.Line, false);
    const TTextPos inLine = std::min(pos.Char, m_WalkLength);
    return m_TextBuffer->MeasureWidth(m_WalkStart, m_WalkStart + inLine) + (pos.Char - inLine) * m_CharWidth;
}

TViewPos TTextViewer::AtCharStart(TViewPos pos) {
    if (m_TextBuffer->CharSet() != TCharSets::csUtf8 || pos.Char <= 0) return pos;
    WalkToLine(pos.Line, false);
    if (pos.Char >= m_WalkLength) return pos;
    return {std::max<TTextPos>(0, m_TextBuffer->CharStart(m_WalkStart + pos.Char) - m_WalkStart), pos.Line};
}

void TTextViewer::SetSelection(TViewPos start, TViewPos end, TSelModes mode) {
    if (m_TextBuffer) {
        // A column's ends take their character indexes from other lines, where characters may be longer.
        start = AtCharStart(start);
        end = AtCharStart(end);
        const bool column = mode == TSelModes::smColumn;
        if (!column) m_Sel.ColLeft = m_Sel.ColRight = 0;
        // Offsets and anchors follow the ends that changed; (0, 0) outside a column is offset 0.
        auto place = [&](TViewPos pos, TViewPos old, TTextPos& offset, TLineAnchor& anchor, TTextPos& x) {
            if (pos == old && mode == m_Sel.Mode) return;
            if (!column && pos == TViewPos{}) {
                offset = 0;
                anchor = {};
                return;
            }
            offset = PosToOffset(pos);
            anchor = {m_WalkStart, m_WalkLine, m_WalkPage};
            if (column) x = XOfChar(pos);
        };
        // The old ends stay anchors of the walk until both new ones are placed.
        TTextPos startOffset = m_Sel.StartOffset, endOffset = m_Sel.EndOffset;
        TLineAnchor startAnchor = m_Sel.StartLine, endAnchor = m_Sel.EndLine;
        place(start, m_Sel.Start, startOffset, startAnchor, m_Sel.ColLeft);
        place(end, m_Sel.End, endOffset, endAnchor, m_Sel.ColRight);
        m_Sel.StartOffset = startOffset;
        m_Sel.StartLine = startAnchor;
        m_Sel.EndOffset = endOffset;
        m_Sel.EndLine = endAnchor;
    }
    TLinesViewer::SetSelection(start, end, mode);
    // Whatever is selected becomes the primary selection, once the selecting (a drag) comes to rest.
    if (m_Sel.Exists() && QGuiApplication::clipboard()->supportsSelection()) m_PrimaryTimer.start(0);
}

TTextPos TTextViewer::SelectionSize() {
    if (!m_Sel.Exists()) return 0;
    if (!m_Sel.IsColumn()) return m_Sel.StreamLength();
    while (!m_LayoutComplete && m_ScanLine < m_Sel.End.Line)
        ScanStep();
    return (std::abs(m_Sel.End.Char - m_Sel.Start.Char) + 2) * (m_Sel.End.Line - m_Sel.Start.Line + 1) + 1;
}

void TTextViewer::SelectAll() {
    SetCaretLine(m_LastLine);
    SetSelection({0, 0}, OffsetToPos(TextSize()), TSelModes::smStream); // the text's final line break too
    InvalidateAll();
}

// Word boundaries ---------------------------------------------------------------------------------

TTextPos TTextViewer::WordStartOffset(TTextPos offset) {
    TLinesBuffer& text = *m_TextBuffer;
    auto before = [&text](TTextPos pos) { return pos > 0 ? text.CharBefore(pos) : -1; };
    int length = 1;
    TTextPos pos = text.CharStart(std::min(offset, TextSize() - 1));
    while (pos >= 0 && !text.IsWordCharAt(pos, length))
        pos = before(pos);
    while (pos >= 0 && text.IsWordCharAt(pos, length))
        pos = before(pos);
    return pos < 0 ? 0 : text.CharAfter(pos);
}

TTextPos TTextViewer::WordEndOffset(TTextPos pos) {
    for (int length = 1; m_TextBuffer->IsWordCharAt(pos, length);)
        pos += length;
    return pos;
}

TViewPos TTextViewer::WordStart(TViewPos pos) {
    return OffsetToPos(WordStartOffset(PosToOffset(pos)));
}

TViewPos TTextViewer::WordEnd(TViewPos pos) {
    return OffsetToPos(WordEndOffset(PosToOffset(pos)));
}

TViewPos TTextViewer::WordAndSpacesEnd(TViewPos pos) {
    TTextPos i = WordEndOffset(PosToOffset(pos));
    const TTextPos size = TextSize();
    while (i < size && (*m_TextBuffer->GetCharPtr(i) == ' ' || *m_TextBuffer->GetCharPtr(i) == '\t'))
        ++i;
    return OffsetToPos(i);
}

TViewPos TTextViewer::PointToPos(TTextPos x, TTextPos line) {
    if (!m_TextBuffer) return {};
    WalkToLine(line, false);
    TTextPos pos = m_WalkStart, width = 0;
    if (x > 0) m_TextBuffer->PosFromX(pos, x, width);
    TTextPos ch = pos - m_WalkStart;
    if (x > m_WalkEndX)
        ch = m_WalkLength;
    else if (x - width > m_CharWidth / 2 && ch < m_WalkLength)
        ch = CharAfterIn(m_WalkStart, m_WalkLength, ch);
    return {ch, m_WalkLine};
}

// The paragraph of a fourth click (or third, with TripleClick): from the start of the hard line to the
// start of the line after its last display line, so its line break is included.
void TTextViewer::MouseUpSelect() {
    if (!m_TextBuffer || !(m_ClickState == 3 || (m_ClickState == 2 && m_TripleClick))) return;
    TTextPos start = CaretOffset();
    m_TextBuffer->FindLineStart(start);
    WalkToLine(m_CaretLine, false);
    while (!m_WalkEnded && !m_TextBuffer->IsFormFeedAt(m_WalkNext) && NextLine()) {
    }
    const TTextPos end = m_WalkNext;
    const TViewPos from = OffsetToPos(start);
    SetSelection(from, OffsetToPos(end), TSelModes::smStream);
    InvalidateAll();
}

// Copying out -------------------------------------------------------------------------------------

std::string TTextViewer::CopyColumn() {
    if (!m_Sel.IsColumn()) throw EInternalError("Not in Column Selection Mode");
    std::string bytes;
    WalkToLine(m_Sel.Start.Line, false);
    for (TTextPos line = m_Sel.Start.Line; line <= m_Sel.End.Line; ++line) {
        TTextPos a = m_WalkStart, b = m_WalkStart, width = 0;
        if (m_Sel.ColLeft > 0) m_TextBuffer->PosFromX(a, m_Sel.ColLeft, width);
        if (m_Sel.ColRight > 0) m_TextBuffer->PosFromX(b, m_Sel.ColRight, width);
        if (a > b) std::swap(a, b);
        bytes += m_TextBuffer->GetText(a, b - a); // the slices size the block, whatever the font
        bytes += "\r\n";
        if (!NextLine()) break;
    }
    return bytes;
}

std::string TTextViewer::GetSelectedText() {
    if (!m_Sel.Exists()) return {};
    if (m_Sel.IsColumn()) return CopyColumn();
    return m_TextBuffer->GetText(m_Sel.StartOffset, SelectionSize());
}

void TTextViewer::SaveSelectionToFile(const std::filesystem::path& name) {
    if (!m_Sel.Exists()) throw EUserError("no text selected");
    TBusy busy(*this, SelectionSize() + 1);
    TFileStream file(name, TFileStream::TMode::fmCreate);
    if (m_Sel.IsColumn()) {
        const std::string bytes = CopyColumn();
        file.Write(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<TTextPos>(bytes.size()));
    } else {
        m_TextBuffer->CopyTo(file, m_Sel.StartOffset, SelectionSize());
    }
}

std::string TTextViewer::WordAtCaret() {
    if (!m_TextBuffer) return m_SearchText;
    const TTextPos start = WordStartOffset(CaretOffset());
    const TTextPos end = WordEndOffset(start);
    const std::string word = m_TextBuffer->GetText(start, std::min<TTextPos>(end - start, 255));
    return word.empty() ? m_SearchText : word;
}

std::string TTextViewer::GetLineText(TTextPos line, TTextPos start, TTextPos count) {
    if (!m_TextBuffer) return {};
    WalkToLine(line, false);
    return m_TextBuffer->GetText(m_WalkStart + std::min(start, m_WalkLength), count);
}

// Search ------------------------------------------------------------------------------------------

bool TTextViewer::Find(QWidget* dialog, const std::string& text, TFindOptions options) {
    m_SearchOptions = options;
    m_SearchText = TranslateSearchText(text);
    SetState(sfSearchSet, !m_SearchText.empty());
    setFocus();
    return FindNext(dialog);
}

bool TTextViewer::FindNext(QWidget* dialog) {
    if (m_State & sfSearching) {
        Beep();
        return false;
    }
    if (!m_TextBuffer) return false;
    const bool down = m_SearchOptions & frDown;
    TTextPos pos = !m_Sel.Exists() ? CaretOffset() : down ? m_Sel.EndOffset : m_Sel.StartOffset - 1;
    if (pos < 0) return false; // upward from a hit at the very start
    SetState(sfSearching, true);
    bool found = false;
    try {
        TBusy busy(*this, TextSize());
        found = m_TextBuffer->Find(pos, m_SearchText, m_SearchOptions);
        if (found) SelectHit(pos, pos + static_cast<TTextPos>(m_SearchText.size()));
    } catch (...) {
        SetState(sfSearching, false);
        throw;
    }
    SetState(sfSearching, false);
    if (found && dialog) MoveDialogOffCaret(*dialog);
    return found;
}

void TTextViewer::SelectHit(TTextPos start, TTextPos end) {
    JumpIfFar(start, 4096);
    const TViewPos from = OffsetToPos(start);
    const TViewPos to = OffsetToPos(end);
    m_Sel.Anchor = from;
    SetCaretLine(to.Line);
    SetCaretChar(to.Char);
    SetSelection(from, to, TSelModes::smStream);
    InvalidateAll();
}

void TTextViewer::MoveDialogOffCaret(QWidget& dialog) {
    if (!dialog.isVisible()) return;
    const QPoint rowTop =
        viewport()->mapToGlobal(QPoint(0, static_cast<int>((m_CaretLine - m_TopLine) * m_LineHeight)));
    const QRect caretRow(rowTop, QSize(ClientWidth(), static_cast<int>(m_LineHeight)));
    QRect frame = dialog.frameGeometry();
    if (!frame.intersects(caretRow)) return;
    if (frame.height() >= caretRow.top())
        frame.moveTop(caretRow.bottom() + 1);
    else
        frame.moveBottom(caretRow.top() - 1);
    dialog.move(frame.topLeft());
    dialog.activateWindow();
}
