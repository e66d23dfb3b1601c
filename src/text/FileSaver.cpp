#include "text/FileSaver.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <thread>
#include <utility>

#include "text/Exceptions.h"
#include "text/FileStream.h"
#include "text/SafeFiles.h"

namespace fs = std::filesystem;

namespace {

// An open descriptor, closed unless handed on.
struct THandle {
    int Fd = -1;
    explicit THandle(int fd = -1) : Fd(fd) {}
    THandle(const THandle&) = delete;
    ~THandle() {
        if (Fd >= 0) ::close(Fd);
    }
    int Release() { return std::exchange(Fd, -1); }
};

// A name this save made, removed unless kept: the save never leaves or removes a name it did not make.
struct TMadeName {
    fs::path Name;
    TMadeName() = default;
    TMadeName(const TMadeName&) = delete;
    ~TMadeName() {
        if (!Name.empty()) ::unlink(Name.c_str());
    }
    void Keep() { Name.clear(); }
};

// Renames are tried up to 11 times before a save gives up.
bool RenameRetried(const fs::path& from, const fs::path& to) {
    for (int attempt = 0; attempt < 11; ++attempt)
        if (::rename(from.c_str(), to.c_str()) == 0) return true;
    return false;
}

int Duplicate(int handle) {
    const int copy = ::fcntl(handle, F_DUPFD_CLOEXEC, 0);
    if (copy < 0) throw EFOpenError(std::string("Cannot save: ") + std::strerror(errno) + ".");
    return copy;
}

// A backup owned by the saver keeps the old file's group where it may, and lets nobody read it who
// could not read the old file.
void GiveBackupOwner(int copy, const struct stat& old) {
    mode_t mode = old.st_mode & 0777;
    if (::fchown(copy, old.st_uid, old.st_gid) != 0 &&
        ::fchown(copy, static_cast<uid_t>(-1), old.st_gid) != 0)
        mode &= 0707;
    ::fchmod(copy, mode);
}

} // namespace

void TFileSaver::Step(TSaveStep step) {
    if (OnStep) OnStep(step);
}

std::string TFileSaver::Because(const std::string& reason) const {
    return "Unable to rename current file to \".bak\" file (" + reason + "). Save \"" + m_Name.string() +
           "\" without a backup?";
}

std::unique_ptr<TFileStream> TFileSaver::Save() {
    if (!m_Expected) return CreateNew();
    const bool same = m_Source && m_Source->Identity().SameFile(*m_Expected);
    // The same file as the text's shares its open description, and so its lock.
    const int handle = same ? Duplicate(m_Source->Handle())
                            : ::open(m_Name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0) throw EFOpenError(FileErrorMessage("save", m_Name, errno));
    THandle target(handle);
    struct stat old {};
    if (::fstat(target.Fd, &old) != 0 || TFileIdentity::Of(old) != *m_Expected)
        throw ESaveError("Cannot save \"" + m_Name.string() +
                         "\": another program changed it meanwhile. Nothing was written.");
    if (!S_ISREG(old.st_mode))
        throw ESaveError("Cannot save \"" + m_Name.string() +
                         "\": something other than a file has that name.");
    if (!same) TFileStream(Duplicate(target.Fd), m_Name).Lock(ExclusiveLock);
    if (old.st_nlink == 1) {
        bool cancelled = false;
        if (auto saved = Replace(target.Fd, old, cancelled)) return saved;
        if (cancelled) return nullptr;
    }
    return WriteInPlace(target.Fd, old);
}

std::unique_ptr<TFileStream> TFileSaver::CreateNew() {
    TMadeName temp;
    const int handle = CreateUnique(m_Name.parent_path(), m_Name.filename().string(), 0666, temp.Name);
    if (handle < 0) throw EFOpenError(FileErrorMessage("create", m_Name, errno));
    auto out = std::make_unique<TFileStream>(handle, m_Name);
    if (!Write(*out)) return nullptr;
    if (NewMode != 0) ::fchmod(out->Handle(), NewMode);
    out->Flush();
    out->Lock(ExclusiveLock);
    Step(TSaveStep::ssWritten);
    // Whatever took the name meanwhile stays; only where the call is unknown does a rename decide.
    int renamed = ::renameat2(AT_FDCWD, temp.Name.c_str(), AT_FDCWD, m_Name.c_str(), RENAME_NOREPLACE);
    if (renamed != 0 && errno == EINVAL) renamed = ::rename(temp.Name.c_str(), m_Name.c_str());
    if (renamed != 0) throw EFOpenError(FileErrorMessage("create", m_Name, errno));
    temp.Keep();
    SyncDirectory(m_Name.parent_path());
    Step(TSaveStep::ssReplaced);
    return out;
}

