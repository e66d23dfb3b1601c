#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>

#include "text/FileIdentity.h"

class TFileStream;

// Where a save has got to, for observers of its steps. A save that replaces the file writes a new one,
// backs the old one up and renames the new one over it; a save into the file itself backs it up first.
enum class TSaveStep { ssWritten, ssBackedUp, ssReplaced, ssBound };

// One save of a text under a name, done so that the name holds one whole version at every moment.
// Where the new file can take the old one's owner, group, mode, ACLs and extended attributes and the
// old one has no other link, a new file replaces it by rename and the backup is a link to the old one.
// Otherwise the text is written into the file itself, after a copy of it is on disk as the backup;
// the text being saved, which may read from the file, reads from that copy meanwhile.
class TFileSaver {
public:
    // `source`: the file the text reads its unchanged parts from (none for a text in memory).
    // `expected`: what the save may replace at `name` (none: the name must be free).
    TFileSaver(const std::filesystem::path& name, TFileStream* source, std::optional<TFileIdentity> expected)
        : m_Name(name), m_Source(source), m_Expected(expected) {}

    // Where the previous version goes; empty for none.
    std::filesystem::path BackupName;
    // The permission bits of a new file (none replaced); 0 for the usual ones.
    unsigned NewMode = 0;
    bool ExclusiveLock = true;
    // Writes the text; false when cancelled.
    std::function<bool(TFileStream& out)> Write;
    // Told why no backup can be written; true goes on without one.
    std::function<bool(const std::string& reason)> OnNoBackup;
    std::function<void(TSaveStep step)> OnStep;

    // The saved file, open and locked; null when cancelled, with the name holding what it held.
    std::unique_ptr<TFileStream> Save();

private:
    std::unique_ptr<TFileStream> CreateNew();
    // Null when the new file cannot be made faithful: the text then goes into the file itself.
    std::unique_ptr<TFileStream> Replace(int target, const struct stat& old, bool& cancelled);
    std::unique_ptr<TFileStream> WriteInPlace(int target, const struct stat& old);
    // Links the old file, open as `target`, under the backup name; why not, or empty when done.
    std::string LinkBackup(int target);
    // A flushed copy of the old file beside the backup name, made as `name`; -1 and why not.
    int CopyBeside(int target, const struct stat& old, std::filesystem::path& name, std::string& reason);
    void CopyBytes(int from, int to);
    // Renames `made` to the backup name (and clears it); why not, or empty when done.
    std::string NameBackup(std::filesystem::path& made);
    // A flushed copy of the old file, under the backup name when it can be (`backedUp`); -1 when the
    // user would rather not save without a backup.
    int CopyOld(int target, const struct stat& old, bool& backedUp);
    int OpenForWriting(int target, const struct stat& old, bool& madeWritable);
    // Puts the old text, kept in `copy`, back into `file` after a failed write into it, and the text
    // back onto the file; says what the user finds on disk.
    std::string Restored(int copy, int target, int file, bool backedUp, const struct stat& old,
                         const std::function<void(int)>& readFrom);
    void Step(TSaveStep step);
    // The question before a save without a backup.
    std::string Because(const std::string& reason) const;

    std::filesystem::path m_Name;
    TFileStream* m_Source;
    std::optional<TFileIdentity> m_Expected;
};
