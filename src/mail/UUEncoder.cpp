#include "mail/UUEncoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "text/FileStream.h"
#include "text/TextBuffer.h"

namespace {
constexpr TTextPos kBlock = 4500; // 100 full lines
constexpr int kLineBytes = 45;
constexpr size_t kInsertSize = 256 * 1024; // the text is inserted in pieces of about this size

// The two characters of each 12-bit value, the first in the low byte.
const auto kPairs = [] {
    std::array<std::uint16_t, 4096> pairs{};
    for (unsigned v = 0; v < 4096; ++v)
        pairs[v] = static_cast<std::uint16_t>(static_cast<unsigned char>(TUUBase::EncodeChar(v >> 6)) |
                                              static_cast<unsigned char>(TUUBase::EncodeChar(v & 63)) << 8);
    return pairs;
}();

// Encodes a line of up to 45 bytes at `out` and returns its length; `sums` is told of every byte read
// (Byte) and every character written (Char), as the characters are made.
template <typename TSink> int EncodeInto(char* out, const unsigned char* bytes, int count, TSink& sums) {
    out[0] = TUUBase::EncodeChar(static_cast<unsigned>(count));
    sums.Char(static_cast<unsigned char>(out[0]));
    char* at = out + 1;
    int i = 0;
    // Six bytes (read as eight) are four 12-bit values, eight characters written at once.
    for (; i + 8 <= count; i += 6, at += 8) {
        std::uint64_t w = 0;
        std::memcpy(&w, bytes + i, 8);
        w = __builtin_bswap64(w); // the first byte on top
        const std::uint64_t chars =
            std::uint64_t{kPairs[w >> 52]} | std::uint64_t{kPairs[w >> 40 & 4095]} << 16 |
            std::uint64_t{kPairs[w >> 28 & 4095]} << 32 | std::uint64_t{kPairs[w >> 16 & 4095]} << 48;
        std::memcpy(at, &chars, 8);
        for (int k = 0; k < 6; ++k)
            sums.Byte(bytes[i + k]);
        for (int k = 0; k < 8; ++k)
            sums.Char(static_cast<unsigned char>(chars >> 8 * k));
    }
    // Three bytes are 24 bits, two 12-bit values, four characters; the last group is completed with
    // zero bytes.
    for (; i < count; i += 3, at += 4) {
        const unsigned v =
            bytes[i] << 16 | (i + 1 < count ? bytes[i + 1] << 8 : 0) | (i + 2 < count ? bytes[i + 2] : 0);
        const unsigned chars = kPairs[v >> 12] | kPairs[v & 4095] << 16;
        std::memcpy(at, &chars, 4);
        for (int k = i; k < std::min(i + 3, count); ++k)
            sums.Byte(bytes[k]);
        for (int k = 0; k < 4; ++k)
            sums.Char(static_cast<unsigned char>(chars >> 8 * k));
    }
    return static_cast<int>(at - out);
}

} // namespace

std::string TUUEncoder::EncodeLine(const unsigned char* bytes, int count) {
    char line[64];
    TSumCheck::TNoSums none;
    return std::string(line, static_cast<size_t>(EncodeInto(line, bytes, count, none)));
}

void TUUEncoder::WriteLine(const std::string& line) {
    SectionSum.AddLine(line);
    (m_Pending += line) += m_LineBreak;
}

void TUUEncoder::WriteBlock(const unsigned char* block, TTextPos count) {
    // The section's checksum over the characters written, the file's over the bytes read.
    TSumCheck::TLineSums sums{TSumCheck::TRunning(SectionSum), TSumCheck::TRunning(FileSum)};
    char line[64];
    for (TTextPos at = 0; at < count; at += kLineBytes) {
        const int bytes = static_cast<int>(std::min<TTextPos>(kLineBytes, count - at));
        const int length = EncodeInto(line, block + at, bytes, sums);
        sums.Char('\n'); // the checksum counts every line as ended by LF
        m_Pending.append(line, static_cast<size_t>(length)) += m_LineBreak;
    }
    sums.Bytes.Keep(FileSum);
    sums.Chars.Keep(SectionSum);
}

// Lines are inserted in large pieces: the same text as line by line, at a fraction of the edits.
void TUUEncoder::Flush(TTextBuffer& text) {
    text.InsertString(m_Pending, m_InsertPos);
    m_InsertPos += static_cast<TTextPos>(m_Pending.size());
    m_Pending.clear();
}

TTextPos TUUEncoder::Encode(const std::filesystem::path& fileName, const std::string& name, bool& cancelled,
                            TTextPos pos, TTextBuffer& text) {
    if (!text.CanEdit()) throw TUUException("TextBuffer is not editable");
    m_InsertPos = pos;
    m_Pending.clear();
    TFileStream file(fileName, TFileStream::TMode::fmOpenRead);
    const std::string bare = std::filesystem::path(name).filename().string();
    FileSum.Reset();
    WriteLine("Section " + std::to_string(m_SectionNo) + " of " + bare);
    SectionSum.Reset();
    WriteLine("begin 644 " + bare);
    unsigned char block[kBlock];
    TTextPos done = 0;
    while (!cancelled && done < file.Size()) {
        const TTextPos n = file.Read(block, std::min(kBlock, file.Size() - done));
        if (n <= 0) break;
        WriteBlock(block, n);
        done += n;
        if (m_Pending.size() >= kInsertSize) Flush(text);
        if (OnBlockEncode) OnBlockEncode(*this, done, cancelled);
    }
    WriteLine("`");
    WriteLine("end");
    const std::string sectionSum = SectionSum.Format();
    WriteLine("sum -r/size " + sectionSum + " section (from \"begin\" to \"end\")");
    WriteLine("sum -r/size " + FileSum.Format() + " entire input file");
    Flush(text);
    return m_InsertPos - pos;
}
