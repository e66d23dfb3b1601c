#include "text/DocumentFile.h"

#include <algorithm>
#include <sys/file.h>
#include <sys/stat.h>
#include <vector>

#include "text/EditStream.h"
#include "text/Exceptions.h"
#include "text/FileStream.h"

namespace fs = std::filesystem;

namespace {

fs::path Canonical(const fs::path& name) {
    return fs::weakly_canonical(fs::absolute(name));
}

// The name with its extension replaced, or appended when it has none; never the file's own name.
fs::path BackupName(const fs::path& name) {
    fs::path backup = fs::path(name).replace_extension(".BAK");
    return backup == name ? fs::path(name.string() + ".BAK") : backup;
}

} // namespace

void TDocumentFile::SetReadOnly(bool value) {
    m_ReadOnly = value;
    m_Text.SetReadOnly(value);
}

TDocumentFile::TDocumentFile(TEditStream& text) : m_Text(text) {
    m_Text.SetCharSet(TCharSets::csUtf8);
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
    Bind(std::move(file), name);
}

void TDocumentFile::Bind(std::unique_ptr<TFileStream> file, const fs::path& name) {
    Remember(*file, name);
    m_Text.SetStream(std::move(file));
}

void TDocumentFile::BindSaved(std::unique_ptr<TFileStream> file, const fs::path& name, bool sameText) {
    // The history may keep the previous file open; its lock goes with the document's binding, so the
    // file can be opened again here or elsewhere.
    if (const auto* previous = dynamic_cast<const TFileStream*>(m_Text.Stream()))
        ::flock(previous->Handle(), LOCK_UN);
    Remember(*file, name);
    m_Text.BindSaved(std::move(file), sameText);
}

void TDocumentFile::Remember(const TFileStream& file, const fs::path& name) {
    m_Permissions = file.Permissions();
    m_Identity = file.Identity();
    m_FileName = name;
    m_FileAttributes = (m_FileAttributes & (faSystem | faArchive)) |
                       ((m_Permissions & 0222) == 0 ? faReadOnly : 0) |
                       (name.filename().string().starts_with('.') ? faHidden : 0);
}

TDiskChange TDocumentFile::DiskChange() const {
    const auto* file = dynamic_cast<const TFileStream*>(m_Text.Stream());
    if (!file || !m_Identity) return TDiskChange::dcNone;
    if (file->Identity() != *m_Identity) return TDiskChange::dcRewritten;
    const auto onDisk = TFileIdentity::At(m_FileName);
    if (!onDisk) return TDiskChange::dcDeleted;
    return onDisk == m_Identity ? TDiskChange::dcNone : TDiskChange::dcReplaced;
}

TFileStream* TDocumentFile::SourceAt(const fs::path& target) const {
    const auto atTarget = TFileIdentity::At(target);
    if (!atTarget) return nullptr;
    auto* bound = dynamic_cast<TFileStream*>(m_Text.Stream());
    if (bound && bound->Identity().SameFile(*atTarget)) return bound;
    for (TStream* stream : m_Text.Streams())
        if (auto* file = dynamic_cast<TFileStream*>(stream); file && file->Identity().SameFile(*atTarget))
            return file;
    return nullptr;
}

void TDocumentFile::ApplyReadOnly(const TFileStream& saved) const {
    const unsigned mode = saved.Permissions();
    const bool readOnly = (mode & 0222) == 0;
    if (readOnly == ((m_FileAttributes & faReadOnly) != 0)) return;
    ::fchmod(saved.Handle(), readOnly ? mode | 0200 : mode & ~0222u);
}

void TDocumentFile::Empty() {
    if (OnClear) OnClear();
    m_Text.Clear();
    // A new text holds what the desktop types: UTF-8.
    m_Text.SetCharSet(TCharSets::csUtf8);
    m_FileName.clear();
    m_FileAttributes = 0;
    m_Permissions = 0;
    m_Identity.reset();
    m_Text.SetReadOnly(m_ReadOnly);
    NewFileName();
}

void TDocumentFile::Open(const fs::path& name) {
    const bool protectedBefore = m_Text.ReadOnly();
    Empty(); // a file that fails to open leaves an empty, untitled document
    Bind(name);
    DetectCharSet();
    if (OnReset) OnReset();
    bool protect = m_ReadOnly;
    if (m_FileAttributes & faReadOnly) {
        switch (Ask(TDocumentQuestion::dqReadOnly,
                    name.string() + " is read only. Prevent changes to edited text?")) {
        case TModalResult::mrYes:
            protect = true;
            break;
        case TModalResult::mrNo:
            protect = false;
            break;
        default:
            protect = protectedBefore;
        }
    }
    m_Text.SetReadOnly(protect);
    NewFileName();
}

void TDocumentFile::DetectCharSet() {
    const auto limit = static_cast<TTextPos>(kCharSetSample);
    std::vector<unsigned char> sample(static_cast<size_t>(std::min(m_Text.TextSize(), limit)));
    m_Text.CopyToBuffer(sample.data(), 0, static_cast<TTextPos>(sample.size()));
    m_Text.SetCharSet(::DetectCharSet(sample.data(), sample.size(), m_Text.TextSize() <= limit));
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
    case TModalResult::mrCancel:
        return false;
    case TModalResult::mrYes:
        Save(m_FileName);
        return !m_Text.Modified();
    case TModalResult::mrNo:
        m_Text.SetModified(false);
        return true;
    default:
        return true;
    }
}

