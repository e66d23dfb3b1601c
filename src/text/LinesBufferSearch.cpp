// The search engine of TLinesBuffer: the text is scanned block by block through the block cache; the
// bytes of each block are appended to a small window that also keeps the last few bytes of the block
// before, so matches that straddle two blocks, and the neighbours a whole-word match needs, are found
// wherever the blocks fall.

#include <algorithm>
#include <cstring>
#include <vector>

#include "text/Exceptions.h"
#include "text/LinesBuffer.h"
#include "text/SearchPattern.h"
#include "text/Utf8.h"
#include "text/WordChars.h"

namespace {

// Bytes [Start, Start + size) of the text, as far as a search has them in memory.
struct TWindow {
    std::vector<unsigned char> Bytes;
    TTextPos Start = 0;

    TTextPos End() const { return Start + static_cast<TTextPos>(Bytes.size()); }
    const unsigned char* At(TTextPos pos) const { return Bytes.data() + (pos - Start); }
    void Append(const unsigned char* p, TTextPos n) { Bytes.insert(Bytes.end(), p, p + n); }
    void Prepend(const unsigned char* p, TTextPos n) {
        Bytes.insert(Bytes.begin(), p, p + n);
        Start -= n;
    }
    // Whether the match [found, found + length) has no word character right before or after it. In
    // UTF-8 the neighbours are whole characters, for which the window holds four bytes on either side.
    bool StandsAlone(TTextPos found, TTextPos length, TTextPos textSize, TCharSets set) const {
        const TTextPos after = found + length;
        if (set == TCharSets::csWindows1252)
            return (found == 0 || !IsWordChar(*At(found - 1))) && (after == textSize || !IsWordChar(*At(after)));
        if (found > 0) {
            const unsigned char* start = Utf8CharStart(At(std::max(found - 4, Start)), At(found), At(found));
            if (IsWordCode(DecodeUtf8(start, At(found)).Code)) return false;
        }
        return after == textSize || !IsWordCode(DecodeUtf8(At(after), At(End())).Code);
    }
    // Keeps only the bytes of [from, to).
    void Keep(TTextPos from, TTextPos to) {
        Bytes.erase(Bytes.begin() + (to - Start), Bytes.end());
        Bytes.erase(Bytes.begin(), Bytes.begin() + (from - Start));
        Start = from;
    }
};

} // namespace

TTextPos TLinesBuffer::WordContext(bool wholeWord) const {
    if (!wholeWord) return 0;
    return CharSet() == TCharSets::csUtf8 ? 4 : 1;
}

bool TLinesBuffer::SearchStatus(TTextPos done) {
    bool cancelled = false;
    if (OnSearchStatus) OnSearchStatus(done, cancelled);
    return cancelled;
}

bool TLinesBuffer::Find(TTextPos& pos, std::string_view pattern, TFindOptions options) {
    if (pattern.size() > 256) throw EFindStringError("Search String exceeds 256 characters");
    if (pattern.empty() || m_TextSize == 0) return false;
    pos = std::clamp<TTextPos>(pos, 0, m_TextSize - 1);
    return options & frDown ? FindForward(pos, pattern, options) : FindBackward(pos, pattern, options);
}

bool TLinesBuffer::FindForward(TTextPos& pos, std::string_view text, TFindOptions options) {
    const TSearchPattern pattern(text, options & frMatchCase, CharSet());
    const TTextPos length = pattern.Length();
    const bool wholeWord = options & frWholeWord;
    const TTextPos context = WordContext(wholeWord); // neighbour bytes a candidate needs on each side
    TTextPos first = pos;                       // the first start not yet examined
    TWindow window;
    window.Start = std::max<TTextPos>(first - context, 0);
    window.Bytes.reserve(8192);
    while (window.End() < m_TextSize) {
        const TTextPos from = window.End();
        const unsigned char* p = GetCharPtr(from);
        window.Append(p, BlockLast() - p + 1);
        const bool atEnd = window.End() >= m_TextSize;
        // A candidate needs its whole length, and for a whole word the byte after it, in the window.
        const TTextPos last = window.End() - length - (atEnd ? 0 : context);
        while (first <= last) {
            const TTextPos at = pattern.FindFirst(window.Bytes.data(), first - window.Start, last - window.Start);
            if (at < 0) break;
            const TTextPos found = window.Start + at;
            if (!wholeWord || window.StandsAlone(found, length, m_TextSize, CharSet())) {
                pos = found;
                return true;
            }
            first = found + 1;
        }
        first = std::max(first, last + 1);
        if (atEnd || SearchStatus(window.End() - 1)) return false;
        window.Keep(std::max<TTextPos>(first - context, window.Start), window.End());
    }
    return false;
}

bool TLinesBuffer::FindBackward(TTextPos& pos, std::string_view text, TFindOptions options) {
    const TSearchPattern pattern(text, options & frMatchCase, CharSet());
    const TTextPos length = pattern.Length();
    const bool wholeWord = options & frWholeWord;
    const TTextPos context = WordContext(wholeWord);
    TTextPos last = pos - length + 1; // the last start not yet examined
    if (last < 0) return false;
    TWindow window;
    window.Start = std::min(last + length + context, m_TextSize);
    window.Bytes.reserve(8192);
    while (window.Start > 0) {
        const TTextPos to = window.Start - 1;
        const unsigned char* p = GetCharPtr(to);
        const TTextPos n = p - BlockFirst() + 1;
        window.Prepend(p - n + 1, n);
        const bool atStart = window.Start == 0;
        // A candidate needs the byte before it in the window too, for a whole word.
        const TTextPos first = window.Start + (atStart ? 0 : context);
        while (first <= last) {
            const TTextPos at = pattern.FindLast(window.Bytes.data(), first - window.Start, last - window.Start);
            if (at < 0) break;
            const TTextPos found = window.Start + at;
            if (!wholeWord || window.StandsAlone(found, length, m_TextSize, CharSet())) {
                pos = found;
                return true;
            }
            last = found - 1;
        }
        last = std::min(last, first - 1);
        if (atStart || last < 0 || SearchStatus(window.Start)) return false;
        window.Keep(window.Start, std::min(last + length + context, window.End()));
    }
    return false;
}
