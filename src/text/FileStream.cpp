#include "text/FileStream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "text/Exceptions.h"

namespace {

// O_NONBLOCK keeps the open of a pipe from waiting for a reader; a regular file ignores it.
int CreateRegular(const std::filesystem::path& fileName) {
    const int handle = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    int error = errno;
    struct stat info {};
    if (handle < 0 && error == ELOOP && ::lstat(fileName.c_str(), &info) == 0 && S_ISLNK(info.st_mode))
        throw EFOpenError("Cannot create \"" + fileName.string() +
                          "\": a symbolic link has that name, and the file is never written through one.");
    if (handle < 0) throw EFOpenError(FileErrorMessage("create", fileName, error));
    if (::fstat(handle, &info) == 0 && !S_ISREG(info.st_mode)) {
        ::close(handle);
        throw EFOpenError("Cannot create \"" + fileName.string() +
                          "\": something other than a regular file has that name.");
    }
    if (::ftruncate(handle, 0) != 0) {
        error = errno;
        ::close(handle);
        throw EFOpenError(FileErrorMessage("create", fileName, error));
    }
    return handle;
}

} // namespace

TFileStream::TFileStream(const std::filesystem::path& fileName, TMode mode, TTextPos windowSize)
    : m_FileName(fileName), m_WindowSize(windowSize) {
    if (mode == TMode::fmCreateRegular) {
        m_Handle = CreateRegular(fileName);
        return;
    }
    const int flags = mode == TMode::fmCreate ? O_RDWR | O_CREAT | O_TRUNC : O_RDONLY;
    m_Handle = ::open(fileName.c_str(), flags | O_CLOEXEC, 0666);
    if (m_Handle < 0)
        throw EFOpenError(FileErrorMessage(mode == TMode::fmCreate ? "create" : "open", fileName, errno));
    struct stat info {};
    if (::fstat(m_Handle, &info) != 0) {
        const int error = errno;
        ::close(m_Handle);
        throw EFOpenError(FileErrorMessage("open", fileName, error));
    }
    if (S_ISDIR(info.st_mode)) {
        ::close(m_Handle);
        throw EFOpenError(FileErrorMessage("open", fileName, EISDIR));
    }
    m_Size = info.st_size;
}

TFileStream::TFileStream(int handle, const std::filesystem::path& fileName, TTextPos windowSize)
    : m_FileName(fileName), m_Handle(handle), m_WindowSize(windowSize) {
    m_Size = Identity().Size;
}

TFileStream::~TFileStream() {
    ::close(m_Handle);
}

