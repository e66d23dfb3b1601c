#pragma once

#include <cstdlib>
#include <memory>
#include <vector>

#include "text/Stream.h"

// A growable in-memory stream. Its bytes live in chunks, so growing never moves or copies what was
// written before; it never shrinks. The first sixteen chunks are small; after them chunks are large
// and backed by huge pages where the system offers them, so that filling a big buffer takes few page
// faults while a small document stays small.
class TMemoryStream : public TStream {
public:
    explicit TMemoryStream(TTextPos chunkSize = 64 * 1024);

    TTextPos Size() const override { return m_Size; }
    TFreeList* Allocator() const override { return m_Allocator; }
    void SetAllocator(TFreeList* allocator) { m_Allocator = allocator; }
    TTextPos Read(unsigned char* buffer, TTextPos count) override;
    // Writing past the end extends the stream; a gap left before the written bytes is undefined.
    void Write(const unsigned char* buffer, TTextPos count) override;

private:
    struct TFree {
        void operator()(unsigned char* p) const { std::free(p); }
    };
    // The chunk holding `pos`, the offset in it and the chunk's size.
    void Locate(TTextPos pos, size_t& chunk, TTextPos& offset, TTextPos& size) const;
    // Calls `step(chunkBytes, offsetInBuffer, n)` for each chunk piece of [m_Position, +count).
    template <typename Step> void ForEachPiece(TTextPos count, Step step);

    TFreeList* m_Allocator = nullptr;
    TTextPos m_SmallSize;
    TTextPos m_LargeSize;
    TTextPos m_Size = 0;
    TTextPos m_Capacity = 0;
    std::vector<std::unique_ptr<unsigned char, TFree>> m_Chunks;
};
