#pragma once

#include <filesystem>

// An exclusive advisory lock (flock) on a file or directory, held while the object lives. Writers of
// one settings store, and instances deciding which of them receives files, take turns through it.
class TFileLock {
public:
    // Waits up to `timeoutMs` for the lock; Held() tells whether it was taken.
    TFileLock(const std::filesystem::path& path, int timeoutMs);
    ~TFileLock() { Release(); }
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;

    bool Held() const { return m_Handle >= 0; }
    void Release();

private:
    int m_Handle = -1;
};
