// Drawing the display lines of TTextViewer: text, line-break marks, page breaks and the selection.

#include <algorithm>

#include <QPainter>

#include "editor/TextViewer.h"

namespace {
constexpr unsigned char kCurrencySign = 164; // marks the end of the text
constexpr unsigned char kPilcrow = 182;      // marks a line break
} // namespace

void TTextViewer::DrawPageBreakBar(TTextPos y) {
    QPainter& painter = *Painter();
    const int middle = static_cast<int>(y + m_LineHeight / 2);
    painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::SolidLine));
    painter.drawLine(0, middle, ClientWidth(), middle);
    QFont label = font();
    label.setFamily("DejaVu Sans");
    label.setPointSize(8);
    painter.setFont(label);
    const QRect band(0, static_cast<int>(y), ClientWidth(), static_cast<int>(m_LineHeight));
    const QRect text =
        painter.fontMetrics().boundingRect(band, Qt::AlignHCenter | Qt::AlignTop, "Page Break");
    painter.fillRect(text.adjusted(-4, 0, 4, 0), m_Canvas.Background());
    painter.drawText(band, Qt::AlignHCenter | Qt::AlignTop, "Page Break");
}

void TTextViewer::DrawSelection(TTextPos y) {
    if (!m_Sel.OnLine(m_WalkLine)) return;
    const TTextPos left = m_LeftMargin - m_HorzOffset;
    TTextPos x1 = 0, x2 = 0;
    if (m_Sel.IsColumn()) {
        x1 = m_Sel.ColLeft + left;
        x2 = m_Sel.ColRight + left;
    } else {
        auto xOf = [this, left](TTextPos ch) {
            return left + m_TextBuffer->MeasureWidth(m_WalkStart, m_WalkStart + ch);
        };
        x1 = m_WalkLine > m_Sel.Start.Line ? left : xOf(m_Sel.Start.Char);
        if (m_WalkLine < m_Sel.End.Line) {
            const bool pageBreak = m_WalkBreak == 2 || m_TextBuffer->IsFormFeedAt(m_WalkStart);
            x2 = pageBreak ? ClientWidth() : m_WalkEndX - m_HorzOffset + m_LeftMargin;
            if (m_ShowLineBreaks && m_WalkEnded && !pageBreak) x2 += m_TextBuffer->ByteWidth(kPilcrow);
        } else {
            x2 = xOf(m_Sel.End.Char);
        }
    }
    if (x2 <= x1) return;
    QPainter& painter = *Painter();
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.fillRect(
        QRect(static_cast<int>(std::max<TTextPos>(x1, -1)), static_cast<int>(y),
              static_cast<int>(std::min<TTextPos>(x2, ClientWidth() + 1) - std::max<TTextPos>(x1, -1)),
              static_cast<int>(m_LineHeight)),
        Qt::black);
    painter.restore();
}

void TTextViewer::DrawLines(TTextPos y, TTextPos firstLine, TTextPos count) {
    if (!m_TextBuffer) return;
    WalkToLine(firstLine, false);
    if (firstLine == m_TopLine) m_TopStart = m_WalkStart;
    if (m_WalkLine != firstLine) return; // below the end of the text
    TLinesBuffer& text = *m_TextBuffer;
    const TTextPos origin = m_LeftMargin - m_HorzOffset; // x of the text's left edge
    for (TTextPos row = 0; row < count; ++row, y += m_LineHeight) {
        if (m_WalkBreak == 2 || text.IsFormFeedAt(m_WalkStart)) {
            DrawPageBreakBar(y);
        } else {
            // Only the visible part of a line is drawn: from the character at the window's left edge to
            // the one at its right edge, tabs still counted from the line's start.
            TTextPos first = m_WalkStart, firstX = 0;
            if (m_HorzOffset > 0) text.PosFromX(first, m_HorzOffset, firstX);
            TTextPos last = m_WalkStart, lastX = 0;
            text.PosFromX(last, m_HorzOffset + ClientWidth() + m_CharWidth, lastX);
            last = std::min(std::max(last + 1, first), m_WalkStart + m_WalkLength);
            text.DrawRun(origin + firstX, y, origin, last - first, first);
            const TTextPos markX = origin + m_WalkEndX;
            if (m_ShowLineBreaks && (m_WalkEnded || m_WalkNext >= text.TextSize()) && markX < ClientWidth()) {
                const unsigned char mark = m_WalkEnded ? kPilcrow : kCurrencySign;
                m_Canvas.DrawBytes(TOutputDevice::odDisplay, y, &mark, &markX, 1);
            }
            const bool showSoft = m_ShowPageBreaks == TPageBreakDisplayModes::pbAlways ||
                                  (m_ShowPageBreaks == TPageBreakDisplayModes::pbWYSIWYG &&
                                   m_WrapMode == TWrapModes::opPrinter);
            if (m_WalkBreak == 1 && showSoft) {
                Painter()->setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
                Painter()->drawLine(0, static_cast<int>(y), ClientWidth(), static_cast<int>(y));
            }
        }
        DrawSelection(y);
        if (!NextLine()) break;
    }
}
