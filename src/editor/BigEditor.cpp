#include "editor/BigEditor.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>
#include <QMimeData>

#include "editor/QtText.h"
#include "text/CaseMap.h"
#include "text/CodePages.h"
#include "text/Exceptions.h"
#include "text/Utf8.h"

namespace {

constexpr unsigned char CR = 13;
// The default codes of definitions 17 ... 30 (Backspace, Insert, Enter, Ctrl+Y, Delete, Ctrl+T, ...).
constexpr TKeyDefinition kEditingKeys[] = {8,   45,  13,  345,  46,   340,  344,
                                           558, 342, 557, 1092, 1107, 2056, 338};

} // namespace

TBigEditor::TBigEditor(QWidget* parent) : TTextViewer(parent) {
    for (int index = 17; index <= 30; ++index)
        SetKeyCode(index, kEditingKeys[index - 17]);
    SetInsertOn(true);
    SetTextBuffer(std::make_unique<TEditStream>());
    // Keeps the clipboard-holds-text flag current, so Paste can be enabled without asking the clipboard.
    QClipboard* clipboard = QGuiApplication::clipboard();
    const auto clipboardChanged = [this, clipboard] {
        const QMimeData* mime = clipboard->mimeData();
        SetState(sfClipboardText, mime && (mime->hasText() || mime->hasFormat(ColumnTextFormat)));
    };
    connect(clipboard, &QClipboard::dataChanged, this, clipboardChanged);
    clipboardChanged();
}

TEditStream& TBigEditor::Text() const {
    auto* text = dynamic_cast<TEditStream*>(TextBuffer());
    if (!text) throw EInternalError("The editor has no editable text");
    return *text;
}

void TBigEditor::SetTextBuffer(std::unique_ptr<TLinesBuffer> buffer) {
    TTextViewer::SetTextBuffer(std::move(buffer));
    if (dynamic_cast<TEditStream*>(TextBuffer())) BindText();
}

void TBigEditor::BindText() {
    TEditStream& text = Text();
    text.OnSaveUndo = [this](TUndoState& state) {
        state.CaretPos = m_UndoCaretPos > 0 ? m_UndoCaretPos : CaretOffset();
        m_UndoCaretPos = 0;
        state.SelStart = m_Sel.StartOffset;
        state.SelEnd = m_Sel.EndOffset;
        state.SelMode = m_Sel.Mode;
        state.Linked = m_CompoundEdit || (m_State & (sfDropping | sfSearching)) || m_Sel.IsColumn();
    };
    text.OnUndo = [this](const TUndoInfo& record) {
        m_UndoCaretPos = record.CaretPos;
        m_UndoSelStart = record.SelStart;
        m_UndoSelEnd = record.SelEnd;
        m_UndoSelMode = record.SelMode;
    };
    text.OnModified = [this](TTextBuffer& model) {
        SetState(sfModified, model.Modified());
        SetState(sfEmpty, model.TextSize() == 0);
    };
    text.SetOnUndoChange([this] {
        SetState(sfCanUndo, Text().UndoLevels() > 0);
        SetState(sfCanRedo, Text().RedoLevels() > 0);
    });
    // Each step of an undo is a change of its own: the walker follows it.
    text.OnBeforeUndo = [this](TTextPos pos) {
        m_UndoSteps.push_back(BeforeChange(std::max<TTextPos>(0, pos - 1)));
    };
    text.OnAfterUndo = [this](TEditStream&) {
        AfterChange(m_UndoSteps.back(), m_UndoSteps.back().Offset);
        m_UndoSteps.pop_back();
    };
}

std::function<void()> TBigEditor::GetKeyHandler(int index) {
    switch (index) {
    case kiBackSpace:
        return [this] { Backspace(); };
    case kiInsert:
        return [this] { ToggleInsert(); };
    case kiNewLine:
        return [this] { NewLine(); };
    case kiDeleteLine:
        return [this] { DeleteLine(); };
    case kiDelete:
        return [this] { DeleteChar(); };
    case kiDeleteWord:
        return [this] { DeleteWord(); };
    case kiCut:
    case kiAltCut:
        return [this] { CutSelection(); };
    case kiPaste:
    case kiAltPaste:
        return [this] { PasteClipboard(); };
    case kiDelLineEnd:
        return [this] { DeleteToLineEnd(); };
    case kiDelLineStart:
        return [this] { DeleteToLineStart(); };
    case kiUndo:
        return [this] { UndoEdit(); };
    case kiRedo:
        return [this] { RedoEdit(); };
    default:
        return TTextViewer::GetKeyHandler(index);
    }
}

