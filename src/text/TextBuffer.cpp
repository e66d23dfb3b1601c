#include "text/TextBuffer.h"

#include <algorithm>
#include <cstring>

#include "text/Exceptions.h"
#include "text/Utf8.h"
#include "text/WordChars.h"

namespace {
constexpr unsigned char LF = 10;
constexpr unsigned char FF = 12;
constexpr unsigned char CR = 13;
} // namespace

void TTextBuffer::SetModified(bool value) {
    if (!CanEdit() || value == m_Modified) return;
    m_Modified = value;
    ModifiedChanged();
}

void TTextBuffer::Changed() {
    BytesChanged();
    if (OnChange) OnChange(*this);
}

void TTextBuffer::ModifiedChanged() {
    if (OnModified) OnModified(*this);
}

void TTextBuffer::SetBlock(unsigned char* first, unsigned char* last) {
    m_BlockFirst = first;
    m_BlockLast = last;
}

TTextPos TTextBuffer::CharStart(TTextPos pos) {
    if (m_CharSet != TCharSets::csUtf8 || pos <= 0 || pos >= m_TextSize) return pos;
    // A sequence holding the byte starts at most three bytes before it and ends at most three after.
    unsigned char bytes[7];
    const TTextPos first = std::max<TTextPos>(0, pos - 3);
    const TTextPos count = CopyToBuffer(bytes, first, std::min<TTextPos>(m_TextSize, pos + 4) - first);
    const unsigned char* end = bytes + (pos - first) + 1;
    return first + (Utf8CharStart(bytes, end, bytes + count) - bytes);
}

char32_t TTextBuffer::CodeAt(TTextPos pos, int& length) {
    length = 1;
    if (pos < 0 || pos >= m_TextSize) return 0;
    if (m_CharSet != TCharSets::csUtf8) return ByteAt(pos);
    unsigned char bytes[4];
    const TTextPos count = CopyToBuffer(bytes, pos, std::min<TTextPos>(4, m_TextSize - pos));
    const TUtf8Char c = DecodeUtf8(bytes, bytes + count);
    length = c.Length;
    return c.Code;
}

bool TTextBuffer::IsWordCharAt(TTextPos pos, int& length) {
    const char32_t code = CodeAt(pos, length);
    if (pos < 0 || pos >= m_TextSize) return false;
    return m_CharSet == TCharSets::csUtf8 ? IsWordCode(code) : IsWordChar(static_cast<unsigned char>(code));
}

TTextPos TTextBuffer::CharAfter(TTextPos pos) {
    if (pos < 0 || pos >= m_TextSize) return pos;
    int length = 1;
    if (m_CharSet == TCharSets::csUtf8) CodeAt(pos, length);
    return pos + length;
}

int TTextBuffer::AddBookmark(TTextPos pos) {
    m_Bookmarks.push_back(pos);
    return static_cast<int>(m_Bookmarks.size() - 1);
}

TTextPos TTextBuffer::GetBookmark(int handle) const {
    if (handle < 0 || handle >= static_cast<int>(m_Bookmarks.size())) return -1;
    return m_Bookmarks[static_cast<size_t>(handle)];
}

void TTextBuffer::DeleteBookmark(int handle) {
    if (handle < 0 || handle >= static_cast<int>(m_Bookmarks.size()))
        throw EBookmarkError("Invalid Bookmark Handle");
    m_Bookmarks[static_cast<size_t>(handle)] = -1;
    while (!m_Bookmarks.empty() && m_Bookmarks.back() == -1) m_Bookmarks.pop_back();
}

void TTextBuffer::SetBookmark(int handle, TTextPos pos) {
    if (GetBookmark(handle) >= 0) m_Bookmarks[static_cast<size_t>(handle)] = pos;
}

void TTextBuffer::AdjustBookmarks(TTextPos pos, TTextPos delta) {
    for (TTextPos& mark : m_Bookmarks)
        if (mark >= 0 && mark >= pos) mark = std::max(pos, mark + delta);
}

void TTextBuffer::Clear() {
    if (!m_KeepBookmarks) m_Bookmarks.clear();
}

TTextPos TTextBuffer::CopyToBuffer(unsigned char* dest, TTextPos pos, TTextPos count) {
    TTextPos copied = 0;
    while (copied < count && pos >= 0 && pos < m_TextSize) {
        const unsigned char* p = GetCharPtr(pos);
        const TTextPos n = std::min(count - copied, static_cast<TTextPos>(m_BlockLast - p) + 1);
        std::memcpy(dest + copied, p, static_cast<size_t>(n));
        copied += n;
        pos += n;
    }
    return copied;
}

void TTextBuffer::InsertSpaces(TTextPos pos, TTextPos count) {
    if (count <= 0) return;
    const std::vector<unsigned char> spaces(static_cast<size_t>(count), ' ');
    Insert(spaces.data(), pos, count);
}

void TTextBuffer::InsertString(std::string_view s, TTextPos pos) {
    if (s.empty()) return;
    Insert(reinterpret_cast<const unsigned char*>(s.data()), pos, static_cast<TTextPos>(s.size()));
}

bool TTextBuffer::IsLineBreakAt(TTextPos pos) {
    if (pos < 0 || pos >= m_TextSize) return false;
    if (ByteAt(pos) == CR && ++pos >= m_TextSize) return false;
    return ByteAt(pos) == LF;
}

bool TTextBuffer::IsFormFeedAt(TTextPos pos) {
    return pos >= 0 && pos < m_TextSize && ByteAt(pos) == FF;
}

TTextPos TTextBuffer::LastCharBeforeBreak(TTextPos pos) {
    const TTextPos breakPos = pos - 1;
    if (breakPos < 0 || breakPos >= m_TextSize) return pos;
    const unsigned char c = ByteAt(breakPos);
    if (c != LF && c != FF) return pos;
    TTextPos last = pos - 2;
    if (last >= 0 && ByteAt(last) == CR) --last;
    return last;
}
