#include "text/RunMeasure.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "text/ByteScan.h"
#include "text/Utf8.h"

namespace {

constexpr unsigned char TAB = 9;
constexpr unsigned char LF = 10;
constexpr unsigned char FF = 12;
constexpr unsigned char CR = 13;

constexpr std::array<bool, 256> kBreakChar = [] {
    std::array<bool, 256> table{};
    table[' '] = table['-'] = true;
    return table;
}();

// The measurement of one run, held in locals so that the loops keep it in registers.
class TRun {
public:
    TRun(const unsigned char* p, TTextPos pos, const TRunState& s, const TLayoutTables& t, bool wrap, TTextPos limit)
        : m_P(p), m_Pos(pos), m_T(t), m_Wrap(wrap), m_Limit(limit), m_Width(s.Width), m_Count(s.Count),
          m_BreakPos(s.BreakPos), m_BreakWidth(s.BreakWidth), m_BreakCount(s.BreakCount), m_TabIndex(s.TabIndex) {}

    TRunEnd Measure(TTextPos n, TTextPos& next) {
        // In UTF-8 the spans measured through the byte table are ASCII; other characters go one by one.
        const auto find = m_T.Codes ? ByteScan::FindControlOrHigh : ByteScan::FindControl;
        TTextPos i = 0;
        while (i < n) {
            const TTextPos spanStart = i;
            const TTextPos j = find(m_P + i, m_P + n) - m_P;
            if (!Span(i, j)) {
                next = m_Next;
                return TRunEnd::LineEnded;
            }
            if (i == n) {
                NoteBreak(spanStart, i);
                break;
            }
            const unsigned char c = m_P[i];
            if (c == LF) return Ended(i + 1, next);
            if (c == FF) return Ended(m_Count > 0 ? i : i + 1, next); // after text it starts the next line
            if (c == CR && i + 1 < n && m_P[i + 1] == LF) return Ended(i + 2, next);
            NoteBreak(spanStart, i);
            if (c >= 0x80 && m_T.Codes) {
                if (!Characters(i, n)) {
                    next = m_Next;
                    return TRunEnd::LineEnded;
                }
                continue;
            }
            int tabIndex = m_TabIndex;
            const TTextPos w = c == TAB ? TabStopAfter(m_T, m_Width, tabIndex) - m_Width : m_T.Widths[c];
            if (Refused(w, false)) {
                next = EndAtLimit(i);
                return TRunEnd::LineEnded;
            }
            m_TabIndex = tabIndex;
            m_Width += w;
            ++m_Count;
            ++i;
        }
        next = m_Pos + n;
        return TRunEnd::Exhausted;
    }

    void Save(TRunState& s) const { s = {m_Width, m_Count, m_BreakPos, m_BreakWidth, m_BreakCount, m_TabIndex}; }

private:
    // Whether a character of width `w` must stay off the line: it passes the limit, and the line may
    // end before it (spaces and hyphens hang when wrapping, and a wrapped line takes at least one).
    bool Refused(TTextPos w, bool isBreak) const { return Refused(m_Width, m_Count, w, isBreak); }
    bool Refused(TTextPos width, TTextPos count, TTextPos w, bool isBreak) const {
        return m_Limit > 0 && width + w > m_Limit && !(m_Wrap && (isBreak || count == 0));
    }
    TRunEnd Ended(TTextPos i, TTextPos& next) const {
        next = m_Pos + i;
        return TRunEnd::LineEnded;
    }
    // Ends the line before byte i, or after the last space or hyphen when wrapping; returns where the
    // next line starts.
    TTextPos EndAtLimit(TTextPos i) {
        if (!m_Wrap || m_BreakCount == 0) return m_Pos + i;
        m_Width = m_BreakWidth;
        m_Count = m_BreakCount;
        return m_BreakPos;
    }
    // Spans are measured without looking for break points; when a wrapped line goes on past the span
    // [from, to), or must end inside it, the last space or hyphen in it is looked up backwards.
    void NoteBreak(TTextPos from, TTextPos to) {
        if (!m_Wrap || m_Limit <= 0) return;
        TTextPos after = 0; // width of the bytes after the break
        for (TTextPos k = to - 1; k >= from; --k) {
            if (kBreakChar[m_P[k]]) {
                m_BreakPos = m_Pos + k + 1;
                m_BreakWidth = m_Width - after;
                m_BreakCount = m_Count - (to - 1 - k);
                return;
            }
            after += m_T.Widths[m_P[k]];
        }
    }
    bool Refuse(TTextPos from, TTextPos i) {
        NoteBreak(from, i);
        m_Next = EndAtLimit(i);
        return false;
    }

