// The mouse of TLinesViewer: clicks counted up to four, drag selection with automatic scrolling, and
// dragging the screen margins.

#include <algorithm>
#include <cmath>

#include <QMouseEvent>

#include "editor/LinesViewer.h"

namespace {
// Rows above the window are negative.
TTextPos RowOf(TTextPos y, TTextPos lineHeight) {
    return y >= 0 ? y / lineHeight : -((-y + lineHeight - 1) / lineHeight);
}
} // namespace

void TLinesViewer::mousePressEvent(QMouseEvent* event) {
    Guarded([&] { MouseDown(event, false); });
}

void TLinesViewer::mouseDoubleClickEvent(QMouseEvent* event) {
    Guarded([&] { MouseDown(event, true); });
}

void TLinesViewer::MouseDown(QMouseEvent* event, bool doubleClick) {
    const TTextPos x = event->position().toPoint().x(), y = event->position().toPoint().y();
    const bool left = event->button() == Qt::LeftButton;
    m_EventModifiers = event->modifiers();
    m_LastMousePos = event->position().toPoint();
    const TViewPos at{0, m_TopLine + RowOf(y, m_LineHeight)};
    if (left) {
        // 0 -> 1 on a double click, 2 on a third click inside the word, 3 on a double click after that.
        auto inside = [&] { return m_Sel.Covers(PointToPos(m_HorzOffset + x - m_LeftMargin, at.Line)); };
        if (doubleClick && m_ClickState != 2) {
            m_ClickState = 1;
            m_ClickTimer.start(m_DoubleClickTime);
        } else if (!doubleClick && m_ClickState == 1 && inside()) {
            m_ClickState = 2;
            m_ClickTimer.start(m_DoubleClickTime);
        } else if (doubleClick && m_ClickState == 2) {
            m_ClickState = inside() ? 3 : 1;
            m_ClickTimer.start(m_DoubleClickTime);
        }
    }
    if ((m_State & sfDragging) || !left) return;
    if (m_AutoScroll) m_AutoScrollTimer.start(100);
    if (m_CursorReasons & crOnMargin) {
        m_MarginLineX = x;
        InvalidateAll();
        SetState(sfDragging, true);
        return;
    }
    MoveCaretTo(m_HorzOffset + x - m_LeftMargin, at.Line);
    if (m_EventModifiers & (Qt::ShiftModifier | Qt::AltModifier)) {
        UpdateSelection();
        InvalidateAll();
    } else if (m_ClickState != 2) { // a third click keeps the word for the release to widen
        m_Sel.Anchor = CaretPos();
        if (m_Sel.Exists()) InvalidateAll();
        if (!doubleClick) {
            SetSelection(m_Sel.Anchor, m_Sel.Anchor, TSelModes::smStream);
        } else if (x >= m_LeftMargin - m_HorzOffset) {
            m_DragStart = WordStart(m_Sel.Anchor);
            m_DragEnd = m_DoubleClickMode == TDoubleClickModes::dcWordOnly
                            ? WordEnd(m_Sel.Anchor)
                            : WordAndSpacesEnd(WordEnd(m_Sel.Anchor));
            SetSelection(m_DragStart, m_DragEnd, TSelModes::smWords);
        } else { // a double click in the left margin band selects everything
            SelectAll();
        }
        InvalidateAll();
    }
    SetState(sfMouseSelecting, true);
}

void TLinesViewer::mouseMoveEvent(QMouseEvent* event) {
    m_EventModifiers = event->modifiers();
    m_LastMousePos = event->position().toPoint();
    Guarded([&] {
        const TTextPos x = m_LastMousePos.x(), y = m_LastMousePos.y();
        if (m_State & sfMouseSelecting)
            DragSelect(x, y);
        else if ((m_State & sfDragging) && (m_CursorReasons & crOnMargin))
            DragMarginTo(x);
        MouseHover(x, RowOf(y, m_LineHeight));
    });
}

void TLinesViewer::MouseHover(TTextPos x, TTextPos /*row*/) {
    const TTextPos leftLine = m_LeftMargin - m_HorzOffset;
    const TTextPos rightLine = ClientWidth() - m_RightMargin;
    const bool onMargin = m_DragMargin && (x == leftLine || (WrapsAtWindow() && x == rightLine));
    const bool inBand = (WrapsAtWindow() && x > rightLine) || x < std::max<TTextPos>(0, leftLine);
    if (onMargin != bool(m_CursorReasons & crOnMargin)) SetCursorReason(crOnMargin, onMargin);
    if (inBand != bool(m_CursorReasons & crMarginBand)) SetCursorReason(crMarginBand, inBand);
}

