#include "mail/QuoteReformatter.h"

#include <algorithm>
#include <cstring>

#include "text/LinesBuffer.h"

namespace {

constexpr unsigned char LF = 10;
constexpr unsigned char FF = 12;
constexpr unsigned char CR = 13;
// Without a wrap width a paragraph becomes one line of any length: it is written out as it grows.
constexpr size_t kUnwrappedHold = 64 * 1024;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsQuotePunctuation(unsigned char c) {
    return (c >= 33 && c <= 47) || (c >= 58 && c <= 63) || (c >= 91 && c <= 94) || c == 96 ||
           (c >= 123 && c <= 126);
}

} // namespace

std::string QuotePrefix(std::string_view line) {
    if (line.empty() || IsBlank(line.front())) return {};
    size_t end = 0;
    while (end < line.size() && !IsQuotePunctuation(static_cast<unsigned char>(line[end])))
        ++end;
    while (end < line.size() && IsQuotePunctuation(static_cast<unsigned char>(line[end])))
        ++end;
    return std::string(line.substr(0, end));
}

TQuoteReformatter::TQuoteReformatter(TLinesBuffer& text, std::string oldQuote, std::string newQuote,
                                     std::string lineBreak)
    : m_Text(text), m_OldQuote(std::move(oldQuote)), m_NewQuote(std::move(newQuote)),
      m_LineBreak(std::move(lineBreak)) {}

// Reading the original text ------------------------------------------------------------------------

TQuoteReformatter::TLine TQuoteReformatter::ReadLine(TTextPos pos) {
    const TTextPos size = m_Text.TextSize();
    TLine line{pos, pos, pos, false};
    if (m_Poll && !m_Poll(pos - m_Start)) m_Stopped = true;
    if (pos >= size) return line;
    if (*m_Text.GetCharPtr(pos) == FF) {
        line.FormFeed = true;
        line.Next = pos + 1;
        if (m_Text.IsLineBreakAt(line.Next)) line.Next += *m_Text.GetCharPtr(line.Next) == CR ? 2 : 1;
        return line;
    }
    for (TTextPos p = pos; p < size;) {
        const unsigned char* block = m_Text.GetCharPtr(p);
        const auto n = static_cast<size_t>(std::min<TTextPos>(m_Text.BlockLast() - block + 1, size - p));
        const auto* lf = static_cast<const unsigned char*>(std::memchr(block, LF, n));
        const size_t limit = lf ? static_cast<size_t>(lf - block) : n;
        if (const auto* ff = static_cast<const unsigned char*>(std::memchr(block, FF, limit))) {
            line.TextEnd = line.Next = p + (ff - block);
            return line;
        }
        if (lf) {
            const TTextPos at = p + (lf - block);
            line.TextEnd = at > pos && *m_Text.GetCharPtr(at - 1) == CR ? at - 1 : at;
            line.Next = at + 1;
            return line;
        }
        p += static_cast<TTextPos>(n);
    }
    line.TextEnd = line.Next = size;
    return line;
}

bool TQuoteReformatter::Quoted(const TLine& line) {
    const auto length = static_cast<TTextPos>(m_OldQuote.size());
    return line.TextEnd - line.Start >= length && m_Text.GetText(line.Start, length) == m_OldQuote;
}

bool TQuoteReformatter::Blank(const TLine& line, TTextPos quote) {
    for (TTextPos p = line.Start + quote; p < line.TextEnd; ++p)
        if (*m_Text.GetCharPtr(p) != ' ') return false;
    return true;
}

bool TQuoteReformatter::RangeReaches(TTextPos pos) {
    const TTextPos end = m_Marks.front().In;
    const TLine line = ReadLine(pos);
    if (line.FormFeed || end >= line.TextEnd) return end >= line.TextEnd;
    // The end lies in the line: it reaches the end of its first display line only if the display wraps
    // the line there.
    const std::string text = m_Text.GetText(line.Start, line.TextEnd - line.Start);
    bool atBreak = false;
    const TTextPos wrap = m_Text.WrapBytes(reinterpret_cast<const unsigned char*>(text.data()),
                                           static_cast<TTextPos>(text.size()), atBreak);
    return end >= line.Start + wrap;
}

bool TQuoteReformatter::EndBeyond(size_t offset) const {
    const TMark& end = m_Marks.front();
    return end.Out < 0 || end.Out > m_Emitted + static_cast<TTextPos>(offset);
}

// Building the output ------------------------------------------------------------------------------

void TQuoteReformatter::Take(TTextPos from, TTextPos count) {
    const size_t at = m_Line.size();
    m_Line.resize(at + static_cast<size_t>(count));
    m_Text.CopyToBuffer(reinterpret_cast<unsigned char*>(m_Line.data() + at), from, count);
    // A position in bytes taken out before these goes where these begin.
    for (TMark& mark : m_Marks)
        if (mark.Out < 0 && mark.In <= from + count)
            mark.Out = m_Emitted + static_cast<TTextPos>(at) + std::max<TTextPos>(0, mark.In - from);
}

void TQuoteReformatter::Put(std::string_view bytes) {
    m_Line += bytes;
}

void TQuoteReformatter::Emit(size_t count, std::string_view lineBreak, std::string_view prefix) {
    m_Output.Append(std::string_view(m_Line).substr(0, count));
    m_Output.Append(lineBreak);
    const TTextPos cut = m_Emitted + static_cast<TTextPos>(count);
    const auto added = static_cast<TTextPos>(lineBreak.size() + prefix.size());
    for (TMark& mark : m_Marks)
        if (mark.Out >= cut) mark.Out += added;
    m_Emitted = cut + static_cast<TTextPos>(lineBreak.size());
    m_Line = std::string(prefix) + m_Line.substr(count);
    m_ContentStart = prefix.size();
}

