#pragma once

#include <cstdint>
#include <vector>

#include "text/TextPos.h"

class TTextBuffer;

// A copy of a stretch of a text for layout to scan forward through, read from where the text is stored
// (TTextBuffer::ReadText) rather than through the 4 KB block cache, which keeps the block being edited.
// It holds [Pos, Pos + Count) of the text as it was at Version. A read that goes on forward from within
// the last one reads twice as much as that one, up to MaxSize; any other read starts small again, so a
// scan through the whole text costs few large reads and a look at one line costs one small read.
class TTextWindow {
public:
    static constexpr TTextPos DefaultMaxSize = 256 * 1024;
    static constexpr TTextPos StartSize = 4096;

    explicit TTextWindow(TTextBuffer& text) : m_Text(text) {}

    TTextPos MaxSize() const { return m_MaxSize; }
    // At least 16 bytes; tests use small windows to meet their edges often.
    void SetMaxSize(TTextPos size);

    // The bytes from `pos` (inside the text) to the window's end, at least `need` of them where the
    // text has them (need is at most MaxSize); `count` receives how many.
    const unsigned char* At(TTextPos pos, TTextPos& count, TTextPos need = 1) {
        if (pos < m_Pos || pos >= m_Pos + m_Count || (m_Pos + m_Count - pos < need && !m_ToEnd) ||
            m_Version != Version())
            Load(pos, need);
        count = m_Pos + m_Count - pos;
        return m_Bytes.data() + (pos - m_Pos);
    }
    // The byte at `pos`, inside the text.
    unsigned char ByteAt(TTextPos pos) {
        TTextPos count = 0;
        return *At(pos, count);
    }

private:
    std::uint64_t Version() const;
    void Load(TTextPos pos, TTextPos need);

    TTextBuffer& m_Text;
    std::vector<unsigned char> m_Bytes;
    TTextPos m_Pos = 0;
    TTextPos m_Count = 0;
    TTextPos m_MaxSize = DefaultMaxSize;
    TTextPos m_NextSize = StartSize;
    std::uint64_t m_Version = 0;
    bool m_ToEnd = false; // the window reaches the text's end
};
