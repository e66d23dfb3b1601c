#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/TextPos.h"

class TEditStream;
class TFileStream;

// Text that a command writes before it goes into a document in one change: held in memory while it is
// small, in an unnamed temporary file once it outgrows MemoryLimit, so that rewriting a range of any size
// takes little memory. It grows either forwards (Append) or backwards from its end (Prepend); a backward
// text is told first the most it may come to hold.
class TSpillText {
public:
    static constexpr TTextPos DefaultMemoryLimit = 1 << 20;

    explicit TSpillText(TTextPos memoryLimit = DefaultMemoryLimit);
    // A text written from its end towards its start, that never holds more than `capacity` bytes.
    static std::unique_ptr<TSpillText> Backwards(TTextPos capacity,
                                                 TTextPos memoryLimit = DefaultMemoryLimit);
    ~TSpillText();
    TSpillText(const TSpillText&) = delete;
    TSpillText& operator=(const TSpillText&) = delete;

    TTextPos Size() const { return m_MemoryUsed + m_FileHigh - m_FileLow; }
    bool Spilled() const { return m_File != nullptr; }
    void Append(const unsigned char* bytes, TTextPos count);
    void Append(std::string_view bytes) {
        Append(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<TTextPos>(bytes.size()));
    }
    void Prepend(const unsigned char* bytes, TTextPos count);
    void Prepend(std::string_view bytes) {
        Prepend(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<TTextPos>(bytes.size()));
    }
    // Every byte written, in order (for tests and small texts).
    std::string Text();
    // Replaces the `count` bytes at `pos` of `text` with what was written: a deletion and an insertion,
    // which the caller groups into one undo step. The written text is handed over and this one is empty.
    void ReplaceIn(TEditStream& text, TTextPos pos, TTextPos count);

private:
    TSpillText(TTextPos memoryLimit, bool backwards, TTextPos capacity);
    // The bytes memory holds: at its start when writing forwards, at its end when writing backwards.
    unsigned char* MemoryBytes() {
        return m_Memory.data() + (m_Backwards ? m_MemoryLimit - m_MemoryUsed : 0);
    }
    // Moves what memory holds to the file, which is made on first need.
    void Spill();
    // Writes bytes at the file's growing end.
    void WriteToFile(const unsigned char* bytes, TTextPos count);

    bool m_Backwards;
    TTextPos m_MemoryLimit;
    std::vector<unsigned char> m_Memory;
    TTextPos m_MemoryUsed = 0;
    std::shared_ptr<TFileStream> m_File;
    // The file holds the bytes [m_FileLow, m_FileHigh): from 0 up when writing forwards, from the
    // capacity down when writing backwards. Memory holds the bytes that follow them (forwards) or come
    // before them (backwards).
    TTextPos m_FileLow = 0, m_FileHigh = 0;
};
