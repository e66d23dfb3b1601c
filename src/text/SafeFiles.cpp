#include "text/SafeFiles.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

#include "text/Exceptions.h"

namespace fs = std::filesystem;

namespace {

std::string RandomPart() {
    static std::mt19937_64 random{std::random_device{}()};
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string part(6, ' ');
    for (char& c : part)
        c = letters[random() % (sizeof letters - 1)];
    return part;
}

// The names of the extended attributes of the file open as `handle` (those the saver may see).
std::vector<std::string> AttributeNames(int handle) {
    std::vector<char> list;
    for (;;) {
        const ssize_t size = ::flistxattr(handle, nullptr, 0);
        if (size <= 0) return {};
        list.resize(static_cast<size_t>(size));
        const ssize_t got = ::flistxattr(handle, list.data(), list.size());
        if (got >= 0) {
            list.resize(static_cast<size_t>(got));
            break;
        }
        if (errno != ERANGE) return {};
    }
    std::vector<std::string> names;
    for (size_t at = 0; at < list.size(); at += names.back().size() + 1)
        names.emplace_back(list.data() + at);
    return names;
}

bool CopyAttribute(int from, int to, const std::string& name) {
    std::vector<char> value;
    for (;;) {
        const ssize_t size = ::fgetxattr(from, name.c_str(), nullptr, 0);
        if (size < 0) return errno == ENODATA; // gone meanwhile: nothing to copy
        value.resize(static_cast<size_t>(size));
        const ssize_t got = ::fgetxattr(from, name.c_str(), value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<size_t>(got));
            break;
        }
        if (errno != ERANGE) return false;
    }
    return ::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) == 0;
}

} // namespace

// Tries names until one is free: `make` returns true when it took the name, false with errno set.
template <typename TMakeFn>
bool MakeUnique(const fs::path& dir, const std::string& stem, fs::path& name, TMakeFn make) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = dir / (stem + "." + RandomPart() + ".$$$");
        if (make(name)) return true;
        if (errno != EEXIST) break;
    }
    const int error = errno;
    name.clear();
    errno = error;
    return false;
}

int CreateUnique(const fs::path& dir, const std::string& stem, mode_t mode, fs::path& name) {
    int handle = -1;
    MakeUnique(dir, stem, name, [&](const fs::path& candidate) {
        handle = ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        return handle >= 0;
    });
    return handle;
}

bool LinkUnique(int handle, const fs::path& dir, const std::string& stem, fs::path& name) {
    // The descriptor, not the name, is linked: whatever the name holds meanwhile is never linked.
    const std::string self = "/proc/self/fd/" + std::to_string(handle);
    return MakeUnique(dir, stem, name, [&](const fs::path& candidate) {
        return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0;
    });
}

bool CopyOwner(int to, const struct stat& from) {
    return ::fchown(to, from.st_uid, from.st_gid) == 0;
}

bool CopyAttributes(int from, int to, mode_t mode) {
    // A new file may have inherited attributes (a directory's default ACL) that the old one lacks.
    const std::vector<std::string> wanted = AttributeNames(from);
    for (const std::string& name : AttributeNames(to))
        if (std::find(wanted.begin(), wanted.end(), name) == wanted.end() &&
            ::fremovexattr(to, name.c_str()) != 0)
            return false;
    for (const std::string& name : wanted)
        if (!CopyAttribute(from, to, name)) return false;
    return ::fchmod(to, mode & 07777) == 0;
}

void SyncDirectory(const fs::path& dir) {
    const int handle = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0) return;
    ::fsync(handle);
    ::close(handle);
}

bool IsSticky(const fs::path& dir) {
    struct stat info {};
    return ::stat(dir.c_str(), &info) == 0 && (info.st_mode & S_ISVTX);
}
