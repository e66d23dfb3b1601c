#include "mail/UUEncoder.h"

#include <algorithm>

#include "text/FileStream.h"
#include "text/TextBuffer.h"

namespace {
constexpr TTextPos kBlock = 4500; // 100 full lines
constexpr int kLineBytes = 45;
} // namespace

std::string TUUEncoder::EncodeLine(const unsigned char* bytes, int count) {
    std::string line;
    AppendLine(line, bytes, count);
    return line;
}

void TUUEncoder::AppendLine(std::string& text, const unsigned char* bytes, int count) {
    const size_t start = text.size();
    text.resize(start + static_cast<size_t>(1 + 4 * ((count + 2) / 3)));
    text[start] = EncodeChar(static_cast<unsigned>(count));
    char* out = text.data() + start + 1;
    for (int i = 0; i < count; i += 3, out += 4) {
        const unsigned b0 = bytes[i];
        const unsigned b1 = i + 1 < count ? bytes[i + 1] : 0;
        const unsigned b2 = i + 2 < count ? bytes[i + 2] : 0;
        out[0] = EncodeChar(b0 >> 2);
        out[1] = EncodeChar((b0 << 4 | b1 >> 4) & 63);
        out[2] = EncodeChar((b1 << 2 | b2 >> 6) & 63);
        out[3] = EncodeChar(b2 & 63);
    }
}

void TUUEncoder::WriteLine(const std::string& line) {
    SectionSum.AddLine(line);
    (m_Pending += line) += m_LineBreak;
}

// Lines are inserted a block at a time: the same text as line by line, at a fraction of the edits.
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
        FileSum.AddBytes(block, n);
        for (TTextPos at = 0; at < n; at += kLineBytes) {
            const size_t start = m_Pending.size();
            AppendLine(m_Pending, block + at, static_cast<int>(std::min<TTextPos>(kLineBytes, n - at)));
            SectionSum.AddLine(std::string_view(m_Pending).substr(start));
            m_Pending += m_LineBreak;
        }
        done += n;
        Flush(text);
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
