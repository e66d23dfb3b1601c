#pragma once

#include <memory>
#include <vector>

#include "text/Stream.h"

// A growable in-memory stream. Its bytes live in fixed-size chunks, so growing never moves or copies
// what was written before; it never shrinks.
class TMemoryStream : public TStream {
public:
    explicit TMemoryStream(TTextPos chunkSize = 64 * 1024);

    TTextPos Size() const override { return m_Size; }
    TTextPos Read(unsigned char* buffer, TTextPos count) override;
    // Writing past the end extends the stream; a gap left before the written bytes is undefined.
    void Write(const unsigned char* buffer, TTextPos count) override;

private:
    // Calls `step(chunkBytes, offsetInBuffer, n)` for each chunk piece of [m_Position, +count).
    template <typename Step> void ForEachPiece(TTextPos count, Step step);

    TTextPos m_ChunkSize;
    TTextPos m_Size = 0;
    std::vector<std::unique_ptr<unsigned char[]>> m_Chunks;
};
