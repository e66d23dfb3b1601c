#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "text/CharSet.h"
#include "text/TextPos.h"

class TStream;

// The root of the text model: a document's text as numbered bytes, with its size, modified flag, change
// events and bookmarks. It stores no text; derived classes bind the bytes and cache a block of them, and
// a pointer from GetCharPtr stays valid for reading up to BlockLast.
class TTextBuffer {
public:
    using TNotifyEvent = std::function<void(TTextBuffer& sender)>;

    TTextBuffer() = default;
    virtual ~TTextBuffer() = default;
    TTextBuffer(const TTextBuffer&) = delete;
    TTextBuffer& operator=(const TTextBuffer&) = delete;

    TNotifyEvent OnChange;   // after every change of the text
    TNotifyEvent OnModified; // when the modified flag changes

    TTextPos TextSize() const { return m_TextSize; }
    bool Modified() const { return m_Modified; }
    // Only an editable text can become modified; setting the current value raises nothing.
    void SetModified(bool value);
    bool OEMConvert() const { return m_OEMConvert; }
    void SetOEMConvert(bool value) {
        m_OEMConvert = value;
        ++m_TextVersion;
    }
    // Grows whenever bytes of the text may have changed: a copy of text taken at one version is
    // current for as long as the version stays.
    std::uint64_t TextVersion() const { return m_TextVersion; }
    // How the bytes read as characters.
    TCharSets CharSet() const { return m_CharSet; }
    void SetCharSet(TCharSets set) { m_CharSet = set; }
    // Character bounds in the text's set; in Windows-1252 every byte is a character, in UTF-8 a valid
    // sequence is one and every other byte is one of its own. Positions outside the text stay as they are.
    // The start of the character that holds the byte at `pos`.
    TTextPos CharStart(TTextPos pos);
    // The start of the character after the one starting at `pos`.
    TTextPos CharAfter(TTextPos pos);
    // The start of the character that ends at `pos`.
    TTextPos CharBefore(TTextPos pos) { return pos <= 0 ? pos : CharStart(pos - 1); }
    // The code point of the character starting at `pos` (the Windows-1252 byte's own value in that set,
    // U+FFFD for an invalid byte); `length` gets its bytes.
    char32_t CodeAt(TTextPos pos, int& length);
    // Whether the character starting at `pos` belongs to words (WordChars.h, by the text's set); `length`
    // gets its bytes.
    bool IsWordCharAt(TTextPos pos, int& length);
    // 0 or less: no limit.
    TTextPos MaxTextSize() const { return m_MaxTextSize; }
    void SetMaxTextSize(TTextPos value) { m_MaxTextSize = value; }
    bool KeepBookmarks() const { return m_KeepBookmarks; }
    void SetKeepBookmarks(bool value) { m_KeepBookmarks = value; }

    // Bookmarks: a handle indexes the table; a free entry holds -1.
    int AddBookmark(TTextPos pos);
    TTextPos GetBookmark(int handle) const;
    void DeleteBookmark(int handle);
    int BookmarkCount() const { return static_cast<int>(m_Bookmarks.size()); }
    // Moves a bookmark that is in use (saving with line breaks moves text).
    void SetBookmark(int handle, TTextPos pos);
    // Moves every bookmark at or after `pos` by `delta`; one inside a removed range goes to `pos`.
    void AdjustBookmarks(TTextPos pos, TTextPos delta);

    // Pointer to the byte at `pos`, loading the block that holds it.
    virtual unsigned char* GetCharPtr(TTextPos pos) = 0;
    const unsigned char* BlockFirst() const { return m_BlockFirst; }
    const unsigned char* BlockLast() const { return m_BlockLast; }

    virtual void CopyTo(TStream& dest, TTextPos pos, TTextPos count) = 0;
    // Copies the `count` bytes at `pos` (all inside the text) for a reader that scans far ahead: from
    // where the text is stored where that can be done without the block cache, which keeps its block.
    virtual void ReadText(unsigned char* dest, TTextPos pos, TTextPos count) {
        CopyToBuffer(dest, pos, count);
    }
    virtual void Insert(const unsigned char* buffer, TTextPos pos, TTextPos count) = 0;
    virtual void Delete(TTextPos pos, TTextPos count) = 0;
    virtual void Overwrite(TTextPos pos, unsigned char c) = 0;
    virtual bool CanEdit() const { return false; }
    // Empties the bookmarks unless KeepBookmarks is set; derived classes also drop the text.
    virtual void Clear();

    // Copies up to `count` bytes from `pos`, block by block; returns how many it copied.
    TTextPos CopyToBuffer(unsigned char* dest, TTextPos pos, TTextPos count);
    void InsertSpaces(TTextPos pos, TTextPos count);
    void InsertString(std::string_view s, TTextPos pos);

    // True at a lone LF and at the CR of CR LF; a lone CR is an ordinary byte.
    bool IsLineBreakAt(TTextPos pos);
    bool IsFormFeedAt(TTextPos pos);
    // When an LF or form feed ends just before `pos`, the position of the last byte of the line it ends
    // (-1 for an empty first line); otherwise `pos` itself.
    TTextPos LastCharBeforeBreak(TTextPos pos);

protected:
    virtual void Changed();
    // Bytes changed without a change event (an overwrite).
    void BytesChanged() { ++m_TextVersion; }
    virtual void ModifiedChanged();
    void SetBlock(unsigned char* first, unsigned char* last);
    // The byte at `pos`, which must lie inside the text.
    unsigned char ByteAt(TTextPos pos) { return *GetCharPtr(pos); }

    TTextPos m_TextSize = 0;

private:
    bool m_Modified = false;
    bool m_OEMConvert = false;
    TCharSets m_CharSet = TCharSets::csWindows1252;
    bool m_KeepBookmarks = false;
    TTextPos m_MaxTextSize = 0;
    std::uint64_t m_TextVersion = 0;
    unsigned char* m_BlockFirst = nullptr;
    unsigned char* m_BlockLast = nullptr;
    std::vector<TTextPos> m_Bookmarks;
};
