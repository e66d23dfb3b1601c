#include "text/TextStream.h"

#include <algorithm>
#include <cstring>

#include "text/CodePages.h"
#include "text/Exceptions.h"

namespace {
constexpr unsigned char LF = 10;
constexpr unsigned char CR = 13;
} // namespace

TTextStream::TTextStream() {
    SetBufferSize(DefaultBufferSize);
}

void TTextStream::SetBufferSize(TTextPos size) {
    m_BufferSize = std::clamp<TTextPos>(size, 16, 65535);
    m_Margin = m_BufferSize / 4;
    m_Buffer.assign(static_cast<size_t>(m_BufferSize + 1), 0);
    const TTextPos cached = m_BufferPos;
    m_BufferPos = -1;
    m_BufferCount = 0;
    if (cached != -1 && cached < m_TextSize) GetCharPtr(cached);
}

unsigned char* TTextStream::GetCharPtr(TTextPos pos) {
    if (pos >= m_BufferPos && pos < m_BufferPos + m_BufferCount) return Buffer() + (pos - m_BufferPos);
    const TTextPos start = m_BufferPos >= pos ? std::min(m_TextSize, pos + m_Margin) - m_BufferSize
                                              : std::min(m_TextSize - m_BufferSize, pos - m_Margin);
    const TTextPos from = std::max<TTextPos>(0, start);
    ReadBlock(Buffer(), from, std::min(m_BufferSize, m_TextSize - from));
    return Buffer() + (pos - m_BufferPos);
}

TTextPos TTextStream::ReadBlock(unsigned char* buffer, TTextPos pos, TTextPos count) {
    if (!m_Stream) return 0;
    m_Stream->Seek(pos);
    m_Stream->ReadBuffer(buffer, count);
    if (OEMConvert()) OemToAnsi(buffer, count);
    SetCached(pos, count);
    return count;
}

void TTextStream::SetCached(TTextPos pos, TTextPos count) {
    m_BufferPos = pos;
    m_BufferCount = count;
    SetBlock(Buffer(), Buffer() + count - 1);
}

void TTextStream::SetStream(std::unique_ptr<TStream> stream) {
    BindStream(std::move(stream));
    Changed(); // another text: what observers know of the old one (its size, emptiness) is stale
}

void TTextStream::CheckBindable(const TStream* stream) const {
    if (MaxTextSize() > 0 && stream && stream->Size() > MaxTextSize())
        throw EMaxText("Stream bigger than maximum permitted text size");
}

void TTextStream::BindStream(std::unique_ptr<TStream> stream) {
    CheckBindable(stream.get());
    m_Stream = std::move(stream);
    m_TextSize = m_Stream ? m_Stream->Size() : 0;
    m_BufferPos = -1;
    m_BufferCount = 0;
    m_LineBreak = FindLineBreak();
    BytesChanged();
    InvalidateMetrics();
}

TLineBreak TTextStream::FindLineBreak() {
    if (!m_Stream) return TLineBreak::brLF;
    // Nothing is cached yet: the cache's memory reads the stream's first blocks.
    const TTextPos end = std::min(m_Stream->Size(), LineBreakLookAhead);
    unsigned char before = 0; // the last byte of the previous block, for a CR LF split between two
    for (TTextPos pos = 0; pos < end;) {
        m_Stream->Seek(pos);
        const TTextPos n = m_Stream->Read(Buffer(), std::min(m_BufferSize, end - pos));
        if (n <= 0) break;
        if (const void* found = std::memchr(Buffer(), LF, static_cast<size_t>(n))) {
            const TTextPos at = static_cast<const unsigned char*>(found) - Buffer();
            return (at > 0 ? Buffer()[at - 1] : before) == CR ? TLineBreak::brCRLF : TLineBreak::brLF;
        }
        before = Buffer()[n - 1];
        pos += n;
    }
    return TLineBreak::brLF;
}

void TTextStream::CopyTo(TStream& dest, TTextPos pos, TTextPos count) {
    if (!m_Stream) return;
    m_Stream->Seek(pos);
    dest.CopyFrom(*m_Stream, count);
}

void TTextStream::ReadText(unsigned char* dest, TTextPos pos, TTextPos count) {
    if (!m_Stream || count <= 0) return;
    m_Stream->Seek(pos);
    m_Stream->ReadBuffer(dest, count);
    if (OEMConvert()) OemToAnsi(dest, count);
}

void TTextStream::Insert(const unsigned char*, TTextPos, TTextPos) {
    throw EWriteProtectError("Write protected!");
}
void TTextStream::Delete(TTextPos, TTextPos) {
    throw EWriteProtectError("Write protected!");
}
void TTextStream::Overwrite(TTextPos, unsigned char) {
    throw EWriteProtectError("Write protected!");
}

void TTextStream::Clear() {
    TLinesBuffer::Clear();
    SetStream(nullptr);
}
