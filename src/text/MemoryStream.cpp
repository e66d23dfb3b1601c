#include "text/MemoryStream.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace {
constexpr TTextPos kSmallChunks = 16;
constexpr TTextPos kHugePage = 2 << 20;
} // namespace

TMemoryStream::TMemoryStream(TTextPos chunkSize)
    : m_SmallSize(chunkSize), m_LargeSize(std::max(chunkSize, kHugePage)) {}

void TMemoryStream::Locate(TTextPos pos, size_t& chunk, TTextPos& offset, TTextPos& size) const {
    const TTextPos small = kSmallChunks * m_SmallSize;
    if (pos < small) {
        chunk = static_cast<size_t>(pos / m_SmallSize);
        offset = pos % m_SmallSize;
        size = m_SmallSize;
    } else {
        chunk = static_cast<size_t>(kSmallChunks + (pos - small) / m_LargeSize);
        offset = (pos - small) % m_LargeSize;
        size = m_LargeSize;
    }
}

template <typename Step> void TMemoryStream::ForEachPiece(TTextPos count, Step step) {
    for (TTextPos done = 0; done < count;) {
        size_t chunk = 0;
        TTextPos offset = 0, size = 0;
        Locate(m_Position + done, chunk, offset, size);
        const TTextPos n = std::min(count - done, size - offset);
        step(m_Chunks[chunk].get() + offset, done, n);
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
    while (m_Capacity < end) {
        const bool large = static_cast<TTextPos>(m_Chunks.size()) >= kSmallChunks;
        const TTextPos size = large ? m_LargeSize : m_SmallSize;
        void* chunk = std::aligned_alloc(large ? kHugePage : 64, static_cast<size_t>((size + 63) / 64 * 64));
        if (!chunk) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
        if (large) ::madvise(chunk, static_cast<size_t>(size), MADV_HUGEPAGE);
#endif
        m_Chunks.emplace_back(static_cast<unsigned char*>(chunk));
        m_Capacity += size;
    }
    ForEachPiece(count, [buffer](unsigned char* chunk, TTextPos at, TTextPos n) {
        std::memcpy(chunk, buffer + at, static_cast<size_t>(n));
    });
    m_Size = std::max(m_Size, end);
}
