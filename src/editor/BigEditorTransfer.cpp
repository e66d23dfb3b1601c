// Moving text in and out of TBigEditor: cut, paste of stream text and column blocks, drag-and-drop of
// the selection, and Replace.

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>

#include "editor/BigEditor.h"
#include "editor/ClipboardText.h"
#include "editor/QtText.h"
#include "text/Exceptions.h"
#include "text/SearchSyntax.h"

void TBigEditor::CutSelection() {
    if (!m_Sel.Exists()) return;
    CopyToClipboard();
    DeleteSelection();
}

void TBigEditor::PasteClipboard() {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    const TTextPos pos = PrepareInsertion();
    TTextPos end = pos;
    bool reselect = true; // a pasted column is not selected
    if (mime && mime->hasFormat(ColumnTextFormat)) {
        QByteArray data = mime->data(ColumnTextFormat);
        const std::string block(data.constData(), static_cast<size_t>(qstrnlen(
                                                      data.constData(), static_cast<uint>(data.size()))));
        {
            TFlagScope compound([this](bool on) { m_CompoundEdit = on; });
            end = PasteColumnBlock(block, pos);
        }
        Text().EndUndoGroup();
        reselect = false;
    } else if (mime && mime->hasText()) {
        end = InsertText(*mime, pos);
    } else {
        throw Exception("Clipboard is empty");
    }
    if (end == pos) {
        Beep();
        return;
    }
    if (m_SelectAfterPaste && reselect) SetSelection(OffsetToPos(pos), OffsetToPos(end), TSelModes::smStream);
    GoToOffset(end, false);
}

TTextPos TBigEditor::InsertText(const QMimeData& mime, TTextPos pos) {
    const TChangeStart start = BeforeChange(pos);
    TTextPos end = pos;
    const auto* own = qobject_cast<const TClipboardText*>(&mime);
    if (own && own->CharSet() == Text().CharSet()) { // the bytes, without a copy
        const TTextPos before = TextSize();
        Text().InsertStream(own->Snapshot(), 0, own->Snapshot()->Size(), pos);
        end += TextSize() - before;
    } else {
        const std::string bytes = UnicodeToText(mime.text(), Text().CharSet());
        end += Text().InsertFromHandle(
            std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()), pos);
    }
    AfterChange(start, end);
    return end;
}

void TBigEditor::PastePrimary(QPoint at) {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData(QClipboard::Selection);
    if ((m_State & sfBusy) || !mime || !mime->hasText()) {
        Beep();
        return;
    }
    // Pasted where the pointer is; the selection stays as text (it may be what is being pasted).
    SetSelection(m_Sel.Start, m_Sel.Start, TSelModes::smNone);
    MoveCaretTo(m_HorzOffset + at.x() - m_LeftMargin, LineAt(at.y()));
    const TTextPos pos = PrepareInsertion();
    const TTextPos end = InsertText(*mime, pos);
    if (end == pos) Beep();
    GoToOffset(end, false);
}

TTextPos TBigEditor::PasteColumnBlock(const std::string& block, TTextPos pos) {
    // A fresh text model lays the block out the way this editor would show it.
    TEditStream lines;
    lines.SetCanvas(&m_Canvas);
    lines.SetMode(TextBuffer()->Mode());
    lines.SetMaxWidth(TextBuffer()->MaxWidth());
    lines.InsertString(block, 0);
    TEditStream& text = Text();
    const std::string_view lineBreak = text.LineBreakBytes(); // whatever ends the block's lines
    WalkToOffset(pos);
    const TTextPos x = text.MeasureWidth(m_WalkStart, pos);
    const TChangeStart start = BeforeChange(pos);
    WalkToOffset(pos);
    TTextPos end = pos;
    for (TTextPos at = 0; at < lines.TextSize();) {
        const TTextPos from = at;
        TTextPos width = 0, count = 0;
        lines.NextLineEnd(at, width, count);
        const std::string line = lines.GetText(from, count);
        TTextPos insertAt = m_WalkStart;
        if (x <= m_WalkEndX) {
            text.PosFromX(insertAt, x, width);
        } else { // right of the line's end: spaces up to the block's column first
            insertAt = m_WalkStart + m_WalkLength;
            const TTextPos fill = (x - m_WalkEndX) / SpaceWidth();
            text.InsertSpaces(insertAt, fill);
            insertAt += fill;
        }
        text.InsertString(line, insertAt);
        end = insertAt + static_cast<TTextPos>(line.size());
        if (end == text.TextSize()) {
            text.InsertString(lineBreak, end);
            end += static_cast<TTextPos>(lineBreak.size());
        }
        LayOutWalkLine();
        if (at >= lines.TextSize()) break;
        bool next = NextLine();
        while (next && text.IsFormFeedAt(m_WalkStart))
            next = NextLine();
        if (!next) { // the block needs lines the text does not have yet: end the last, add an empty one
            if (!text.IsLineBreakAt(text.TextSize() - 1)) text.InsertString(lineBreak, text.TextSize());
            text.InsertString(lineBreak, text.TextSize());
            LayOutWalkLine();
            NextLine();
        }
    }
    TextBuffer()->SetCanvas(&m_Canvas); // the temporary model took the canvas over
    AfterChange(start, end);
    return end;
}

