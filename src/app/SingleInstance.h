#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "app/FileHandOff.h"
#include "app/FileLock.h"

// The user's private folder of the running instance's socket: $XDG_RUNTIME_DIR/quorvel, or
// /tmp/quorvel-UID without a runtime folder.
std::filesystem::path HandOffFolder();

// The side of a starting instance that looks for a running one and hands it files, over a local socket
// in a folder only this user can reach. While the object holds its lock, no other instance starts to
// receive or decides whom to send to; the instance that is to receive keeps the lock until it listens,
// so of two instances started together one receives and the other hands it its files.
class TSingleInstance {
public:
    // Makes the folder private (mode 0700) and takes the lock. Without a folder that is this user's own,
    // the instance stands alone: Usable() is false.
    explicit TSingleInstance(std::filesystem::path folder = HandOffFolder());
    bool Usable() const { return m_Usable; }
    const std::filesystem::path& SocketName() const { return m_Socket; }

    // Hands the files over one by one; `taken` counts those the running instance took. Stops at the
    // first it does not take.
    void HandOff(const std::vector<TFileHandOff>& files, size_t& taken);
    // Whether a receiver of this user answers at the socket. A socket left by an instance that was
    // killed answers nothing.
    bool ReceiverRunning() const;
    // Takes over the socket of an instance that is gone, so that this one can listen there.
    void RemoveStaleSocket();
    // Lets other instances decide again (once this one listens, or stands alone).
    void ReleaseLock() { m_Lock.reset(); }

private:
    // A connection to the receiver, or -1.
    int Connect() const;

    std::filesystem::path m_Folder, m_Socket;
    std::unique_ptr<TFileLock> m_Lock;
    bool m_Usable = false;
};

// Whether the peer at the other end of a local socket runs as this user.
bool PeerIsThisUser(int socketHandle);
