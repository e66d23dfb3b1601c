#pragma once

#include <memory>
#include <string>

#include "text/TextPos.h"

class TFreeList;

// A byte stream with a current position: the storage that text segments refer to, and the target that
// text is copied out to. Reads and writes move the position past the bytes they transfer.
class TStream {
public:
    virtual ~TStream() = default;

    virtual TTextPos Size() const = 0;
    TTextPos Position() const { return m_Position; }
    void Seek(TTextPos pos) { m_Position = pos; }

    // Reads up to `count` bytes; fewer only where the stream ends.
    virtual TTextPos Read(unsigned char* buffer, TTextPos count) = 0;
    virtual void Write(const unsigned char* buffer, TTextPos count) = 0;

    // Reads exactly `count` bytes or raises EReadError.
    void ReadBuffer(unsigned char* buffer, TTextPos count);
    // Copies `count` bytes from `source`'s position to this stream's position.
    virtual void CopyFrom(TStream& source, TTextPos count);
    // The free list that hands this stream's bytes out in areas; null for a stream that is not so used.
    virtual TFreeList* Allocator() const { return nullptr; }

    // Once kept (`self` owning this stream), the stream lives while any segment refers to it, whoever
    // else lets it go: a file replaced by a save stays readable while the history or a copied text holds
    // bytes of it, and no longer. Segments count their stream's users themselves, so that they stay
    // small. Kept() is null for a stream that was not kept.
    void KeepForSegments(std::shared_ptr<TStream> self) {
        if (!m_Kept) m_Kept = std::move(self);
    }
    const std::shared_ptr<TStream>& Kept() const { return m_Kept; }

private:
    friend class TStreamSegment;
    void SegmentMade() { ++m_Segments; }
    // The last segment over a kept stream lets it go, which may end the stream itself.
    void SegmentGone() {
        if (--m_Segments == 0 && m_Kept) std::shared_ptr<TStream> last = std::move(m_Kept);
    }

    std::shared_ptr<TStream> m_Kept;
    TTextPos m_Segments = 0;

protected:
    // The EReadError message for a read that came up short.
    virtual std::string ShortReadMessage() const { return "Stream read error"; }

    TTextPos m_Position = 0;
};