// Replace ------------------------------------------------------------------------------------------

bool TBigEditor::Replace(QWidget* dialog, const std::string& findText, TFindOptions options,
                         const std::string& replaceWith) {
    m_ReplaceText = TranslateSearchText(replaceWith, Text().LineBreakBytes());
    m_SearchOptions = options;
    m_SearchText = TranslateSearchText(findText);
    SetState(sfSearchSet, !m_SearchText.empty());
    return FindNext(dialog);
}

bool TBigEditor::FindNext(QWidget* dialog) {
    const bool down = m_SearchOptions & frDown;
    if (m_SearchOptions & frReplaceAll) {
        if (m_State & sfSearching) {
            Beep();
            return false;
        }
        TTextPos count = 0;
        {
            TFlagScope searching([this](bool on) { SetState(sfSearching, on); });
            TBusy busy(*this, down ? TextSize() - CaretOffset() : CaretOffset());
            count = ReplaceAll();
        }
        // Reported after busy mode, whose input filter would keep the user from answering a message.
        if (OnReplaceAll) OnReplaceAll(*this, count);
        return true;
    }
    if ((m_SearchOptions & frReplace) && m_Sel.Exists() &&
        SelectionSize() == static_cast<TTextPos>(m_SearchText.size())) {
        const std::string selected = GetSelectedText();
        const bool matchCase = m_SearchOptions & frMatchCase;
        const bool same = std::equal(selected.begin(), selected.end(), m_SearchText.begin(),
                                     m_SearchText.end(), [matchCase](char a, char b) {
                                         auto fold = [](char c) {
                                             return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
                                         };
                                         return matchCase ? a == b : fold(a) == fold(b);
                                     });
        if (same) {
            const TTextPos pos = PrepareInsertion();
            const TChangeStart start = BeforeChange(pos);
            Text().InsertString(m_ReplaceText, pos);
            AfterChange(start, pos + static_cast<TTextPos>(m_ReplaceText.size()));
        }
    }
    return TTextViewer::FindNext(dialog);
}

TTextPos TBigEditor::ReplaceAll() {
    if (m_SearchText.empty()) return 0;
    TEditStream& text = Text();
    const bool down = m_SearchOptions & frDown;
    TTextPos pos = !m_Sel.Exists() ? CaretOffset() : down ? m_Sel.StartOffset : m_Sel.EndOffset;
    // Searching down every change lies after the start; searching up the whole text may change.
    const TChangeStart start = BeforeChange(down ? pos : 0);
    const auto length = static_cast<TTextPos>(m_SearchText.size());
    const auto replacement = static_cast<TTextPos>(m_ReplaceText.size());
    TTextPos count = 0;
    while (pos >= 0 && text.Find(pos, m_SearchText, m_SearchOptions)) {
        const bool goOn = PollAbort(pos);
        text.Replace(pos, length, m_ReplaceText); // one undo record for the whole run
        ++count;
        if (down)
            pos += replacement;
        else
            --pos; // before the replaced text
        if (!goOn || pos >= text.TextSize()) break;
    }
    AfterChange(start, std::clamp<TTextPos>(pos, 0, text.TextSize()));
    text.EndUndoGroup();
    return count;
}

// Drag-and-drop of the selection -----------------------------------------------------------------

bool TBigEditor::OverSelection(TTextPos x, TTextPos line) {
    if (!(m_State & sfSelection) || !m_Sel.OnLine(line)) return false;
    const TViewPos pos = PointToPos(x, line);
    if (m_Sel.IsColumn()) return pos.Char >= m_Sel.Start.Char && pos.Char <= m_Sel.End.Char;
    if (x > m_WalkEndX) return false; // the empty space right of the line's end
    const TTextPos offset = m_WalkStart + std::min(pos.Char, m_WalkLength);
    return m_Sel.Holds(offset);
}

