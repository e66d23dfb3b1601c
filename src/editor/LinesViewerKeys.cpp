// The keyboard of TLinesViewer: the key table, the caret-movement commands and how they extend the
// selection.

#include <algorithm>

#include <QKeyEvent>

#include "editor/LinesViewer.h"
#include "editor/QtKeys.h"
#include "text/Exceptions.h"

namespace {
// The default codes of definitions 0 ... 16 (Ctrl+Insert, Esc, Ctrl+C, the arrows, Home, End ...).
constexpr TKeyDefinition kDefaultKeys[] = {301, 27, 323, 37, 39,  293, 295, 36, 35,
                                           38,  40, 33,  34, 292, 291, 294, 296};
constexpr TKeyDefinition kDefaultQuickKey = 337; // Ctrl+Q
} // namespace

void TLinesViewer::InstallDefaultKeys() {
    for (int index = 0; index < static_cast<int>(std::size(kDefaultKeys)); ++index)
        SetKeyCode(index, kDefaultKeys[index]);
    m_Keys.SetQuickKey(kDefaultQuickKey);
}

TKeyDefinition TLinesViewer::KeyCode(int index) const {
    return index >= 0 && index < static_cast<int>(m_KeyCodes.size()) ? m_KeyCodes[static_cast<size_t>(index)]
                                                                     : 0;
}

void TLinesViewer::SetKeyCode(int index, TKeyDefinition key) {
    if (index < 0 || index >= KeyCount) return;
    if (KeyCode(index) != 0) m_Keys.Define(KeyCode(index), nullptr);
    if (index >= static_cast<int>(m_KeyCodes.size())) m_KeyCodes.resize(static_cast<size_t>(index) + 1, 0);
    m_KeyCodes[static_cast<size_t>(index)] = key;
    if (key != 0) m_Keys.Define(key, GetKeyHandler(index));
}

std::function<void()> TLinesViewer::GetKeyHandler(int index) {
    auto move = [this](void (TLinesViewer::*movement)()) { return [this, movement] { Move(movement); }; };
    switch (index) {
    case kiAltCopy:
    case kiCopy:
        return [this] { CopyToClipboard(); };
    case kiCancel:
        return [this] { Cancel(); };
    case kiLeftArrow:
        return move(&TLinesViewer::CharLeft);
    case kiRightArrow:
        return move(&TLinesViewer::CharRight);
    case kiWordLeft:
        return move(&TLinesViewer::WordLeft);
    case kiWordRight:
        return move(&TLinesViewer::WordRight);
    case kiLineStart:
        return move(&TLinesViewer::LineStart);
    case kiLineEnd:
        return move(&TLinesViewer::LineEnd);
    case kiLineUp:
        return move(&TLinesViewer::LineUp);
    case kiLineDown:
        return move(&TLinesViewer::LineDown);
    case kiPageUp:
        return move(&TLinesViewer::PageUp);
    case kiPageDown:
        return move(&TLinesViewer::PageDown);
    case kiTextStart:
        return move(&TLinesViewer::TextStart);
    case kiTextEnd:
        return move(&TLinesViewer::TextEnd);
    case kiScrollUp:
        return move(&TLinesViewer::ScrollUp);
    case kiScrollDown:
        return move(&TLinesViewer::ScrollDown);
    default:
        return [] { throw EInternalError("Undefined key handler"); };
    }
}

bool TLinesViewer::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // A key the table binds is the editor's, before any menu shortcut; so is every key after the
        // quick prefix.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (m_Keys.QuickPending() || m_Keys.Bound(VirtualKeyOf(*key), KeyModifiersOf(*key))) {
            event->accept();
            return true;
        }
    } else if (event->type() == QEvent::KeyPress && m_WantTabs) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) { // the editor takes Tab instead of the focus chain
            keyPressEvent(static_cast<QKeyEvent*>(event));
            return true;
        }
    }
    return TFlickerFreeControl::event(event);
}

void TLinesViewer::keyPressEvent(QKeyEvent* event) {
    m_EventModifiers = event->modifiers();
    event->accept();
    int key = event->key();
    if (OnKeyDown) OnKeyDown(*this, key, m_EventModifiers);
    if (key == 0) return; // the listener took the key
    Guarded([&] {
        m_KeyHandled = m_Keys.Process(VirtualKeyOf(*event), KeyModifiersOf(*event));
        // Ctrl or Alt make a key a command; both together are AltGr, which gives characters.
        const bool ctrl = m_EventModifiers & Qt::ControlModifier, alt = m_EventModifiers & Qt::AltModifier;
        // A character beyond the first 65536 comes in two halves, neither of them printable by itself.
        const QString text = event->text();
        if (!m_KeyHandled && ctrl == alt && !text.isEmpty() && QChar::isPrint(text.toUcs4().front()))
            CharTyped(text);
    });
}

void TLinesViewer::Move(void (TLinesViewer::*movement)()) {
    if (!m_Sel.Exists()) UpdateSelection();
    (this->*movement)();
    UpdateSelection();
}

