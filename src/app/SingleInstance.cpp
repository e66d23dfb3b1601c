#include "app/SingleInstance.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kLockWaitMs = 5000;   // an instance that starts takes no longer to listen
constexpr int kAnswerWaitMs = 5000; // a receiver answers at once, opening later when busy

bool SendAll(int handle, const unsigned char* bytes, size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(handle, bytes, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        bytes += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

// The receiver's one-byte answer; -1 when the connection broke or nothing came in time.
int Answer(int handle) {
    pollfd ready{handle, POLLIN, 0};
    int polled;
    while ((polled = ::poll(&ready, 1, kAnswerWaitMs)) < 0 && errno == EINTR) {
    }
    unsigned char answer = 0;
    if (polled != 1 || ::recv(handle, &answer, 1, 0) != 1) return -1;
    return answer;
}

// Whether `folder` is a directory (not a link) of this user that nobody else may enter; one of ours
// with a wider mode is narrowed.
bool PrivateFolder(const fs::path& folder) {
    ::mkdir(folder.c_str(), 0700);
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return false;
    return (info.st_mode & 077) == 0 || ::chmod(folder.c_str(), 0700) == 0;
}

} // namespace

fs::path HandOffFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && fs::path(runtime).is_absolute()) return fs::path(runtime) / "quorvel";
    return "/tmp/quorvel-" + std::to_string(::geteuid());
}

bool PeerIsThisUser(int socketHandle) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(socketHandle, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

TSingleInstance::TSingleInstance(fs::path folder)
    : m_Folder(std::move(folder)), m_Socket(m_Folder / "socket") {
    if (m_Socket.native().size() >= sizeof(sockaddr_un{}.sun_path) || !PrivateFolder(m_Folder)) return;
    m_Lock = std::make_unique<TFileLock>(m_Folder / "lock", kLockWaitMs);
    m_Usable = m_Lock->Held();
}

int TSingleInstance::Connect() const {
    if (!m_Usable) return -1;
    const int handle = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle < 0) return -1;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, m_Socket.c_str());
    if (::connect(handle, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        !PeerIsThisUser(handle)) {
        ::close(handle);
        return -1;
    }
    return handle;
}

void TSingleInstance::HandOff(const std::vector<TFileHandOff>& files, size_t& taken) {
    taken = 0;
    const int handle = Connect();
    if (handle < 0) return;
    for (const TFileHandOff& file : files) {
        const auto record = file.Encode();
        if (!file.Fits() || !SendAll(handle, record.data(), record.size()) || Answer(handle) != 1) break;
        ++taken;
    }
    ::close(handle);
}

bool TSingleInstance::ReceiverRunning() const {
    const int handle = Connect();
    if (handle < 0) return false;
    ::close(handle);
    return true;
}

void TSingleInstance::RemoveStaleSocket() {
    struct stat info {};
    if (m_Lock && ::lstat(m_Socket.c_str(), &info) == 0 && S_ISSOCK(info.st_mode) && !ReceiverRunning())
        ::unlink(m_Socket.c_str());
}
