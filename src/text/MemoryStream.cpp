#include "text/MemoryStream.h"

#include <algorithm>
#include <cstring>

TMemoryStream::TMemoryStream(TTextPos chunkSize) : m_ChunkSize(chunkSize) {}

template <typename Step> void TMemoryStream::ForEachPiece(TTextPos count, Step step) {
    TTextPos done = 0;
    while (done < count) {
        const TTextPos pos = m_Position + done;
        const TTextPos inChunk = pos % m_ChunkSize;
        const TTextPos n = std::min(count - done, m_ChunkSize - inChunk);
        step(m_Chunks[static_cast<size_t>(pos / m_ChunkSize)].get() + inChunk, done, n);
        done += n;
    }
    m_Position += count;
}

TTextPos TMemoryStream::Read(unsigned char* buffer, TTextPos count) {
    count = std::clamp<TTextPos>(m_Size - m_Position, 0, std::max<TTextPos>(count, 0));
    ForEachPiece(count, [buffer](unsigned char* chunk, TTextPos at, TTextPos n) {
        std::memcpy(buffer + at, chunk, static_cast<size_t>(n));
    });
    return count;
}

void TMemoryStream::Write(const unsigned char* buffer, TTextPos count) {
    if (count <= 0) return;
    const TTextPos end = m_Position + count;
    while (static_cast<TTextPos>(m_Chunks.size()) * m_ChunkSize < end)
        m_Chunks.push_back(std::make_unique_for_overwrite<unsigned char[]>(static_cast<size_t>(m_ChunkSize)));
    ForEachPiece(count, [buffer](unsigned char* chunk, TTextPos at, TTextPos n) {
        std::memcpy(chunk, buffer + at, static_cast<size_t>(n));
    });
    m_Size = std::max(m_Size, end);
}
