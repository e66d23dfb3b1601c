#include "app/AtomicFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "text/Exceptions.h"

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const char* action, const fs::path& name, int error) {
    throw EFOpenError(FileErrorMessage(action, name.string(), error));
}

bool WriteAll(int handle, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(handle, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

} // namespace

std::optional<std::string> ReadWholeFile(const fs::path& name) {
    const int handle = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle < 0) {
        if (errno == ENOENT) return std::nullopt;
        Fail("open", name, errno);
    }
    std::string bytes;
    char block[65536];
    for (;;) {
        const ssize_t got = ::read(handle, block, sizeof block);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            const int error = errno;
            ::close(handle);
            Fail("read", name, error);
        }
        if (got == 0) break;
        bytes.append(block, static_cast<size_t>(got));
    }
    ::close(handle);
    return bytes;
}

void WriteFileAtomically(const fs::path& name, std::string_view bytes) {
    std::error_code error;
    const fs::path target = fs::is_symlink(name, error) ? fs::weakly_canonical(name, error) : name;
    std::string temp = target.string() + ".XXXXXX";
    const int handle = ::mkostemp(temp.data(), O_CLOEXEC); // a new name of our own, mode 0600
    if (handle < 0) Fail("create", temp, errno);
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) ::fchmod(handle, old.st_mode & 07777);
    const bool written = WriteAll(handle, bytes) && ::fsync(handle) == 0;
    const int writeError = errno;
    ::close(handle);
    if (!written || ::rename(temp.c_str(), target.c_str()) != 0) {
        const int failure = written ? errno : writeError;
        ::unlink(temp.c_str());
        Fail("write", target, failure);
    }
    // The rename itself lasts through a crash once the directory is on disk.
    const int directory = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
}
