#include "app/FileLock.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

TFileLock::TFileLock(const std::filesystem::path& path, int timeoutMs) {
    // A lock file is created private; a directory is locked as it is. A link is never followed.
    int handle = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_CREAT, 0600);
    if (handle < 0 && errno == EISDIR) handle = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_DIRECTORY);
    if (handle < 0) return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
            ::close(handle);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    m_Handle = handle;
}

void TFileLock::Release() {
    if (m_Handle < 0) return;
    ::close(m_Handle); // closing the last handle releases the lock
    m_Handle = -1;
}