TSaveMode TDocumentFile::ChosenSaveMode() {
    TSaveMode mode = m_SaveMode;
    if (OnSaveModePrompt) OnSaveModePrompt(*this, mode);
    return mode == TSaveMode::smPrompt ? TSaveMode::smLineBreaks : mode;
}

TModalResult TDocumentFile::Ask(TDocumentQuestion question, const std::string& message) {
    TModalResult answer = TModalResult::mrCancel;
    if (OnQuestion) OnQuestion(*this, question, message, answer);
    return answer;
}

bool TDocumentFile::WriteText(TTextWriter& writer, TFileStream& out, std::vector<TTextPos>& positions,
                              std::vector<TTextPos>& marks) {
    if (writer.Mode() != TSaveMode::smParagraph) {
        writer.Positions.clear();
        if (OnGetPositions) writer.Positions = OnGetPositions();
        for (int handle = 0; handle < m_Text.BookmarkCount(); ++handle)
            writer.Positions.push_back(std::max<TTextPos>(m_Text.GetBookmark(handle), 0));
    }
    writer.OnProgress = OnProgress;
    m_Saving = true;
    bool written = false;
    try {
        written = writer.Write(out);
    } catch (...) {
        m_Saving = false;
        throw;
    }
    m_Saving = false;
    if (written && writer.Mode() != TSaveMode::smParagraph) {
        const auto split = writer.Positions.end() - m_Text.BookmarkCount();
        marks.assign(split, writer.Positions.end());
        positions.assign(writer.Positions.begin(), split);
    }
    return written;
}

void TDocumentFile::ApplyPositions(const std::vector<TTextPos>& positions,
                                   const std::vector<TTextPos>& marks) {
    if (!positions.empty() && OnSetPositions) OnSetPositions(positions);
    for (size_t handle = 0; handle < marks.size(); ++handle)
        m_Text.SetBookmark(static_cast<int>(handle), marks[handle]);
}

void TDocumentFile::Save(const fs::path& name) {
    if (name.empty()) {
        if (OnSaveNewFile) OnSaveNewFile(*this);
        return;
    }
    const fs::path target = Canonical(name);
    if (target == m_FileName && m_Text.ReadOnly()) return;
    CheckSource(target);
    if (target != m_FileName)
        SaveAs(target);
    else
        SaveInPlace();
}

void TDocumentFile::CheckSource(const fs::path& target) {
    const bool accepted = m_RewriteAccepted && target != m_FileName;
    const auto* file = dynamic_cast<const TFileStream*>(m_Text.Stream());
    if (accepted || !file || !m_Identity || file->Identity() == *m_Identity) return;
    throw ESaveError(
        "Cannot save \"" + m_FileName.string() +
        "\": another program changed the file while it was open here, and the text reads its "
        "unchanged parts from it. Nothing was written; reopen the file to see what it holds now.");
}

void TDocumentFile::SaveAs(const fs::path& target) {
    if (SaveTo(target, TFileIdentity::At(target), false)) NewFileName();
}

void TDocumentFile::SaveInPlace() {
    // A file deleted or renamed away is saved anew under its name, from the text still open here.
    const auto onDisk = TFileIdentity::At(m_FileName);
    if (onDisk && onDisk != m_Identity) {
        const std::string message =
            "\"" + m_FileName.string() +
            "\" was changed by another program since it was opened or saved here.\n"
            "Yes overwrites it with this text, No saves this text under another name, Cancel saves nothing.";
        switch (Ask(TDocumentQuestion::dqChangedOnDisk, message)) {
        case TModalResult::mrYes:
            break;
        case TModalResult::mrNo:
            if (OnSaveNewFile) OnSaveNewFile(*this);
            return;
        default:
            return;
        }
    }
    if (SaveTo(m_FileName, onDisk, m_BackupFiles && onDisk) && !m_BackupFiles) {
        std::error_code ignored; // without backups an old one goes too
        fs::remove(BackupName(m_FileName), ignored);
    }
}

bool TDocumentFile::SaveTo(const fs::path& target, std::optional<TFileIdentity> expected, bool backup) {
    const bool renamed = target != m_FileName;
    TTextWriter writer(m_Text, ChosenSaveMode());
    std::vector<TTextPos> positions, marks;
    // The file written may be one the text or its history still reads: it reads from a copy then.
    TFileSaver saver(target, SourceAt(target), expected);
    if (backup) saver.BackupName = BackupName(target);
    // A document saved for the first time, or a file deleted meanwhile, gets the permissions it had.
    if (m_FileName.empty() || target == m_FileName) saver.NewMode = m_Permissions;
    saver.ExclusiveLock = m_FileLocking;
    saver.Write = [&](TFileStream& out) { return WriteText(writer, out, positions, marks); };
    saver.OnNoBackup = [this](const std::string& message) {
        return Ask(TDocumentQuestion::dqNoBackup, message) == TModalResult::mrYes;
    };
    saver.OnStep = [this](TSaveStep step) { Step(step); };
    std::unique_ptr<TFileStream> saved = saver.Save();
    if (!saved) return false;
    ApplyReadOnly(*saved);
    BindSaved(std::move(saved), target, writer.Mode() == TSaveMode::smParagraph);
    if (renamed) m_Text.SetReadOnly(m_ReadOnly);
    ApplyPositions(positions, marks);
    Step(TSaveStep::ssBound);
    if (OnRefresh) OnRefresh();
    return true;
}
