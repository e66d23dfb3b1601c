// Laying out many lines of TLinesBuffer at once, for a scan that counts them (NextLineEnds). Most lines
// of most texts end at a line break well before the wrap width: such a line is found by where its LF
// lies, sixty-four bytes at a time, and measured only when it may be the widest so far. Lines inside a
// long run of one repeated byte (a file of zeros) hold as many of its characters as fit, and are counted
// by arithmetic. Every other line is laid out as NextLineEnd lays it out.
//
// Counts are bytes. In UTF-8 a line's bytes bound its characters and its width, and where the bound
// does not settle a question the line's characters are measured.

#include <algorithm>
#include <limits>

#include "text/ByteScan.h"
#include "text/LinesBuffer.h"

namespace {

constexpr unsigned char TAB = 9;
constexpr unsigned char LF = 10;
constexpr unsigned char FF = 12;
constexpr unsigned char CR = 13;
constexpr TTextPos kNoLimit = std::numeric_limits<TTextPos>::max();

constexpr unsigned char VT = 11;

// ByteScan::ControlMask for the last `n` (< 64) bytes of a window.
std::uint64_t TailMask(const unsigned char* p, TTextPos n) {
    std::uint64_t bits = 0;
    for (TTextPos i = 0; i < n; ++i)
        bits |= std::uint64_t{p[i] >= TAB && p[i] <= CR} << i;
    return bits;
}

} // namespace

TTextPos TLinesBuffer::NextLineEnds(TTextPos& pos, TTextPos stop, TTextPos maxLines, TTextPos& maxWidth) {
    if (pos >= m_TextSize || maxLines <= 0) return 0;
    RequireMetrics();
    const TLayoutTables tables = LayoutTables();
    stop = std::min(stop, m_TextSize);
    TTextPos lines = 0;
    while (lines < maxLines && pos < stop) {
        if (m_FastLayout) {
            const TTextPos plain = PlainLines(pos, stop, maxLines - lines, maxWidth, tables);
            lines += plain;
            if (lines == maxLines || pos >= stop || (plain > 0 && m_Window.ByteAt(pos) == FF)) break;
            lines += RunLines(pos, stop, maxLines - lines, maxWidth, tables);
            if (lines == maxLines || pos >= stop) break;
        }
        TTextPos next = pos, width = 0, count = 0;
        if (!LayOutLine(next, width, count, tables) || next >= m_TextSize) break; // the last line
        ++lines;
        maxWidth = std::max(maxWidth, width);
        pos = next;
        if (m_Window.ByteAt(pos) == FF) break;
    }
    return lines;
}

