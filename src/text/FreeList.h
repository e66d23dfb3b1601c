#pragma once

#include "text/MemoryStream.h"
#include "text/SegmentList.h"

// The allocator of a memory stream: its segments are the free areas below HighWater, in ascending
// offset order and fused where they touch. Areas are handed out first fit; the stream never shrinks.
class TFreeList : public TSegmentList {
public:
    explicit TFreeList(TTextPos chunkSize = 64 * 1024) : m_MemoryStream(chunkSize) {
        m_MemoryStream.SetAllocator(this);
    }
    // The areas go before the memory stream they lie in, which they ask for their owner.
    ~TFreeList() override { TFreeList::Clear(); }
    TFreeList(const TFreeList&) = delete;
    TFreeList& operator=(const TFreeList&) = delete;

    TMemoryStream& MemoryStream() { return m_MemoryStream; }
    TTextPos HighWater() const { return m_HighWater; }

    // An area of `count` bytes (null for count < 1), owned by the caller until it is released back.
    std::unique_ptr<TStreamSegment> Allocate(TTextPos count);
    std::unique_ptr<TStreamSegment> AllocateAndWrite(const unsigned char* buffer, TTextPos count);
    // Takes an area back; the topmost area lowers HighWater instead.
    void Release(std::unique_ptr<TStreamSegment> seg);

    // Also checks that the free areas are ordered, apart and below HighWater.
    void CheckInvariants() const;

private:
    TMemoryStream m_MemoryStream;
    TTextPos m_HighWater = 0;
};

// The memory buffer of one document, holding every byte inserted while it is open.
class TMemoryBuffer : public TFreeList {
public:
    using TFreeList::TFreeList;
};