std::unique_ptr<TFileStream> TFileSaver::Replace(int target, const struct stat& old, bool& cancelled) {
    TMadeName temp;
    const int handle = CreateUnique(m_Name.parent_path(), m_Name.filename().string(), 0600, temp.Name);
    if (handle < 0 && (errno == EACCES || errno == EPERM)) return nullptr; // no new name here: in place
    if (handle < 0) throw EFOpenError(FileErrorMessage("save", m_Name, errno));
    auto out = std::make_unique<TFileStream>(handle, m_Name);
    if (!CopyOwner(handle, old)) return nullptr;
    ::fchmod(handle, old.st_mode & 0777);
    if (!Write(*out)) {
        cancelled = true;
        return nullptr;
    }
    // After the write, which drops set-user-ID bits and file capabilities.
    if (!CopyAttributes(target, handle, old.st_mode)) return nullptr;
    out->Flush();
    out->Lock(ExclusiveLock); // before it takes the old one's place
    Step(TSaveStep::ssWritten);
    if (TFileIdentity::At(m_Name) != *m_Expected)
        throw ESaveError("Cannot save \"" + m_Name.string() +
                         "\": another program changed it meanwhile. Nothing was written.");
    if (!BackupName.empty()) {
        const std::string reason = LinkBackup(target);
        if (!reason.empty() && !(OnNoBackup && OnNoBackup(Because(reason)))) {
            cancelled = true;
            return nullptr;
        }
    }
    Step(TSaveStep::ssBackedUp);
    if (!RenameRetried(temp.Name, m_Name)) throw ESaveError("Unable to replace current file");
    temp.Keep();
    SyncDirectory(m_Name.parent_path());
    Step(TSaveStep::ssReplaced);
    return out;
}

std::string TFileSaver::LinkBackup(int target) {
    TMadeName link;
    if (LinkUnique(target, BackupName.parent_path(), BackupName.filename().string(), link.Name))
        return NameBackup(link.Name);
    // Where the file system has no links, the backup is a copy.
    struct stat old {};
    ::fstat(target, &old);
    std::string reason;
    THandle copy(CopyBeside(target, old, link.Name, reason));
    return copy.Fd < 0 ? reason : NameBackup(link.Name);
}

int TFileSaver::CopyBeside(int target, const struct stat& old, fs::path& name, std::string& reason) {
    const int handle = CreateUnique(BackupName.parent_path(), BackupName.filename().string(), 0600, name);
    if (handle < 0) {
        reason = std::string("no file can be made beside it: ") + std::strerror(errno);
        return -1;
    }
    THandle copy(handle);
    try {
        CopyBytes(target, copy.Fd);
    } catch (const Exception& e) {
        reason = e.what();
        return -1;
    }
    GiveBackupOwner(copy.Fd, old);
    return copy.Release();
}

void TFileSaver::CopyBytes(int from, int to) {
    TFileStream in(Duplicate(from), m_Name);
    TFileStream out(Duplicate(to), m_Name);
    out.CopyFrom(in, in.Size());
    out.Truncate(in.Size());
    out.Flush();
}

