#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "text/LinesBuffer.h"
#include "text/Stream.h"

// The line break a document writes wherever it makes one.
enum class TLineBreak { brLF, brCRLF };

// Presents a stream as read-only text through one block cache: every reader reaches the bytes through
// GetCharPtr, which loads the block around a position with a quarter of the block kept on the far side,
// so scanning either way costs one load per three quarters of a block. While something is cached, the
// cache holds the text bytes [BufferPos, BufferPos + BufferCount).
class TTextStream : public TLinesBuffer {
public:
    static constexpr TTextPos DefaultBufferSize = 4096;
    // How far into a newly bound stream its line break is looked for.
    static constexpr TTextPos LineBreakLookAhead = 64 * 1024;

    TTextStream();

    TStream* Stream() const { return m_Stream.get(); }
    // Binds a stream (null unbinds) and raises OnChange; refused with EMaxText when it is larger than
    // MaxTextSize.
    void SetStream(std::unique_ptr<TStream> stream);
    TTextPos BufferSize() const { return m_BufferSize; }
    // Sizes from 16 to 65535 bytes; tests use small blocks to meet block edges often.
    void SetBufferSize(TTextPos size);
    TTextPos BufferPos() const { return m_BufferPos; }
    TTextPos BufferCount() const { return m_BufferCount; }
    // The kind of the first line break within the first LineBreakLookAhead bytes of the bound stream,
    // found when it is bound, so that a text of any size binds at once; LF when there is none there
    // and when no stream is bound. The text's own breaks are never changed to it.
    TLineBreak LineBreak() const { return m_LineBreak; }
    std::string_view LineBreakBytes() const { return m_LineBreak == TLineBreak::brCRLF ? "\r\n" : "\n"; }

    unsigned char* GetCharPtr(TTextPos pos) override;
    void CopyTo(TStream& dest, TTextPos pos, TTextPos count) override;
    void ReadText(unsigned char* dest, TTextPos pos, TTextPos count) override;
    // The text of a plain text stream cannot be changed.
    void Insert(const unsigned char* buffer, TTextPos pos, TTextPos count) override;
    void Delete(TTextPos pos, TTextPos count) override;
    void Overwrite(TTextPos pos, unsigned char c) override;
    void Clear() override;

protected:
    // Binds a stream without telling anyone.
    virtual void BindStream(std::unique_ptr<TStream> stream);
    // Raises EMaxText for a stream larger than MaxTextSize.
    void CheckBindable(const TStream* stream) const;
    // Fills `buffer` with `count` text bytes from `pos` and records them as the cached block.
    virtual TTextPos ReadBlock(unsigned char* buffer, TTextPos pos, TTextPos count);
    // Records what the cache holds after a block was read into it.
    void SetCached(TTextPos pos, TTextPos count);
    unsigned char* Buffer() { return m_Buffer.data(); }

    // Shared with the segments over it, which may outlive its binding (see TStream::KeepForSegments).
    std::shared_ptr<TStream> m_Stream;
    TTextPos m_BufferPos = -1;
    TTextPos m_BufferCount = 0;
    TTextPos m_BufferSize = 0;
    TTextPos m_Margin = 0;

private:
    TLineBreak FindLineBreak();

    std::vector<unsigned char> m_Buffer;
    TLineBreak m_LineBreak = TLineBreak::brLF;
};
