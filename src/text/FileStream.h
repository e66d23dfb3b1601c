#pragma once

#include <filesystem>
#include <memory>

#include "text/FileIdentity.h"
#include "text/Stream.h"

// A file that stays open while the stream exists, read by position. Reads go through a read-ahead
// window of fixed size, so memory stays bounded whatever the file's size and many small sequential
// reads cost few system calls. The size is the size at opening plus what this stream wrote; a file
// cut short under the program makes reads of the lost range raise EReadError.
class TFileStream : public TStream {
public:
    // fmCreateRegular creates the file or empties a regular file of its name, and refuses anything else
    // there: a symbolic link is never followed, a pipe or a device never written.
    enum class TMode { fmOpenRead, fmCreate, fmCreateRegular };

    TFileStream(const std::filesystem::path& fileName, TMode mode, TTextPos windowSize = 256 * 1024);
    // Takes over `handle`, an open descriptor of the file that messages call `fileName`.
    TFileStream(int handle, const std::filesystem::path& fileName, TTextPos windowSize = 256 * 1024);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    const std::filesystem::path& FileName() const { return m_FileName; }
    // Takes an advisory lock on the file for as long as the stream is open: an exclusive one keeps
    // every other locking opener out, a shared one only exclusive openers. Raises EFOpenError when
    // another program holds a lock that conflicts.
    void Lock(bool exclusive);
    // Writes what the system still buffers for the file to the disk.
    void Flush();
    // The file's permission bits as they are now.
    unsigned Permissions() const;
    // The file's identity as it is now.
    TFileIdentity Identity() const;
    int Handle() const { return m_Handle; }
    // From now on reads go to `handle`, a file with the same bytes; the old descriptor is handed back
    // open (with any lock it holds) for the caller to close or keep.
    [[nodiscard]] int ReplaceHandle(int handle);
    // Cuts the file at `size` bytes.
    void Truncate(TTextPos size);
    TTextPos Size() const override { return m_Size; }
    TTextPos Read(unsigned char* buffer, TTextPos count) override;
    void Write(const unsigned char* buffer, TTextPos count) override;
    // Between two files the system copies the bytes itself (sharing them, where the file system can),
    // or else they go through memory; holes of the source stay holes.
    void CopyFrom(TStream& source, TTextPos count) override;

protected:
    std::string ShortReadMessage() const override;

private:
    // Reads [pos, pos + count) straight from the file; returns fewer bytes only at the file's end.
    TTextPos ReadAt(unsigned char* buffer, TTextPos pos, TTextPos count) const;
    // Where the next data at or after `pos` starts, and where the next hole does, below `end`.
    TTextPos DataAt(TTextPos pos, TTextPos end) const;
    TTextPos HoleAt(TTextPos pos, TTextPos end) const;
    // Moves past `count` bytes that must read as zeros.
    void WriteHole(TTextPos count);
    // Copies [from, from + count) of `file` here, in the kernel while `inKernel` (cleared when it cannot).
    void CopyData(TFileStream& file, TTextPos from, TTextPos count, bool& inKernel);
    // Loads the window around `pos` for a read of `count` bytes, placed ahead of the read or, when the
    // reader is moving backwards, behind it.
    void FillWindow(TTextPos pos, TTextPos count);

    std::filesystem::path m_FileName;
    int m_Handle = -1;
    TTextPos m_Size = 0;
    TTextPos m_WindowSize;
    std::unique_ptr<unsigned char[]> m_Window; // allocated on the first read
    TTextPos m_WindowStart = 0;
    TTextPos m_WindowCount = 0;
    // The stretch of data that the last look for a hole found.
    mutable TTextPos m_DataStart = 0, m_DataEnd = 0;
};