void TLinesViewer::UpdateSelection() {
    const TSelModes mode = (m_EventModifiers & Qt::ShiftModifier) ? TSelModes::smStream
                           : (m_EventModifiers & Qt::AltModifier) ? TSelModes::smColumn
                                                                  : TSelModes::smNone;
    const TViewPos caret = CaretPos();
    if (mode == TSelModes::smNone) {
        if (m_Sel.Exists()) {
            InvalidateAll();
            SetSelection(caret, caret, TSelModes::smNone);
        }
        m_Sel.Anchor = caret;
        return;
    }
    if (!m_Sel.Exists()) m_Sel.Anchor = caret;
    TViewPos start = std::min(m_Sel.Anchor, caret), end = std::max(m_Sel.Anchor, caret);
    if (mode == TSelModes::smColumn) {
        start.Char = std::min(m_Sel.Anchor.Char, caret.Char);
        end.Char = std::max(m_Sel.Anchor.Char, caret.Char);
    }
    InvalidateAll();
    SetSelection(start, end, mode);
}

void TLinesViewer::SetSelection(TViewPos start, TViewPos end, TSelModes mode) {
    m_Sel.Start = start;
    m_Sel.End = end;
    m_Sel.Mode = mode;
    SetState(sfSelection, m_Sel.Exists() && start != end);
}

bool TLinesViewer::CollapseSelection(TViewPos to) {
    if (!(m_State & sfSelection) || (m_EventModifiers & (Qt::ShiftModifier | Qt::AltModifier))) return false;
    SetCaretLine(to.Line);
    SetCaretChar(to.Char);
    m_Sel.Anchor = to;
    SetSelection(to, to, TSelModes::smNone);
    InvalidateAll();
    return true;
}

// Movements ---------------------------------------------------------------------------------------

void TLinesViewer::CharLeft() {
    if (CollapseSelection(m_Sel.Start)) return;
    if (m_CaretChar > 0) {
        if (m_CaretX > m_LineEndX)
            MoveCaretTo(m_CaretX - m_CharWidth, m_CaretLine);
        else
            SetCaretChar(PrevCharOnLine(m_CaretChar));
    } else if (m_CaretLine > 0) {
        SetCaretLine(m_CaretLine - 1);
        SetCaretChar(m_LineLength);
    } else {
        Beep();
    }
}

void TLinesViewer::CharRight() {
    if (CollapseSelection(m_Sel.End)) return;
    if (m_CaretChar < m_LineLength) {
        SetCaretChar(NextCharOnLine(m_CaretChar));
    } else if (m_CaretLine < m_LastLine) {
        // Without word-processor mode the caret walks on into the space right of the line's end.
        MoveCaretTo(m_CaretX + m_CharWidth, m_CaretLine);
        if (m_WPMode || m_CaretX - m_HorzOffset + m_CharWidth - m_LeftMargin > m_HorzScrollBar->Limit()) {
            SetCaretLine(m_CaretLine + 1);
            SetCaretChar(0);
        }
    } else {
        Beep();
    }
}

void TLinesViewer::WordLeft() {
    CharLeft();
    // The start of the word the caret now stands in or after.
    const TViewPos start = WordStart(CaretPos());
    SetCaretLine(start.Line);
    SetCaretChar(start.Char);
}

void TLinesViewer::WordRight() {
    CharRight();
    // A step over a space, a tab or a line break onto a word has reached the next word already:
    // going on to that word's end would pass it by.
    if (WordStart(CaretPos()) == CaretPos()) return;
    const TViewPos end = WordAndSpacesEnd(CaretPos());
    SetCaretLine(end.Line);
    SetCaretChar(end.Char);
}

void TLinesViewer::LineStart() {
    SetCaretChar(0);
}

void TLinesViewer::LineEnd() {
    SetCaretChar(m_LineLength);
}

void TLinesViewer::LineUp() {
    if (m_CaretLine == 0)
        Beep();
    else
        SetCaretLine(m_CaretLine - 1);
}

void TLinesViewer::LineDown() {
    if (m_CaretLine >= m_LastLine)
        Beep();
    else
        SetCaretLine(m_CaretLine + 1);
}

void TLinesViewer::PageUp() {
    const TTextPos top = m_TopLine;
    SetCaretLine(m_CaretLine - (m_VisibleLines - 1));
    if (m_PagingMode == TPagingModes::pmCaretConstant) SetTopLine(top - (m_VisibleLines - 1));
}

void TLinesViewer::PageDown() {
    const TTextPos top = m_TopLine;
    SetCaretLine(m_CaretLine + (m_VisibleLines - 1));
    if (m_PagingMode == TPagingModes::pmCaretConstant) SetTopLine(top + (m_VisibleLines - 1));
}

void TLinesViewer::TextStart() {
    SetCaretLine(0);
    SetCaretChar(0);
}

void TLinesViewer::TextEnd() {
    SetCaretLine(m_LastLine);
    SetCaretChar(m_LineLength);
}

void TLinesViewer::ScrollUp() {
    if (m_TopLine <= 0) return;
    SetTopLine(m_TopLine - 1);
    if (m_CaretLine - m_TopLine == m_VisibleLines) SetCaretLine(m_CaretLine - 1);
}

void TLinesViewer::ScrollDown() {
    if (m_TopLine >= m_LastLine - (m_VisibleLines - 1)) return;
    SetTopLine(m_TopLine + 1);
    if (m_CaretLine == m_TopLine - 1) SetCaretLine(m_TopLine);
}

void TLinesViewer::Cancel() {
    SetSelection(m_Sel.Start, m_Sel.Start, TSelModes::smNone);
    InvalidateAll();
}
