#include "mail/UUDecoder.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <sstream>

#include "text/Exceptions.h"
#include "text/FileStream.h"
#include "text/LinesBuffer.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kWriteBlock = 1 << 20; // decoded bytes are written in pieces of this size

bool StartsWith(std::string_view line, std::string_view prefix) {
    return line.substr(0, prefix.size()) == prefix;
}

std::vector<std::string> SplitAtSpaces(std::string_view line) {
    std::istringstream in{std::string(line)};
    std::vector<std::string> parts;
    for (std::string part; in >> part;)
        parts.push_back(part);
    return parts;
}

// The last part of a name that may carry directories of this or another system; empty when there is no
// usable name. A NUL byte ends a file name for the system, so a name holding one would be written under
// a name other than the one reported: it is refused.
std::string BareName(const std::string& name) {
    if (name.find('\0') != std::string::npos) return {};
    const size_t slash = name.find_last_of("/\\");
    std::string bare = slash == std::string::npos ? name : name.substr(slash + 1);
    return bare == "." || bare == ".." ? std::string() : bare;
}

bool Finished(TUdStates state) {
    return state == TUdStates::Ended || state == TUdStates::EndSummed || state == TUdStates::FileSummed;
}

// A line as a message quotes it, with any NUL byte written out: the message would end there.
std::string Quoted(const std::string& line) {
    std::string quoted = "\"";
    for (char c : line) {
        if (c == '\0')
            quoted += "\\0";
        else
            quoted += c;
    }
    return quoted + "\"";
}

} // namespace

TUUDecoder::TUUDecoder(fs::path outputDirectory) : m_OutputDirectory(std::move(outputDirectory)) {}

TUUDecoder::~TUUDecoder() = default;

int TUUDecoder::DecodeLine(std::string_view line, std::vector<unsigned char>& bytes, int max) {
    bytes.resize(static_cast<size_t>(std::max(max, 0) + 2));
    int count = 0;
    const int result = DecodeLineAt(line, bytes.data(), count, max);
    bytes.resize(static_cast<size_t>(count));
    return result;
}

namespace {

// The 12-bit value of each pair of characters (the first in the low byte), -1 for a pair that is not
// in the code: a group of four characters is two lookups.
const std::vector<std::int16_t> kPairs = [] {
    std::vector<std::int16_t> pairs(65536);
    for (unsigned first = 0; first < 256; ++first)
        for (unsigned second = 0; second < 256; ++second) {
            const int a = TUUBase::DecodeChar(static_cast<unsigned char>(first));
            const int b = TUUBase::DecodeChar(static_cast<unsigned char>(second));
            pairs[first | second << 8] = static_cast<std::int16_t>(a < 0 || b < 0 ? -1 : a << 6 | b);
        }
    return pairs;
}();

// DecodeLineAt, telling `sink` of every character of the line (Char) and every byte decoded (Byte) as
// it goes; what it was told counts only when the result is TUUDecoder::dlDone.
template <typename TSink>
int DecodeInto(std::string_view line, unsigned char* out, int& count, int max, TSink& sink) {
    count = 0;
    if (line.empty()) return TUUDecoder::dlTooShort;
    const int n = TUUBase::DecodeChar(static_cast<unsigned char>(line[0]));
    if (n < 0) return TUUDecoder::dlInvalid;
    const size_t groups = static_cast<size_t>((n + 2) / 3);
    const size_t present = std::min(line.size() - 1, 4 * groups);
    // Mail often cuts the spaces that end a line, and a space is a zero: the characters missing after the
    // last one read as spaces, however many they are. A short line that still ends in a space lost
    // something else.
    if (present < 4 * groups && line.back() == ' ') return TUUDecoder::dlTooShort;
    if (n > max) return TUUDecoder::dlTooMany;
    const auto* chars = reinterpret_cast<const unsigned char*>(line.data());
    sink.Char(chars[0]);
    ++chars;
    int invalid = 0;
    auto group = [&](const unsigned char* c) {
        const int high = kPairs[c[0] | c[1] << 8], low = kPairs[c[2] | c[3] << 8];
        invalid |= high | low;
        const unsigned v = static_cast<unsigned>(high) << 12 | static_cast<unsigned>(low);
        out[0] = static_cast<unsigned char>(v >> 16);
        out[1] = static_cast<unsigned char>(v >> 8);
        out[2] = static_cast<unsigned char>(v);
    };
    // Every group but the last is whole: four characters, three bytes.
    size_t g = 0;
    for (; g + 1 < groups && 4 * g + 4 <= present; ++g, out += 3) {
        const unsigned char* c = chars + 4 * g;
        group(c);
        sink.Char(c[0]);
        sink.Char(c[1]);
        sink.Char(c[2]);
        sink.Char(c[3]);
        sink.Byte(out[0]);
        sink.Byte(out[1]);
        sink.Byte(out[2]);
    }
    // The last group may carry fewer bytes; the line may have been cut short before it.
    for (; g < groups; ++g, out += 3) {
        unsigned char padded[4] = {' ', ' ', ' ', ' '};
        const size_t have = std::min<size_t>(present > 4 * g ? present - 4 * g : 0, 4);
        std::memcpy(padded, chars + 4 * g, have);
        group(padded);
        for (size_t k = 0; k < have; ++k)
            sink.Char(padded[k]);
        for (int k = 0; k < 3 && static_cast<int>(3 * g) + k < n; ++k)
            sink.Byte(out[k]);
    }
    for (size_t k = present; k < line.size() - 1; ++k)
        sink.Char(chars[k]); // characters after the data
    if (invalid < 0) return TUUDecoder::dlInvalid;
    count = n;
    return TUUDecoder::dlDone;
}

} // namespace