void TQuoteReformatter::TrimLine() {
    // The line's first byte is never taken, even when it is a space.
    size_t size = m_Line.size();
    while (size > 1 && IsBlank(m_Line[size - 1]))
        --size;
    m_Line.resize(size);
    for (TMark& mark : m_Marks)
        mark.Out = std::min(mark.Out, m_Emitted + static_cast<TTextPos>(size));
}

// The reformatting ---------------------------------------------------------------------------------

bool TQuoteReformatter::Run(TTextPos start, TTextPos end, const std::function<bool(TTextPos done)>& poll) {
    m_Marks.insert(m_Marks.begin(), TMark{std::clamp<TTextPos>(end, start, m_Text.TextSize())});
    m_Poll = poll;
    m_Start = start;
    for (TTextPos pos = start; pos >= 0 && !m_Stopped;) {
        const TLine line = ReadLine(pos);
        if (line.FormFeed) { // a page break stays as it is
            Take(line.Start, line.Next - line.Start);
            Emit(m_Line.size());
            pos = line.Next;
        } else {
            pos = Paragraph(line);
        }
        // The next paragraph is reformatted when the range takes in its first display line.
        if (pos >= 0 && (pos >= m_Text.TextSize() || !RangeReaches(pos))) pos = Stop(pos);
    }
    return !m_Stopped;
}

TTextPos TQuoteReformatter::Stop(TTextPos pos) {
    Emit(m_Line.size());
    m_ChangeEnd = pos;
    return -1;
}

TTextPos TQuoteReformatter::NewPosition(TTextPos pos) const {
    for (const TMark& mark : m_Marks)
        if (mark.In == pos && mark.Out >= 0) return m_Start + mark.Out;
    if (pos < m_Start) return pos;
    return m_Start + m_Emitted + std::max<TTextPos>(0, pos - m_ChangeEnd);
}

TTextPos TQuoteReformatter::Paragraph(const TLine& line) {
    const bool quoted = Quoted(line);
    const TTextPos quote = quoted ? static_cast<TTextPos>(m_OldQuote.size()) : 0;
    // A separator where a paragraph would start (two in a row, or the range's first line) holds the new
    // quote alone; the paragraph after it keeps its own quote.
    if (Blank(line, quote) && m_Marks.front().In > line.TextEnd) {
        Put(m_NewQuote);
        Take(line.TextEnd, line.Next - line.TextEnd);
        Emit(m_Line.size());
        return line.Next;
    }
    m_Quoted = quoted;
    if (quoted) Put(m_NewQuote);
    m_ContentStart = m_Line.size();
    Take(line.Start + quote, line.TextEnd - line.Start - quote);
    m_Current = line;
    return Fill();
}

TTextPos TQuoteReformatter::Fill() {
    while (!m_Stopped) {
        if (const size_t wrap = WrapPoint(); wrap < m_Line.size()) {
            if (!EndBeyond(wrap)) return Stop(m_Current.TextEnd);
            Emit(wrap, m_LineBreak, m_Quoted ? std::string_view(m_NewQuote) : std::string_view());
            continue;
        }
        if (!EndBeyond(m_Line.size()) || m_Current.Next >= m_Text.TextSize()) return Stop(m_Current.TextEnd);
        const TLine next = ReadLine(m_Current.Next);
        if (next.FormFeed) { // the paragraph ends before a page break
            Take(m_Current.TextEnd, m_Current.Next - m_Current.TextEnd);
            Emit(m_Line.size());
            return next.Start;
        }
        const bool quoted = Quoted(next);
        const TTextPos quote = quoted ? static_cast<TTextPos>(m_OldQuote.size()) : 0;
        if (Blank(next, quote)) { // a separator: the paragraph ends, the separator holds the new quote
            TrimLine();
            Put(m_LineBreak);
            Put(m_NewQuote);
            Take(next.TextEnd, next.Next - next.TextEnd);
            Emit(m_Line.size());
            return next.Next;
        }
        m_Quoted = quoted;
        if (!IsBlank(m_Line.back())) Put(" ");
        Take(next.Start + quote, next.TextEnd - next.Start - quote);
        m_Current = next;
        if (m_Text.MaxWidth() <= 0 && m_Line.size() > kUnwrappedHold) {
            // Only the blanks at the end may still be taken away.
            size_t keep = m_Line.size();
            while (keep > 1 && IsBlank(m_Line[keep - 1]))
                --keep;
            Emit(keep - 1);
        }
    }
    return -1;
}

size_t TQuoteReformatter::WrapPoint() const {
    bool atBreak = false;
    const auto size = static_cast<TTextPos>(m_Line.size());
    const TTextPos wrap =
        m_Text.WrapBytes(reinterpret_cast<const unsigned char*>(m_Line.data()), size, atBreak);
    // Blanks left over after a wrap would make a line of their own: they stay at this one's end.
    if (wrap >= size || m_Line.find_first_not_of(" \t", static_cast<size_t>(wrap)) == std::string::npos)
        return m_Line.size();
    // The line must carry a word of its text: one that does not fit after the quote stays whole, and
    // the line is longer than the width, as the display shows a long word.
    const size_t word = m_Line.find_first_not_of(" \t", m_ContentStart);
    if (word == std::string::npos) return m_Line.size();
    if (atBreak && static_cast<size_t>(wrap) > word) return static_cast<size_t>(wrap);
    size_t end = m_Line.find_first_of(" -", word);
    if (end == std::string::npos) return m_Line.size();
    end = m_Line.find_first_not_of(' ', end + 1);
    return end == std::string::npos || m_Line.find_first_not_of(" \t", end) == std::string::npos
               ? m_Line.size()
               : end;
}