void TBigEditor::CharTyped(const QString& text) {
    const std::string bytes = UnicodeToText(text, Text().CharSet());
    const auto* const first = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = first + bytes.size();
    for (const unsigned char* p = first; p < end;) {
        const int length = Text().CharSet() == TCharSets::csUtf8 ? DecodeUtf8(p, end).Length : 1;
        TypeCharacter(p, length);
        p += length;
    }
}

// Inserting --------------------------------------------------------------------------------------

TTextPos TBigEditor::PrepareInsertion() {
    if (m_State & sfSelection) {
        const TTextPos pos = m_Sel.StartOffset;
        DeleteSelection();
        return pos;
    }
    SetSelection(CaretPos(), CaretPos(), TSelModes::smNone);
    m_Sel.Anchor = CaretPos();
    const TTextPos pos = CaretOffset();
    if (m_CaretX <= m_LineEndX) return pos;
    return FillTo(m_CaretX, m_CaretLine);
}

TTextPos TBigEditor::FillTo(TTextPos x, TTextPos line) {
    WalkToLine(line, false);
    const TTextPos end = m_WalkStart + m_WalkLength;
    const TTextPos fill = (x - m_WalkEndX) / SpaceWidth();
    if (fill <= 0) return end;
    const TChangeStart start = BeforeChange(end);
    Text().InsertSpaces(end, fill);
    AfterChange(start, end + fill);
    return end + fill;
}

void TBigEditor::TypeCharacter(const unsigned char* bytes, int length) {
    const TTextPos pos = PrepareInsertion();
    const TChangeStart start = BeforeChange(pos);
    TEditStream& text = Text();
    if (!InsertOn() && pos < text.TextSize() && !text.IsLineBreakAt(pos)) { // a CR or LF is never overwritten
        // The character typed takes the place of the whole character at the caret, of whatever length.
        const TTextPos replaced = text.CharAfter(pos) - pos;
        if (!text.WriteProtected() && replaced == length) {
            for (int i = 0; i < length; ++i)
                text.Overwrite(pos + i, bytes[i]);
        } else if (!text.WriteProtected()) {
            TUndoGroup group(*this);
            text.Delete(pos, replaced);
            text.Insert(bytes, pos, length);
        }
    } else {
        text.Insert(bytes, pos, length);
    }
    AfterChange(start, pos + length);
}

void TBigEditor::NewLine() {
    const TTextPos pos = PrepareInsertion();
    const TChangeStart start = BeforeChange(pos);
    const std::string_view lineBreak = Text().LineBreakBytes();
    Text().InsertString(lineBreak, pos);
    AfterChange(start, pos + static_cast<TTextPos>(lineBreak.size()));
}

void TBigEditor::InsertDateTime(const QDateTime& when) {
    const QLocale locale;
    const QString text = locale.toString(when.date(), QLocale::ShortFormat) + " " +
                         locale.toString(when.time(), QLocale::LongFormat);
    const std::string bytes = UnicodeToText(text, Text().CharSet());
    const TTextPos pos = PrepareInsertion();
    const TChangeStart start = BeforeChange(pos);
    Text().InsertString(bytes, pos);
    AfterChange(start, pos + static_cast<TTextPos>(bytes.size()));
}

void TBigEditor::SetWindowText(const std::string& text) {
    Clear();
    std::string bytes = text;
    if (Text().OEMConvert())
        OemToAnsi(reinterpret_cast<unsigned char*>(bytes.data()), static_cast<TTextPos>(bytes.size()));
    Text().InsertString(bytes, 0);
    TextLoaded();
    SetState(sfEmpty, TextSize() == 0);
}

// Deleting ---------------------------------------------------------------------------------------

void TBigEditor::DeleteRange(TTextPos pos, TTextPos count) {
    const TChangeStart start = BeforeChange(pos);
    Text().Delete(pos, count);
    AfterChange(start, pos);
}