int TUUDecoder::DecodeLineAt(std::string_view line, unsigned char* out, int& count, int max) {
    TSumCheck::TNoSums none;
    return DecodeInto(line, out, count, max, none);
}

void TUUDecoder::FlushOutput() {
    if (m_Output && m_PendingCount > 0)
        m_Output->Write(m_Pending.data(), static_cast<TTextPos>(m_PendingCount));
    m_PendingCount = 0;
}

void TUUDecoder::DiscardOutput() {
    m_PendingCount = 0;
    if (!m_Output) return;
    m_Output.reset();
    std::error_code ignored;
    fs::remove(m_FileName, ignored);
}

void TUUDecoder::EndFile() {
    // The file is whole and closed when it is reported: nothing later in the run may remove it.
    FlushOutput();
    m_Output.reset();
    if (OnEndDecode) OnEndDecode(*this, m_State, m_Error, m_FileName);
}

void TUUDecoder::CheckSum(std::string_view line, const TSumCheck& sum, TUUErrors error) {
    const std::vector<std::string> parts = SplitAtSpaces(line);
    if (parts.size() < 3 || parts[2] != sum.Format()) m_Error = error;
}

TUdStates TUUDecoder::LookForBegin(std::string_view text) {
    if (!StartsWith(text, "begin ")) return m_State;
    const std::string line(text); // the events below may lay the text out again: `text` would be gone
    if (m_State != TUdStates::NoFile) {
        EndFile();
        m_State = TUdStates::NoFile;
    }
    const std::vector<std::string> parts = SplitAtSpaces(line);
    const bool numericMode = parts.size() >= 2 && std::all_of(parts[1].begin(), parts[1].end(), [](char c) {
                                 return std::isdigit(static_cast<unsigned char>(c));
                             });
    if (!numericMode) return TUdStates::NoFile;
    std::string name = parts.size() >= 3 ? BareName(parts[2]) : std::string();
    if (name.empty()) {
        if (OnRefused)
            OnRefused(*this, "Cannot decode " + Quoted(line) + ": the encoded file has no usable name.");
        return TUdStates::NoFile;
    }
    bool cancel = false;
    if (OnStartDecode) OnStartDecode(*this, name, cancel);
    if (cancel) return TUdStates::NoFile;
    const fs::path path = m_OutputDirectory / fs::path(name); // an absolute choice stays as it is
    m_Output = std::make_unique<TFileStream>(path, TFileStream::TMode::fmCreateRegular);
    m_FileName = path.string();
    SectionSum.Reset();
    SectionSum.AddLine(line);
    FileSum.Reset();
    m_Error = ueNone;
    return TUdStates::InData;
}