bool TBigEditor::PointerOverSelection(QPoint at) {
    const bool over = OverSelection(m_HorzOffset + at.x() - m_LeftMargin, LineAt(at.y()));
    if (over != bool(m_CursorReasons & crOverSelection)) SetCursorReason(crOverSelection, over);
    return over;
}

void TBigEditor::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        Guarded([&] { PastePrimary(event->position().toPoint()); });
        return;
    }
    // The selection may have changed under a pointer that has not moved since.
    if (event->button() == Qt::LeftButton && !(m_State & sfBusy) &&
        PointerOverSelection(event->position().toPoint())) {
        SetCursorReason(crDragging, true);
        m_UndoCaretPos = CaretOffset();
        SetState(sfDragging, true);
        // Released where it was pressed, the drag is a click: the viewer counts it (word, line, paragraph)
        // and leaves the rest to the drag.
    }
    TTextViewer::mousePressEvent(event);
}

void TBigEditor::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if ((m_State & sfDragging) && (m_CursorReasons & crDragging)) { // the caret follows the pointer
        Guarded([&] { MoveCaretTo(m_HorzOffset + at.x() - m_LeftMargin, LineAt(at.y())); });
        return;
    }
    TTextViewer::mouseMoveEvent(event);
    if (!(m_State & (sfBusy | sfMouseSelecting | sfDragging))) PointerOverSelection(at);
}

void TBigEditor::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) return; // its press pasted
    if ((m_State & sfDragging) && (m_CursorReasons & crDragging)) {
        SetState(sfDragging, false);
        SetCursorReason(crDragging, false);
        bool dropped = false;
        Guarded([&] { dropped = Drop(event->modifiers() & Qt::ControlModifier); });
        if (dropped) return;
    }
    TTextViewer::mouseReleaseEvent(event);
}

bool TBigEditor::Drop(bool copy) {
    TTextPos d = CaretOffset();
    const TTextPos fill = m_CaretX > m_LineEndX ? (m_CaretX - m_LineEndX) / SpaceWidth() : 0;
    const bool inBlock = m_CaretChar >= m_Sel.Start.Char && m_CaretChar <= m_Sel.End.Char &&
                         m_CaretLine >= m_Sel.Start.Line && m_CaretLine <= m_Sel.End.Line;
    const bool atEnds = m_Sel.Holds(d) && fill == 0;
    // Right of a line's end inside the selected text is inside it too, spaces or not.
    const bool inside =
        m_Sel.IsColumn() ? atEnds && inBlock : atEnds || (d > m_Sel.StartOffset && d < m_Sel.EndOffset);
    if (inside) {
        m_UndoCaretPos = 0; // dropped on itself: an ordinary click
        return false;
    }
    TFlagScope dropping([this](bool on) { SetState(sfDropping, on); });
    if (m_Sel.IsColumn())
        DropColumn(copy);
    else
        DropStream(d, copy, fill);
    Text().EndUndoGroup();
    return true;
}

void TBigEditor::DropStream(TTextPos d, bool copy, TTextPos fill) {
    if (!m_Sel.IsStream()) throw EInternalError("Not in correct Selection Mode");
    const TTextPos from = m_Sel.StartOffset, length = m_Sel.EndOffset - m_Sel.StartOffset;
    const std::string bytes = Text().GetText(from, length);
    if (!copy) {
        if (from < d) d -= length;
        DeleteRange(from, length);
    }
    const TChangeStart start = BeforeChange(d);
    if (fill > 0) Text().InsertSpaces(d, fill); // the drop point lay right of its line's end
    d += fill;
    Text().InsertString(bytes, d);
    AfterChange(start, d + length);
    SetSelection(OffsetToPos(d), OffsetToPos(d + length), TSelModes::smStream);
    GoToOffset(d + length, false);
}

void TBigEditor::DropColumn(bool copy) {
    if (!m_Sel.IsColumn()) throw EInternalError("Not in Column Selection Mode");
    TBusy busy(*this, 0);
    const std::string block = CopyColumn();
    const TTextPos x = m_CaretX; // where the block's left edge goes
    TTextPos d = CaretOffset();
    if (!copy) ReplaceBlock("", true, &d); // the drop point stays on its text, whatever the lines lose
    // Right of its line's end, the line is first filled with spaces up to the pointer's column.
    WalkToOffset(d);
    if (d == m_WalkStart + m_WalkLength && x > m_WalkEndX) d = FillTo(x, m_WalkLine);
    const TTextPos end = PasteColumnBlock(block, d);
    SetSelection(OffsetToPos(d), OffsetToPos(end), TSelModes::smColumn);
    GoToOffset(end, false);
}