void TBigEditor::DeleteSelection() {
    if (!(m_State & sfSelection)) return;
    if (m_Sel.IsColumn())
        ReplaceBlock("", false);
    else
        DeleteRange(m_Sel.StartOffset, m_Sel.EndOffset - m_Sel.StartOffset);
}

void TBigEditor::Backspace() {
    if (m_Sel.Exists()) {
        DeleteSelection();
        return;
    }
    if (CaretPos() == TViewPos{} || m_CaretX > m_LineEndX) {
        Beep();
        return;
    }
    const TTextPos lineStart = m_CaretStart;
    if (m_CaretChar == 0 && Text().LastCharBeforeBreak(lineStart) == lineStart) {
        // A soft-wrapped continuation: its start is the same byte as the previous line's end.
        SetCaretLine(m_CaretLine - 1);
        SetCaretChar(m_LineLength);
    }
    m_UndoCaretPos = CaretOffset();
    CharLeft();
    DeleteChar();
}

void TBigEditor::DeleteChar() {
    if (m_State & sfSelection) {
        DeleteSelection();
        return;
    }
    const TTextPos pos = CaretOffset();
    if (pos >= TextSize()) {
        Beep();
        return;
    }
    SetSelection(CaretPos(), CaretPos(), TSelModes::smNone);
    m_Sel.Anchor = CaretPos();
    // A line break goes as a unit: CR LF together; so does the sequence of a UTF-8 character.
    const TTextPos count =
        Text().IsLineBreakAt(pos) && *Text().GetCharPtr(pos) == CR ? 2 : Text().CharAfter(pos) - pos;
    DeleteRange(pos, count);
}

bool TBigEditor::SelectWordAtCaret() {
    int length = 1;
    if (!Text().IsWordCharAt(CaretOffset(), length)) return false;
    SetSelection(WordStart(CaretPos()), WordEnd(CaretPos()), TSelModes::smStream);
    return true;
}

void TBigEditor::DeleteWord() {
    if (Text().WriteProtected()) return;
    if (SelectWordAtCaret())
        DeleteSelection();
    else
        Beep();
}

void TBigEditor::DeleteAsSelection(TViewPos start, TViewPos end) {
    if (Text().WriteProtected()) return; // refused before anything is selected
    SetSelection(start, end, TSelModes::smStream);
    DeleteSelection();
}

void TBigEditor::DeleteLine() {
    const TTextPos line = m_CaretLine;
    WalkToLine(line, false);
    if (m_WalkNext < TextSize())
        DeleteAsSelection({0, line}, {0, line + 1}); // the line and the break that ends it
    else
        DeleteAsSelection({0, line}, {m_LineLength, line});
}

void TBigEditor::DeleteToLineEnd() {
    DeleteAsSelection(!m_Sel.Exists() ? CaretPos() : m_Sel.Start, {m_LineLength, m_CaretLine});
}

void TBigEditor::DeleteToLineStart() {
    DeleteAsSelection({0, m_CaretLine}, !m_Sel.Exists() ? CaretPos() : m_Sel.End);
}

void TBigEditor::ReplaceBlock(const std::string& text, bool keepUndoGroupOpen, TTextPos* follow) {
    if (!m_Sel.IsColumn()) throw EInternalError("Not in Column Selection Mode");
    const TViewPos first = m_Sel.Start, last = m_Sel.End;
    const TTextPos left = m_Sel.ColLeft, right = m_Sel.ColRight;
    const TChangeStart start = BeforeChange(PosToOffset({0, first.Line}));
    TEditStream& model = Text();
    WalkToLine(first.Line, false);
    for (TTextPos line = first.Line; line <= last.Line; ++line) {
        TTextPos a = m_WalkStart, b = m_WalkStart, width = 0;
        if (left > 0) model.PosFromX(a, left, width);
        if (right > 0) model.PosFromX(b, right, width);
        if (a > b) std::swap(a, b);
        if (b > a) model.Delete(a, b - a);
        if (!text.empty()) model.InsertString(text, a);
        if (follow && *follow > a)
            *follow = std::max(a, *follow - (b - a)) + static_cast<TTextPos>(text.size());
        LayOutWalkLine(); // the line changed; the lines after it start as far off as it changed
        if (!NextLine()) break;
    }
    AfterChange(start, start.Offset);
    if (!keepUndoGroupOpen) model.EndUndoGroup();
    SetCaretLine(last.Line);
    SetCaretChar(first.Char + static_cast<TTextPos>(text.size()));
    m_Sel.Anchor = CaretPos();
}