TUdStates TUUDecoder::InData(std::string_view line) {
    if (line.empty()) return m_State;
    if (m_Pending.size() < kWriteBlock + 64) m_Pending.resize(kWriteBlock + 64);
    int count = 0;
    // The section's checksum over the line's characters, the file's over the bytes.
    TSumCheck::TLineSums sums{TSumCheck::TRunning(SectionSum), TSumCheck::TRunning(FileSum)};
    if (DecodeInto(line, m_Pending.data() + m_PendingCount, count, 45, sums) == dlDone) {
        // Data after a section checksum starts the next section, which is summed on its own.
        if (m_State == TUdStates::SectionSummed) {
            SectionSum.Reset();
            sums.Chars = TSumCheck::TRunning(SectionSum);
            for (unsigned char c : line)
                sums.Chars.Add(c);
        }
        sums.Chars.Add('\n'); // the line counts as ended by LF
        sums.Chars.Keep(SectionSum);
        sums.Bytes.Keep(FileSum);
        m_PendingCount += static_cast<size_t>(count);
        if (m_PendingCount >= kWriteBlock) FlushOutput();
        return TUdStates::InData;
    }
    if (StartsWith(line, "end")) {
        SectionSum.AddLine(line);
        return TUdStates::Ended;
    }
    if (StartsWith(line, "sum ")) {
        CheckSum(line, SectionSum, ueSectionSum);
        return TUdStates::SectionSummed;
    }
    if (StartsWith(line, "begin ")) return LookForBegin(line);
    return m_State == TUdStates::SectionSummed ? TUdStates::SectionSummed : TUdStates::DataBroken;
}

TUdStates TUUDecoder::HandleLine(std::string_view line) {
    switch (m_State) {
    case TUdStates::InData:
    case TUdStates::DataBroken:
    case TUdStates::SectionSummed:
        return InData(line);
    case TUdStates::Ended:
        if (StartsWith(line, "sum ")) {
            CheckSum(line, SectionSum, ueSectionSum);
            return TUdStates::EndSummed;
        }
        if (StartsWith(line, "begin ")) return LookForBegin(line);
        SectionSum.AddLine(line);
        return TUdStates::Ended;
    case TUdStates::EndSummed:
        if (StartsWith(line, "sum ")) {
            CheckSum(line, FileSum, ueFileSum);
            return TUdStates::FileSummed;
        }
        return LookForBegin(line);
    default:
        return LookForBegin(line);
    }
}

void TUUDecoder::Decode(TLinesBuffer& text, TTextPos startPos) {
    bool cancelled = false;
    try {
        for (TTextPos pos = startPos; pos < text.TextSize() && !cancelled;) {
            const TTextPos start = pos;
            TTextPos width = 0, count = 0;
            text.NextLineEnd(pos, width, count);
            const unsigned char* bytes = text.LaidOutBytes(start, count);
            if (!bytes) {
                m_LongLine.resize(static_cast<size_t>(count));
                text.CopyToBuffer(reinterpret_cast<unsigned char*>(m_LongLine.data()), start, count);
                bytes = reinterpret_cast<const unsigned char*>(m_LongLine.data());
            }
            m_State = HandleLine(
                std::string_view(reinterpret_cast<const char*>(bytes), static_cast<size_t>(count)));
            if (OnBlockDecode) OnBlockDecode(*this, pos, cancelled);
        }
        // A file that had ended is kept even when the user stops the run after it.
        if (cancelled && m_State != TUdStates::NoFile && !Finished(m_State)) {
            DiscardOutput();
            m_State = TUdStates::Cancelled;
        }
        if (m_State != TUdStates::NoFile) EndFile();
    } catch (...) {
        DiscardOutput();
        throw;
    }
}