void TLinesViewer::DragSelect(TTextPos x, TTextPos y) {
    const TTextPos row = RowOf(y, m_LineHeight);
    const TTextPos caretX = m_CaretX - m_HorzOffset + m_LeftMargin;
    if (std::abs(x - caretX) < m_CharWidth && row == m_CaretLine - m_TopLine) return;
    const TTextPos docX = m_HorzOffset + x - m_LeftMargin;
    MoveCaretTo(docX, m_TopLine + row);
    TViewPos end = CaretPos();
    if (m_Sel.IsColumn() && end.Char >= m_LineLength && docX > m_LineEndX)
        end.Char = (docX - m_LineEndX) / m_CharWidth + m_LineLength;
    TViewPos start;
    if (m_Sel.Mode == TSelModes::smWords) { // by whole words, around the word first clicked
        if (end < m_DragEnd) {
            start = WordStart(end);
            end = m_DragEnd;
            m_Sel.Anchor = m_DragEnd;
        } else {
            start = m_DragStart;
            end = m_DoubleClickMode == TDoubleClickModes::dcWordOnly ? WordEnd(end)
                                                                     : WordAndSpacesEnd(WordEnd(end));
            m_Sel.Anchor = m_DragStart;
        }
    } else {
        start = std::min(m_Sel.Anchor, end);
        const TViewPos newEnd = end;
        end = std::max(m_Sel.Anchor, newEnd);
        if (m_Sel.IsColumn()) { // a rectangle: the smaller character index on the left
            start.Char = std::min(m_Sel.Anchor.Char, newEnd.Char);
            end.Char = std::max(m_Sel.Anchor.Char, newEnd.Char);
        }
    }
    InvalidateAll();
    SetSelection(start, end, !m_Sel.Exists() ? TSelModes::smStream : m_Sel.Mode);
}

void TLinesViewer::DragMarginTo(TTextPos x) {
    const TTextPos offset = CaretOffset();
    const TTextPos rightLine = ClientWidth() - m_RightMargin;
    if (std::abs(x - rightLine) <= std::abs(x - m_LeftMargin))
        SetRightMargin(ClientWidth() - x);
    else
        SetLeftMargin(m_HorzOffset + x);
    GoToOffsetKeepRow(offset);
    m_MarginLineX = x;
    viewport()->repaint();
}

void TLinesViewer::mouseReleaseEvent(QMouseEvent* event) {
    m_EventModifiers = event->modifiers();
    Guarded([&] {
        MouseUpSelect();
        if (m_ClickState < 2 && !(m_State & sfMouseSelecting)) {
            if (event->button() == Qt::LeftButton && m_MarginLineX < 0 && (m_State & sfSelection)) {
                m_Sel.Anchor = {};
                SetSelection(m_Sel.Start, m_Sel.Start, TSelModes::smNone);
                InvalidateAll();
            }
        } else if (m_ClickState == 2 &&
                   m_Sel.Mode == TSelModes::smWords) { // the third click: the display line
            SetSelection({0, m_CaretLine}, {m_LineLength, m_CaretLine}, TSelModes::smStream);
            InvalidateAll();
        } else if (m_Sel.Start == m_Sel.End && !(m_EventModifiers & (Qt::ShiftModifier | Qt::AltModifier))) {
            SetSelection(m_Sel.Start, m_Sel.Start, TSelModes::smNone);
            InvalidateAll();
        }
    });
    m_AutoScrollTimer.stop();
    SetState(sfMouseSelecting, false);
    if (m_MarginLineX >= 0) { // a margin drag ends
        m_MarginLineX = -1;
        SetState(sfDragging, false);
        InvalidateAll();
    }
}

void TLinesViewer::OnAutoScroll() {
    Guarded([&] {
        const TTextPos x = m_LastMousePos.x(), y = m_LastMousePos.y();
        m_EventModifiers = Qt::NoModifier;
        if (m_State & sfMouseSelecting) DragSelect(x, y);
        // Faster the further the pointer is from the window.
        TTextPos d = 1;
        if (x < 0 || y < 0)
            d = std::abs(std::min(x, y)) / 20 + 1;
        else if (x >= ClientWidth() || y >= ClientHeight())
            d = std::max(x - ClientWidth(), y - ClientHeight()) / 20 + 1;
        m_AutoScrollTimer.start(static_cast<int>(100 / d));
    });
}
