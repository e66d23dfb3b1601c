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

constexpr size_t kWriteBlock = 64 * 1024;

bool StartsWith(const std::string& line, std::string_view prefix) {
    return line.compare(0, prefix.size(), prefix) == 0;
}

std::vector<std::string> SplitAtSpaces(const std::string& line) {
    std::istringstream in(line);
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
    static const auto kValues = [] {
        std::array<signed char, 256> values{};
        for (int c = 0; c < 256; ++c)
            values[static_cast<size_t>(c)] =
                static_cast<signed char>(DecodeChar(static_cast<unsigned char>(c)));
        return values;
    }();
    bytes.clear();
    if (line.empty()) return dlTooShort;
    const int count = kValues[static_cast<unsigned char>(line[0])];
    if (count < 0) return dlInvalid;
    const size_t groups = static_cast<size_t>((count + 2) / 3);
    const size_t present = std::min(line.size() - 1, 4 * groups);
    // Mail often cuts the spaces that end a line, and a space is a zero: the characters missing after the
    // last one read as spaces, however many they are. A short line that still ends in a space lost
    // something else.
    if (present < 4 * groups && line.back() == ' ') return dlTooShort;
    if (count > max) return dlTooMany;
    unsigned char chars[4 * 86];
    std::memcpy(chars, line.data() + 1, present);
    std::fill(chars + present, chars + 4 * groups, ' ');
    bytes.resize(3 * groups);
    int invalid = 0;
    for (size_t g = 0; g < groups; ++g) {
        const int c0 = kValues[chars[4 * g]], c1 = kValues[chars[4 * g + 1]];
        const int c2 = kValues[chars[4 * g + 2]], c3 = kValues[chars[4 * g + 3]];
        invalid |= c0 | c1 | c2 | c3;
        bytes[3 * g] = static_cast<unsigned char>(c0 << 2 | c1 >> 4);
        bytes[3 * g + 1] = static_cast<unsigned char>(c1 << 4 | c2 >> 2);
        bytes[3 * g + 2] = static_cast<unsigned char>(c2 << 6 | c3);
    }
    if (invalid < 0) {
        bytes.clear();
        return dlInvalid;
    }
    bytes.resize(static_cast<size_t>(count));
    return dlDone;
}

void TUUDecoder::FlushOutput() {
    if (m_Output && !m_Pending.empty())
        m_Output->Write(m_Pending.data(), static_cast<TTextPos>(m_Pending.size()));
    m_Pending.clear();
}

void TUUDecoder::DiscardOutput() {
    m_Pending.clear();
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

void TUUDecoder::CheckSum(const std::string& line, const TSumCheck& sum, TUUErrors error) {
    const std::vector<std::string> parts = SplitAtSpaces(line);
    if (parts.size() < 3 || parts[2] != sum.Format()) m_Error = error;
}

TUdStates TUUDecoder::LookForBegin(const std::string& line) {
    if (!StartsWith(line, "begin ")) return m_State;
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

TUdStates TUUDecoder::InData(const std::string& line) {
    if (line.empty()) return m_State;
    if (DecodeLine(line, m_Line) == dlDone) {
        // Data after a section checksum starts the next section, which is summed on its own.
        if (m_State == TUdStates::SectionSummed) SectionSum.Reset();
        SectionSum.AddLine(line);
        FileSum.AddBytes(m_Line.data(), static_cast<TTextPos>(m_Line.size()));
        m_Pending.insert(m_Pending.end(), m_Line.begin(), m_Line.end());
        if (m_Pending.size() >= kWriteBlock) FlushOutput();
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

TUdStates TUUDecoder::HandleLine(const std::string& line) {
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
    std::string line;
    try {
        for (TTextPos pos = startPos; pos < text.TextSize() && !cancelled;) {
            const TTextPos start = pos;
            TTextPos width = 0, count = 0;
            text.NextLineEnd(pos, width, count);
            line.resize(static_cast<size_t>(count));
            text.CopyToBuffer(reinterpret_cast<unsigned char*>(line.data()), start, count);
            m_State = HandleLine(line);
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
