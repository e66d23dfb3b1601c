// The layout shortcut of TLinesBuffer for fixed-pitch fonts: where every character is as wide as the
// next, a line's end depends only on where its line break, tabs and break characters lie, so a line is
// found by looking for those (ByteScan) rather than by measuring each byte. Anything the arithmetic does
// not cover (a tab or lone CR where a line may wrap, a line hanging past the bytes at hand) is left to
// measuring, which starts the line again.
//
// Counts here are bytes. In UTF-8 the widths between the control bytes found are measured, and a line
// that may wrap and holds characters beyond ASCII is left to measuring.

#include <algorithm>

#include "text/ByteScan.h"
#include "text/LinesBuffer.h"
#include "text/Utf8.h"

namespace {

constexpr unsigned char TAB = 9;
constexpr unsigned char LF = 10;
constexpr unsigned char FF = 12;
constexpr unsigned char CR = 13;

bool IsBreak(unsigned char c) {
    return c == ' ' || c == '-';
}

} // namespace

bool TLinesBuffer::UniformLine(TTextPos start, const TLayoutTables& tables, TCutLine& line) {
    const TTextPos end = LineCut(start);
    // Characters that fit in the wrap width; a wrapped line takes at least one.
    const TTextPos fit = m_MaxWidth > 0 ? std::max<TTextPos>(1, m_MaxWidth / tables.UniformWidth) : 0;
    // Where every character up to the cut fits, only a tab can take the line past the width.
    if (fit == 0 || fit >= end - start) return UniformUnwrapped(start, end, tables, line);
    return UniformWrapped(start, end, fit, tables, line);
}

bool TLinesBuffer::UniformUnwrapped(TTextPos start, TTextPos end, const TLayoutTables& t, TCutLine& line) {
    const TTextPos u = t.UniformWidth;
    TTextPos at = start, width = 0, count = 0;
    int tabIndex = 0;
    line.Plain = true;
    for (;;) {
        if (at == end) { // the cut, or the text's end
            line.Next = end;
            line.Ended = end < m_TextSize;
            break;
        }
        TTextPos n = 0;
        const unsigned char* p = m_Window.At(at, n, 8);
        n = std::min(n, end - at);
        TTextPos q = ByteScan::FindControl(p, p + n) - p;
        const bool control = q < n;
        if (t.Codes && !control && at + n < end) q = Utf8WholeLength(p, n); // a sequence is measured whole
        at += q;
        count += q;
        width += t.Codes ? TextWidth(p, q, t) : q * u;
        if (m_MaxWidth > 0 && width > m_MaxWidth) return false; // past the width after a tab
        if (!control) continue;
        const unsigned char c = p[q];
        line.Ended = true;
        if (c == LF) {
            line.Next = at + 1;
            break;
        }
        if (c == FF) {
            line.Next = count > 0 ? at : at + 1;
            break;
        }
        if (c == CR) {
            if (q + 1 < n && p[q + 1] == LF) {
                line.Next = at + 2;
                break;
            }
            if (q + 1 == n && at + 1 < end) continue; // what follows it is not at hand yet: look again
            width += t.Widths[CR]; // a lone CR, or one the cut or the text's end follows: a character
        } else {
            width = TabStopAfter(t, width, tabIndex);
        }
        line.Plain = false;
        ++count;
        ++at;
        if (m_MaxWidth > 0 && width > m_MaxWidth) return false;
    }
    line.Count = count;
    line.Width = width;
    return true;
}

bool TLinesBuffer::UniformWrapped(TTextPos start, TTextPos end, TTextPos fit, const TLayoutTables& t,
                                  TCutLine& line) {
    // The line's first fit + 2 bytes decide it: where it breaks, or that it wraps and where.
    const TTextPos need = std::min(fit + 2, end - start);
    if (need > m_Window.MaxSize()) return false;
    TTextPos n = 0;
    const unsigned char* p = m_Window.At(start, n, need);
    n = std::min(n, end - start);
    // UTF-8 characters beyond ASCII are not one byte each: such a line is measured.
    if (t.Codes && std::any_of(p, p + need, [](unsigned char c) { return c >= 0x80; })) return false;
    TTextPos r = ByteScan::FindControl(p, p + fit + 1) - p; // a control byte within reach ends the line
    if (r > fit) {
        // The character at `fit` passes the width: spaces and hyphens hang there, and the first
        // other character goes to the next line, which starts after the last space or hyphen.
        r = fit;
        while (r < n && IsBreak(p[r]))
            ++r;
        if (r == n) return false;
        if (p[r] != TAB && p[r] != LF && p[r] != FF && p[r] != CR) {
            const unsigned char* lastBreak = ByteScan::FindLastBreak(p, p + r);
            line.Count = lastBreak ? lastBreak - p + 1 : fit;
            line.Next = start + line.Count;
            line.Width = line.Count * t.UniformWidth;
            line.Ended = line.Plain = true;
            return true;
        }
    }
    // A control byte at r ends the line after the r characters before it.
    line.Count = r;
    line.Width = r * t.UniformWidth;
    line.Ended = line.Plain = true;
    switch (p[r]) {
    case LF:
        line.Next = start + r + 1;
        return true;
    case FF:
        line.Next = start + (r > 0 ? r : r + 1);
        return true;
    case CR:
        line.Next = start + r + 2;
        return r + 1 < n && p[r + 1] == LF;
    default:
        return false; // a tab may or may not fit: measured
    }
}

TTextPos TLinesBuffer::ScreenWidth(TTextPos start, const TCutLine& line) {
    if (!m_LayoutOnPrinter) return line.Width;
    if (line.Plain && m_Screen.UniformWidth > 0 && CharSet() != TCharSets::csUtf8)
        return line.Count * m_Screen.UniformWidth;
    return MeasureWidth(start, start + line.Count);
}