    // Measures the UTF-8 characters beyond ASCII from byte i on, up to the next ASCII byte; false when
    // the line ends before one of them.
    bool Characters(TTextPos& i, TTextPos n) {
        TTextPos width = m_Width, count = m_Count;
        for (; i < n && m_P[i] >= 0x80;) {
            const TUtf8Char c = DecodeUtf8Fast(m_P + i, m_P + n);
            const TTextPos w = m_T.Codes->Width(c.Code);
            if (Refused(width, count, w, false)) {
                m_Width = width;
                m_Count = count;
                m_Next = EndAtLimit(i);
                return false;
            }
            width += w;
            count += c.Length;
            i += c.Length;
        }
        m_Width = width;
        m_Count = count;
        return true;
    }

    // Measures bytes [i, j), which hold no control byte; false when the line ends in them.
    bool Span(TTextPos& i, TTextPos j) {
        const TTextPos uniform = m_T.UniformWidth;
        const TTextPos from = i;
        const TTextPos count = m_Count;
        TTextPos width = m_Width;
        if (m_Limit <= 0) {
            width += uniform ? (j - i) * uniform : SumWidths(m_P + i, j - i, m_T.Widths);
            m_Width = width;
            m_Count = count + (j - from);
            i = j;
            return true;
        }
        for (;;) {
            if (uniform) { // every character up to `end` fits: take them at once
                const TTextPos room = (m_Limit - width) / uniform;
                const TTextPos end = room > 0 ? std::min(j, i + room) : i;
                width += (end - i) * uniform;
                i = end;
            } else {
                // Characters that fit even at the widest are taken without testing each one.
                const TTextPos sure =
                    m_T.WidestByte > 0 ? std::min(j - i, (m_Limit - width) / m_T.WidestByte) : 0;
                if (sure > 0) {
                    width += SumWidths(m_P + i, sure, m_T.Widths);
                    i += sure;
                }
                for (; i < j && width + m_T.Widths[m_P[i]] <= m_Limit; ++i) width += m_T.Widths[m_P[i]];
            }
            m_Width = width;
            m_Count = count + (i - from);
            if (i == j) return true;
            // Byte i passes the limit: it hangs there or the line ends.
            const TTextPos w = m_T.Widths[m_P[i]];
            if (Refused(w, kBreakChar[m_P[i]])) return Refuse(from, i);
            width += w;
            ++i;
        }
    }

    const unsigned char* m_P;
    TTextPos m_Pos;
    const TLayoutTables& m_T;
    bool m_Wrap;
    TTextPos m_Limit;
    TTextPos m_Width, m_Count, m_BreakPos, m_BreakWidth, m_BreakCount;
    int m_TabIndex;
    TTextPos m_Next = 0; // where the line after a span that ended it starts
};

} // namespace

TTextPos TabStopAfter(const TLayoutTables& t, TTextPos width, int& tabIndex) {
    for (; tabIndex < t.NumTabStops; ++tabIndex)
        if (t.TabStops[tabIndex] > width) return t.TabStops[tabIndex];
    return (width / t.TabWidth + 1) * t.TabWidth;
}

