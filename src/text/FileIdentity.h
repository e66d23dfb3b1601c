#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <sys/stat.h>

#include "text/TextPos.h"

// Tells one version of a file from another: a file replaced has another device or inode, a file
// written another size or modification time. A watcher compares what a name holds now with what the
// document last read or wrote.
struct TFileIdentity {
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    TTextPos Size = 0;
    std::int64_t ModifiedNs = 0;

    bool operator==(const TFileIdentity&) const = default;
    bool SameFile(const TFileIdentity& other) const { return Device == other.Device && Inode == other.Inode; }

    static TFileIdentity Of(const struct stat& info) {
        return {info.st_dev, info.st_ino, info.st_size,
                std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
    }
    // What `name` itself holds now (a link there is not followed); none when the name is free.
    static std::optional<TFileIdentity> At(const std::filesystem::path& name) {
        struct stat info {};
        if (::lstat(name.c_str(), &info) != 0) return std::nullopt;
        return Of(info);
    }
};
