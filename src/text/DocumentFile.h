#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "text/FileIdentity.h"
#include "text/FileSaver.h"
#include "text/MessageBox.h"
#include "text/TextWriter.h"

class TEditStream;
class TFileStream;

// Attributes of a document's file: read only (no write permission), hidden (the name starts with "."),
// and system and archive, which are kept but mean nothing here.
enum TFileAttribute : int { faReadOnly = 1, faHidden = 2, faSystem = 4, faArchive = 32 };

// The questions a document asks: whether to protect a read-only file's text from changes (Yes, No,
// Cancel: as it was), whether a save may write over a file that another program changed since the
// document read or wrote it (Yes: overwrite, No: save elsewhere, Cancel), and whether to save without a
// backup where none can be written (Yes, No).
enum class TDocumentQuestion { dqReadOnly, dqChangedOnDisk, dqNoBackup };

// How the file on disk differs from what the document last read or wrote: nothing; its name now holds
// another file or none (the text shown is whole, read from the file as it was); or the file itself was
// written (the text reads its unchanged parts from it, so it may now mix the two versions).
enum class TDiskChange { dcNone, dcReplaced, dcDeleted, dcRewritten };

// Binds a text model to a file: opening (with a lock), the read-only question, saving under a new name
// or in place with a backup (TFileSaver), and the question whether to save changes. The file stays open
// and locked while the document shows it, and the text stays bound to an open file through every save.
// The file's identity is remembered when it is opened and after each save: a save never writes over a
// file changed behind it without asking, nor writes bytes read from a changed file as the user's text.
class TDocumentFile {
public:
    // The text starts as a new one: in UTF-8, as Empty() leaves it.
    explicit TDocumentFile(TEditStream& text);

    const std::filesystem::path& FileName() const { return m_FileName; }
    // Opens `name` after QuerySave (the same name again reopens it from disk; empty: an empty document).
    void SetFileName(const std::filesystem::path& name);
    int FileAttributes() const { return m_FileAttributes; }
    // Read only takes effect when the file is next saved: its write permissions go, or, cleared, its
    // owner may write it again. Hidden follows the file's name whatever is set.
    void SetFileAttributes(int attributes) { m_FileAttributes = attributes; }
    bool BackupFiles() const { return m_BackupFiles; }
    void SetBackupFiles(bool value) { m_BackupFiles = value; }
    bool FileLocking() const { return m_FileLocking; }
    void SetFileLocking(bool value) { m_FileLocking = value; }
    bool ReadOnly() const { return m_ReadOnly; }
    void SetReadOnly(bool value);
    TSaveMode SaveMode() const { return m_SaveMode; }
    void SetSaveMode(TSaveMode mode) { m_SaveMode = mode; }
    bool Saving() const { return m_Saving; }
    // The bound file as the document last read or wrote it; none for a document without a file.
    const std::optional<TFileIdentity>& Identity() const { return m_Identity; }
    TDiskChange DiskChange() const;
    // While set, a save under another name writes the text although the file it reads from was
    // rewritten: the user was told that the text may mix two versions, and keeps it elsewhere.
    void SetRewriteAccepted(bool accepted) { m_RewriteAccepted = accepted; }

    // Saves under `name` (the current name saves in place); an empty name raises OnSaveNewFile.
    void Save(const std::filesystem::path& name);
    // Whether the document may be replaced, after offering to save changes.
    bool QuerySave();
    // Replaces the document by an empty, untitled one after QuerySave.
    void New();

    std::function<void(TDocumentFile& sender, TSaveMode& mode)> OnSaveModePrompt;
    std::function<void(TDocumentFile& sender)> OnSaveNewFile;
    std::function<void(TDocumentFile& sender)> OnNewFileName;
    std::function<void(TDocumentFile& sender, TModalResult& answer)> OnSaveModified;
    // Asks `message`; without a handler the answer is Cancel and nothing is written.
    std::function<void(TDocumentFile& sender, TDocumentQuestion question, const std::string& message,
                       TModalResult& answer)>
        OnQuestion;

    // The view's side: told before the text is emptied or replaced, after a newly opened file is bound
    // (the view starts at its top) and after a save (the view keeps its place and repaints).
    std::function<void()> OnClear;
    std::function<void()> OnReset;
    std::function<void()> OnRefresh;
    // The positions the view remembers, asked before a save that writes line breaks and handed back
    // moved to where the same text lies in the saved file.
    std::function<std::vector<TTextPos>()> OnGetPositions;
    std::function<void(const std::vector<TTextPos>& positions)> OnSetPositions;
    // Asked every 100 lines while line breaks are written; true cancels the save.
    std::function<bool(TTextPos done, TTextPos total)> OnProgress;
    std::function<void(TSaveStep step)> OnSaveStep;

private:
    // Opens and binds `name` without touching the view.
    void Bind(const std::filesystem::path& name);
    void Bind(std::unique_ptr<TFileStream> file, const std::filesystem::path& name);
    // Binds a file a save just wrote from the text; the history stays (see TEditStream::BindSaved).
    void BindSaved(std::unique_ptr<TFileStream> file, const std::filesystem::path& name, bool sameText);
    void Remember(const TFileStream& file, const std::filesystem::path& name);
    // The open file, of those the text or its history reads, that is the file at `target`; null when
    // none is.
    TFileStream* SourceAt(const std::filesystem::path& target) const;
    void Open(const std::filesystem::path& name);
    // Gives the file just saved the read-only attribute asked for.
    void ApplyReadOnly(const TFileStream& saved) const;
    void Empty();
    // Reads the character set of the file just opened from its first bytes; saves keep the set.
    void DetectCharSet();
    void NewFileName();
    TSaveMode ChosenSaveMode();
    TModalResult Ask(TDocumentQuestion question, const std::string& message);
    // Raises ESaveError when the file the text reads from changed since it was read or written, unless
    // the change was accepted for a save to another name.
    void CheckSource(const std::filesystem::path& target);
    // Saves under `target`, replacing what `expected` says it holds; false when nothing was written.
    bool SaveTo(const std::filesystem::path& target, std::optional<TFileIdentity> expected, bool backup);
    // Writes the text to `out`; false when cancelled. `positions` get the remembered positions moved
    // to the file written.
    bool WriteText(TTextWriter& writer, TFileStream& out, std::vector<TTextPos>& positions,
                   std::vector<TTextPos>& marks);
    void SaveAs(const std::filesystem::path& name);
    void SaveInPlace();
    void Step(TSaveStep step);
    void ApplyPositions(const std::vector<TTextPos>& positions, const std::vector<TTextPos>& marks);

    TEditStream& m_Text;
    std::filesystem::path m_FileName;
    int m_FileAttributes = 0;
    unsigned m_Permissions = 0; // of the file as opened; 0 for a document that never had one
    std::optional<TFileIdentity> m_Identity;
    bool m_BackupFiles = true;
    bool m_FileLocking = true;
    bool m_ReadOnly = false;
    TSaveMode m_SaveMode = TSaveMode::smPrompt;
    bool m_Saving = false;
    bool m_RewriteAccepted = false;
};
