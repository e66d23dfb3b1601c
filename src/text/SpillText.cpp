#include "text/SpillText.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

#include "text/EditStream.h"
#include "text/Exceptions.h"
#include "text/FileStream.h"

namespace {

// A file in the temporary directory that no name leads to: it goes when its last descriptor closes,
// whatever happens to the program.
std::shared_ptr<TFileStream> UnnamedTempFile() {
    const std::filesystem::path dir = std::filesystem::temp_directory_path();
    int handle = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (handle < 0) { // a file system without unnamed files: a unique name, removed at once
        std::string name = (dir / "quorvel-XXXXXX").string();
        handle = ::mkostemp(name.data(), O_CLOEXEC);
        if (handle >= 0) ::unlink(name.c_str());
    }
    if (handle < 0) throw EFOpenError(FileErrorMessage("create a temporary file in", dir.string(), errno));
    return std::make_shared<TFileStream>(handle, dir / "(temporary file)");
}

} // namespace

TSpillText::TSpillText(TTextPos memoryLimit) : TSpillText(memoryLimit, false, 0) {}

TSpillText::TSpillText(TTextPos memoryLimit, bool backwards, TTextPos capacity)
    : m_Backwards(backwards), m_MemoryLimit(std::max<TTextPos>(memoryLimit, 1)),
      m_Memory(static_cast<size_t>(m_MemoryLimit)), m_FileLow(capacity), m_FileHigh(capacity) {}

std::unique_ptr<TSpillText> TSpillText::Backwards(TTextPos capacity, TTextPos memoryLimit) {
    return std::unique_ptr<TSpillText>(new TSpillText(memoryLimit, true, capacity));
}

TSpillText::~TSpillText() = default;

void TSpillText::WriteToFile(const unsigned char* bytes, TTextPos count) {
    if (count <= 0) return;
    if (!m_File) {
        m_File = UnnamedTempFile();
        if (m_Backwards) m_File->Truncate(m_FileHigh); // a sparse file: only what is written takes room
    }
    if (m_Backwards && count > m_FileLow)
        throw std::logic_error("spill text: more written than its capacity");
    m_File->Seek(m_Backwards ? m_FileLow - count : m_FileHigh);
    m_File->Write(bytes, count);
    if (m_Backwards)
        m_FileLow -= count;
    else
        m_FileHigh += count;
}

void TSpillText::Spill() {
    WriteToFile(MemoryBytes(), m_MemoryUsed);
    m_MemoryUsed = 0;
}

void TSpillText::Append(const unsigned char* bytes, TTextPos count) {
    if (m_Backwards) throw std::logic_error("spill text: appending to a text written backwards");
    if (count <= 0) return;
    if (m_MemoryUsed + count > m_MemoryLimit) {
        Spill();
        if (count >= m_MemoryLimit) return WriteToFile(bytes, count);
    }
    std::memcpy(m_Memory.data() + m_MemoryUsed, bytes, static_cast<size_t>(count));
    m_MemoryUsed += count;
}

void TSpillText::Prepend(const unsigned char* bytes, TTextPos count) {
    if (!m_Backwards) throw std::logic_error("spill text: prepending to a text written forwards");
    if (count <= 0) return;
    if (m_MemoryUsed + count > m_MemoryLimit) {
        Spill();
        if (count >= m_MemoryLimit) return WriteToFile(bytes, count);
    }
    m_MemoryUsed += count;
    std::memcpy(MemoryBytes(), bytes, static_cast<size_t>(count));
}

std::string TSpillText::Text() {
    std::string text(static_cast<size_t>(Size()), '\0');
    const TTextPos inFile = m_FileHigh - m_FileLow;
    char* fileBytes = text.data() + (m_Backwards ? m_MemoryUsed : 0);
    std::memcpy(text.data() + (m_Backwards ? 0 : inFile), MemoryBytes(), static_cast<size_t>(m_MemoryUsed));
    if (m_File) {
        m_File->Seek(m_FileLow);
        m_File->ReadBuffer(reinterpret_cast<unsigned char*>(fileBytes), inFile);
    }
    return text;
}

void TSpillText::ReplaceIn(TEditStream& text, TTextPos pos, TTextPos count) {
    text.Delete(pos, count);
    if (!m_File) {
        text.Insert(MemoryBytes(), pos, m_MemoryUsed);
    } else {
        Spill();
        text.InsertStream(std::move(m_File), m_FileLow, m_FileHigh - m_FileLow, pos);
    }
    m_MemoryUsed = 0;
    m_FileLow = m_Backwards ? m_FileHigh : 0;
    if (!m_Backwards) m_FileHigh = 0;
}