TTextPos TFileStream::ReadAt(unsigned char* buffer, TTextPos pos, TTextPos count) const {
    TTextPos done = 0;
    while (done < count) {
        // A hole reads as zeros without the system filling pages for it, unless the file now ends
        // before it (a file cut short reads short).
        const TTextPos data = DataAt(pos + done, pos + count);
        if (data > pos + done && (data < pos + count || Identity().Size >= pos + count)) {
            std::memset(buffer + done, 0, static_cast<size_t>(data - pos - done));
            done = data - pos;
            continue;
        }
        const TTextPos end = std::max(HoleAt(pos + done, pos + count), pos + done + 1);
        const ssize_t n = ::pread(m_Handle, buffer + done, static_cast<size_t>(end - pos - done), pos + done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw EReadError(FileErrorMessage("read", m_FileName, errno));
        if (n == 0) break;
        done += n;
    }
    return done;
}

void TFileStream::FillWindow(TTextPos pos, TTextPos count) {
    if (!m_Window)
        m_Window = std::make_unique_for_overwrite<unsigned char[]>(static_cast<size_t>(m_WindowSize));
    const bool backwards = m_WindowCount > 0 && pos < m_WindowStart;
    m_WindowStart = backwards ? std::max<TTextPos>(0, pos + count - m_WindowSize) : pos;
    m_WindowCount = 0; // stays empty if the read below fails
    m_WindowCount = ReadAt(m_Window.get(), m_WindowStart, std::min(m_WindowSize, m_Size - m_WindowStart));
}

TTextPos TFileStream::Read(unsigned char* buffer, TTextPos count) {
    count = std::clamp<TTextPos>(m_Size - m_Position, 0, std::max<TTextPos>(count, 0));
    if (count >= m_WindowSize) { // a large read goes straight to the caller, whatever the window holds
        const TTextPos n = ReadAt(buffer, m_Position, count);
        m_Position += n;
        return n;
    }
    TTextPos done = 0;
    while (done < count) {
        const TTextPos pos = m_Position + done;
        const TTextPos rest = count - done;
        if (pos >= m_WindowStart && pos < m_WindowStart + m_WindowCount) {
            const TTextPos n = std::min(rest, m_WindowStart + m_WindowCount - pos);
            std::memcpy(buffer + done, m_Window.get() + (pos - m_WindowStart), static_cast<size_t>(n));
            done += n;
        } else {
            FillWindow(pos, rest);
            if (pos >= m_WindowStart + m_WindowCount) break; // the file ends before `pos` now
        }
    }
    m_Position += done;
    return done;
}

void TFileStream::Write(const unsigned char* buffer, TTextPos count) {
    TTextPos done = 0;
    while (done < count) {
        const ssize_t n =
            ::pwrite(m_Handle, buffer + done, static_cast<size_t>(count - done), m_Position + done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw EWriteError(FileErrorMessage("write", m_FileName, errno));
        done += n;
    }
    // The window may hold bytes that this write replaced, and a hole may have filled.
    m_WindowCount = 0;
    m_DataEnd = 0;
    m_Position += done;
    m_Size = std::max(m_Size, m_Position);
}

std::string TFileStream::ShortReadMessage() const {
    return "Cannot read \"" + m_FileName.string() +
           "\": the file has been cut short since it was opened (changed by another program?).";
}

void TFileStream::Lock(bool exclusive) {
    int result;
    do {
        result = ::flock(m_Handle, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    // Where the file system cannot lock at all, the file is used without a lock.
    if (result != 0 && errno == EWOULDBLOCK)
        throw EFOpenError("Cannot open \"" + m_FileName.string() +
                          "\": another program has it open and locked.");
}

void TFileStream::Flush() {
    if (::fsync(m_Handle) != 0) throw EWriteError(FileErrorMessage("write", m_FileName, errno));
}

unsigned TFileStream::Permissions() const {
    struct stat info {};
    ::fstat(m_Handle, &info);
    return info.st_mode & 07777;
}

TFileIdentity TFileStream::Identity() const {
    struct stat info {};
    if (::fstat(m_Handle, &info) != 0) throw EReadError(FileErrorMessage("read", m_FileName, errno));
    return TFileIdentity::Of(info);
}

int TFileStream::ReplaceHandle(int handle) {
    m_WindowCount = 0;
    m_DataEnd = 0;
    return std::exchange(m_Handle, handle);
}

void TFileStream::Truncate(TTextPos size) {
    if (::ftruncate(m_Handle, size) != 0) throw EWriteError(FileErrorMessage("write", m_FileName, errno));
    m_Size = size;
    m_Position = std::min(m_Position, size);
    m_WindowCount = 0;
    m_DataEnd = 0;
}

TTextPos TFileStream::DataAt(TTextPos pos, TTextPos end) const {
    if (pos >= m_DataStart && pos < m_DataEnd) return pos;
    const off_t at = ::lseek(m_Handle, pos, SEEK_DATA);
    if (at < 0) return errno == ENXIO ? end : pos; // ENXIO: a hole up to the end; else unknown: data
    return std::min<TTextPos>(at, end);
}

TTextPos TFileStream::HoleAt(TTextPos pos, TTextPos end) const {
    if (pos < m_DataStart || pos >= m_DataEnd) {
        const off_t at = ::lseek(m_Handle, pos, SEEK_HOLE);
        m_DataStart = pos;
        m_DataEnd = at < 0 ? pos : at;
        if (at < 0) return end;
    }
    return std::clamp<TTextPos>(m_DataEnd, pos, end);
}

void TFileStream::WriteHole(TTextPos count) {
    // Past the file's end nothing needs writing: what a later write or the end of the copy leaves
    // unwritten reads as zeros. Bytes already there are punched out, or else written over with zeros.
    const TTextPos written = std::clamp<TTextPos>(m_Size - m_Position, 0, count);
    if (written > 0 &&
        ::fallocate(m_Handle, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, m_Position, written) != 0) {
        static const unsigned char zeros[64 * 1024] = {};
        const TTextPos end = m_Position + written;
        while (m_Position < end)
            Write(zeros, std::min<TTextPos>(end - m_Position, sizeof zeros));
        count -= written;
    }
    m_Position += count;
    m_WindowCount = 0;
    m_DataEnd = 0;
}

void TFileStream::CopyData(TFileStream& file, TTextPos from, TTextPos count, bool& inKernel) {
    loff_t in = from;
    loff_t out = m_Position;
    while (count > 0 && inKernel) {
        const ssize_t n =
            ::copy_file_range(file.m_Handle, &in, m_Handle, &out, static_cast<size_t>(count), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) { // not between these files, or the source ends early: the plain copy decides
            inKernel = n == 0;
            break;
        }
        count -= n;
        m_Position += n;
        m_Size = std::max(m_Size, m_Position);
    }
    m_WindowCount = 0;
    m_DataEnd = 0;
    file.Seek(in);
    if (count > 0) TStream::CopyFrom(file, count);
}

void TFileStream::CopyFrom(TStream& source, TTextPos count) {
    auto* file = dynamic_cast<TFileStream*>(&source);
    if (!file || count <= 0) return TStream::CopyFrom(source, count);
    TTextPos from = file->Position();
    const TTextPos end = from + count;
    bool inKernel = true;
    while (from < end) {
        const TTextPos data = file->DataAt(from, end);
        if (data > from) { // a hole: the copy keeps it
            // The end of a file cut short would look like a hole; such a file is not read on.
            if (file->Identity().Size < end) throw EReadError(file->ShortReadMessage());
            WriteHole(data - from);
            from = data;
            continue;
        }
        const TTextPos hole = std::max(file->HoleAt(from, end), from + 1);
        CopyData(*file, from, hole - from, inKernel);
        from = hole;
    }
    file->Seek(end);
    if (m_Position > m_Size) Truncate(m_Position); // the copy ends in a hole
}