TTextPos SumWidths(const unsigned char* p, TTextPos n, const TTextPos* widths) {
    TTextPos sum = 0;
    // A long run of one byte (a line of zeros, dashes or spaces) is one multiplication.
    while (n >= 64 && p[0] == p[1] && ByteScan::FindOther(p, p + 16, p[0]) == p + 16) {
        const TTextPos run = ByteScan::FindOther(p, p + n, p[0]) - p;
        sum += run * widths[p[0]];
        p += run;
        n -= run;
    }
    // Eight bytes read at once, and four sums side by side so that no addition waits on another.
    TTextPos a = 0, b = 0, c = 0, d = 0;
    TTextPos i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w = 0;
        std::memcpy(&w, p + i, 8);
        a += widths[w & 255];
        b += widths[w >> 8 & 255];
        c += widths[w >> 16 & 255];
        d += widths[w >> 24 & 255];
        a += widths[w >> 32 & 255];
        b += widths[w >> 40 & 255];
        c += widths[w >> 48 & 255];
        d += widths[w >> 56];
    }
    for (; i < n; ++i)
        a += widths[p[i]];
    return sum + a + b + c + d;
}

namespace {

// The width of plain UTF-8 (ByteScan::PlainUtf8Blocks), a block of sixteen bytes at a time: its ASCII
// bytes through the byte table, then each longer character found by its lead byte. No step waits on
// the length of the character before it, nor guesses where a word of another script ends.
bool PlainUtf8Width(const unsigned char* p, TTextPos n, TCodeWidths& codes, TTextPos& sum) {
    const TTextPos* ascii = codes.AsciiWidths();
    sum = 0;
    return ByteScan::PlainUtf8Blocks(p, p + n, [&](const unsigned char* at, int count, unsigned leads, unsigned, unsigned) {
        TTextPos a = 0, b = 0;
        int k = 0;
        for (; k + 1 < count; k += 2) {
            a += ascii[at[k]];
            b += ascii[at[k + 1]];
        }
        if (k < count) a += ascii[at[k]];
        sum += a + b;
        for (; leads; leads &= leads - 1) {
            const unsigned char* c = at + __builtin_ctz(leads);
            sum += codes.Width(c[0] < 0xE0 ? char32_t(c[0] & 0x1F) << 6 | (c[1] & 0x3F)
                                           : char32_t(c[0] & 0x0F) << 12 | char32_t(c[1] & 0x3F) << 6 | (c[2] & 0x3F));
        }
    });
}

} // namespace

TTextPos TextWidth(const unsigned char* p, TTextPos n, const TLayoutTables& t) {
    if (!t.Codes) return SumWidths(p, n, t.Widths);
    TCodeWidths& codes = *t.Codes;
    if (TTextPos sum = 0; PlainUtf8Width(p, n, codes, sum)) return sum;
    const TTextPos* widths = t.Widths;
    TTextPos sum = 0, i = 0;
    while (i < n) {
        if (p[i] >= 0x80) { // a word of other characters, as a rule
            do {
                const TUtf8Char c = DecodeUtf8Fast(p + i, p + n);
                sum += codes.Width(c.Code);
                i += c.Length;
            } while (i < n && p[i] >= 0x80);
            continue;
        }
        std::uint64_t w = 0;
        for (; n - i >= 8 && (std::memcpy(&w, p + i, 8), !(w & 0x8080808080808080)); i += 8)
            sum += widths[w & 255] + widths[w >> 8 & 255] + widths[w >> 16 & 255] + widths[w >> 24 & 255] +
                   widths[w >> 32 & 255] + widths[w >> 40 & 255] + widths[w >> 48 & 255] + widths[w >> 56];
        for (; i < n && p[i] < 0x80; ++i)
            sum += widths[p[i]];
    }
    return sum;
}

TTextPos NextTabStop(const TLayoutTables& tables, TRunState& state) {
    return TabStopAfter(tables, state.Width, state.TabIndex);
}

TRunEnd MeasureRun(const unsigned char* p, TTextPos n, TTextPos pos, TRunState& s, const TLayoutTables& t,
                   bool wrapAtSpaces, TTextPos limit, TTextPos& next) {
    TRun run(p, pos, s, t, wrapAtSpaces, limit);
    const TRunEnd result = run.Measure(n, next);
    run.Save(s);
    return result;
}
