#pragma once

#include <filesystem>
#include <string>
#include <sys/stat.h>

// The file-system steps of a safe save, each on open descriptors where it can be, so that a name
// changed by another program in between is never written through.

// Creates a new file in `dir` under a name nobody holds, made of `stem`, a random part and ".$$$":
// exclusively and never through a link. Returns the open descriptor (read and write) and sets `name`;
// -1 with errno set when it cannot.
int CreateUnique(const std::filesystem::path& dir, const std::string& stem, mode_t mode,
                 std::filesystem::path& name);
// Gives the file open as `handle` a second name like CreateUnique's; false with errno set.
bool LinkUnique(int handle, const std::filesystem::path& dir, const std::string& stem,
                std::filesystem::path& name);

// Gives the file open as `to` the owner and group in `from`; false (errno set) when the saver may not.
bool CopyOwner(int to, const struct stat& from);

// Gives the file open as `to` exactly the extended attributes (ACLs included) of the file open as
// `from`, then `mode`; false when one of them cannot be set.
bool CopyAttributes(int from, int to, mode_t mode);

// Makes the names changed in `dir` last through a crash.
void SyncDirectory(const std::filesystem::path& dir);

// Whether `dir` lets only their owners remove or replace the names in it.
bool IsSticky(const std::filesystem::path& dir);
