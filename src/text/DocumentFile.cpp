#include "text/DocumentFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "text/EditStream.h"
#include "text/Exceptions.h"
#include "text/FileStream.h"

namespace fs = std::filesystem;

namespace {

fs::path Canonical(const fs::path& name) { return fs::weakly_canonical(fs::absolute(name)); }

// The name with its extension replaced, or the extension appended when it has none.
fs::path WithExtension(fs::path name, const char* extension) { return name.replace_extension(extension); }

// Renames and links are tried up to 11 times before a save gives up.
template <typename TStepFn> bool Retry(TStepFn step) {
    for (int attempt = 0; attempt < 11; ++attempt)
        if (step()) return true;
    return false;
}

// Gives the file `from` the second name `to`; a copy where the file system has no links.
bool LinkOrCopy(const fs::path& from, const fs::path& to) {
    if (::link(from.c_str(), to.c_str()) == 0) return true;
    if (errno != EXDEV && errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != EMLINK) return false;
    try {
        TFileStream in(from, TFileStream::TMode::fmOpenRead);
        TFileStream out(to, TFileStream::TMode::fmCreate);
        out.CopyFrom(in, in.Size());
        out.Flush();
        return true;
    } catch (const Exception&) {
        std::error_code ignored;
        fs::remove(to, ignored);
        return false;
    }
}

// Makes a rename in `dir` last through a crash.
void SyncDirectory(const fs::path& dir) {
    const int handle = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0) return;
    ::fsync(handle);
    ::close(handle);
}

} // namespace

void TDocumentFile::SetReadOnly(bool value) {
    m_ReadOnly = value;
    m_Text.SetReadOnly(value);
}

void TDocumentFile::NewFileName() {
    if (OnNewFileName) OnNewFileName(*this);
}

void TDocumentFile::Step(TSaveStep step) {
    if (OnSaveStep) OnSaveStep(step);
}

void TDocumentFile::Bind(const fs::path& name) {
    auto file = std::make_unique<TFileStream>(name, TFileStream::TMode::fmOpenRead);
    file->Lock(m_FileLocking);
    const unsigned permissions = file->Permissions();
    m_Text.SetStream(std::move(file));
    m_FileName = name;
    m_Permissions = permissions;
    m_FileAttributes = ((permissions & 0222) == 0 ? faReadOnly : 0) |
                       (name.filename().string().starts_with('.') ? faHidden : 0);
}

void TDocumentFile::Empty() {
    if (OnClear) OnClear();
    m_Text.Clear();
    m_FileName.clear();
    m_FileAttributes = 0;
    m_Permissions = 0;
    m_Text.SetReadOnly(m_ReadOnly);
    NewFileName();
}

void TDocumentFile::Open(const fs::path& name) {
    const bool protectedBefore = m_Text.ReadOnly();
    Empty(); // a file that fails to open leaves an empty, untitled document
    Bind(name);
    if (OnReset) OnReset();
    bool protect = m_ReadOnly;
    if (m_FileAttributes & faReadOnly) {
        switch (MessageDlg(name.string() + " is read only. Prevent changes to edited text?",
                           TMsgDlgType::mtInformation, TMsgButtons::mbYesNoCancel)) {
        case TModalResult::mrYes: protect = true; break;
        case TModalResult::mrNo: protect = false; break;
        default: protect = protectedBefore;
        }
    }
    m_Text.SetReadOnly(protect);
    NewFileName();
}

void TDocumentFile::SetFileName(const fs::path& name) {
    if (!QuerySave()) return;
    if (name.empty())
        Empty();
    else
        Open(Canonical(name));
}

void TDocumentFile::New() {
    if (QuerySave()) Empty();
}

bool TDocumentFile::QuerySave() {
    if (!m_Text.Modified() || !OnSaveModified) return true;
    TModalResult answer = TModalResult::mrNone;
    OnSaveModified(*this, answer);
    switch (answer) {
    case TModalResult::mrCancel: return false;
    case TModalResult::mrYes: Save(m_FileName); return !m_Text.Modified();
    case TModalResult::mrNo: m_Text.SetModified(false); return true;
    default: return true;
    }
}

TSaveMode TDocumentFile::ChosenSaveMode() {
    TSaveMode mode = m_SaveMode;
    if (OnSaveModePrompt) OnSaveModePrompt(*this, mode);
    return mode == TSaveMode::smPrompt ? TSaveMode::smLineBreaks : mode;
}