// Case and history -------------------------------------------------------------------------------

void TBigEditor::CapitaliseWords() {
    if (!(m_State & sfSelection) && !SelectWordAtCaret()) return;
    TEditStream& text = Text();
    const TCharSets set = text.CharSet();
    const TTextPos begin = WordStartOffset(m_Sel.StartOffset), end = m_Sel.EndOffset;
    int length = 1, secondLength = 1;
    const char32_t first = text.CodeAt(begin, length);
    enum { Capitalise, Upper, Lower } mode;
    if (IsLowerCase(first, set))
        mode = Capitalise;
    else if (IsUpperCase(first, set))
        mode = IsLowerCase(text.CodeAt(begin + length, secondLength), set) ? Upper : Lower;
    else {
        Beep();
        return;
    }
    if (text.WriteProtected()) return;
    const TSelModes selMode = m_Sel.Mode;
    const TTextPos selStart = m_Sel.StartOffset, selEnd = m_Sel.EndOffset;
    {
        TFlagScope compound([this](bool on) { m_CompoundEdit = on; });
        TBusy busy(*this, 0);
        for (TTextPos pos = begin; pos < end;) {
            for (bool wordStart = true; pos < end && text.IsWordCharAt(pos, length); wordStart = false) {
                ChangeCase(pos, mode == Upper || (mode == Capitalise && wordStart));
                pos += length;
            }
            if (pos < end) pos = text.CharAfter(pos); // a character between words
        }
    }
    text.EndUndoGroup();
    // Case changes widths in a proportional font: the lines are laid out again, the selection kept.
    RelayoutFrom(m_WalkStart > begin ? 0 : m_WalkStart);
    LayOutWalkLine();
    SetSelection(OffsetToPos(selStart), OffsetToPos(selEnd), selMode);
    InvalidateAll();
}

void TBigEditor::ChangeCase(TTextPos pos, bool upper) {
    TEditStream& text = Text();
    int length = 1;
    const char32_t code = text.CodeAt(pos, length);
    const char32_t cased = upper ? UpperCaseOf(code, text.CharSet()) : LowerCaseOf(code, text.CharSet());
    if (cased == code) return;
    unsigned char bytes[4] = {static_cast<unsigned char>(cased)};
    // Only a case that keeps the character's length is offered, but a partial sequence must never be left.
    if (text.CharSet() == TCharSets::csUtf8 && EncodeUtf8(cased, bytes) != length) return;
    for (int i = 0; i < length; ++i)
        if (*text.GetCharPtr(pos + i) != bytes[i]) text.Overwrite(pos + i, bytes[i]);
}

void TBigEditor::UndoEdit() {
    History(true);
}

void TBigEditor::RedoEdit() {
    History(false);
}

void TBigEditor::History(bool undo) {
    TEditStream& text = Text();
    text.Commit();
    if ((undo ? text.UndoLevels() : text.RedoLevels()) < 1) throw EUndoError("Nothing to Undo!");
    {
        TBusy busy(*this, TextSize());
        // The view follows every step of the change, but scrolls and paints once, at the end.
        TFlagScope still([this](bool on) { EnableUpdates(!on); });
        undo ? text.Undo() : text.Redo();
    }
    // The selection and the caret as the step kept them.
    if (m_UndoSelMode != TSelModes::smNone) {
        TViewPos start = OffsetToPos(std::min(m_UndoSelStart, TextSize()));
        TViewPos end = OffsetToPos(std::min(m_UndoSelEnd, TextSize()));
        // Offsets at the end of a soft-wrapped line come back as the next line's start: keep the order,
        // and a rectangle's left edge on the left.
        if (end < start) std::swap(start, end);
        if (m_UndoSelMode == TSelModes::smColumn)
            std::tie(start.Char, end.Char) = std::minmax(start.Char, end.Char);
        SetSelection(start, end, m_UndoSelMode);
        m_Sel.Anchor = start;
    }
    SetState(sfEmpty, TextSize() == 0);
    const TTextPos caret = m_UndoCaretPos;
    m_UndoCaretPos = 0;
    GoToOffset(std::min(caret, TextSize()), false);
}
