#pragma once

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

protected:
    // The EReadError message for a read that came up short.
    virtual std::string ShortReadMessage() const { return "Stream read error"; }

    TTextPos m_Position = 0;
};