bool TDocumentFile::WriteTemp(const fs::path& temp, std::vector<TTextPos>& positions, std::vector<TTextPos>& marks) {
    TTextWriter writer(m_Text, ChosenSaveMode());
    if (writer.Mode() != TSaveMode::smParagraph) {
        if (OnGetPositions) writer.Positions = OnGetPositions();
        for (int handle = 0; handle < m_Text.BookmarkCount(); ++handle)
            writer.Positions.push_back(std::max<TTextPos>(m_Text.GetBookmark(handle), 0));
    }
    writer.OnProgress = OnProgress;
    m_Saving = true;
    bool written = false;
    try {
        TFileStream out(temp, TFileStream::TMode::fmCreate);
        written = writer.Write(out);
        if (written) out.Flush();
    } catch (...) {
        m_Saving = false;
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw;
    }
    m_Saving = false;
    if (!written) { // cancelled: nothing is saved and nothing changes
        std::error_code ignored;
        fs::remove(temp, ignored);
        return false;
    }
    if (writer.Mode() != TSaveMode::smParagraph) {
        const auto split = writer.Positions.end() - m_Text.BookmarkCount();
        marks.assign(split, writer.Positions.end());
        positions.assign(writer.Positions.begin(), split);
    }
    return true;
}

void TDocumentFile::ApplyPositions(const std::vector<TTextPos>& positions, const std::vector<TTextPos>& marks) {
    if (!positions.empty() && OnSetPositions) OnSetPositions(positions);
    for (size_t handle = 0; handle < marks.size(); ++handle) m_Text.SetBookmark(static_cast<int>(handle), marks[handle]);
}

void TDocumentFile::Save(const fs::path& name) {
    if (name.empty()) {
        if (OnSaveNewFile) OnSaveNewFile(*this);
        return;
    }
    const fs::path target = Canonical(name);
    if (target != m_FileName)
        SaveAs(target);
    else if (!m_Text.ReadOnly())
        SaveInPlace();
}

void TDocumentFile::SaveAs(const fs::path& target) {
    const fs::path temp = WithExtension(target, ".$$$");
    std::vector<TTextPos> positions, marks;
    if (!WriteTemp(temp, positions, marks)) return;
    // A file replaced keeps its permission bits; an untitled document's file gets those it had.
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0)
        ::chmod(temp.c_str(), existing.st_mode & 07777);
    else if (m_FileName.empty() && m_Permissions != 0)
        ::chmod(temp.c_str(), m_Permissions);
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int error = errno;
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw EFOpenError(FileErrorMessage("create", target, error));
    }
    SyncDirectory(target.parent_path());
    Bind(target);
    m_Text.SetReadOnly(m_ReadOnly);
    ApplyPositions(positions, marks);
    if (OnRefresh) OnRefresh();
    NewFileName();
}

void TDocumentFile::SaveInPlace() {
    const fs::path name = m_FileName;
    const fs::path backup = WithExtension(name, ".BAK");
    const fs::path temp = WithExtension(name, ".$$$");
    std::vector<TTextPos> positions, marks;
    if (!WriteTemp(temp, positions, marks)) return;
    ::chmod(temp.c_str(), m_Permissions);
    Step(TSaveStep::ssWritten);
    m_Text.SetStream(nullptr); // closes the file: the text now lives in `temp` only
    Step(TSaveStep::ssUnbound);
    ::unlink(backup.c_str());
    if (m_BackupFiles && !Retry([&] { return LinkOrCopy(name, backup); }))
        Recover(temp, "Unable to rename current file to \".bak\" file", positions, marks);
    Step(TSaveStep::ssBackedUp);
    if (!Retry([&] { return ::rename(temp.c_str(), name.c_str()) == 0; }))
        Recover(temp, "Unable to replace current file", positions, marks);
    SyncDirectory(name.parent_path());
    Step(TSaveStep::ssReplaced);
    Bind(name);
    ApplyPositions(positions, marks);
    Step(TSaveStep::ssReopened);
    if (OnRefresh) OnRefresh();
}

void TDocumentFile::Recover(const fs::path& temp, const char* message, const std::vector<TTextPos>& positions,
                            const std::vector<TTextPos>& marks) {
    try {
        auto file = std::make_unique<TFileStream>(temp, TFileStream::TMode::fmOpenRead);
        ::unlink(temp.c_str()); // the open file keeps the text readable; no temporary file stays behind
        m_Text.SetStream(std::move(file));
        m_FileName.clear();
        m_FileAttributes = 0;
        m_Text.SetModified(m_Text.TextSize() > 0);
        ApplyPositions(positions, marks);
        if (OnRefresh) OnRefresh();
        NewFileName();
    } catch (const Exception&) {
        // The text stays in the temporary file for the user to rescue.
    }
    throw ESaveError(message);
}