std::string TFileSaver::NameBackup(fs::path& made) {
    // The backup the new one replaces is held open across the rename and let go of on a thread of its
    // own: freeing the blocks of a large file takes a while, and the save need not wait for it.
    THandle previous(::open(BackupName.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (RenameRetried(made, BackupName)) {
        if (previous.Fd >= 0) std::thread([fd = previous.Release()] { ::close(fd); }).detach();
        made.clear();
        SyncDirectory(BackupName.parent_path());
        return {};
    }
    if ((errno == EPERM || errno == EACCES) && IsSticky(BackupName.parent_path()))
        return "\"" + BackupName.string() +
               "\" belongs to another user, and only its owner may replace it here";
    return "\"" + BackupName.string() + "\": " + std::strerror(errno);
}

int TFileSaver::CopyOld(int target, const struct stat& old, bool& backedUp) {
    if (!BackupName.empty()) {
        TMadeName name;
        std::string reason;
        THandle copy(CopyBeside(target, old, name.Name, reason));
        if (copy.Fd >= 0) reason = NameBackup(name.Name);
        if (reason.empty()) {
            backedUp = true;
            return copy.Release();
        }
        if (!(OnNoBackup && OnNoBackup(Because(reason)))) return -1;
    }
    // No backup: the copy that the text reads from meanwhile has no name.
    TMadeName name;
    const int handle = CreateUnique(fs::temp_directory_path(), m_Name.filename().string(), 0600, name.Name);
    if (handle < 0)
        throw ESaveError("Cannot save \"" + m_Name.string() + "\": no copy of its old text can be made (" +
                         std::strerror(errno) + "). Nothing was written.");
    THandle copy(handle);
    CopyBytes(target, copy.Fd);
    return copy.Release();
}

int TFileSaver::OpenForWriting(int target, const struct stat& old, bool& madeWritable) {
    int handle = ::open(m_Name.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    // A read-only file of the saver's own is written as a save by rename would: its mode comes back after.
    if (handle < 0 && errno == EACCES && old.st_uid == ::geteuid() &&
        ::fchmod(target, old.st_mode | S_IWUSR) == 0) {
        madeWritable = true;
        handle = ::open(m_Name.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    }
    if (handle < 0) throw EFOpenError(FileErrorMessage("save", m_Name, errno));
    struct stat now {};
    if (::fstat(handle, &now) != 0 || !TFileIdentity::Of(now).SameFile(TFileIdentity::Of(old))) {
        ::close(handle);
        throw ESaveError("Cannot save \"" + m_Name.string() +
                         "\": another program changed it meanwhile. Nothing was written.");
    }
    return handle;
}

std::unique_ptr<TFileStream> TFileSaver::WriteInPlace(int target, const struct stat& old) {
    bool backedUp = false;
    THandle copy(CopyOld(target, old, backedUp));
    if (copy.Fd < 0) return nullptr;
    Step(TSaveStep::ssBackedUp);
    // The text reads its unchanged parts from the copy while the file is written; the file's open
    // description (and lock) stays with `target`.
    const bool same = m_Source && m_Source->Identity().SameFile(TFileIdentity::Of(old));
    const auto readFrom = [this, same](int handle) {
        if (same) ::close(m_Source->ReplaceHandle(Duplicate(handle)));
    };
    readFrom(copy.Fd);
    bool madeWritable = false;
    std::unique_ptr<TFileStream> out;
    try {
        out = std::make_unique<TFileStream>(OpenForWriting(target, old, madeWritable), m_Name);
    } catch (...) {
        readFrom(target);
        throw;
    }
    bool written = false;
    try {
        written = Write(*out);
        if (written) {
            out->Truncate(out->Position());
            out->Flush();
        }
    } catch (const Exception& e) {
        if (madeWritable) ::fchmod(target, old.st_mode);
        throw ESaveError(std::string(e.what()) + " " +
                         Restored(copy.Fd, target, out->Handle(), backedUp, old, readFrom));
    }
    if (madeWritable) ::fchmod(target, old.st_mode);
    if (!written) { // cancelled: the file gets its old text back
        Restored(copy.Fd, target, out->Handle(), backedUp, old, readFrom);
        return nullptr;
    }
    Step(TSaveStep::ssWritten);
    return std::make_unique<TFileStream>(Duplicate(target), m_Name);
}

std::string TFileSaver::Restored(int copy, int target, int file, bool backedUp, const struct stat& old,
                                 const std::function<void(int)>& readFrom) {
    try {
        CopyBytes(copy, file);
    } catch (const Exception&) {
        // The text still reads from the copy, so it can be saved again.
        if (backedUp) return "The file may be damaged; its old text is in \"" + BackupName.string() + "\".";
        return "The file may be damaged; the text shown is whole: save it again or under another name.";
    }
    readFrom(target);
    std::string note = "The file holds its old text again.";
    // In a shared (sticky) directory a backup of the saver's would stop the file's owner from saving.
    struct stat made {};
    const auto atBackup = TFileIdentity::At(BackupName);
    if (backedUp && old.st_uid != ::geteuid() && IsSticky(BackupName.parent_path()) &&
        ::fstat(copy, &made) == 0 && atBackup && atBackup->SameFile(TFileIdentity::Of(made)) &&
        ::unlink(BackupName.c_str()) == 0)
        note += " Its backup was removed: in this shared directory nobody but you could replace it.";
    return note;
}