TTextPos TLinesBuffer::PlainLines(TTextPos& pos, TTextPos stop, TTextPos maxLines, TTextPos& maxWidth,
                                  const TLayoutTables& t) {
    // Widths are told in screen pixels, whatever the layout measures in.
    const TLayoutTables shown = m_LayoutOnPrinter ? ScreenTables() : t;
    const TTextPos wrap = m_MaxWidth > 0 ? m_MaxWidth : kNoLimit;
    // With a fixed pitch: the most characters a line may hold without wrapping (one always fits).
    const TTextPos fit = t.UniformWidth > 0 ? std::max<TTextPos>(1, wrap / t.UniformWidth) : kNoLimit;
    const TTextPos maxBytes = m_MaxLineBytes - 1; // bytes before the LF that the cut leaves whole
    // With a fixed pitch on the screen too, lines of at most this many bytes need no other test.
    const bool fixedPitch = t.UniformWidth > 0 && shown.UniformWidth > 0;
    const TTextPos shortLine = std::min(maxBytes, fit);
    TTextPos lines = 0, longest = 0; // longest: in characters, with a fixed pitch

    // In UTF-8 a line's bytes only bound its characters (and its width): where the bound is not
    // enough, the characters are counted.
    auto cells = [](const unsigned char* p, TTextPos chars, const TLayoutTables& tables) {
        return tables.Codes ? TextWidth(p, chars, tables) / tables.UniformWidth : chars;
    };
    auto noteLongest = [&](const unsigned char* p, TTextPos chars) {
        if (chars > longest) longest = std::max(longest, cells(p, chars, shown));
    };
    // Takes the line [lineStart, x) of p that an LF at x ends, unless it is NextLineEnd's to lay out.
    auto take = [&](const unsigned char* p, TTextPos lineStart, TTextPos x) {
        const TTextPos bytes = x - lineStart;
        const TTextPos chars = bytes - (bytes > 0 && p[x - 1] == CR ? 1 : 0);
        if (bytes > maxBytes || (chars > fit && cells(p + lineStart, chars, t) > fit)) return false;
        bool measured = false;
        if (t.UniformWidth == 0 && chars * t.WidestByte > wrap) {
            // A line wraps only when its whole width passes the wrap width.
            const TTextPos width = TextWidth(p + lineStart, chars, t);
            if (width > wrap) return false;
            measured = !m_LayoutOnPrinter;
            if (measured) maxWidth = std::max(maxWidth, width);
        }
        if (shown.UniformWidth > 0)
            noteLongest(p + lineStart, chars);
        else if (!measured && chars * shown.WidestByte > maxWidth)
            maxWidth = std::max(maxWidth, TextWidth(p + lineStart, chars, shown));
        return true;
    };
    for (TTextPos need = 1;;) {
        TTextPos n = 0;
        const unsigned char* p = m_Window.At(pos, n, need);
        // In window indexes: the last LF that may end a line laid out here (the text's last byte ends
        // the last line), and where the stop lies.
        const TTextPos lastLf = m_TextSize - pos - 2, stopAt = stop - pos;
        TTextPos lineStart = 0;
        bool done = false, dirty = false; // dirty: the line holds a TAB, a form feed or a lone CR
        for (TTextPos block = 0; block < n && !done; block += 64) {
            std::uint64_t controls =
                n - block >= 64 ? ByteScan::ControlMask(p + block) : TailMask(p + block, n - block);
            for (; controls; controls &= controls - 1) {
                const TTextPos x = block + __builtin_ctzll(controls);
                if (p[x] != LF) {
                    // A CR before an LF is part of the line break; VT is an ordinary character.
                    if (!(p[x] == CR && x + 1 < n && p[x + 1] == LF) && p[x] != VT) dirty = true;
                    continue;
                }
                const TTextPos bytes = x - lineStart;
                if (dirty || x > lastLf) {
                    done = true;
                    break;
                }
                if (fixedPitch && bytes <= shortLine) {
                    noteLongest(p + lineStart, bytes - (bytes > 0 && p[x - 1] == CR ? 1 : 0));
                } else if (!take(p, lineStart, x)) {
                    done = true;
                    break;
                }
                ++lines;
                lineStart = x + 1;
                if (lines == maxLines || lineStart >= stopAt) {
                    done = true;
                    break;
                }
            }
        }
        pos += lineStart;
        // A line that does not end in the window starts the next one, unless it is longer than a window.
        if (done || lineStart == 0 || pos + (n - lineStart) == m_TextSize) break;
        need = n - lineStart + 1;
    }
    if (shown.UniformWidth > 0) maxWidth = std::max(maxWidth, longest * shown.UniformWidth);
    return lines;
}

TTextPos TLinesBuffer::RunLines(TTextPos& pos, TTextPos stop, TTextPos maxLines, TTextPos& maxWidth,
                                const TLayoutTables& t) {
    if (m_MaxWidth <= 0) return 0;
    TTextPos n = 0;
    const unsigned char* p = m_Window.At(pos, n, 16);
    if (n < 16) return 0;
    const unsigned char c = p[0];
    if (c >= 0x80 && t.Codes) return 0; // bytes of UTF-8 sequences, measured as characters
    if (c == ' ' || c == '-' || c == TAB || c == LF || c == FF || c == CR) return 0;
    if (ByteScan::FindOther(p, p + 16, c) != p + 16) return 0;
    const TTextPos width = t.Widths[c];
    if (width <= 0) return 0; // no line of these would ever wrap: the cut ends them
    const TTextPos fit = std::max<TTextPos>(1, m_MaxWidth / width);
    if (fit >= m_MaxLineBytes) return 0;
    // A line wholly inside the run holds `fit` characters when one more of the run follows it. Lines
    // at pos + i * fit, for i below `most`, are all that the caller asked for.
    const TTextPos most = std::min(maxLines, (stop - pos - 1) / fit + 1);
    const TTextPos limit = std::min(m_TextSize, pos + most * fit + 1);
    TTextPos runEnd = pos;
    while (runEnd < limit) {
        const unsigned char* q = m_Window.At(runEnd, n);
        n = std::min(n, limit - runEnd);
        const TTextPos same = ByteScan::FindOther(q, q + n, c) - q;
        runEnd += same;
        if (same < n) break;
    }
    const TTextPos lines = std::min(most, (runEnd - pos - 1) / fit);
    if (lines <= 0) return 0;
    pos += lines * fit;
    const TTextPos shownWidth = m_LayoutOnPrinter ? m_Screen.Metrics.Widths[c] : width;
    maxWidth = std::max(maxWidth, fit * shownWidth);
    return lines;
}
